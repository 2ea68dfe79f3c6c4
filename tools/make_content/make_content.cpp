// make_content: writes the default pictures and soundtrack into a folder, the same bytes
// on every run.
#include "tools/make_content/encoders.h"
#include "tools/make_content/pictures.h"
#include "tools/make_content/soundtrack.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

namespace {

constexpr int kJpegQuality = 90;
constexpr int kMp3Kbps = 160;

// Writes through a temporary name and renames, so an interrupted run never leaves a
// truncated file under the final name.
bool WriteFileAtomically(const std::filesystem::path& path, const std::vector<uint8_t>& bytes)
{
    std::filesystem::path temporary = path;
    temporary += ".part";
    std::FILE* file = std::fopen(temporary.c_str(), "wb");
    if (!file) {
        std::fprintf(stderr, "make_content: cannot create %s: %s\n", temporary.c_str(),
                     std::strerror(errno));
        return false;
    }
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    int savedErrno = errno;
    ok = (std::fclose(file) == 0) && ok;
    if (!ok) {
        std::fprintf(stderr, "make_content: cannot write %s: %s\n", temporary.c_str(),
                     std::strerror(savedErrno ? savedErrno : errno));
        std::remove(temporary.c_str());
        return false;
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        std::fprintf(stderr, "make_content: cannot rename %s to %s: %s\n", temporary.c_str(),
                     path.c_str(), std::strerror(errno));
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    const char* const usage =
        "usage: make_content <folder>\n"
        "Writes the presentation's 29 pictures and \"Vellmarsh.mp3\" into <folder>,\n"
        "creating it if needed. The same bytes on every run.\n";
    if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
        std::fputs(usage, stdout);
        return 0;
    }
    if (argc != 2 || argv[1][0] == '\0') {
        std::fputs(usage, stderr);
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (ec || !std::filesystem::is_directory(folder)) {
        std::fprintf(stderr, "make_content: cannot create the folder %s: %s\n", folder.c_str(),
                     ec ? ec.message().c_str() : "not a directory");
        return 1;
    }

    for (int i = 0; i < ContentPictureCount(); ++i) {
        ContentPicture picture;
        if (!DrawContentPicture(i, picture)) {
            std::fprintf(stderr, "make_content: cannot draw %s\n", ContentPictureName(i));
            return 1;
        }
        std::vector<uint8_t> jpeg;
        std::string error;
        if (!EncodeJpeg(picture.bgrx.data(), kPictureWidth, kPictureHeight, picture.stride,
                        kJpegQuality, jpeg, error)) {
            std::fprintf(stderr, "make_content: %s: %s\n", picture.fileName.c_str(), error.c_str());
            return 1;
        }
        if (!WriteFileAtomically(folder / picture.fileName, jpeg))
            return 1;
    }
    ReleasePictureCaches();

    std::vector<int16_t> sound = SynthesizeSoundtrack();
    std::vector<uint8_t> mp3;
    std::string error;
    if (!EncodeMp3(sound, kSoundRate, kMp3Kbps, mp3, error)) {
        std::fprintf(stderr, "make_content: Vellmarsh.mp3: %s\n", error.c_str());
        return 1;
    }
    if (!WriteFileAtomically(folder / "Vellmarsh.mp3", mp3))
        return 1;
    return 0;
}
