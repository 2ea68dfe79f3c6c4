// The outline font in a real GL context: one list per code that draws the glyph's solid
// and advances by the glyph's advance, the front at z = 0 and the back at z = -0.2 with
// lit walls between, text printing and deletion.
#include "app/outline_font.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "tests/font/font_test_support.h"
#include "tests/font/gl_call_seam.h"
#include "tests/font/outline_geometry.h"

using namespace fonttest;

namespace {

constexpr float kDepth = 0.2f;

// What the outline service says of a code: whether it has a glyph, its contours, its
// advance.
struct Reference {
    bool glyph = false;
    std::vector<std::vector<Vec>> contours;
    float advance = 0;
};

class OutlineFont : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        ASSERT_TRUE(SysCreateOffscreenGL(kViewSize, kViewSize)) << SysLastError();
        const auto start = std::chrono::steady_clock::now();
        BuildOutlineFont();
        glFinish();
        const double ms = std::chrono::duration<double, std::milli>(
                              std::chrono::steady_clock::now() - start)
                              .count();
        std::printf("BuildOutlineFont took %.1f ms\n", ms);

        SysOutlineFace* face = SysOpenOutlineFace("times", 700);
        ASSERT_NE(face, nullptr) << SysLastError();
        references_.assign(256, Reference{});
        for (unsigned code = 0; code < 255; ++code) {
            SysGlyphShape shape;
            Reference& reference = references_[code];
            reference.glyph = SysGlyphOutline(face, code, 0.1f, &shape);
            if (!reference.glyph) continue;
            reference.contours = Contours(shape);
            reference.advance = shape.advance;
        }
        SysCloseOutlineFace(face);
    }
    static void TearDownTestSuite() {
        DeleteOutlineFont();
        SysDestroyOffscreenGL();
    }
    void SetUp() override {
        ASSERT_NE(gFontListBase, 0u);
        ASSERT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    }
    void TearDown() override { EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR)); }

    static std::vector<Reference> references_;
};
std::vector<Reference> OutlineFont::references_;

bool NearlyIdentityBut(const Matrix& matrix, float translateX) {
    for (int i = 0; i < 16; ++i) {
        const float expected = i == 12 ? translateX : (i % 5 == 0 ? 1.0f : 0.0f);
        if (std::fabs(matrix.m[i] - expected) > 1e-5f) return false;
    }
    return true;
}

TEST_F(OutlineFont, ReservesTwoHundredFiftySixNamesWithAListForEachGlyph) {
    for (unsigned code = 0; code < 255; ++code)
        EXPECT_TRUE(glIsList(gFontListBase + code)) << "code " << code;
    // The 256 names are taken: the next reservation lies elsewhere.
    const GLuint other = glGenLists(1);
    EXPECT_NE(other, 0u);
    EXPECT_TRUE(other < gFontListBase || other >= gFontListBase + 256) << other;
    glDeleteLists(other, 1);
}

// Every code whose glyph has contours draws something; spaces, control codes, undefined
// codes and code 255 draw nothing.
TEST_F(OutlineFont, EveryGlyphWithAnOutlineDrawsAndNoOtherCodeDoes) {
    for (unsigned code = 0; code < 256; ++code) {
        BeginGlyphView();
        glCallList(gFontListBase + code);
        const int lit = CountLit(ReadRed());
        if (references_[code].contours.empty())
            EXPECT_EQ(lit, 0) << "code " << code;
        else
            EXPECT_GT(lit, 0) << "code " << code;
    }
}

// Each list ends with the pen moved right by the glyph's advance and nothing else; code
// 255 and the undefined codes leave the pen where it was.
TEST_F(OutlineFont, EachListAdvancesByItsGlyphsAdvance) {
    BeginGlyphView();
    for (unsigned code = 0; code < 256; ++code) {
        glLoadIdentity();
        glCallList(gFontListBase + code);
        const Matrix after = ModelView();
        const float advance = references_[code].advance;
        EXPECT_TRUE(NearlyIdentityBut(after, advance))
            << "code " << code << ": moved " << after.m[12] << ", " << after.m[13] << ", "
            << after.m[14] << " for an advance of " << advance;
    }
    EXPECT_NEAR(references_['A'].advance, 0.722f, 1e-4);
    EXPECT_EQ(references_[255].advance, 0.0f);
}

// The front face covers exactly the glyph's area under the nonzero rule: holes stay open,
// overlapping parts stay filled. Pixels may differ only along the outline.
TEST_F(OutlineFont, FrontCoversTheOutlinesArea) {
    const float left = -0.3f, right = 1.3f, bottom = -0.4f, top = 1.2f;
    const double pixel = (right - left) / kViewSize;
    for (unsigned code : {unsigned('O'), unsigned('B'), unsigned('&'), unsigned('%'),
                          unsigned('8'), unsigned('@'), unsigned('g'), 0x80u, 0x9Fu, 0xC5u,
                          0xD8u, 0xE6u}) {
        SCOPED_TRACE("code " + std::to_string(code));
        const auto& contours = references_[code].contours;
        ASSERT_FALSE(contours.empty());
        BeginView(left, right, bottom, top);
        glCallList(gFontListBase + code);
        const std::vector<uint8_t> red = ReadRed();
        int inside = 0, outside = 0, wrong = 0;
        for (int row = 0; row < kViewSize; ++row) {
            for (int column = 0; column < kViewSize; ++column) {
                const Vec centre{left + (column + 0.5) * pixel, bottom + (row + 0.5) * pixel};
                if (DistanceToContours(centre, contours) < 1.5 * pixel) continue;
                const bool filled = WindingNumber(centre, contours) != 0;
                const bool drawn = red[row * kViewSize + column] != 0;
                (filled ? inside : outside)++;
                wrong += filled != drawn;
            }
        }
        EXPECT_GT(inside, 100);
        EXPECT_GT(outside, 100);
        EXPECT_EQ(wrong, 0);
    }
}

// Seen from the front the glyph is its front face at z = 0; seen from behind, its back
// face at z = -0.2; both show with back faces culled, so each faces its own way.
TEST_F(OutlineFont, FrontAtZeroBackAtMinusPointTwoEachFacingOutward) {
    for (unsigned code : {unsigned('H'), unsigned('O'), unsigned('g')}) {
        SCOPED_TRACE("code " + std::to_string(code));
        int litFront = 0;
        for (bool fromBehind : {false, true}) {
            if (fromBehind)
                BeginView(-1.3f, 0.3f, -0.4f, 1.2f);
            else
                BeginGlyphView();
            glEnable(GL_CULL_FACE);
            glCullFace(GL_BACK);
            if (fromBehind) glRotatef(180, 0, 1, 0);
            glCallList(gFontListBase + code);
            const std::vector<uint8_t> red = ReadRed();
            const std::vector<float> depth = ReadDepth();
            glDisable(GL_CULL_FACE);
            // Eye-space z of the visible face: the front at 0, the back (turned to face
            // the eye) at +0.2.
            const double expected = DepthOfEyeZ(fromBehind ? kDepth : 0.0);
            int lit = 0, off = 0;
            for (size_t i = 0; i < red.size(); ++i) {
                if (!red[i]) continue;
                ++lit;
                off += std::fabs(depth[i] - expected) > 1e-3;
            }
            EXPECT_GT(lit, 200) << (fromBehind ? "back" : "front");
            EXPECT_EQ(off, 0) << (fromBehind ? "back" : "front");
            // The back is the front's mirror image.
            if (fromBehind) {
                EXPECT_NEAR(lit, litFront, litFront / 50 + 4);
            } else {
                litFront = lit;
            }
        }
    }
}

// Seen from the side, only the walls show, standing from z = 0 to z = -0.2 as high as the
// glyph.
TEST_F(OutlineFont, WallsJoinFrontAndBack) {
    // Looking along +x at the left side of 'I': eye x is the glyph's z.
    BeginView(-0.8f, 0.8f, -0.4f, 1.2f);
    glRotatef(90, 0, 1, 0);
    glCallList(gFontListBase + 'I');
    const std::vector<uint8_t> red = ReadRed();
    const double pixel = 1.6 / kViewSize;
    double minX = 1e9, maxX = -1e9, minY = 1e9, maxY = -1e9;
    for (int row = 0; row < kViewSize; ++row)
        for (int column = 0; column < kViewSize; ++column)
            if (red[row * kViewSize + column]) {
                minX = std::min(minX, -0.8 + column * pixel);
                maxX = std::max(maxX, -0.8 + (column + 1) * pixel);
                minY = std::min(minY, -0.4 + row * pixel);
                maxY = std::max(maxY, -0.4 + (row + 1) * pixel);
            }
    double glyphBottom = 1e9, glyphTop = -1e9;
    for (const auto& contour : references_['I'].contours)
        for (const Vec& p : contour) {
            glyphBottom = std::min(glyphBottom, p.y);
            glyphTop = std::max(glyphTop, p.y);
        }
    EXPECT_NEAR(minX, -kDepth, 1.5 * pixel);
    EXPECT_NEAR(maxX, 0.0, 1.5 * pixel);
    EXPECT_NEAR(minY, glyphBottom, 1.5 * pixel);
    EXPECT_NEAR(maxY, glyphTop, 1.5 * pixel);
}

// Mean brightness of the pixels of one code drawn under a directional light, with back
// faces culled: a wall wound the wrong way leaves no pixels, and the answer -1.
double MeanLit(unsigned code, float yRotation, const float lightDirection[4]) {
    BeginView(-1.3f, 1.3f, -1.1f, 1.5f);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    const float black[4] = {0, 0, 0, 1}, white[4] = {1, 1, 1, 1};
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, black);
    glLightfv(GL_LIGHT0, GL_AMBIENT, black);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, white);
    glLightfv(GL_LIGHT0, GL_POSITION, lightDirection);  // eye space: model-view is identity
    glEnable(GL_LIGHT0);
    glEnable(GL_LIGHTING);
    glRotatef(yRotation, 0, 1, 0);
    // A stray current normal must not stand in for the lists' own.
    glNormal3f(0, 1, 0);
    glPushMatrix();
    glCallList(gFontListBase + code);
    glPopMatrix();
    glDisable(GL_LIGHTING);
    // Coverage from an unlit pass of the same view: dark pixels count too.
    const std::vector<uint8_t> shade = ReadRed();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glCallList(gFontListBase + code);
    const std::vector<uint8_t> cover = ReadRed();
    glDisable(GL_CULL_FACE);
    double sum = 0;
    int count = 0;
    for (size_t i = 0; i < cover.size(); ++i)
        if (cover[i]) {
            sum += shade[i];
            ++count;
        }
    return count ? sum / count : -1;
}

// Every visible surface is lit when the light comes from the eye and dark when it comes
// from behind: the normals of the front, the back and the walls all point out of the
// solid. The default material reflects 0.8 of the diffuse light.
TEST_F(OutlineFont, FrontBackAndWallsAreLitFromOutside) {
    const float fromEye[4] = {0, 0, 1, 0}, fromBehind[4] = {0, 0, -1, 0};
    struct View {
        const char* name;
        unsigned code;
        float rotation;  // about y: 0 front, 180 back, 90 the left walls, -90 the right
    };
    const View views[] = {{"front of O", 'O', 0},      {"back of O", 'O', 180},
                          {"left walls of I", 'I', 90}, {"right walls of I", 'I', -90},
                          {"left walls of O", 'O', 90}};
    for (const View& view : views) {
        SCOPED_TRACE(view.name);
        const double lit = MeanLit(view.code, view.rotation, fromEye);
        const double dark = MeanLit(view.code, view.rotation, fromBehind);
        // A flat face or wall square to the light gives 0.8 * 255; the round walls of 'O'
        // turn away towards their edges.
        EXPECT_GT(lit, view.code == 'O' && view.rotation == 90 ? 120 : 180);
        EXPECT_LT(dark, 25);
    }
    // Walls seen at a slant are shaded by how far they turn from the light.
    const float fromRight[4] = {1, 0, 0, 0};
    const double slanted = MeanLit('I', 45, fromRight);
    EXPECT_GT(slanted, 40);
    EXPECT_LT(slanted, 200);
}

// Printing calls the lists from the font's base and leaves the caller's base, the
// attribute stack and everything else as they were.
TEST_F(OutlineFont, PrintingCallsTheListsAndRestoresTheListBase) {
    struct Case {
        const char* text;
        float advance;
        bool draws;
    };
    const float a = references_['A'].advance, b = references_['B'].advance;
    const Case cases[] = {
        {"", 0, false}, {"AB", a + b, true}, {"\xff", 0, false}, {"A\xff" "B", a + b, true},
        {" ", references_[' '].advance, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("text \"") + c.text + "\"");
        BeginGlyphView();
        glListBase(77);
        GLint depthBefore = 0;
        glGetIntegerv(GL_ATTRIB_STACK_DEPTH, &depthBefore);
        gSeamCalls.clear();
        PrintOutlineText(c.text);
        const std::vector<std::string> calls = gSeamCalls;
        const std::vector<std::string> expected = {
            "glPushAttrib 0x20000", "glListBase " + std::to_string(gFontListBase),
            "glCallLists " + std::to_string(std::string(c.text).size()) + " 0x1401",
            "glPopAttrib"};
        EXPECT_EQ(calls, expected);
        GLint base = 0, depthAfter = 0;
        glGetIntegerv(GL_LIST_BASE, &base);
        glGetIntegerv(GL_ATTRIB_STACK_DEPTH, &depthAfter);
        EXPECT_EQ(base, 77);
        EXPECT_EQ(depthAfter, depthBefore);
        EXPECT_TRUE(NearlyIdentityBut(ModelView(), c.advance)) << ModelView().m[12];
        EXPECT_EQ(CountLit(ReadRed()) > 0, c.draws);
    }
    glListBase(0);
}

// A null text makes no GL call at all and so changes nothing.
TEST_F(OutlineFont, NullTextMakesNoCall) {
    BeginGlyphView();
    glListBase(77);
    GLint depthBefore = 0;
    glGetIntegerv(GL_ATTRIB_STACK_DEPTH, &depthBefore);
    gSeamCalls.clear();
    PrintOutlineText(nullptr);
    EXPECT_TRUE(gSeamCalls.empty()) << gSeamCalls.front();
    GLint base = 0, depthAfter = 0;
    glGetIntegerv(GL_LIST_BASE, &base);
    glGetIntegerv(GL_ATTRIB_STACK_DEPTH, &depthAfter);
    EXPECT_EQ(base, 77);
    EXPECT_EQ(depthAfter, depthBefore);
    EXPECT_TRUE(NearlyIdentityBut(ModelView(), 0));
    EXPECT_EQ(CountLit(ReadRed()), 0);
    glListBase(0);
}

// A printed text is the glyphs' lists called one after the other.
TEST_F(OutlineFont, PrintedTextLooksLikeItsGlyphsSideBySide) {
    BeginView(-0.2f, 3.0f, -1.2f, 2.0f);
    PrintOutlineText("Vz\x80");
    const std::vector<uint8_t> printed = ReadRed();
    BeginView(-0.2f, 3.0f, -1.2f, 2.0f);
    glCallList(gFontListBase + 'V');
    glCallList(gFontListBase + 'z');
    glCallList(gFontListBase + 0x80);
    const std::vector<uint8_t> called = ReadRed();
    EXPECT_GT(CountLit(printed), 300);
    EXPECT_EQ(printed, called);
}

// With no font built the names 0 to 255 may be anyone's: deleting then takes none.
TEST(OutlineFontLifetime, DeletingBeforeAnyBuildLeavesOtherListsAlone) {
    ASSERT_TRUE(SysCreateOffscreenGL(kViewSize, kViewSize)) << SysLastError();
    ASSERT_EQ(gFontListBase, 0u);
    const GLuint mine = glGenLists(2);
    ASSERT_NE(mine, 0u);
    ASSERT_LT(mine, 256u);
    glNewList(mine, GL_COMPILE);
    glRectf(-1, -1, 1, 1);
    glEndList();
    gSeamCalls.clear();
    DeleteOutlineFont();
    EXPECT_TRUE(gSeamCalls.empty()) << gSeamCalls.front();
    EXPECT_TRUE(glIsList(mine));
    BeginView(-1, 1, -1, 1);
    glCallList(mine);
    EXPECT_EQ(CountLit(ReadRed()), kViewSize * kViewSize);
    // Printing without a font draws nothing and calls nothing.
    gSeamCalls.clear();
    PrintOutlineText("A");
    EXPECT_TRUE(gSeamCalls.empty());
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    SysDestroyOffscreenGL();
}

// Deleting frees all 256 names, the one of code 255 too, and a later print or delete
// touches none of them.
TEST(OutlineFontLifetime, DeletingFreesAllTwoHundredFiftySixNames) {
    ASSERT_TRUE(SysCreateOffscreenGL(kViewSize, kViewSize)) << SysLastError();
    BuildOutlineFont();
    const GLuint base = gFontListBase;
    ASSERT_NE(base, 0u);
    ASSERT_TRUE(glIsList(base + 'A'));
    gSeamCalls.clear();
    DeleteOutlineFont();
    EXPECT_EQ(gSeamCalls, std::vector<std::string>{"glDeleteLists " + std::to_string(base) +
                                                   " 256"});
    for (GLuint name = base; name < base + 256; ++name) EXPECT_FALSE(glIsList(name)) << name;
    EXPECT_EQ(gFontListBase, 0u);
    gSeamCalls.clear();
    DeleteOutlineFont();
    PrintOutlineText("A");
    EXPECT_TRUE(gSeamCalls.empty());
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    SysDestroyOffscreenGL();
}

}  // namespace
