// InitRenderer on a real context: the GL state it leaves, read back with glGet, and its
// answer and slots when no picture can be found.
#include <GL/gl.h>

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
