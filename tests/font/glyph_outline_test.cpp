// The glyph-outline service on the installed bold "times" face: the face found, the
// Windows-1252 codes mapped, the outlines in em units, closed, wound the documented way
// and within the chordal deviation of the face's curves.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "tests/font/outline_geometry.h"

using fonttest::Contours;
using fonttest::DistanceToPolyline;
using fonttest::SignedArea;
using fonttest::Vec;

namespace {

class GlyphOutline : public ::testing::Test {
protected:
    static void SetUpTestSuite() { face_ = SysOpenOutlineFace("times", 700); }
    static void TearDownTestSuite() {
        SysCloseOutlineFace(face_);
        face_ = nullptr;
    }
    void SetUp() override { ASSERT_NE(face_, nullptr) << SysLastError(); }

    static SysOutlineFace* face_;
};
SysOutlineFace* GlyphOutline::face_ = nullptr;

TEST(GlyphOutlineFace, OnlyAnInstalledFamilyOpens) {
    EXPECT_EQ(SysOpenOutlineFace(nullptr, 700), nullptr);
    EXPECT_EQ(SysOpenOutlineFace("", 700), nullptr);
    // fontconfig would offer DejaVu or some other face for this; it must not count.
    EXPECT_EQ(SysOpenOutlineFace("Voruzavur No Such Family", 700), nullptr);
    EXPECT_NE(std::string(SysLastError()).find("Voruzavur No Such Family"), std::string::npos)
        << SysLastError();
    SysOutlineFace* byAlias = SysOpenOutlineFace("Times", 400);
    SysOutlineFace* byName = SysOpenOutlineFace("Nimbus Roman", 700);
    EXPECT_NE(byAlias, nullptr) << SysLastError();
    EXPECT_NE(byName, nullptr) << SysLastError();
    SysCloseOutlineFace(byAlias);
    SysCloseOutlineFace(byName);
    SysCloseOutlineFace(nullptr);
}

// Advances in em of the bold face (the Times Bold metrics that Nimbus Roman Bold shares):
// they show the scale to one em, the bold weight (regular 'b' and 'm' are narrower) and
// where each Windows-1252 code leads.
TEST_F(GlyphOutline, AdvancesAreTheBoldFacesInEm) {
    struct Case {
        unsigned code;
        float advance;
        bool contours;
    };
    const Case cases[] = {
        {'A', 0.722f, true},  {'b', 0.556f, true},  {'m', 0.833f, true},
        {'W', 1.000f, true},  {'i', 0.278f, true},  {'0', 0.500f, true},
        {' ', 0.250f, false}, {0xA0, 0.250f, false},            // space, no-break space
        {0x80, 0.500f, true},                                    // euro sign
        {0x85, 1.000f, true},                                    // horizontal ellipsis
        {0x8A, 0.556f, true},                                    // S with caron, as 'S'
        {0x96, 0.500f, true}, {0x97, 1.000f, true},              // en and em dash
        {0x99, 1.000f, true},                                    // trade mark sign
        {0x9F, 0.722f, true},                                    // Y with diaeresis, as 'Y'
        {0xE9, 0.444f, true},                                    // e with acute, as 'e'
        {0xFF, 0.500f, true},                                    // y with diaeresis
        // Control codes: no outline, the face's advance for them (.notdef's).
        {0x00, 0.250f, false}, {0x09, 0.250f, false}, {0x1F, 0.250f, false},
        {0x7F, 0.250f, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("code " + std::to_string(c.code));
        SysGlyphShape shape;
        ASSERT_TRUE(SysGlyphOutline(face_, c.code, 0.1f, &shape)) << SysLastError();
        EXPECT_NEAR(shape.advance, c.advance, 1e-4);
        EXPECT_EQ(shape.contourCount > 0, c.contours);
    }
    // Lookalikes agree in advance with their base letters.
    SysGlyphShape s, y, scaron, ydieresis;
    ASSERT_TRUE(SysGlyphOutline(face_, 'S', 0.1f, &s));
    const float sAdvance = s.advance;
    ASSERT_TRUE(SysGlyphOutline(face_, 0x8A, 0.1f, &scaron));
    EXPECT_EQ(scaron.advance, sAdvance);
    ASSERT_TRUE(SysGlyphOutline(face_, 'Y', 0.1f, &y));
    const float yAdvance = y.advance;
    ASSERT_TRUE(SysGlyphOutline(face_, 0x9F, 0.1f, &ydieresis));
    EXPECT_EQ(ydieresis.advance, yAdvance);
}

TEST_F(GlyphOutline, UndefinedAndOutOfRangeCodesHaveNoGlyph) {
    for (unsigned code : {0x81u, 0x8Du, 0x8Fu, 0x90u, 0x9Du, 0x100u, 0x20ACu}) {
        SysGlyphShape shape{nullptr, nullptr, 7, 7.0f};
        EXPECT_FALSE(SysGlyphOutline(face_, code, 0.1f, &shape)) << code;
        EXPECT_EQ(shape.contourCount, 0u) << code;
        EXPECT_EQ(shape.advance, 0.0f) << code;
    }
    SysGlyphShape shape;
    EXPECT_FALSE(SysGlyphOutline(nullptr, 'A', 0.1f, &shape));
    EXPECT_FALSE(SysGlyphOutline(face_, 'A', 0.1f, nullptr));
}

// Every code's outline: contours of three or more distinct consecutive points, the last
// not repeating the first, inside a glyph-sized box around the pen, and filled to the
// left (the glyph's net area positive). The face covers every visible character of
// Windows-1252; spaces and control codes have no contours.
TEST_F(GlyphOutline, EveryOutlineIsClosedWoundLeftAndEmSized) {
    for (unsigned code = 0; code < 256; ++code) {
        SCOPED_TRACE("code " + std::to_string(code));
        const bool undefined =
            code == 0x81 || code == 0x8D || code == 0x8F || code == 0x90 || code == 0x9D;
        const bool visible = (code > 0x20 && code < 0x7F) || (code >= 0x80 && code != 0xA0);
        SysGlyphShape shape;
        if (!SysGlyphOutline(face_, code, 0.1f, &shape)) {
            EXPECT_TRUE(undefined) << SysLastError();
            continue;
        }
        EXPECT_FALSE(undefined);
        EXPECT_EQ(shape.contourCount > 0, visible);
        EXPECT_GT(shape.advance, 0.0f);
        EXPECT_LE(shape.advance, 1.1f);
        double netArea = 0;
        for (const std::vector<Vec>& contour : Contours(shape)) {
            ASSERT_GE(contour.size(), 3u);
            for (size_t i = 0; i < contour.size(); ++i) {
                const Vec& a = contour[i];
                const Vec& b = contour[(i + 1) % contour.size()];
                EXPECT_FALSE(a.x == b.x && a.y == b.y) << "repeated point " << i;
                EXPECT_GT(a.x, -0.3);
                EXPECT_LT(a.x, 1.3);
                EXPECT_GT(a.y, -0.4);
                EXPECT_LT(a.y, 1.1);
            }
            netArea += SignedArea(contour);
        }
        if (visible) {
            EXPECT_GT(netArea, 0.0);
        }
    }
}

// Holes run against their outlines: each glyph here has outer contours and holes of the
// opposite sign, and every hole lies inside an outer contour.
TEST_F(GlyphOutline, HolesWindAgainstTheirOutlines) {
    for (unsigned code : {unsigned('O'), unsigned('B'), unsigned('o'), 0xD8u}) {
        SCOPED_TRACE("code " + std::to_string(code));
        SysGlyphShape shape;
        ASSERT_TRUE(SysGlyphOutline(face_, code, 0.1f, &shape));
        std::vector<std::vector<Vec>> outers, holes;
        for (const auto& contour : Contours(shape))
            (SignedArea(contour) > 0 ? outers : holes).push_back(contour);
        EXPECT_FALSE(outers.empty());
        ASSERT_FALSE(holes.empty());
        for (const auto& hole : holes)
            for (const Vec& p : hole) EXPECT_NE(fonttest::WindingNumber(p, outers), 0);
    }
}

// The flattened outline against the face's curves, taken from a flattening so fine that
// it lies within 1e-4 em of them: every corner on the curve, every chord within the
// deviation of it and the curve within the deviation of the chords.
void ExpectFlatteningWithinDeviation(SysOutlineFace* face, const std::vector<unsigned>& codes) {
    const double fine = 1e-4;
    for (unsigned code : codes) {
        SysGlyphShape shape;
        ASSERT_TRUE(SysGlyphOutline(face, code, fine, &shape));
        const auto reference = Contours(shape);
        auto nearestReference = [&reference](const Vec& p) {
            double best = INFINITY;
            for (const auto& contour : reference)
                best = std::min(best, DistanceToPolyline(p, contour, true));
            return best;
        };
        for (double deviation : {0.1, 0.02}) {
            SCOPED_TRACE("code " + std::to_string(code) + " at " + std::to_string(deviation));
            ASSERT_TRUE(SysGlyphOutline(face, code, static_cast<float>(deviation), &shape));
            const auto coarse = Contours(shape);
            ASSERT_EQ(coarse.size(), reference.size());
            double worstCorner = 0, worstChord = 0, worstCurve = 0;
            for (const auto& contour : coarse) {
                for (size_t i = 0; i < contour.size(); ++i) {
                    const Vec& a = contour[i];
                    const Vec& b = contour[(i + 1) % contour.size()];
                    worstCorner = std::max(worstCorner, nearestReference(a));
                    for (int k = 1; k < 16; ++k) {
                        const double t = k / 16.0;
                        worstChord = std::max(
                            worstChord,
                            nearestReference(Vec{a.x + t * (b.x - a.x), a.y + t * (b.y - a.y)}));
                    }
                }
            }
            for (size_t c = 0; c < reference.size(); ++c)
                for (const Vec& p : reference[c])
                    worstCurve = std::max(worstCurve, DistanceToPolyline(p, coarse[c], true));
            EXPECT_LT(worstCorner, 1e-3);
            EXPECT_LE(worstChord, deviation + fine + 1e-5);
            EXPECT_LE(worstCurve, deviation + fine + 1e-5);
        }
    }
}

// Nimbus Roman's outlines are cubic arcs.
TEST_F(GlyphOutline, FlatteningKeepsWithinTheDeviation) {
    ExpectFlatteningWithinDeviation(face_, {'O', 'S', 'e', 'g', '&', '@', 0x80});
}

// A TrueType face: quadratic arcs, and contours that FreeType hands over filling to the
// right, which the service turns round.
TEST(GlyphOutlineFace, TrueTypeOutlinesFlattenAndFillToTheLeftToo) {
    SysOutlineFace* face = SysOpenOutlineFace("DejaVu Sans", 700);
    if (!face) GTEST_SKIP() << "no DejaVu Sans installed: " << SysLastError();
    ExpectFlatteningWithinDeviation(face, {'O', 'S', 'e', 'g', '@'});
    SysGlyphShape shape;
    ASSERT_TRUE(SysGlyphOutline(face, 'O', 0.1f, &shape));
    std::vector<double> areas;
    for (const auto& contour : Contours(shape)) areas.push_back(SignedArea(contour));
    ASSERT_EQ(areas.size(), 2u);
    EXPECT_GT(std::max(areas[0], areas[1]), 0.0);
    EXPECT_LT(std::min(areas[0], areas[1]), 0.0);
    EXPECT_GT(areas[0] + areas[1], 0.0);
    SysCloseOutlineFace(face);
}

}  // namespace
