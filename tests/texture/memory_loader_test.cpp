// Loading from memory through the temporary file, and from the program's resources.
#include <sys/stat.h>
#include <turbojpeg.h>
#include <unistd.h>

#include "tests/texture/test_support.h"

namespace texture_test {
namespace {

const char kTemp[] = "glTEMP$$.tmp";

bool Exists(const char* path) {
    struct stat st;
    return lstat(path, &st) == 0;
}

// A JPEG made here by libjpeg-turbo, independent of the picture service.
std::vector<uint8_t> JpegBytes(int width, int height) {
    const Image image = PatternImage(width, height, 3);
    tjhandle handle = tjInitCompress();
    unsigned char* jpeg = nullptr;
    unsigned long size = 0;
    int failed = tjCompress2(handle, image.pixels.data(), width, 0, height, TJPF_RGB, &jpeg, &size,
                             TJSAMP_444, 95, 0);
    std::vector<uint8_t> bytes;
    if (!failed) bytes.assign(jpeg, jpeg + size);
    tjFree(jpeg);
    tjDestroy(handle);
    return bytes;
}

using MemoryTest = TextureTest;

TEST_F(MemoryTest, TgaBlockLoadsAsTheFileDoesAndLeavesNothingBehind) {
    for (int channels : {3, 4}) {
        const Image image = PatternImage(37, 20, channels);
        const std::vector<uint8_t> bytes = RawPacketTga(image, 50);
        WriteFile("same.tga", bytes);
        TextureRecord fromFile{}, fromMemory = SentinelRecord();
        ASSERT_EQ(builder.LoadPictureFile("same.tga", &fromFile), 1);
        ASSERT_EQ(builder.LoadPictureMemory(bytes.data(), uint32_t(bytes.size()), &fromMemory, KindTga), 1);
        EXPECT_FALSE(Exists(kTemp));
        fromFile.glName = fromMemory.glName;
        EXPECT_TRUE(SameRecord(fromMemory, fromFile));
        EXPECT_EQ(fromMemory.width, 32);
        EXPECT_EQ(fromMemory.height, 16);
        EXPECT_TRUE(SameTexels(ReadTexture(fromMemory.glName), ReadTexture(fromFile.glName)));
    }
}

// Whatever stood at the name is dropped, never written through: a file, a symbolic link
// (to a file or to nowhere) and a hard link. Only the name is gone afterwards.
TEST_F(MemoryTest, WhateverStoodAtTheTemporaryNameIsReplacedNotWrittenThrough) {
    const std::vector<uint8_t> bytes = UncompressedTga(PatternImage(4, 4, 3));
    WriteFile("victim", {'s', 'e', 'c', 'r', 'e', 't'});

    struct Plant {
        const char* what;
        void (*make)();
    };
    const Plant plants[] = {
        {"regular file", [] { WriteFile(kTemp, {'o', 'l', 'd'}); }},
        {"symbolic link", [] { ASSERT_EQ(symlink("victim", kTemp), 0); }},
        {"dangling symbolic link", [] { ASSERT_EQ(symlink("made-through", kTemp), 0); }},
        {"hard link", [] { ASSERT_EQ(link("victim", kTemp), 0); }},
    };
    for (const Plant& plant : plants) {
        SCOPED_TRACE(plant.what);
        plant.make();
        ASSERT_TRUE(Exists(kTemp));
        TextureRecord record{};
        EXPECT_EQ(builder.LoadPictureMemory(bytes.data(), uint32_t(bytes.size()), &record, KindTga), 1);
        EXPECT_EQ(record.width, 4);
        EXPECT_FALSE(Exists(kTemp));
        EXPECT_EQ(ReadFile("victim"), "secret");
        EXPECT_FALSE(Exists("made-through"));
        struct stat st;
        ASSERT_EQ(stat("victim", &st), 0);
        EXPECT_EQ(st.st_nlink, 1u);
    }
}

TEST_F(MemoryTest, TemporaryFileThatCannotBeMadeAnswersZeroUntouched) {
    const std::vector<uint8_t> bytes = UncompressedTga(PatternImage(4, 4, 3));
    // A folder at the name cannot be unlinked, and the search for it does not descend.
    std::filesystem::create_directories(std::string(kTemp) + "/inside");
    TextureRecord record = SentinelRecord();
    EXPECT_EQ(builder.LoadPictureMemory(bytes.data(), uint32_t(bytes.size()), &record, KindTga), 0);
    EXPECT_TRUE(SameRecord(record, SentinelRecord()));
    EXPECT_TRUE(std::filesystem::is_directory(std::string(kTemp) + "/inside"));

    // A working directory that no longer exists has no path.
    std::filesystem::create_directory("gone");
    std::filesystem::current_path("gone");
    std::filesystem::remove(directory + "/gone");
    EXPECT_EQ(builder.LoadPictureMemory(bytes.data(), uint32_t(bytes.size()), &record, KindTga), 0);
    EXPECT_TRUE(SameRecord(record, SentinelRecord()));
}

TEST_F(MemoryTest, PrivateFileIsNewAndTheOwnersAlone) {
    const mode_t previous = umask(0);
    WriteFile("target", {'x'});
    ASSERT_EQ(symlink("target", "name"), 0);
    int fd = SysCreatePrivateFile("name");
    umask(previous);
    ASSERT_GE(fd, 0) << SysLastError();
    EXPECT_TRUE(SysWriteAll(fd, "abc", 3));
    SysCloseFile(fd);
    struct stat st;
    ASSERT_EQ(lstat("name", &st), 0);
    EXPECT_TRUE(S_ISREG(st.st_mode));
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_EQ(ReadFile("name"), "abc");
    EXPECT_EQ(ReadFile("target"), "x");
    EXPECT_TRUE(SysDeleteFile("name"));
    EXPECT_FALSE(SysDeleteFile("name"));
    EXPECT_EQ(SysCreatePrivateFile("no-such-folder/name"), -1);
}

// TGA bytes go to the TGA reader only under KindTga; under any other kind the picture
// service judges them, and it reads no TGA.
TEST_F(MemoryTest, TgaBytesUnderAnotherKindFailInThePictureService) {
    const std::vector<uint8_t> bytes = UncompressedTga(PatternImage(4, 4, 3));
    for (int32_t kind : {int32_t(KindJpeg), int32_t(KindOther), 3, 99}) {
        TextureRecord record = SentinelRecord();
        EXPECT_EQ(builder.LoadPictureMemory(bytes.data(), uint32_t(bytes.size()), &record,
                                            static_cast<SourceKind>(kind)), 0);
        TextureRecord expected = SentinelRecord();
        expected.kind = static_cast<SourceKind>(kind);
        EXPECT_TRUE(SameRecord(record, expected)) << "kind " << kind;
        EXPECT_FALSE(Exists(kTemp));
    }
}

TEST_F(MemoryTest, JpegBytesGoToThePictureServiceUnderEveryKindButTga) {
    const std::vector<uint8_t> jpeg = JpegBytes(16, 8);
    ASSERT_FALSE(jpeg.empty());
    for (SourceKind kind : {KindOther, KindBmp, KindJpeg, KindGif}) {
        TextureRecord record = SentinelRecord();
        EXPECT_EQ(builder.LoadPictureMemory(jpeg.data(), uint32_t(jpeg.size()), &record, kind), 1);
        EXPECT_EQ(record.kind, kind);
        EXPECT_EQ(record.width, 16);
        EXPECT_EQ(record.height, 8);
        EXPECT_EQ(record.bitsPerPixel, 32);
        EXPECT_EQ(record.pixelFormat, GLenum(GL_RGBA));
        EXPECT_NE(record.glName, 0xDEADu);
        EXPECT_FALSE(Exists(kTemp));
    }
}

// Under KindTga the JPEG's first 18 bytes are read as a TGA header: its fields land in
// the record before the image type (0xFF here) refuses it.
TEST_F(MemoryTest, JpegBytesUnderKindTgaFailInTheTgaHeaderTest) {
    const std::vector<uint8_t> jpeg = JpegBytes(16, 8);
    ASSERT_GE(jpeg.size(), 18u);
    TextureRecord record = SentinelRecord();
    EXPECT_EQ(builder.LoadPictureMemory(jpeg.data(), uint32_t(jpeg.size()), &record, KindTga), 0);
    EXPECT_EQ(jpeg[2], 0xFF);
    EXPECT_EQ(record.kind, KindTga);
    EXPECT_EQ(record.width, jpeg[12] | jpeg[13] << 8);
    EXPECT_EQ(record.height, jpeg[14] | jpeg[15] << 8);
    EXPECT_EQ(record.bitsPerPixel, jpeg[16]);
    EXPECT_EQ(record.pixelFormat, GLenum(jpeg[16] == 24 ? GL_RGB : GL_RGBA));
    EXPECT_EQ(record.glName, 0xDEADu);
    EXPECT_FALSE(Exists(kTemp));
}

TEST_F(MemoryTest, EmptyBlockFailsAfterRecordingTheKind) {
    TextureRecord record = SentinelRecord();
    EXPECT_EQ(builder.LoadPictureMemory(nullptr, 0, &record, KindTga), 0);
    TextureRecord expected = SentinelRecord();
    expected.kind = KindTga;
    EXPECT_TRUE(SameRecord(record, expected));
    EXPECT_FALSE(Exists(kTemp));
}

TEST_F(MemoryTest, TgaResourceLoadsThroughTheTemporaryFile) {
    TextureRecord record = SentinelRecord();
    ASSERT_EQ(builder.LoadPictureResource(201, "TGA", &record, KindTga), 1);
    EXPECT_EQ(record.kind, KindTga);
    EXPECT_EQ(record.width, 6);
    EXPECT_EQ(record.height, 4);
    EXPECT_EQ(record.bitsPerPixel, 32);
    EXPECT_TRUE(SameTexels(ReadTexture(record.glName), PatternImage(6, 4, 4)));
    EXPECT_FALSE(Exists(kTemp));
}

TEST_F(MemoryTest, BadOrMissingTgaResourcesFail) {
    struct Case {
        uint16_t id;
        const char* type;
        bool headerRead;  // whether the reader got as far as the header
    };
    const Case cases[] = {
        {202, "TGA", true},    // pixel data three bytes short
        {203, "TGA", false},   // no bytes at all
        {204, "TGA", false},   // no such number
        {201, "BMP", false},   // no such type
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.id << " " << c.type);
        TextureRecord record = SentinelRecord();
        EXPECT_EQ(builder.LoadPictureResource(c.id, c.type, &record, KindTga), 0);
        EXPECT_EQ(record.kind, KindTga);
        EXPECT_EQ(record.glName, 0xDEADu);
        EXPECT_EQ(record.width, c.headerRead ? 6 : -11);
        EXPECT_FALSE(Exists(kTemp));
    }
}

TEST_F(MemoryTest, ResourceKindsWithoutADecoder) {
    for (int32_t kind : {0, 3, 6, 7, 8, 9, -1, 99}) {
        TextureRecord record = SentinelRecord();
        EXPECT_EQ(builder.LoadPictureResource(201, "TGA", &record, static_cast<SourceKind>(kind)), 0);
        EXPECT_TRUE(SameRecord(record, SentinelRecord())) << "kind " << kind;
    }
    // A bitmap resource records its kind and is not decoded.
    TextureRecord record = SentinelRecord();
    EXPECT_EQ(builder.LoadPictureResource(201, "TGA", &record, KindBmp), 0);
    TextureRecord expected = SentinelRecord();
    expected.kind = KindBmp;
    EXPECT_TRUE(SameRecord(record, expected));
}

// JPEG and GIF resources go to the picture service's resource path; a missing one fails
// there with only the kind written.
TEST_F(MemoryTest, MissingPictureResourcesFailWithTheirKind) {
    for (SourceKind kind : {KindJpeg, KindGif}) {
        TextureRecord record = SentinelRecord();
        EXPECT_EQ(builder.LoadPictureResource(999, "JPEG", &record, kind), 0);
        TextureRecord expected = SentinelRecord();
        expected.kind = kind;
        EXPECT_TRUE(SameRecord(record, expected)) << "kind " << kind;
    }
    // The TGA resource is no JPEG to the picture service.
    TextureRecord record = SentinelRecord();
    EXPECT_EQ(builder.LoadPictureResource(201, "TGA", &record, KindJpeg), 0);
    EXPECT_EQ(record.kind, KindJpeg);
    EXPECT_EQ(record.width, -11);
}

}  // namespace
}  // namespace texture_test
