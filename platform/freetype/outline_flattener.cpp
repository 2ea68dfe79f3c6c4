// Flattening of Bezier outlines by uniform subdivision, with the chord count taken from a
// bound on the second derivative so that every chord keeps within the deviation.
#include "platform/freetype/outline_flattener.h"

#include <algorithm>
#include <cmath>

namespace {
double Length(double x, double y) { return std::sqrt(x * x + y * y); }
}  // namespace

void OutlineFlattener::Reset(double deviation) {
    // NaN fails the comparison and takes the minimum too.
    deviation_ = deviation >= kMinDeviation ? deviation : kMinDeviation;
    open_ = false;
    penX_ = penY_ = 0;
    contourStart_ = 0;
    points_.clear();
    contourEnds_.clear();
}

int OutlineFlattener::ChordsFor(double maxSecondDerivative) const {
    double chords = std::ceil(std::sqrt(maxSecondDerivative / (8.0 * deviation_)));
    if (!(chords >= 1.0)) return 1;
    return chords > kMaxChordsPerArc ? kMaxChordsPerArc : static_cast<int>(chords);
}

void OutlineFlattener::Add(double x, double y) {
    SysGlyphPoint point{static_cast<float>(x), static_cast<float>(y)};
    penX_ = x;
    penY_ = y;
    if (points_.size() > contourStart_) {
        const SysGlyphPoint& last = points_.back();
        if (last.x == point.x && last.y == point.y) return;
    }
    points_.push_back(point);
}

void OutlineFlattener::CloseContour() {
    if (!open_) return;
    open_ = false;
    if (points_.size() > contourStart_ + 1) {
        const SysGlyphPoint& first = points_[contourStart_];
        const SysGlyphPoint& last = points_.back();
        if (first.x == last.x && first.y == last.y) points_.pop_back();
    }
    if (points_.size() < contourStart_ + 3) {
        points_.resize(contourStart_);
        return;
    }
    contourEnds_.push_back(static_cast<uint32_t>(points_.size()));
    contourStart_ = static_cast<uint32_t>(points_.size());
}

void OutlineFlattener::MoveTo(double x, double y) {
    CloseContour();
    open_ = true;
    contourStart_ = static_cast<uint32_t>(points_.size());
    Add(x, y);
}

void OutlineFlattener::LineTo(double x, double y) {
    if (!open_) MoveTo(penX_, penY_);
    Add(x, y);
}

void OutlineFlattener::ConicTo(double cx, double cy, double x, double y) {
    if (!open_) MoveTo(penX_, penY_);
    const double x0 = penX_, y0 = penY_;
    // B'' = 2 (P0 - 2 P1 + P2), the same all along the arc.
    const double ax = x0 - 2 * cx + x, ay = y0 - 2 * cy + y;
    const int chords = ChordsFor(2 * Length(ax, ay));
    for (int i = 1; i < chords; ++i) {
        const double t = static_cast<double>(i) / chords, s = 1 - t;
        Add(s * s * x0 + 2 * s * t * cx + t * t * x, s * s * y0 + 2 * s * t * cy + t * t * y);
    }
    Add(x, y);
}

void OutlineFlattener::CubicTo(double c1x, double c1y, double c2x, double c2y, double x,
                               double y) {
    if (!open_) MoveTo(penX_, penY_);
    const double x0 = penX_, y0 = penY_;
    // B'' = 6 ((1-t) (P0 - 2 P1 + P2) + t (P1 - 2 P2 + P3)): never longer than six times
    // the longer of the two second differences.
    const double d1 = Length(x0 - 2 * c1x + c2x, y0 - 2 * c1y + c2y);
    const double d2 = Length(c1x - 2 * c2x + x, c1y - 2 * c2y + y);
    const int chords = ChordsFor(6 * std::max(d1, d2));
    for (int i = 1; i < chords; ++i) {
        const double t = static_cast<double>(i) / chords, s = 1 - t;
        const double b0 = s * s * s, b1 = 3 * s * s * t, b2 = 3 * s * t * t, b3 = t * t * t;
        Add(b0 * x0 + b1 * c1x + b2 * c2x + b3 * x, b0 * y0 + b1 * c1y + b2 * c2y + b3 * y);
    }
    Add(x, y);
}

void OutlineFlattener::Finish() { CloseContour(); }

void OutlineFlattener::ReverseContours() {
    uint32_t start = 0;
    for (uint32_t end : contourEnds_) {
        std::reverse(points_.begin() + start, points_.begin() + end);
        start = end;
    }
}
