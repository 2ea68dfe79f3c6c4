// The flattener on curves whose exact shape the test computes itself: chords within the
// deviation both ways, points on the curve, contours closed without repeats.
#include "platform/freetype/outline_flattener.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <vector>

#include "tests/font/outline_geometry.h"

using fonttest::DistanceToPolyline;
using fonttest::Vec;

namespace {

struct Arc {
    const char* name;
    // Control points: three for a conic, four for a cubic.
    std::vector<Vec> control;
};

Vec Evaluate(const Arc& arc, double t) {
    const double s = 1 - t;
    const std::vector<Vec>& p = arc.control;
    if (p.size() == 3)
        return Vec{s * s * p[0].x + 2 * s * t * p[1].x + t * t * p[2].x,
                   s * s * p[0].y + 2 * s * t * p[1].y + t * t * p[2].y};
    return Vec{s * s * s * p[0].x + 3 * s * s * t * p[1].x + 3 * s * t * t * p[2].x +
                   t * t * t * p[3].x,
               s * s * s * p[0].y + 3 * s * s * t * p[1].y + 3 * s * t * t * p[2].y +
                   t * t * t * p[3].y};
}

// The flattened arc as an open polyline from its start to its end.
std::vector<Vec> Flatten(const Arc& arc, double deviation) {
    OutlineFlattener flattener;
    flattener.Reset(deviation);
    const std::vector<Vec>& p = arc.control;
    flattener.MoveTo(p[0].x, p[0].y);
    if (p.size() == 3)
        flattener.ConicTo(p[1].x, p[1].y, p[2].x, p[2].y);
    else
        flattener.CubicTo(p[1].x, p[1].y, p[2].x, p[2].y, p[3].x, p[3].y);
    // A line far out and back closes the contour without coming near the arc, and keeps
    // even an arc of one chord from being dropped as empty.
    flattener.LineTo(100, 100);
    flattener.Finish();
    std::vector<Vec> line;
    for (const SysGlyphPoint& point : flattener.points()) line.push_back(Vec{point.x, point.y});
    line.pop_back();
    return line;
}

const Arc kArcs[] = {
    {"conic quarter turn", {{1, 0}, {1, 1}, {0, 1}}},
    {"conic hairpin", {{0, 0}, {4, 0.5}, {0, 1}}},
    {"cubic quarter circle", {{1, 0}, {1, 0.5523}, {0.5523, 1}, {0, 1}}},
    {"cubic with inflection", {{0, 0}, {1.5, 1.5}, {-0.5, 1.5}, {1, 0}}},
    {"cubic loop", {{0, 0}, {2, 1}, {-1, 1}, {1, 0}}},
    {"cubic nearly straight", {{0, 0}, {0.3, 0.01}, {0.6, -0.01}, {1, 0}}},
    {"cubic glyph-sized bowl", {{0.35, 0.0}, {0.35, 0.2}, {0.2, 0.35}, {0.0, 0.35}}},
};

// Chords keep within the deviation of the arc: every sampled point of every chord is
// that close to the arc, and every sampled point of the arc that close to the chords.
// Every corner of the polyline lies on the arc.
TEST(OutlineFlattener, ChordsKeepWithinTheDeviationOfTheArc) {
    for (double deviation : {0.1, 0.02, 0.001}) {
        for (const Arc& arc : kArcs) {
            SCOPED_TRACE(std::string(arc.name) + " at " + std::to_string(deviation));
            const std::vector<Vec> line = Flatten(arc, deviation);
            ASSERT_GE(line.size(), 2u);
            std::vector<Vec> exact;
            for (int i = 0; i <= 4000; ++i) exact.push_back(Evaluate(arc, i / 4000.0));
            const double slack = 1e-4 + 1e-6;  // the exact arc is sampled, not continuous

            double worstCorner = 0, worstChord = 0, worstArc = 0;
            for (const Vec& corner : line)
                worstCorner = std::max(worstCorner, DistanceToPolyline(corner, exact, false));
            for (size_t i = 0; i + 1 < line.size(); ++i)
                for (int k = 1; k < 64; ++k) {
                    const double t = k / 64.0;
                    const Vec p{line[i].x + t * (line[i + 1].x - line[i].x),
                                line[i].y + t * (line[i + 1].y - line[i].y)};
                    worstChord = std::max(worstChord, DistanceToPolyline(p, exact, false));
                }
            for (const Vec& p : exact)
                worstArc = std::max(worstArc, DistanceToPolyline(p, line, false));
            EXPECT_LT(worstCorner, 1e-5);
            EXPECT_LE(worstChord, deviation + slack);
            EXPECT_LE(worstArc, deviation + slack);
            // The arc ends exactly where it was asked to.
            EXPECT_NEAR(line.back().x, arc.control.back().x, 1e-6);
            EXPECT_NEAR(line.back().y, arc.control.back().y, 1e-6);
        }
    }
}

// A deviation of zero, a negative one or NaN must not split an arc without end, and still
// gives a polyline that follows the arc.
TEST(OutlineFlattener, DegenerateDeviationsStillGiveAFiniteFineOutline) {
    const Arc& arc = kArcs[0];
    for (double deviation : {0.0, -1.0, std::nan("")}) {
        const std::vector<Vec> line = Flatten(arc, deviation);
        EXPECT_GT(line.size(), 10u);
        EXPECT_LE(line.size(), size_t(OutlineFlattener::kMaxChordsPerArc) + 1);
        for (int i = 0; i <= 100; ++i)
            EXPECT_LT(DistanceToPolyline(Evaluate(arc, i / 100.0), line, false), 1e-3);
    }
}

struct ContourCase {
    const char* name;
    std::function<void(OutlineFlattener&)> draw;
    std::vector<std::vector<Vec>> expected;  // contours as the flattener should leave them
};

// Contours are closed implicitly: no copy of the first point at the end, no repeated
// points, and what encloses nothing is dropped.
TEST(OutlineFlattener, ContoursAreClosedWithoutRepeatsAndEmptyOnesDropped) {
    const ContourCase cases[] = {
        {"square closed back to its start",
         [](OutlineFlattener& f) {
             f.MoveTo(0, 0); f.LineTo(1, 0); f.LineTo(1, 1); f.LineTo(0, 1); f.LineTo(0, 0);
         },
         {{{0, 0}, {1, 0}, {1, 1}, {0, 1}}}},
        {"square left open",
         [](OutlineFlattener& f) {
             f.MoveTo(0, 0); f.LineTo(1, 0); f.LineTo(1, 1); f.LineTo(0, 1);
         },
         {{{0, 0}, {1, 0}, {1, 1}, {0, 1}}}},
        {"repeated points",
         [](OutlineFlattener& f) {
             f.MoveTo(0, 0); f.LineTo(0, 0); f.LineTo(1, 0); f.LineTo(1, 0); f.LineTo(1, 1);
             f.LineTo(0, 0);
         },
         {{{0, 0}, {1, 0}, {1, 1}}}},
        {"a lone point and a line between two squares",
         [](OutlineFlattener& f) {
             f.MoveTo(0, 0); f.LineTo(1, 0); f.LineTo(1, 1);
             f.MoveTo(5, 5);
             f.MoveTo(2, 2); f.LineTo(3, 2); f.LineTo(2, 2);
             f.MoveTo(4, 0); f.LineTo(5, 0); f.LineTo(5, 1);
         },
         {{{0, 0}, {1, 0}, {1, 1}}, {{4, 0}, {5, 0}, {5, 1}}}},
        {"zero-length arcs",
         [](OutlineFlattener& f) {
             f.MoveTo(0, 0); f.ConicTo(0, 0, 0, 0); f.CubicTo(0, 0, 0, 0, 0, 0);
             f.LineTo(1, 0); f.LineTo(0, 1);
         },
         {{{0, 0}, {1, 0}, {0, 1}}}},
        {"drawing before any move starts at the origin",
         [](OutlineFlattener& f) { f.LineTo(1, 0); f.LineTo(1, 1); },
         {{{0, 0}, {1, 0}, {1, 1}}}},
    };
    for (const ContourCase& c : cases) {
        SCOPED_TRACE(c.name);
        OutlineFlattener flattener;
        flattener.Reset(0.1);
        c.draw(flattener);
        flattener.Finish();
        ASSERT_EQ(flattener.contourEnds().size(), c.expected.size());
        uint32_t start = 0;
        for (size_t k = 0; k < c.expected.size(); ++k) {
            const uint32_t end = flattener.contourEnds()[k];
            ASSERT_EQ(end - start, c.expected[k].size()) << "contour " << k;
            for (uint32_t i = start; i < end; ++i) {
                EXPECT_EQ(flattener.points()[i].x, c.expected[k][i - start].x);
                EXPECT_EQ(flattener.points()[i].y, c.expected[k][i - start].y);
            }
            start = end;
        }
        EXPECT_EQ(flattener.points().size(), start);
    }
}

// Reversing turns every contour round in place, and Reset forgets everything.
TEST(OutlineFlattener, ReverseTurnsEachContourRoundAndResetForgets) {
    OutlineFlattener flattener;
    flattener.Reset(0.1);
    flattener.MoveTo(0, 0); flattener.LineTo(2, 0); flattener.LineTo(2, 2); flattener.LineTo(0, 2);
    flattener.MoveTo(0.5, 0.5); flattener.LineTo(0.5, 1.5); flattener.LineTo(1.5, 1.5);
    flattener.Finish();
    auto areas = [&flattener] {
        std::vector<double> result;
        uint32_t start = 0;
        for (uint32_t end : flattener.contourEnds()) {
            std::vector<Vec> contour;
            for (uint32_t i = start; i < end; ++i)
                contour.push_back(Vec{flattener.points()[i].x, flattener.points()[i].y});
            result.push_back(fonttest::SignedArea(contour));
            start = end;
        }
        return result;
    };
    EXPECT_EQ(areas(), (std::vector<double>{4.0, -0.5}));
    flattener.ReverseContours();
    EXPECT_EQ(areas(), (std::vector<double>{-4.0, 0.5}));
    EXPECT_EQ(flattener.contourEnds(), (std::vector<uint32_t>{4, 7}));

    flattener.Reset(0.1);
    EXPECT_TRUE(flattener.points().empty());
    EXPECT_TRUE(flattener.contourEnds().empty());
    flattener.LineTo(1, 0); flattener.LineTo(0, 1);
    flattener.Finish();
    ASSERT_EQ(flattener.points().size(), 3u);
    EXPECT_EQ(flattener.points()[0].x, 0.0f);
}

}  // namespace
