// The builder's picture decoders end to end: real picture files and program resources
// become textures, read back with glGetTexImage from a real (offscreen) GL context.
#include <GL/gl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "platform/platform.h"
#include "tests/picture/picture_fixtures.h"
#include "tests/picture/resource_pictures.h"
#include "texture/texture_builder.h"

namespace {

// What a texture holds, rows as GL stores them (row 0 is the picture's bottom row), each
// pixel 0xAABBGGRR as read little-endian from GL_RGBA bytes.
struct Texture {
    int width = 0, height = 0;
    std::vector<uint32_t> texels;
    uint32_t at(int x, int row) const { return texels[size_t(row) * width + x]; }
};

Texture ReadBack(GLuint name) {
    Texture texture;
    glBindTexture(GL_TEXTURE_2D, name);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &texture.width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &texture.height);
    texture.texels.resize(size_t(texture.width) * texture.height);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texture.texels.data());
    return texture;
}

uint32_t Texel(uint8_t r, uint8_t g, uint8_t b, uint8_t a) {
    return uint32_t(a) << 24 | uint32_t(b) << 16 | uint32_t(g) << 8 | r;
}

// The texel a picture pixel should become: colour in place, alpha 0 for exactly the key
// colour when keyed, 255 otherwise.
uint32_t Expected(uint32_t argb, bool keyed, uint32_t keyRgb = 0) {
    uint32_t rgb = argb & 0xFFFFFF;
    uint8_t alpha = (keyed && rgb == keyRgb) ? 0 : 255;
    return Texel(uint8_t(rgb >> 16), uint8_t(rgb >> 8), uint8_t(rgb), alpha);
}

int Channel(uint32_t texel, int i) { return int((texel >> (8 * i)) & 0xFF); }

// Compares every pixel of an unscaled picture with its texel, colour within tolerance,
// alpha exactly.
void ExpectTextureIs(const Texture& texture, const Image& image, bool keyed, int tolerance = 0) {
    ASSERT_EQ(texture.width, image.width);
    ASSERT_EQ(texture.height, image.height);
    int wrong = 0;
    for (int row = 0; row < texture.height; ++row)
        for (int x = 0; x < texture.width; ++x) {
            uint32_t want = Expected(image.at(x, image.height - 1 - row), keyed);
            uint32_t got = texture.at(x, row);
            bool same = Channel(got, 3) == Channel(want, 3);
            for (int c = 0; c < 3; ++c) same = same && std::abs(Channel(got, c) - Channel(want, c)) <= tolerance;
            if (!same && ++wrong <= 5)
                ADD_FAILURE() << "texel " << x << "," << row << ": " << std::hex << got << " not " << want;
        }
    EXPECT_EQ(wrong, 0);
}

// A record of values no decoder writes, to see what a failed load leaves.
TextureRecord Sentinel() { return TextureRecord{0xDEADu, KindTga, -7, -9, 0x1234u, 99}; }

// The name glGenTextures hands out next (names are handed out in order and, until one is
// deleted, never twice).
GLuint NextTextureName() {
    GLuint name = 0;
    glGenTextures(1, &name);
    return name;
}

class PictureDecoder : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        ASSERT_TRUE(SysCreateOffscreenGL(64, 64)) << SysLastError();
        char pattern[] = "/tmp/picture-decoder-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder_ = pattern;
        // LoadPictureFile looks for names in the current directory.
        ASSERT_EQ(chdir(folder_.c_str()), 0);
    }
    static void TearDownTestSuite() {
        std::error_code ignored;
        if (chdir("/") == 0) std::filesystem::remove_all(folder_, ignored);
        SysDestroyOffscreenGL();
    }
    void SetUp() override {
        builder_.SetColourKey(1, 0, 0, 0);
        builder_.SetFullResolution(1);
        builder_.SetMipmaps(0);
        builder_.SetFilterMode(FilterNone);
    }
    void TearDown() override { EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR)); }

    // Writes the bytes under the name and loads them through LoadPictureFile.
    int Load(const std::string& name, const Bytes& bytes, TextureRecord* record) {
        EXPECT_TRUE(WriteFile(name, bytes));
        return builder_.LoadPictureFile(name.c_str(), record);
    }

    static std::string folder_;
    TextureBuilder builder_;
};
std::string PictureDecoder::folder_;

TEST_F(PictureDecoder, EachFormatDecodesFromAFileToItsPixels) {
    // Power-of-two sizes, so no stretching stands between the file and the texture.
    Image gradient = Gradient(32, 16);
    Image clear = Gradient(16, 16);
    for (int x = 0; x < 16; ++x) clear.at(x, 5) = 0;           // a transparent row
    for (int y = 0; y < 16; ++y) clear.at(2, y) = Rgb(0, 0, 0);  // an opaque black column
    Image second = Gradient(16, 16);
    for (uint32_t& p : second.pixels) p = Rgb(9, 99, 199);
    Bytes jpeg = WriteJpeg(gradient, 95);
    Image jpegReference = DecodeJpegReference(jpeg);
    ASSERT_EQ(jpegReference.width, 32);

    // Metafiles: blue over the top quarter, yellow below; compared away from the edge.
    std::vector<Rectangle> shapes = {{0, 0, 64, 8, 0x0000FF}, {0, 8, 64, 32, 0xFFFF00}};
    Image drawing(64, 32);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 64; ++x) drawing.at(x, y) = y < 8 ? Rgb(0, 0, 255) : Rgb(255, 255, 0);

    struct Case {
        const char* name;
        Bytes bytes;
        Image expected;
        SourceKind kind;
        int tolerance;
    } cases[] = {
        {"gradient.bmp", WriteBmp(gradient), gradient, KindBmp, 0},
        {"gradient.JPG", jpeg, jpegReference, KindJpeg, 1},
        // The first frame only; transparent pixels black, then keyed like black ones.
        {"two-frames.gif", WriteGif({clear, second}), clear, KindGif, 0},
        {"clear.ico", WriteIco(clear), clear, KindIco, 0},
        {"clear.png", WritePng(clear), clear, KindOther, 0},
        {"drawing.wmf", WriteWmf(64, 32, 96, shapes), drawing, KindWmf, 0},
        {"drawing.emf", WriteEmf(64, 32, shapes), drawing, KindEmf, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TextureRecord record{};
        ASSERT_EQ(Load(c.name, c.bytes, &record), 1) << SysLastError();
        EXPECT_NE(record.glName, 0u);
        EXPECT_EQ(record.kind, c.kind);
        EXPECT_EQ(record.width, c.expected.width);
        EXPECT_EQ(record.height, c.expected.height);
        EXPECT_EQ(record.bitsPerPixel, 32);
        EXPECT_EQ(record.pixelFormat, uint32_t(GL_RGBA));
        Texture texture = ReadBack(record.glName);
        if (c.kind == KindWmf || c.kind == KindEmf) {
            // Rows next to the colour edge (rows 23 and 24 from the bottom) may blend, and
            // the renderer may lose a step of colour at the picture's edge.
            ASSERT_EQ(texture.width, 64);
            ASSERT_EQ(texture.height, 32);
            for (int row : {0, 5, 12, 22, 25, 28, 31})
                for (int x : {0, 1, 30, 62, 63}) {
                    uint32_t want = Expected(drawing.at(x, 31 - row), true), got = texture.at(x, row);
                    EXPECT_EQ(Channel(got, 3), Channel(want, 3));
                    for (int i = 0; i < 3; ++i)
                        EXPECT_NEAR(Channel(got, i), Channel(want, i), 2) << "texel " << x << "," << row;
                }
        } else {
            ExpectTextureIs(texture, c.expected, true, c.tolerance);
        }
        builder_.ReleaseTexture(&record);
    }
}

TEST_F(PictureDecoder, PicturesAreStretchedToThePowerOfTwoSize) {
    struct Case {
        int width, height;
        uint8_t fullResolution;
        int targetWidth, targetHeight;
    } cases[] = {
        {640, 480, 1, 512, 512},
        {800, 600, 1, 1024, 512},
        {640, 480, 0, 256, 256},
        {100, 100, 0, 64, 64},
        {91, 90, 1, 128, 64},
        {724, 725, 1, 512, 1024},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << " full " << int(c.fullResolution));
        builder_.SetFullResolution(c.fullResolution);
        TextureRecord record{};
        ASSERT_EQ(Load("quadrants.bmp", WriteBmp(Quadrants(c.width, c.height)), &record), 1);
        EXPECT_EQ(record.width, c.targetWidth);
        EXPECT_EQ(record.height, c.targetHeight);
        Texture texture = ReadBack(record.glName);
        ASSERT_EQ(texture.width, c.targetWidth);
        ASSERT_EQ(texture.height, c.targetHeight);
        // The whole picture, upright: the bottom rows of the texture hold the picture's
        // bottom quadrants, blue to the left and white to the right.
        int left = c.targetWidth / 4, right = c.targetWidth * 3 / 4;
        int bottom = c.targetHeight / 4, top = c.targetHeight * 3 / 4;
        EXPECT_EQ(texture.at(left, bottom), Texel(0, 0, 255, 255));
        EXPECT_EQ(texture.at(right, bottom), Texel(255, 255, 255, 255));
        EXPECT_EQ(texture.at(left, top), Texel(255, 0, 0, 255));
        EXPECT_EQ(texture.at(right, top), Texel(0, 255, 0, 255));
        EXPECT_EQ(texture.at(0, 0), Texel(0, 0, 255, 255));
        EXPECT_EQ(texture.at(c.targetWidth - 1, c.targetHeight - 1), Texel(0, 255, 0, 255));
        builder_.ReleaseTexture(&record);
    }
}

TEST_F(PictureDecoder, ColourKeyMakesExactlyTheKeyColourClear) {
    // One row of colours next to the key colours tried below.
    const uint32_t colours[] = {Rgb(0, 0, 0), Rgb(0, 0, 1), Rgb(1, 0, 0), Rgb(0, 1, 0),
                                Rgb(10, 20, 30), Rgb(30, 20, 10), Rgb(255, 255, 255), Rgb(10, 20, 31)};
    Image row(8, 1);
    for (int x = 0; x < 8; ++x) row.at(x, 0) = colours[x];
    Bytes bmp = WriteBmp(row);

    struct Case {
        const char* what;
        uint8_t on, red, green, blue;
        int clearColumn;  // -1: none
    } cases[] = {
        {"black, the default", 1, 0, 0, 0, 0},
        {"(0, 0, 1)", 1, 0, 0, 1, 1},
        {"(10, 20, 30)", 1, 10, 20, 30, 4},
        {"off", 0, 0, 0, 0, -1},
        // Only exactly 1 switches the key on; 2 keeps the last key colour stored but
        // converts plainly.
        {"on 2", 2, 0, 0, 0, -1},
        {"a colour in no pixel", 1, 1, 2, 3, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        builder_.SetColourKey(1, 0, 0, 0);
        builder_.SetColourKey(c.on, c.red, c.green, c.blue);
        TextureRecord record{};
        ASSERT_EQ(Load("row.bmp", bmp, &record), 1);
        Texture texture = ReadBack(record.glName);
        ASSERT_EQ(texture.width, 8);
        ASSERT_EQ(texture.height, 1);
        for (int x = 0; x < 8; ++x) {
            uint32_t rgb = colours[x];
            uint8_t alpha = x == c.clearColumn ? 0 : 255;
            // Red and blue in place whichever conversion ran.
            EXPECT_EQ(texture.at(x, 0), Texel(uint8_t(rgb >> 16), uint8_t(rgb >> 8), uint8_t(rgb), alpha))
                << "column " << x;
        }
        builder_.ReleaseTexture(&record);
    }
}

TEST_F(PictureDecoder, JpegKeyedFromAFileButNotAsAResourceAndGifResourcesKeyed) {
    Image picture = KeyedPicture();
    Bytes jpeg = WriteJpeg(picture, 100);
    Image reference = DecodeJpegReference(jpeg);
    ASSERT_EQ(reference.width, 32);
    // The black half decodes to exact black; without that the key would have nothing to do.
    ASSERT_EQ(reference.at(3, 3) & 0xFFFFFF, 0u);

    TextureRecord file{};
    ASSERT_EQ(Load("keyed.jpg", jpeg, &file), 1);
    ExpectTextureIs(ReadBack(file.glName), reference, true, 1);

    struct Case {
        const char* what;
        uint16_t id;
        const char* type;
        SourceKind kind;
        bool keyed;
    } cases[] = {
        {"JPEG resource", 101, "JPEG", KindJpeg, false},
        {"GIF resource", 102, "GIF", KindGif, true},
        // The kind passed decides, not the bytes: JPEG bytes loaded as a GIF are keyed.
        {"JPEG bytes as a GIF resource", 101, "jpeg", KindGif, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TextureRecord record{};
        ASSERT_EQ(builder_.LoadPictureResource(c.id, c.type, &record, c.kind), 1);
        EXPECT_EQ(record.kind, c.kind);
        EXPECT_EQ(record.width, 32);
        EXPECT_EQ(record.height, 16);
        EXPECT_EQ(record.bitsPerPixel, 32);
        EXPECT_EQ(record.pixelFormat, uint32_t(GL_RGBA));
        ExpectTextureIs(ReadBack(record.glName), c.id == 101 ? reference : picture, c.keyed, 1);
        builder_.ReleaseTexture(&record);
    }
    builder_.ReleaseTexture(&file);
}

TEST_F(PictureDecoder, FailedLoadsLeaveTheRecordAndMakeNoTextureName) {
    Bytes jpeg = WriteJpeg(Gradient(64, 64), 90);
    Bytes png = WritePng(Gradient(64, 64));
    ASSERT_TRUE(WriteFile("cut.jpg", Bytes(jpeg.begin(), jpeg.begin() + jpeg.size() / 2)));
    ASSERT_TRUE(WriteFile("cut.png", Bytes(png.begin(), png.begin() + png.size() - 20)));
    ASSERT_TRUE(WriteFile("garbage.bmp", Bytes(300, 0x5A)));
    ASSERT_TRUE(WriteFile("empty.gif", Bytes()));
    Bytes tga = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 1, 0, 24, 0, 1, 2, 3};
    ASSERT_TRUE(WriteFile("targa.dat", tga));
    ASSERT_EQ(mkdir("folder.jpg", 0700), 0);
    // The URL below goes to the service unchanged; as a path it would name this file.
    ASSERT_EQ(mkdir("http:", 0700), 0);
    ASSERT_TRUE(WriteFile("http:/picture.jpg", jpeg));
    std::string tooLong(kSysPathMax + 10, 'a');
    tooLong += ".jpg";

    struct Case {
        const char* name;
        SourceKind kind;  // as the extension sets it before decoding
    } cases[] = {
        {"missing.jpg", KindJpeg}, {"cut.jpg", KindJpeg},   {"cut.png", KindOther},
        {"garbage.bmp", KindBmp},  {"empty.gif", KindGif},  {"targa.dat", KindOther},
        {"folder.jpg", KindJpeg},  {"http://picture.jpg", KindJpeg},
        {"http://127.0.0.1:9/picture.jpg", KindJpeg},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        GLuint before = NextTextureName();
        TextureRecord record = Sentinel();
        EXPECT_EQ(builder_.LoadPictureFile(c.name, &record), 0);
        TextureRecord expected = Sentinel();
        expected.kind = c.kind;
        EXPECT_EQ(std::memcmp(&record, &expected, sizeof record), 0);
        EXPECT_EQ(NextTextureName(), before + 1);
    }
    {
        SCOPED_TRACE("a path longer than the platform takes");
        GLuint before = NextTextureName();
        TextureRecord record = Sentinel();
        EXPECT_EQ(builder_.LoadPictureFile(tooLong.c_str(), &record), 0);
        EXPECT_EQ(record.glName, 0xDEADu);
        EXPECT_EQ(record.width, -7);
        EXPECT_EQ(NextTextureName(), before + 1);
    }

    struct ResourceCase {
        const char* what;
        uint16_t id;
        const char* type;
        SourceKind kind;
    } resources[] = {
        {"no such number", 999, "JPEG", KindJpeg},
        {"no such type", 101, "PNG", KindJpeg},
        {"a number of another type", 102, "JPEG", KindGif},
        {"no picture in the bytes", 103, "JPEG", KindJpeg},
        {"no picture in the bytes, as a GIF", 103, "JPEG", KindGif},
    };
    for (const ResourceCase& c : resources) {
        SCOPED_TRACE(c.what);
        GLuint before = NextTextureName();
        TextureRecord record = Sentinel();
        EXPECT_EQ(builder_.LoadPictureResource(c.id, c.type, &record, c.kind), 0);
        TextureRecord expected = Sentinel();
        expected.kind = c.kind;
        EXPECT_EQ(std::memcmp(&record, &expected, sizeof record), 0);
        EXPECT_EQ(NextTextureName(), before + 1);
    }
}

}  // namespace
