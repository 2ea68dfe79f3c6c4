// InitRenderer on a real context: the GL state it leaves, read back with glGet, and its
// answer and slots when no picture can be found.
#include <GL/gl.h>
#include <sys/stat.h>

#include <cstdlib>

#include "app/renderer_setup.h"
#include "tests/scenes/scene_screen.h"

namespace {

class RendererSetupTest : public SceneScreenTest {
protected:
    void SetUp() override { StartScreen(); }
};

void ExpectVector(GLenum pname, const float* got, const float (&want)[4]) {
    for (int i = 0; i < 4; ++i)
        EXPECT_FLOAT_EQ(got[i], want[i]) << "component " << i << " of 0x" << std::hex << pname;
}

TEST_F(RendererSetupTest, LeavesTheLightAndTheFixedRenderingState) {
    ASSERT_EQ(InitRenderer(), 1);

    struct Switch {
        GLenum cap;
        bool on;
    };
    const Switch switches[] = {
        {GL_LIGHT1, true},     {GL_LIGHTING, true},   {GL_TEXTURE_2D, true},
        {GL_DEPTH_TEST, true}, {GL_LIGHT0, false},  // light 1 is the only light
    };
    for (const Switch& s : switches)
        EXPECT_EQ(glIsEnabled(s.cap) == GL_TRUE, s.on) << "capability 0x" << std::hex << s.cap;

    float v[4];
    glGetLightfv(GL_LIGHT1, GL_AMBIENT, v);
    ExpectVector(GL_AMBIENT, v, {1.0f, 1.0f, 1.0f, 1.0f});
    glGetLightfv(GL_LIGHT1, GL_DIFFUSE, v);
    ExpectVector(GL_DIFFUSE, v, {1.0f, 1.0f, 1.0f, 1.0f});
    // Read back in eye coordinates: a positional light at the eye point.
    glGetLightfv(GL_LIGHT1, GL_POSITION, v);
    ExpectVector(GL_POSITION, v, {0.0f, 0.0f, 0.0f, 1.0f});

    float clear[4];
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    ExpectVector(GL_COLOR_CLEAR_VALUE, clear, {0.0f, 0.0f, 0.0f, 0.0f});
    double depth = 0.0;
    glGetDoublev(GL_DEPTH_CLEAR_VALUE, &depth);
    EXPECT_DOUBLE_EQ(depth, 1.0);

    struct Value {
        GLenum pname;
        GLint want;
    };
    const Value values[] = {
        {GL_SHADE_MODEL, GL_SMOOTH},
        {GL_DEPTH_FUNC, GL_LEQUAL},
        {GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST},
        {GL_POINT_SMOOTH_HINT, GL_NICEST},
    };
    for (const Value& value : values) {
        GLint got = 0;
        glGetIntegerv(value.pname, &got);
        EXPECT_EQ(got, value.want) << "state 0x" << std::hex << value.pname;
    }
}

TEST_F(RendererSetupTest, AnswersOneWithNoDataFolderAndEverySlotKeepsNameZero) {
    ASSERT_EQ(InitRenderer(), 1);  // the folder of this test holds nothing at all
    for (const CatalogueEntry& entry : kCatalogue)
        EXPECT_EQ(entry.slot->glName, 0u) << entry.file;
}

TEST_F(RendererSetupTest, LoadsEveryCatalogueFileIntoItsOwnSlotWithMipmaps) {
    const std::string data = WorkFolder() + "/data";
    ASSERT_EQ(mkdir(data.c_str(), 0755), 0);
    ASSERT_TRUE(WriteTestPictureFiles(data, 64, 32));
    ASSERT_EQ(InitRenderer(), 1);

    for (int i = 0; i < 29; ++i) {
        const TextureRecord& slot = *kCatalogue[i].slot;
        SCOPED_TRACE(kCatalogue[i].file);
        ASSERT_NE(slot.glName, 0u);
        EXPECT_EQ(slot.width, 64);  // full resolution: not halved
        EXPECT_EQ(slot.height, 32);
        glBindTexture(GL_TEXTURE_2D, slot.glName);
        GLint minFilter = 0, magFilter = 0, smallestWidth = 0;
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minFilter);
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &magFilter);
        EXPECT_EQ(minFilter, GL_LINEAR_MIPMAP_LINEAR);
        EXPECT_EQ(magFilter, GL_LINEAR);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 6, GL_TEXTURE_WIDTH, &smallestWidth);
        EXPECT_EQ(smallestWidth, 1) << "a full mipmap chain reaches 1x1 at level 6";

        // The slot holds its own file's picture: the texels are that row's colour.
        std::vector<uint8_t> texels(64 * 32 * 4);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
        const Rgb want = TestColour(i);
        const uint8_t* middle = &texels[(16 * 64 + 32) * 4];
        EXPECT_NEAR(middle[0], want.r, 4);
        EXPECT_NEAR(middle[1], want.g, 4);
        EXPECT_NEAR(middle[2], want.b, 4);
    }
    glBindTexture(GL_TEXTURE_2D, 0);
}

TEST_F(RendererSetupTest, SetsFullResolutionMipmapsAndTrilinearButNotTheColourKey) {
    TextureBuilder& builder = *gTextureBuilder;
    const TextureBuilder before = builder;
    builder.SetFullResolution(0);
    builder.SetMipmaps(0);
    builder.SetFilterMode(FilterNone);
    builder.SetColourKey(1, 12, 34, 56);
    builder.SetColourKey(0, 0, 0, 0);  // off, the key colour kept

    ASSERT_EQ(InitRenderer(), 1);
    EXPECT_EQ(builder.fullResolution, 1);
    EXPECT_EQ(builder.buildMipmaps, 1);
    EXPECT_EQ(builder.filterMode, FilterTrilinear);
    EXPECT_EQ(builder.colourKeyOn, 0);
    EXPECT_EQ(builder.keyRed, 12);
    EXPECT_EQ(builder.keyGreen, 34);
    EXPECT_EQ(builder.keyBlue, 56);
    builder = before;
}

}  // namespace
