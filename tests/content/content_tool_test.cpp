// Runs make_content into temporary folders and checks what it wrote: the pictures decode
// at 640x480 as baseline JPEG, the soundtrack decodes to a long, unclipped stereo tune, and
// a second run writes the same bytes.
#include <gtest/gtest.h>

#include <lame/lame.h>
#include <turbojpeg.h>

#include <sys/wait.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

const char* const kPictureNames[] = {
    "Intro.jpg",        "Vellmarsh.jpg",    "Circus.jpg",       "TeltPobble1.jpg",
    "TeltPobble2.jpg",  "WembleDead.jpg",   "HappyPobble.jpg",  "WembleAnim01.jpg",
    "WembleAnim02.jpg", "WembleAnim03.jpg", "WembleAnim04.jpg", "WembleAnim05.jpg",
    "WembleAnim06.jpg", "WembleAnim07.jpg", "WembleAnim08.jpg", "WembleAnim09.jpg",
    "WembleAnim10.jpg", "WembleAnim11.jpg", "WembleAnim12.jpg", "WembleAnim13.jpg",
    "WembleAnim14.jpg", "WembleAnim15.jpg", "WembleAnim16.jpg", "WembleAnim17.jpg",
    "WembleAnim18.jpg", "WembleAnim19.jpg", "Credits.jpg",      "Greetings.jpg",
    "Quibbet.jpg",
};
const char* const kSoundtrack = "Vellmarsh.mp3";

std::vector<unsigned char> ReadFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), {});
}

fs::path MakeTempFolder()
{
    std::string pattern = (fs::temp_directory_path() / "vz-content-XXXXXX").string();
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (!mkdtemp(buffer.data()))
        return {};
    return fs::path(buffer.data());
}

struct RunResult {
    int status = -1;
    std::string errors;
};

// Runs the tool with `arguments` (already quoted), capturing its standard error.
RunResult RunTool(const std::string& arguments, const fs::path& errorFile)
{
    std::string command = std::string("'") + VZ_MAKE_CONTENT + "' " + arguments + " 2>'" +
                          errorFile.string() + "'";
    int raw = std::system(command.c_str());
    RunResult r;
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    std::vector<unsigned char> err = ReadFile(errorFile);
    r.errors.assign(err.begin(), err.end());
    return r;
}

struct Decoded {
    bool ok = false;
    int width = 0, height = 0;
    std::vector<unsigned char> rgb;
};

Decoded DecodeJpeg(const std::vector<unsigned char>& jpeg)
{
    Decoded d;
    tjhandle h = tjInitDecompress();
    int subsampling = 0, colourspace = 0;
    if (h && tjDecompressHeader3(h, jpeg.data(), (unsigned long)jpeg.size(), &d.width, &d.height,
                                 &subsampling, &colourspace) == 0) {
        d.rgb.resize(size_t(d.width) * d.height * 3);
        d.ok = tjDecompress2(h, jpeg.data(), (unsigned long)jpeg.size(), d.rgb.data(), d.width,
                             0, d.height, TJPF_RGB, 0) == 0;
    }
    if (h)
        tjDestroy(h);
    return d;
}

// Walks the marker segments up to the first frame header and answers its marker
// (0xC0 is baseline, 0xC2 progressive), or 0 if the stream is malformed.
int FrameMarker(const std::vector<unsigned char>& jpeg)
{
    if (jpeg.size() < 4 || jpeg[0] != 0xFF || jpeg[1] != 0xD8)
        return 0;
    size_t at = 2;
    while (at + 4 <= jpeg.size()) {
        if (jpeg[at] != 0xFF)
            return 0;
        int marker = jpeg[at + 1];
        if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC)
            return marker;
        size_t length = size_t(jpeg[at + 2]) << 8 | jpeg[at + 3];
        if (length < 2)
            return 0;
        at += 2 + length;
    }
    return 0;
}

struct Sound {
    int rate = 0, channels = 0;
    std::vector<short> left, right;
};

// Decodes with LAME's own decoder, one frame per call.
Sound DecodeMp3(const std::vector<unsigned char>& mp3)
{
    Sound s;
    hip_t hip = hip_decode_init();
    std::vector<short> l(1152 * 4), r(1152 * 4);
    mp3data_struct info{};
    size_t at = 0;
    while (at < mp3.size()) {
        size_t n = std::min<size_t>(1024, mp3.size() - at);
        int got = hip_decode1_headers(hip, const_cast<unsigned char*>(&mp3[at]), n, l.data(),
                                      r.data(), &info);
        at += n;
        // Drain every frame the decoder can complete from what it holds.
        while (got > 0) {
            s.left.insert(s.left.end(), l.begin(), l.begin() + got);
            s.right.insert(s.right.end(), r.begin(), r.begin() + got);
            got = hip_decode1_headers(hip, nullptr, 0, l.data(), r.data(), &info);
        }
        if (got < 0)
            break;
    }
    hip_decode_exit(hip);
    if (info.header_parsed) {
        s.rate = info.samplerate;
        s.channels = info.stereo;
    }
    return s;
}

// The tests read the output of one fresh run (made by the ctest fixture; made here when
// the binary runs on its own) and write only into a temporary folder of their own.
class ContentTool : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        folder_ = new fs::path(MakeTempFolder());
        ASSERT_FALSE(folder_->empty());
        errors_ = new std::string;
        if (!fs::exists(Data() / kSoundtrack)) {
            RunResult r = RunTool("'" + Data().string() + "'", *folder_ / "errors.txt");
            status_ = r.status;
            *errors_ = r.errors;
        } else {
            status_ = 0;
        }
    }
    static void TearDownTestSuite()
    {
        std::error_code ec;
        fs::remove_all(*folder_, ec);
        delete folder_;
        delete errors_;
    }
    static fs::path Data() { return VZ_CONTENT_FRESH; }

    static fs::path* folder_;
    static int status_;
    static std::string* errors_;
};

fs::path* ContentTool::folder_ = nullptr;
int ContentTool::status_ = -1;
std::string* ContentTool::errors_ = nullptr;

TEST_F(ContentTool, WritesExactlyTheCatalogueAndTheSoundtrack)
{
    ASSERT_EQ(status_, 0) << *errors_;
    std::set<std::string> expected(std::begin(kPictureNames), std::end(kPictureNames));
    expected.insert(kSoundtrack);
    std::set<std::string> found;
    for (const auto& entry : fs::directory_iterator(Data()))
        found.insert(entry.path().filename().string());
    // No temporary or stray files left behind.
    EXPECT_EQ(found, expected);
}

TEST_F(ContentTool, EveryPictureIsABaselineJpegOf640By480WithoutPureBlackAreas)
{
    ASSERT_EQ(status_, 0) << *errors_;
    for (const char* name : kPictureNames) {
        SCOPED_TRACE(name);
        std::vector<unsigned char> jpeg = ReadFile(Data() / name);
        ASSERT_FALSE(jpeg.empty());
        EXPECT_EQ(FrameMarker(jpeg), 0xC0);
        Decoded d = DecodeJpeg(jpeg);
        ASSERT_TRUE(d.ok);
        EXPECT_EQ(d.width, 640);
        EXPECT_EQ(d.height, 480);
        // The texture builder keys pure black out to transparent; a picture may have a stray
        // black pixel from compression, not a black area.
        size_t black = 0;
        for (size_t i = 0; i + 2 < d.rgb.size(); i += 3)
            black += d.rgb[i] == 0 && d.rgb[i + 1] == 0 && d.rgb[i + 2] == 0;
        EXPECT_LT(black, size_t(640 * 480 / 1000));
    }
}

// The flip-book frames are one scene with a character moving through it: each frame
// changes from the one before, but only in part.
TEST_F(ContentTool, FlipBookFramesContinueEachOther)
{
    ASSERT_EQ(status_, 0) << *errors_;
    std::vector<Decoded> frames;
    for (int n = 1; n <= 19; ++n) {
        char name[32];
        std::snprintf(name, sizeof name, "WembleAnim%02d.jpg", n);
        frames.push_back(DecodeJpeg(ReadFile(Data() / name)));
        ASSERT_TRUE(frames.back().ok) << name;
    }
    for (int n = 1; n < 19; ++n) {
        SCOPED_TRACE("frame " + std::to_string(n + 1));
        const auto& a = frames[size_t(n) - 1].rgb;
        const auto& b = frames[size_t(n)].rgb;
        ASSERT_EQ(a.size(), b.size());
        size_t changed = 0;
        for (size_t i = 0; i + 2 < a.size(); i += 3) {
            int d = std::abs(a[i] - b[i]) + std::abs(a[i + 1] - b[i + 1]) + std::abs(a[i + 2] - b[i + 2]);
            changed += d > 60;
        }
        double share = double(changed) / (640.0 * 480.0);
        EXPECT_GT(share, 0.002);
        EXPECT_LT(share, 0.25);
    }
}

TEST_F(ContentTool, SoundtrackIsAnUnclippedStereoTuneOfAtLeast115Seconds)
{
    ASSERT_EQ(status_, 0) << *errors_;
    Sound s = DecodeMp3(ReadFile(Data() / kSoundtrack));
    ASSERT_EQ(s.rate, 44100);
    ASSERT_EQ(s.channels, 2);
    ASSERT_EQ(s.left.size(), s.right.size());
    double seconds = double(s.left.size()) / s.rate;
    EXPECT_GE(seconds, 115.0);
    EXPECT_LE(seconds, 120.0);

    size_t clipped = 0, different = 0;
    for (size_t i = 0; i < s.left.size(); ++i) {
        clipped += std::abs(int(s.left[i])) >= 32767 || std::abs(int(s.right[i])) >= 32767;
        different += s.left[i] != s.right[i];
    }
    EXPECT_EQ(clipped, 0u);
    EXPECT_GT(different, s.left.size() / 2) << "the two channels should not be one mono signal";

    // Sound all the way through the presentation's 114 s (no silent stretch), then a fade
    // to near silence at the very end.
    auto rmsDb = [&](double from, double to) {
        size_t a = size_t(from * s.rate), b = std::min(s.left.size(), size_t(to * s.rate));
        double sum = 0;
        for (size_t i = a; i < b; ++i)
            sum += double(s.left[i]) * s.left[i] + double(s.right[i]) * s.right[i];
        return 10 * std::log10(sum / (2.0 * double(b - a) * 32768.0 * 32768.0) + 1e-12);
    };
    for (int t = 0; t + 5 <= 110; t += 5) {
        SCOPED_TRACE("from " + std::to_string(t) + " s");
        EXPECT_GT(rmsDb(t, t + 5), -35.0);
    }
    EXPECT_LT(rmsDb(seconds - 1.0, seconds), -50.0);
}

TEST_F(ContentTool, ASecondRunWritesTheSameBytes)
{
    ASSERT_EQ(status_, 0) << *errors_;
    fs::path second = *folder_ / "again";
    RunResult r = RunTool("'" + second.string() + "'", *folder_ / "errors2.txt");
    ASSERT_EQ(r.status, 0) << r.errors;
    EXPECT_EQ(r.errors, "") << "a good run prints nothing";
    std::vector<std::string> names(std::begin(kPictureNames), std::end(kPictureNames));
    names.push_back(kSoundtrack);
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        std::vector<unsigned char> a = ReadFile(Data() / name), b = ReadFile(second / name);
        ASSERT_FALSE(a.empty());
        EXPECT_TRUE(a == b);
    }
}

TEST_F(ContentTool, RefusesBadArgumentsWithAMessage)
{
    fs::path blocker = *folder_ / "plain-file";
    std::ofstream(blocker) << "not a folder";
    struct Case {
        const char* what;
        std::string arguments;
        int status;
        const char* message;
    };
    const Case cases[] = {
        {"no folder", "", 2, "usage: make_content <folder>"},
        {"two folders", "a b", 2, "usage: make_content <folder>"},
        {"empty name", "''", 2, "usage: make_content <folder>"},
        {"folder is a file", "'" + blocker.string() + "'", 1, "cannot create the folder"},
        {"folder under a file", "'" + (blocker / "data").string() + "'", 1,
         "cannot create the folder"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        RunResult r = RunTool(c.arguments, *folder_ / "errors3.txt");
        EXPECT_EQ(r.status, c.status);
        EXPECT_NE(r.errors.find(c.message), std::string::npos) << r.errors;
    }
    // Nothing was written next to the blocking file.
    EXPECT_FALSE(fs::exists(*folder_ / "Intro.jpg"));
}

} // namespace
