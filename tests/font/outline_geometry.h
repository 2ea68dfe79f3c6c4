// Small geometry helpers the font tests measure outlines with: distances to polylines,
// signed areas and the nonzero winding rule, written apart from the code under test.
#pragma once

#include <algorithm>
#include <cmath>
#include <vector>

#include "platform/platform.h"

namespace fonttest {

struct Vec {
    double x, y;
};

inline double DistanceToSegment(Vec p, Vec a, Vec b) {
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double lengthSquared = dx * dx + dy * dy;
    double t = lengthSquared > 0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / lengthSquared : 0;
    t = std::clamp(t, 0.0, 1.0);
    return std::hypot(p.x - (a.x + t * dx), p.y - (a.y + t * dy));
}

// Distance from p to a polyline, closed (last point back to the first) or open.
inline double DistanceToPolyline(Vec p, const std::vector<Vec>& line, bool closed) {
    double best = INFINITY;
    const size_t n = line.size();
    if (n == 1) return std::hypot(p.x - line[0].x, p.y - line[0].y);
    const size_t segments = closed ? n : n - 1;
    for (size_t i = 0; i < segments; ++i)
        best = std::min(best, DistanceToSegment(p, line[i], line[(i + 1) % n]));
    return best;
}

// Contours of a shape as lists of points.
inline std::vector<std::vector<Vec>> Contours(const SysGlyphShape& shape) {
    std::vector<std::vector<Vec>> contours;
    uint32_t start = 0;
    for (uint32_t c = 0; c < shape.contourCount; ++c) {
        std::vector<Vec> contour;
        for (uint32_t i = start; i < shape.contourEnds[c]; ++i)
            contour.push_back(Vec{shape.points[i].x, shape.points[i].y});
        contours.push_back(contour);
        start = shape.contourEnds[c];
    }
    return contours;
}

// Positive when the contour runs counter-clockwise (y up).
inline double SignedArea(const std::vector<Vec>& contour) {
    double twice = 0;
    for (size_t i = 0; i < contour.size(); ++i) {
        const Vec& a = contour[i];
        const Vec& b = contour[(i + 1) % contour.size()];
        twice += a.x * b.y - b.x * a.y;
    }
    return twice / 2;
}

inline int WindingNumber(Vec p, const std::vector<std::vector<Vec>>& contours) {
    int winding = 0;
    for (const auto& contour : contours) {
        for (size_t i = 0; i < contour.size(); ++i) {
            const Vec& a = contour[i];
            const Vec& b = contour[(i + 1) % contour.size()];
            const double side = (b.x - a.x) * (p.y - a.y) - (p.x - a.x) * (b.y - a.y);
            if (a.y <= p.y && b.y > p.y && side > 0) ++winding;
            if (a.y > p.y && b.y <= p.y && side < 0) --winding;
        }
    }
    return winding;
}

inline double DistanceToContours(Vec p, const std::vector<std::vector<Vec>>& contours) {
    double best = INFINITY;
    for (const auto& contour : contours) best = std::min(best, DistanceToPolyline(p, contour, true));
    return best;
}

}  // namespace fonttest
