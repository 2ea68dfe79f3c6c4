// Fuzz target of LoadPictureFile's path and extension rules. The first byte chooses the
// working directory (a short one, or one whose path is close to the platform's limit)
// and how many "./" steps go before the name; the rest is the name, up to its first zero
// byte. Both directories hold a few small pictures under names the rules must find.
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "tests/picture/picture_fixtures.h"
#include "tests/texture/tga_writer.h"

namespace {

void WritePictures(const std::string& directory) {
    using texture_test::PatternImage;
    using texture_test::UncompressedTga;
    using texture_test::RawPacketTga;
    mkdir((directory + "/sub.dir").c_str(), 0700);
    mkdir((directory + "/back").c_str(), 0700);
    const Bytes tga = UncompressedTga(PatternImage(3, 2, 3));
    WriteFile(directory + "/a.tga", tga);
    WriteFile(directory + "/b.TGA", RawPacketTga(PatternImage(2, 2, 4), 3));
    WriteFile(directory + "/sub.dir/c", tga);
    WriteFile(directory + "/back/slash.tga", tga);
    WriteFile(directory + "/d.bmp", WriteBmp(Gradient(3, 3)));
    WriteFile(directory + "/e.gif", WriteGif({Gradient(2, 2)}));
    WriteFile(directory + "/f.jpeg.ico", WriteIco(Gradient(2, 2)));
    WriteFile(directory + "/g.bmp", tga);  // a TGA under another name: the service refuses it
    WriteFile(directory + "/h.wmf", WriteWmf(4, 4, 96, {{0, 0, 2, 2, 0xFF0000}}));
    WriteFile(directory + "/i.emf", WriteEmf(4, 4, {{0, 0, 2, 2, 0x00FF00}}));
    // FIFOs without a writer: opening one for reading the usual way waits for ever.
    mkfifo((directory + "/pipe.tga").c_str(), 0600);
    mkfifo((directory + "/pipe.gif").c_str(), 0600);
}

struct Directories {
    std::string shallow;
    std::string deep;
};

// The deep directory is nested so that its path leaves a little under 100 bytes of the
// platform's limit for the name.
const Directories& MakeDirectories() {
    static const Directories directories = [] {
        Directories made;
        made.shallow = fuzz::EnterScratchDirectory();
        made.deep = made.shallow;
        const std::string step(200, 'd');
        while (made.deep.size() + 1 + step.size() < kSysPathMax - 100) {
            made.deep += "/" + step;
            mkdir(made.deep.c_str(), 0700);
        }
        WritePictures(made.shallow);
        WritePictures(made.deep);
        return made;
    }();
    return directories;
}

// The kind the extension rules give a name, worked out apart from the builder.
SourceKind ExpectedKind(const std::string& name) {
    size_t stop = name.rfind('.');
    if (stop == std::string::npos) return KindOther;
    std::string extension = name.substr(stop + 1);
    if (extension.size() > 15) return KindOther;
    for (char& c : extension)
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    if (extension == "tga") return KindTga;
    if (extension == "bmp") return KindBmp;
    if (extension == "jpg" || extension == "jpeg") return KindJpeg;
    if (extension == "gif") return KindGif;
    if (extension == "ico") return KindIco;
    if (extension == "emf") return KindEmf;
    if (extension == "wmf") return KindWmf;
    return KindOther;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::EnsureContext();
    const Directories& directories = MakeDirectories();
    fuzz::Reader in{data, size};
    const uint8_t choice = in.Byte();
    const std::string& cwd = (choice & 1) ? directories.deep : directories.shallow;
    if (chdir(cwd.c_str()) != 0) fuzz::Fail("cannot enter the working directory");

    std::string name;
    for (unsigned i = 0; i < unsigned(choice >> 1) * 16; ++i) name += "./";
    name.append(reinterpret_cast<const char*>(in.data), strnlen(reinterpret_cast<const char*>(in.data), in.size));

    TextureBuilder builder;
    fuzz::ResetGlState(4, 4);
    TextureRecord record{};
    record.glName = fuzz::kUnsetName;
    const SourceKind unset = static_cast<SourceKind>(77);
    record.kind = unset;
    int result = builder.LoadPictureFile(name.c_str(), &record);
    // A URL is taken as it stands; any other name joins the working directory.
    const bool url = name.find("http://") != std::string::npos;
    const size_t pathLength = url ? name.size() : cwd.size() + 1 + name.size();
    const bool fits = pathLength + 1 <= kSysPathMax;
    if (result == 1 && (!fits || url)) fuzz::Fail("a URL or a path over the limit was loaded");
    if (fits ? record.kind != ExpectedKind(name) : record.kind != unset)
        fuzz::Fail("the kind does not follow the path and extension rules");
    fuzz::CheckAndRelease(builder, result, &record, fuzz::kUnsetName);
    return 0;
}
