// The TGA reader: both image types at both depths, the size rule as it applies to TGA
// files, run-length packets at their limits, and every way a file is refused.
#include <GL/glu.h>

#include "tests/texture/test_support.h"

namespace texture_test {
namespace {

using TgaTest = TextureTest;

TEST_F(TgaTest, BothTypesAtBothDepthsLoadExactly) {
    for (int channels : {3, 4}) {
        const Image image = PatternImage(16, 8, channels);
        const std::vector<uint8_t> files[] = {UncompressedTga(image), RawPacketTga(image, 128)};
        for (const std::vector<uint8_t>& bytes : files) {
            SCOPED_TRACE(testing::Message() << "type " << int(bytes[2]) << " channels " << channels);
            TextureRecord record = SentinelRecord();
            ASSERT_EQ(LoadTga(bytes, &record), 1);
            EXPECT_EQ(record.kind, KindTga);
            EXPECT_EQ(record.width, 16);
            EXPECT_EQ(record.height, 8);
            EXPECT_EQ(record.bitsPerPixel, channels * 8);
            EXPECT_EQ(record.pixelFormat, GLenum(channels == 4 ? GL_RGBA : GL_RGB));
            EXPECT_NE(record.glName, 0xDEADu);
            EXPECT_TRUE(SameTexels(ReadTexture(record.glName), image));
        }
    }
}

// Rows are taken in file order: the first pixel of the file is texture row 0. A file
// marked top-left therefore comes out upside down against a bottom-left one.
TEST_F(TgaTest, OriginCornerIsIgnored) {
    const Image picture = PatternImage(8, 4, 3);  // row 0 is the picture's top row
    const Image bottomUp = Flipped(picture);
    TextureRecord bottomLeft{}, topLeft{};
    ASSERT_EQ(LoadTga(UncompressedTga(bottomUp, 0x00), &bottomLeft, "bl.tga"), 1);
    ASSERT_EQ(LoadTga(UncompressedTga(picture, 0x20), &topLeft, "tl.tga"), 1);
    const Image bottomLeftTexture = ReadTexture(bottomLeft.glName);
    EXPECT_TRUE(SameTexels(bottomLeftTexture, bottomUp)) << "row 0 is the bottom row";
    const Image upsideDown = Flipped(bottomLeftTexture);
    EXPECT_TRUE(SameTexels(ReadTexture(topLeft.glName), upsideDown)) << "upside down";
}

TEST_F(TgaTest, ImageIdAndColourMapAreSkipped) {
    const Image image = PatternImage(4, 4, 3);
    std::vector<uint8_t> bytes = UncompressedTga(image);
    bytes[0] = 5;         // ID length
    bytes[1] = 1;         // a colour map ...
    bytes[5] = 3;         // ... of 3 entries ...
    bytes[7] = 24;        // ... of 3 bytes each
    bytes.insert(bytes.begin() + 18, 5 + 9, 0x77);
    TextureRecord record{};
    ASSERT_EQ(LoadTga(bytes, &record), 1);
    EXPECT_TRUE(SameTexels(ReadTexture(record.glName), image));
}

TEST_F(TgaTest, FooterAfterThePixelsIsNeverRead) {
    const Image image = PatternImage(4, 4, 4);
    std::vector<uint8_t> bytes = UncompressedTga(image);
    const char footer[] = "\0\0\0\0\0\0\0\0TRUEVISION-XFILE.";
    bytes.insert(bytes.end(), footer, footer + sizeof footer);
    TextureRecord record{};
    ASSERT_EQ(LoadTga(bytes, &record), 1);
    EXPECT_TRUE(SameTexels(ReadTexture(record.glName), image));
}

// Sides and what becomes of them: scaled only when both sides change.
TEST_F(TgaTest, SizeRuleTable) {
    struct Case {
        int width, height;
        uint8_t fullResolution;
        int textureWidth, textureHeight;
    };
    const Case cases[] = {
        {640, 480, 1, 512, 512},
        {256, 200, 1, 256, 200},  // the width keeps its size: nothing is scaled
        {100, 64, 1, 100, 64},    // the height keeps its size
        {100, 100, 1, 128, 128},
        {128, 32, 0, 64, 16},
        {64, 256, 0, 64, 256},    // the width is not above 64: no halving
        {100, 100, 0, 64, 64},
        {128, 1, 0, 128, 1},      // halving 1 keeps 1, so the height does not change
        {200, 3, 0, 128, 2},
    };
    const uint8_t colour[4] = {200, 30, 90, 255};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << " full "
                                        << int(c.fullResolution));
        builder.SetFullResolution(c.fullResolution);
        TextureRecord record{};
        ASSERT_EQ(LoadTga(UncompressedTga(UniformImage(c.width, c.height, 3, colour)), &record), 1);
        EXPECT_EQ(record.width, c.textureWidth);
        EXPECT_EQ(record.height, c.textureHeight);
        EXPECT_EQ(record.bitsPerPixel, 24);
        EXPECT_EQ(record.pixelFormat, GLenum(GL_RGB));
        EXPECT_TRUE(SameTexels(ReadTexture(record.glName),
                               UniformImage(c.textureWidth, c.textureHeight, 3, colour)));
    }
}

// Exact halving averages each 2 x 2 block; compared with the block means worked out
// here, within GLU's rounding.
TEST_F(TgaTest, ScaledPixelsAreTheFilesPixelsScaled) {
    const Image image = PatternImage(128, 32, 4);
    builder.SetFullResolution(0);
    TextureRecord record{};
    ASSERT_EQ(LoadTga(UncompressedTga(image), &record), 1);
    const Image texture = ReadTexture(record.glName);
    ASSERT_EQ(texture.width, 64);
    ASSERT_EQ(texture.height, 16);
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 64; ++x) {
            for (int c = 0; c < 4; ++c) {
                int sum = image.At(2 * x, 2 * y)[c] + image.At(2 * x + 1, 2 * y)[c] +
                          image.At(2 * x, 2 * y + 1)[c] + image.At(2 * x + 1, 2 * y + 1)[c];
                ASSERT_NEAR(texture.At(x, y)[c], sum / 4.0, 1.0) << x << "," << y << " c" << c;
            }
        }
    }
}

TEST_F(TgaTest, WidthAboveTheLargestTextureBecomesTheLargest) {
    const int glMaxTexDim = Integer(GL_MAX_TEXTURE_SIZE);
    ASSERT_LT(glMaxTexDim + 100, 65536);
    const int width = glMaxTexDim + 100;
    const uint8_t colour[4] = {1, 2, 3, 4};
    TgaHeader h;
    h.imageType = 10;
    h.width = uint16_t(width);
    h.height = 3;
    h.depth = 32;
    std::vector<uint8_t> bytes = HeaderBytes(h);
    for (size_t left = size_t(width) * 3; left > 0;) {
        size_t run = std::min<size_t>(left, 128);
        AppendRunPacket(bytes, colour, 4, run);
        left -= run;
    }
    TextureRecord record{};
    ASSERT_EQ(LoadTga(bytes, &record), 1);
    EXPECT_EQ(record.width, glMaxTexDim);
    EXPECT_EQ(record.height, 4);
    EXPECT_TRUE(SameTexels(ReadTexture(record.glName), UniformImage(glMaxTexDim, 4, 4, colour)));

    // A height of 4 keeps its size, yet the width could not be uploaded as it stands:
    // scaled all the same, so the texture holds the picture.
    h.height = 4;
    bytes = HeaderBytes(h);
    for (size_t left = size_t(width) * 4; left > 0;) {
        size_t run = std::min<size_t>(left, 128);
        AppendRunPacket(bytes, colour, 4, run);
        left -= run;
    }
    record = TextureRecord{};
    ASSERT_EQ(LoadTga(bytes, &record), 1);
    EXPECT_EQ(record.width, glMaxTexDim);
    EXPECT_EQ(record.height, 4);
    EXPECT_TRUE(SameTexels(ReadTexture(record.glName), UniformImage(glMaxTexDim, 4, 4, colour)));
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

// 37 pixels of 3 bytes make rows of 111 bytes, which GL's default alignment would pad.
// Under each filter the texture equals the file, and the unpack alignment ends as the
// upload table leaves it.
TEST_F(TgaTest, OddWidthTwentyFourBitFileIsExactToThePixel) {
    struct Case {
        FilterMode mode;
        GLint alignmentAfter;
    };
    const Image image = PatternImage(37, 64, 3);  // the height keeps its size: not scaled
    for (const Case& c : {Case{FilterBilinear, 4}, Case{FilterNone, 1}, Case{FilterTrilinear, 4}}) {
        SCOPED_TRACE(testing::Message() << "mode " << c.mode);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
        builder.SetFilterMode(c.mode);
        TextureRecord record{};
        ASSERT_EQ(LoadTga(UncompressedTga(image), &record), 1);
        EXPECT_EQ(record.width, 37);
        EXPECT_EQ(Integer(GL_UNPACK_ALIGNMENT), c.alignmentAfter);
        // Mipmapping rescales to a power of two, so only level 0 of a plain upload is
        // the file itself.
        if (c.mode != FilterTrilinear) {
            EXPECT_TRUE(SameTexels(ReadTexture(record.glName), image));
        } else {
            EXPECT_GT(LevelCount(record.glName), 1);
        }
    }
}

// Scaled from 37 x 37 to 32 x 32: rows of one colour each stay uniform across the
// width, and columns of one colour stay uniform down the height, only if every row was
// read where it starts.
TEST_F(TgaTest, OddWidthTwentyFourBitFileScalesRowByRow) {
    Image rows{37, 37, 3, std::vector<uint8_t>(37 * 37 * 3)};
    Image columns = rows;
    for (int y = 0; y < 37; ++y) {
        for (int x = 0; x < 37; ++x) {
            uint8_t* r = &rows.pixels[size_t(y * 37 + x) * 3];
            uint8_t* c = &columns.pixels[size_t(y * 37 + x) * 3];
            r[0] = uint8_t(y * 7), r[1] = uint8_t(255 - y * 5), r[2] = uint8_t(y * 3);
            c[0] = uint8_t(x * 7), c[1] = uint8_t(255 - x * 5), c[2] = uint8_t(x * 3);
        }
    }
    builder.SetFilterMode(FilterBilinear);
    TextureRecord rowRecord{}, columnRecord{};
    ASSERT_EQ(LoadTga(UncompressedTga(rows), &rowRecord, "rows.tga"), 1);
    ASSERT_EQ(LoadTga(UncompressedTga(columns), &columnRecord, "columns.tga"), 1);
    EXPECT_EQ(Integer(GL_UNPACK_ALIGNMENT), 4);
    const Image rowTexture = ReadTexture(rowRecord.glName);
    const Image columnTexture = ReadTexture(columnRecord.glName);
    ASSERT_EQ(rowTexture.width, 32);
    ASSERT_EQ(rowTexture.height, 32);
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            for (int c = 0; c < 3; ++c) {
                ASSERT_EQ(rowTexture.At(x, y)[c], rowTexture.At(0, y)[c]) << x << "," << y;
                ASSERT_EQ(columnTexture.At(x, y)[c], columnTexture.At(x, 0)[c]) << x << "," << y;
            }
        }
    }
    // The first and last rows keep the file's colours at the ends.
    EXPECT_NEAR(rowTexture.At(0, 0)[1], 255, 3);
    EXPECT_NEAR(columnTexture.At(31, 0)[0], 36 * 7, 8);
}

TEST_F(TgaTest, DepthThirtyThreeToThirtyNineLoadsAsRgba) {
    for (uint8_t depth : {33, 39}) {
        const Image image = PatternImage(4, 4, 4);
        std::vector<uint8_t> bytes = UncompressedTga(image);
        bytes[16] = depth;
        TextureRecord record{};
        ASSERT_EQ(LoadTga(bytes, &record), 1);
        EXPECT_EQ(record.bitsPerPixel, depth);
        EXPECT_EQ(record.pixelFormat, GLenum(GL_RGBA));
        EXPECT_TRUE(SameTexels(ReadTexture(record.glName), image));
    }
}

// Packets at their limits and across row ends: a run byte of 255 repeats 128 times, a
// raw byte of 127 carries 128 pixels; a 5-pixel-wide image makes every packet cross rows.
TEST_F(TgaTest, RunLengthPacketsAtTheirLimits) {
    for (int channels : {3, 4}) {
        SCOPED_TRACE(testing::Message() << "channels " << channels);
        const Image pattern = PatternImage(5, 64, channels);  // 320 pixels
        Image expected = pattern;
        const uint8_t runColour[4] = {9, 8, 7, 6};
        TgaHeader h;
        h.imageType = 10;
        h.width = 5;
        h.height = 64;
        h.depth = uint8_t(channels * 8);
        std::vector<uint8_t> bytes = HeaderBytes(h);
        AppendRawPacket(bytes, pattern, 0, 128);         // pixels 0..127
        AppendRunPacket(bytes, runColour, channels, 128); // 128..255
        AppendRunPacket(bytes, runColour, channels, 1);   // 256
        AppendRawPacket(bytes, pattern, 257, 1);          // 257
        AppendRawPacket(bytes, pattern, 258, 62);         // 258..319, ending exactly
        for (int i = 128; i <= 256; ++i)
            std::copy_n(runColour, channels, &expected.pixels[size_t(i) * size_t(channels)]);
        bytes.insert(bytes.end(), {0xFF, 0x01, 0x02, 0x03, 0x04});  // never read

        EXPECT_EQ(bytes[18], 127);
        EXPECT_EQ(bytes[18 + 1 + 128 * channels], 255);
        TextureRecord record{};
        ASSERT_EQ(LoadTga(bytes, &record), 1);
        EXPECT_TRUE(SameTexels(ReadTexture(record.glName), expected));
    }
}

// Failures after the header was accepted: the record shows the header, the texture name
// is untouched.
TEST_F(TgaTest, ShortAndOverlongPixelDataFails) {
    const Image image = PatternImage(6, 5, 3);
    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
    };
    std::vector<Case> cases;
    std::vector<uint8_t> uncompressed = UncompressedTga(image);
    uncompressed.pop_back();
    cases.push_back({"uncompressed one byte short", uncompressed});

    std::vector<uint8_t> packets = RawPacketTga(image, 7);
    cases.push_back({"run-length ends inside a packet", {packets.begin(), packets.end() - 1}});
    // 30 pixels in packets of 7: the last packet byte stands at 18 + 4 * (1 + 21).
    cases.push_back({"run-length ends before a packet byte", {packets.begin(), packets.begin() + 18 + 4 * 22}});

    TgaHeader h;
    h.imageType = 10;
    h.width = 6;
    h.height = 5;
    std::vector<uint8_t> tooMany = HeaderBytes(h);
    AppendRawPacket(tooMany, image, 0, 29);
    AppendRunPacket(tooMany, image.At(0, 0), 3, 2);  // one pixel past the 30th
    cases.push_back({"last packet one pixel too many", tooMany});

    std::vector<uint8_t> rawTooMany = HeaderBytes(h);
    AppendRawPacket(rawTooMany, image, 0, 28);
    Image longer = PatternImage(6, 6, 3);
    AppendRawPacket(rawTooMany, longer, 28, 3);
    cases.push_back({"raw packet one pixel too many", rawTooMany});

    for (const Case& c : cases) {
        TextureRecord record = SentinelRecord();
        EXPECT_EQ(LoadTga(c.bytes, &record), 0) << c.what;
        EXPECT_EQ(record.width, 6) << c.what;
        EXPECT_EQ(record.height, 5) << c.what;
        EXPECT_EQ(record.bitsPerPixel, 24) << c.what;
        EXPECT_EQ(record.pixelFormat, GLenum(GL_RGB)) << c.what;
        EXPECT_EQ(record.glName, 0xDEADu) << c.what;
        EXPECT_EQ(record.kind, KindTga) << c.what;
    }
}

TEST_F(TgaTest, MissingFileAndShortHeaderLeaveTheRecord) {
    TextureRecord record = SentinelRecord();
    EXPECT_EQ(DecodeTga("absent.tga", &record), 0);
    EXPECT_TRUE(SameRecord(record, SentinelRecord()));

    std::vector<uint8_t> bytes = UncompressedTga(PatternImage(2, 2, 3));
    bytes.resize(17);
    WriteFile("short.tga", bytes);
    EXPECT_EQ(DecodeTga("short.tga", &record), 0);
    EXPECT_TRUE(SameRecord(record, SentinelRecord()));

    std::filesystem::create_directory("folder.tga");
    EXPECT_EQ(DecodeTga("folder.tga", &record), 0);
    EXPECT_TRUE(SameRecord(record, SentinelRecord()));
}

// Every refused header leaves its width, height, depth and format in the record, and
// no texture name.
TEST_F(TgaTest, RefusedHeadersLeaveWhatTheyAnnounced) {
    struct Case {
        uint8_t imageType;
        uint16_t width, height;
        uint8_t depth;
    };
    const Case cases[] = {
        {0, 4, 4, 24},  {1, 4, 4, 24},  {3, 4, 4, 24},   {9, 4, 4, 24},  {11, 4, 4, 32},
        {2, 4, 4, 16},  {10, 4, 4, 8},  {2, 4, 4, 0},    {2, 4, 4, 40},  {2, 4, 4, 255},
        {2, 4, 4, 25},  {10, 4, 4, 31}, {2, 0, 4, 24},   {10, 4, 0, 32},
        // Headers whose buffer the file could never fill.
        {2, 65535, 65535, 32}, {10, 65535, 65535, 32}, {2, 8, 4, 24},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "type " << int(c.imageType) << " " << c.width << "x"
                                        << c.height << " depth " << int(c.depth));
        TgaHeader h;
        h.imageType = c.imageType;
        h.width = c.width;
        h.height = c.height;
        h.depth = c.depth;
        std::vector<uint8_t> bytes = HeaderBytes(h);
        bytes.resize(bytes.size() + 4 * 4 * 4, 0x80);  // room for a 4 x 4 image at most
        TextureRecord record = SentinelRecord();
        EXPECT_EQ(LoadTga(bytes, &record), 0);
        EXPECT_EQ(record.width, c.width);
        EXPECT_EQ(record.height, c.height);
        EXPECT_EQ(record.bitsPerPixel, c.depth);
        EXPECT_EQ(record.pixelFormat, GLenum(c.depth == 24 ? GL_RGB : GL_RGBA));
        EXPECT_EQ(record.glName, 0xDEADu);
    }
}

// A run-length file yields at most 128 pixels per byte; a header announcing more than
// that is refused before any buffer is obtained, while one within it decodes.
TEST_F(TgaTest, RunLengthHeaderWithinWhatTheFileCanHoldLoads) {
    const uint8_t colour[4] = {10, 20, 30, 40};
    TgaHeader h;
    h.imageType = 10;
    h.width = 256;
    h.height = 256;
    h.depth = 32;
    std::vector<uint8_t> bytes = HeaderBytes(h);
    for (int i = 0; i < 512; ++i) AppendRunPacket(bytes, colour, 4, 128);
    TextureRecord record{};
    ASSERT_EQ(LoadTga(bytes, &record), 1);
    EXPECT_TRUE(SameTexels(ReadTexture(record.glName), UniformImage(256, 256, 4, colour)));
}

}  // namespace
}  // namespace texture_test
