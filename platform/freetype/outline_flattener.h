// Turns an outline of lines and quadratic and cubic Bezier arcs into closed polygons whose
// chords stay within a given deviation of the curves. Pure geometry, no font library.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/platform.h"

class OutlineFlattener {
public:
    // Deviations below kMinDeviation are raised to it, so that no arc is split without end.
    static constexpr double kMinDeviation = 1e-5;
    // No arc is split into more chords than this, whatever the deviation.
    static constexpr int kMaxChordsPerArc = 1024;

    // Drops every contour and starts over with a new deviation.
    void Reset(double deviation);

    // A contour starts at MoveTo and ends at the next MoveTo or at Finish; it is closed by
    // the chord from its last point back to its first. Drawing calls before the first
    // MoveTo start a contour at the origin.
    void MoveTo(double x, double y);
    void LineTo(double x, double y);
    void ConicTo(double cx, double cy, double x, double y);
    void CubicTo(double c1x, double c1y, double c2x, double c2y, double x, double y);
    void Finish();

    // Reverses the direction of travel of every finished contour.
    void ReverseContours();

    // Finished contours. Consecutive points are distinct, the last point is not a copy of
    // the first, and every contour keeps at least three points (shorter ones enclose
    // nothing and are dropped).
    const std::vector<SysGlyphPoint>& points() const { return points_; }
    const std::vector<uint32_t>& contourEnds() const { return contourEnds_; }

    // Chords needed for an arc whose second derivative never exceeds `maxSecondDerivative`
    // in length: a chord over a parameter step h strays at most h*h/8 times that from
    // the arc.
    int ChordsFor(double maxSecondDerivative) const;

private:
    void Add(double x, double y);
    void CloseContour();

    double deviation_ = 0.1;
    bool open_ = false;
    double penX_ = 0, penY_ = 0;
    uint32_t contourStart_ = 0;
    std::vector<SysGlyphPoint> points_;
    std::vector<uint32_t> contourEnds_;
};
