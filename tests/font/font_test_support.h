// Offscreen drawing for the font tests: a square view framed in em units, the pixels and
// depths read back, and the model-view matrix after a call.
#pragma once

#include <GL/gl.h>

#include <cstdint>
#include <vector>

namespace fonttest {

constexpr int kViewSize = 128;

// An orthographic view of x in [left, right] and y in [bottom, top] em, z from 2 (depth 0)
// to -2 (depth 1): eye-space z maps to depth 0.5 - z / 4. Clears to black and far depth,
// depth test on, lighting off, white; the model-view matrix is the identity.
inline void BeginView(float left, float right, float bottom, float top) {
    glViewport(0, 0, kViewSize, kViewSize);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(left, right, bottom, top, -2, 2);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_LIGHTING);
    glDisable(GL_CULL_FACE);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LESS);
    glClearColor(0, 0, 0, 0);
    glClearDepth(1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glColor3f(1, 1, 1);
}

// The glyph view most tests use: a little more than one em each way around the pen.
inline void BeginGlyphView() { BeginView(-0.3f, 1.3f, -0.4f, 1.2f); }

inline double DepthOfEyeZ(double z) { return 0.5 - z / 4; }

// Red channel of every pixel, bottom row first.
inline std::vector<uint8_t> ReadRed() {
    std::vector<uint8_t> rgba(4 * kViewSize * kViewSize);
    glFinish();
    glReadPixels(0, 0, kViewSize, kViewSize, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    std::vector<uint8_t> red(kViewSize * kViewSize);
    for (size_t i = 0; i < red.size(); ++i) red[i] = rgba[4 * i];
    return red;
}

inline std::vector<float> ReadDepth() {
    std::vector<float> depth(kViewSize * kViewSize);
    glReadPixels(0, 0, kViewSize, kViewSize, GL_DEPTH_COMPONENT, GL_FLOAT, depth.data());
    return depth;
}

inline int CountLit(const std::vector<uint8_t>& red) {
    int lit = 0;
    for (uint8_t value : red) lit += value != 0;
    return lit;
}

struct Matrix {
    float m[16];
};

inline Matrix ModelView() {
    Matrix matrix;
    glGetFloatv(GL_MODELVIEW_MATRIX, matrix.m);
    return matrix;
}

}  // namespace fonttest
