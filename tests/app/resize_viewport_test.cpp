// The viewport and projection set on every size change, read back from a real context.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <cmath>

#include "app/render_window.h"
#include "platform/platform.h"

namespace {

class ResizeViewportTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(SysCreateOffscreenGL(64, 64)) << SysLastError(); }
    static void TearDownTestSuite() { SysDestroyOffscreenGL(); }

    static void Viewport(GLint out[4]) { glGetIntegerv(GL_VIEWPORT, out); }
    static void Projection(GLdouble out[16]) { glGetDoublev(GL_PROJECTION_MATRIX, out); }
};

// 1 / tan(22.5 degrees): the projection's vertical scale for a 45-degree field of view.
const double kFocal = 1.0 / std::tan(22.5 * M_PI / 180.0);

TEST_F(ResizeViewportTest, PerspectiveOfFortyFiveDegreesWithTheWindowsAspect) {
    glMatrixMode(GL_PROJECTION);  // the call must leave model-view current whatever it finds
    ResizeViewport(640, 480);
    GLint viewport[4];
    Viewport(viewport);
    EXPECT_EQ(viewport[0], 0);
    EXPECT_EQ(viewport[1], 0);
    EXPECT_EQ(viewport[2], 640);
    EXPECT_EQ(viewport[3], 480);

    GLdouble m[16];
    Projection(m);
    EXPECT_NEAR(m[5], kFocal, 1e-6);
    EXPECT_NEAR(m[0], kFocal / (640.0 / 480.0), 1e-6);
    // Near plane 0.1 (as a float widened), far plane 100.
    const double zNear = static_cast<double>(0.1f), zFar = 100.0;
    EXPECT_NEAR(m[10], (zFar + zNear) / (zNear - zFar), 1e-6);  // GL keeps floats
    EXPECT_NEAR(m[14], 2 * zFar * zNear / (zNear - zFar), 1e-6);
    EXPECT_EQ(m[11], -1.0);

    GLint mode;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
    GLdouble mv[16];
    glGetDoublev(GL_MODELVIEW_MATRIX, mv);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(mv[i], (i % 5 == 0) ? 1.0 : 0.0) << i;
}

TEST_F(ResizeViewportTest, HeightZeroCountsAsOne) {
    ResizeViewport(300, 0);
    GLint viewport[4];
    Viewport(viewport);
    EXPECT_EQ(viewport[2], 300);
    EXPECT_EQ(viewport[3], 1);
    GLdouble m[16];
    Projection(m);
    EXPECT_NEAR(m[0], kFocal / 300.0, 1e-7);
    EXPECT_NEAR(m[5], kFocal, 1e-6);
}

TEST_F(ResizeViewportTest, WidthZeroPassesAspectZeroOnAndGluRefusesIt) {
    ResizeViewport(640, 480);
    ResizeViewport(0, 480);
    GLint viewport[4];
    Viewport(viewport);
    EXPECT_EQ(viewport[2], 0);
    EXPECT_EQ(viewport[3], 480);
    // GLU's perspective declines an aspect of 0, so the projection stays the identity that
    // was loaded before it, not the previous size's.
    GLdouble m[16];
    Projection(m);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(m[i], (i % 5 == 0) ? 1.0 : 0.0) << i;
}

}  // namespace
