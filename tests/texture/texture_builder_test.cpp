// The builder's settings, the extension rule, the path rule of LoadPictureFile and
// releasing a texture.
#include <unistd.h>

#include <cstring>

#include "tests/texture/test_support.h"

namespace texture_test {
namespace {

TEST(TextureBuilderSettings, FreshBuilderKeysBlackAtFullSizeWithoutMipmaps) {
    TextureBuilder builder;
    EXPECT_EQ(builder.colourKeyOn, 1);
    EXPECT_EQ(builder.keyRed, 0);
    EXPECT_EQ(builder.keyGreen, 0);
    EXPECT_EQ(builder.keyBlue, 0);
    EXPECT_EQ(builder.fullResolution, 1);
    EXPECT_EQ(builder.buildMipmaps, 0);
    EXPECT_EQ(builder.filterMode, FilterNone);
}

TEST(TextureBuilderSettings, GlobalBuilderExistsBeforeMainWithDefaults) {
    ASSERT_NE(gTextureBuilder, nullptr);
    EXPECT_EQ(gTextureBuilder->colourKeyOn, 1);
    EXPECT_EQ(gTextureBuilder->fullResolution, 1);
    EXPECT_EQ(gTextureBuilder->filterMode, FilterNone);
}

TEST(TextureBuilderSettings, ColourKeyStoresTheColourOnlyWhenSwitchedOnWithOne) {
    struct Step {
        uint8_t on, red, green, blue;
        uint8_t expectedOn, expectedRed, expectedGreen, expectedBlue;
    };
    // Each step runs on the builder as the previous one left it.
    const Step steps[] = {
        {0, 255, 0, 255, 0, 0, 0, 0},        // off: the colour stays black
        {1, 255, 0, 255, 1, 255, 0, 255},    // on: magenta
        {2, 10, 20, 30, 2, 255, 0, 255},     // 2 is neither on nor a reason to store
        {0, 1, 2, 3, 0, 255, 0, 255},        // off again keeps magenta
        {1, 0, 0, 1, 1, 0, 0, 1},            // every switch-on stores its colour
    };
    TextureBuilder builder;
    for (const Step& s : steps) {
        builder.SetColourKey(s.on, s.red, s.green, s.blue);
        EXPECT_EQ(builder.colourKeyOn, s.expectedOn) << "on " << int(s.on);
        EXPECT_EQ(builder.keyRed, s.expectedRed) << "on " << int(s.on);
        EXPECT_EQ(builder.keyGreen, s.expectedGreen) << "on " << int(s.on);
        EXPECT_EQ(builder.keyBlue, s.expectedBlue) << "on " << int(s.on);
    }
}

TEST(TextureBuilderSettings, SwitchesAndModeStoreTheirValueUnchanged) {
    TextureBuilder builder;
    builder.SetFullResolution(2);
    builder.SetMipmaps(200);
    builder.SetFilterMode(static_cast<FilterMode>(7));
    EXPECT_EQ(builder.fullResolution, 2);
    EXPECT_EQ(builder.buildMipmaps, 200);
    EXPECT_EQ(builder.filterMode, 7);
    builder.SetFullResolution(0);
    EXPECT_EQ(builder.fullResolution, 0);
}

TEST(TextureBuilderExtension, Table) {
    struct Case {
        const char* name;
        const char* extension;
    };
    const Case cases[] = {
        {"data\\Intro.JPG", "JPG"},
        {"photo.Jpeg", "Jpeg"},
        {"x.png", "png"},
        {"noextension", ""},
        {"name.", ""},
        {"PIC.TGA", "TGA"},
        {".tga", "tga"},
        {"pics.old\\photo", "old\\photo"},
        {"http://host/path/pic.gif", "gif"},
        {"a.b.bmp", "bmp"},
        {"/abs/dir.d/file.wmf", "wmf"},
        {"x.abcdefghijklmno", "abcdefghijklmno"},  // 15 characters still fit
        {"x.abcdefghijklmnop", ""},                // 16 do not: no kind
        {"x.jpgjpgjpgjpgjpgjpg", ""},
    };
    TextureBuilder builder;
    for (const Case& c : cases) {
        char out[16];
        std::memset(out, 'Z', sizeof out);
        TextureBuilderProbe::ExtractExtension(builder, c.name, out);
        EXPECT_STREQ(out, c.extension) << c.name;
    }
}

// The kind each name selects, written before the decoder runs: none of these files
// exists, so every load fails and leaves just the kind.
TEST_F(TextureTest, KindTableFromTheNameWhetherOrNotTheFileLoads) {
    struct Case {
        const char* name;
        SourceKind kind;
    };
    const Case cases[] = {
        {"data\\Intro.JPG", KindJpeg}, {"a.Jpeg", KindJpeg},   {"a.jpg", KindJpeg},
        {"a.png", KindOther},          {"noextension", KindOther}, {"a.bmp", KindBmp},
        {"a.GIF", KindGif},            {"a.ico", KindIco},     {"a.emf", KindEmf},
        {"a.WMF", KindWmf},            {"a.TGA", KindTga},     {".tga", KindTga},
        {"pics.old\\photo", KindOther}, {"http://localhost/x.gif", KindGif},
        {"x.tgaaaaaaaaaaaaaaaaaaa", KindOther},
    };
    for (const Case& c : cases) {
        TextureRecord record = SentinelRecord();
        EXPECT_EQ(builder.LoadPictureFile(c.name, &record), 0) << c.name;
        EXPECT_EQ(record.kind, c.kind) << c.name;
        EXPECT_EQ(record.glName, 0xDEADu) << c.name;
    }
}

TEST_F(TextureTest, BackslashesOfTheNameAreFolderSeparators) {
    std::filesystem::create_directories("data/sub");
    WriteFile("data/sub/pic.tga", UncompressedTga(PatternImage(4, 4, 3)));
    TextureRecord record{};
    EXPECT_EQ(builder.LoadPictureFile("data\\sub\\pic.tga", &record), 1);
    EXPECT_EQ(record.kind, KindTga);
    EXPECT_EQ(record.width, 4);
    EXPECT_NE(record.glName, 0u);
}

TEST_F(TextureTest, NameOfJustTheExtensionGoesToTheTgaReader) {
    TextureRecord record{};
    EXPECT_EQ(LoadTga(UncompressedTga(PatternImage(4, 2, 4)), &record, ".tga"), 1);
    EXPECT_EQ(record.kind, KindTga);
    EXPECT_EQ(record.bitsPerPixel, 32);
}

TEST_F(TextureTest, AbsoluteNameIsAppendedToTheCurrentDirectoryAndDoesNotLoad) {
    WriteFile("pic.tga", UncompressedTga(PatternImage(4, 4, 3)));
    const std::string absolute = directory + "/pic.tga";
    TextureRecord record = SentinelRecord();
    EXPECT_EQ(builder.LoadPictureFile(absolute.c_str(), &record), 0);
    EXPECT_EQ(record.kind, KindTga);
    EXPECT_EQ(record.glName, 0xDEADu);
    EXPECT_EQ(record.width, -11);  // the reader never opened a file
}

// A name holding "http://" is opened as it stands: neither the current directory in
// front nor backslashes turned round. These fixtures sit where only the unchanged name
// finds them.
TEST_F(TextureTest, HttpNameIsTakenUnchanged) {
    std::filesystem::create_directories("http:");
    WriteFile("http:/a\\b.tga", UncompressedTga(PatternImage(2, 2, 3)));
    WriteFile("http:/c.tga", UncompressedTga(PatternImage(8, 8, 3)));

    TextureRecord record{};
    EXPECT_EQ(builder.LoadPictureFile("http://a\\b.tga", &record), 1);
    EXPECT_EQ(record.width, 2);

    const std::string absolute = directory + "/http://c.tga";
    record = TextureRecord{};
    EXPECT_EQ(builder.LoadPictureFile(absolute.c_str(), &record), 1);
    EXPECT_EQ(record.width, 8);
    EXPECT_EQ(record.kind, KindTga);
}

// The full path has room for the platform's longest path and no more; a name that
// would not fit answers 0 before anything is written.
TEST_F(TextureTest, PathLongerThanThePlatformTakesAnswersZeroUntouched) {
    const size_t directoryLength = std::filesystem::current_path().string().size();
    // Directory, separator, name and the terminating zero fill kSysPathMax exactly.
    const size_t fitting = kSysPathMax - directoryLength - 2;
    std::string name(fitting - 4, 'n');
    name += ".tga";

    TextureRecord record = SentinelRecord();
    EXPECT_EQ(builder.LoadPictureFile(name.c_str(), &record), 0);
    EXPECT_EQ(record.kind, KindTga) << "a path that fits reaches the reader";

    name.insert(0, "n");
    record = SentinelRecord();
    EXPECT_EQ(builder.LoadPictureFile(name.c_str(), &record), 0);
    EXPECT_TRUE(SameRecord(record, SentinelRecord()));

    std::string url = "http://" + std::string(kSysPathMax, 'u') + ".tga";
    record = SentinelRecord();
    EXPECT_EQ(builder.LoadPictureFile(url.c_str(), &record), 0);
    EXPECT_TRUE(SameRecord(record, SentinelRecord()));
}

TEST_F(TextureTest, UnreadableCurrentDirectoryAnswersZero) {
    std::filesystem::create_directory("gone");
    std::filesystem::current_path("gone");
    std::filesystem::remove(directory + "/gone");
    TextureRecord record = SentinelRecord();
    EXPECT_EQ(builder.LoadPictureFile("pic.tga", &record), 0);
    EXPECT_TRUE(SameRecord(record, SentinelRecord()));
}

TEST_F(TextureTest, ReleaseDeletesTheTextureAndKeepsTheRecord) {
    TextureRecord record{};
    ASSERT_EQ(LoadTga(UncompressedTga(PatternImage(8, 4, 3)), &record), 1);
    ASSERT_TRUE(glIsTexture(record.glName));
    const TextureRecord before = record;
    builder.ReleaseTexture(&record);
    EXPECT_FALSE(glIsTexture(before.glName));
    EXPECT_TRUE(SameRecord(record, before));
}

// A second load into a loaded record makes a new texture and leaves the first alone.
TEST_F(TextureTest, LoadingAgainDoesNotDeleteTheOldTexture) {
    TextureRecord record{};
    ASSERT_EQ(LoadTga(UncompressedTga(PatternImage(8, 4, 3)), &record), 1);
    const GLuint first = record.glName;
    ASSERT_EQ(LoadTga(UncompressedTga(PatternImage(8, 4, 3)), &record), 1);
    EXPECT_NE(record.glName, first);
    EXPECT_TRUE(glIsTexture(first));
}

}  // namespace
}  // namespace texture_test
