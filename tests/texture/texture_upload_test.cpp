// The upload's filter table and its lasting GL state, read back from a real context.
#include <GL/glu.h>

#include "tests/texture/test_support.h"

namespace texture_test {
namespace {

class UploadTest : public TextureTest {
protected:
    // Uploads the image as the decoders would: a fresh name, then the upload.
    TextureRecord Upload(const Image& image, const uint8_t* pixels = nullptr) {
        TextureRecord record{};
        record.width = image.width;
        record.height = image.height;
        record.pixelFormat = image.channels == 4 ? GL_RGBA : GL_RGB;
        glGenTextures(1, &record.glName);
        TextureBuilderProbe::UploadTexture(builder, &record, pixels ? pixels : image.pixels.data());
        return record;
    }
};

TEST_F(UploadTest, FilterTable) {
    struct Case {
        int32_t filterMode;
        uint8_t buildMipmaps;
        GLint mag, min;
        int levels;           // of an 8 x 8 image
        GLint alignmentAfter; // starting from 4
    };
    const Case cases[] = {
        {FilterBilinear, 0, GL_LINEAR, GL_LINEAR, 1, 4},
        {FilterBilinear, 1, GL_LINEAR, GL_LINEAR_MIPMAP_NEAREST, 4, 4},
        {FilterBilinear, 9, GL_LINEAR, GL_LINEAR_MIPMAP_NEAREST, 4, 4},
        {FilterTrilinear, 0, GL_LINEAR, GL_LINEAR_MIPMAP_LINEAR, 4, 4},
        {FilterTrilinear, 1, GL_LINEAR, GL_LINEAR_MIPMAP_LINEAR, 4, 4},
        {FilterNone, 0, GL_NEAREST, GL_NEAREST, 1, 1},
        {FilterNone, 1, GL_NEAREST, GL_NEAREST, 1, 1},
        {7, 1, GL_NEAREST, GL_NEAREST, 1, 1},
        {-1, 0, GL_NEAREST, GL_NEAREST, 1, 1},
        {3, 1, GL_NEAREST, GL_NEAREST, 1, 1},
    };
    const Image image = PatternImage(8, 8, 4);
    for (const Case& c : cases) {
        glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
        builder.SetFilterMode(static_cast<FilterMode>(c.filterMode));
        builder.SetMipmaps(c.buildMipmaps);
        const TextureRecord record = Upload(image);
        SCOPED_TRACE(testing::Message() << "mode " << c.filterMode << " mipmaps " << int(c.buildMipmaps));
        EXPECT_EQ(Integer(GL_TEXTURE_BINDING_2D), GLint(record.glName)) << "left bound";
        EXPECT_EQ(Integer(GL_UNPACK_ALIGNMENT), c.alignmentAfter);
        EXPECT_EQ(TexParameter(record.glName, GL_TEXTURE_WRAP_S), GL_CLAMP);
        EXPECT_EQ(TexParameter(record.glName, GL_TEXTURE_WRAP_T), GL_CLAMP);
        EXPECT_EQ(TexParameter(record.glName, GL_TEXTURE_MAG_FILTER), c.mag);
        EXPECT_EQ(TexParameter(record.glName, GL_TEXTURE_MIN_FILTER), c.min);
        EXPECT_EQ(LevelCount(record.glName), c.levels);
        EXPECT_TRUE(SameTexels(ReadTexture(record.glName), image));
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    }
}

TEST_F(UploadTest, ComponentsFollowThePixelFormat) {
    for (GLenum format : {GLenum(GL_RGB), GLenum(GL_RGBA)}) {
        const Image image = PatternImage(4, 4, format == GL_RGBA ? 4 : 3);
        const TextureRecord record = Upload(image);
        GLint alphaBits = -1;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_ALPHA_SIZE, &alphaBits);
        EXPECT_EQ(alphaBits == 0, format == GL_RGB) << "format " << format;
        EXPECT_TRUE(SameTexels(ReadTexture(record.glName), image));
    }
}

// Any format but GL_RGBA counts as 3 components.
TEST_F(UploadTest, UnknownPixelFormatIsThreeComponents) {
    TextureRecord record{};
    record.width = 2;
    record.height = 2;
    record.pixelFormat = GL_RGB;
    glGenTextures(1, &record.glName);
    const uint8_t pixels[16] = {};
    TextureBuilderProbe::UploadTexture(builder, &record, pixels);
    GLint alphaBits = -1;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_ALPHA_SIZE, &alphaBits);
    EXPECT_EQ(alphaBits, 0);
}

// RGB rows of 3 pixels (9 bytes) are read padded to 4 bytes until a FilterNone upload
// sets the alignment to 1, and tightly from then on, whatever the mode.
TEST_F(UploadTest, NearestUploadLeavesTightRowsForEveryLaterTransfer) {
    const Image image = PatternImage(3, 2, 3);
    std::vector<uint8_t> padded(24, 0xEE);
    std::copy_n(image.pixels.begin(), 9, padded.begin());
    std::copy_n(image.pixels.begin() + 9, 9, padded.begin() + 12);

    builder.SetFilterMode(FilterBilinear);
    TextureRecord record = Upload(image, padded.data());
    EXPECT_TRUE(SameTexels(ReadTexture(record.glName), image)) << "padded rows before";

    builder.SetFilterMode(FilterNone);
    record = Upload(image);
    EXPECT_TRUE(SameTexels(ReadTexture(record.glName), image));
    EXPECT_EQ(Integer(GL_UNPACK_ALIGNMENT), 1);

    for (FilterMode mode : {FilterBilinear, FilterTrilinear}) {
        builder.SetFilterMode(mode);
        record = Upload(image);
        EXPECT_EQ(Integer(GL_UNPACK_ALIGNMENT), 1);
        if (mode == FilterBilinear) {
            EXPECT_TRUE(SameTexels(ReadTexture(record.glName), image)) << "tight rows after";
        }
    }
}

}  // namespace
}  // namespace texture_test
