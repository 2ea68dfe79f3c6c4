// What the five scenes draw for their clock sample: each picture is one textured quad after
// a full clear, either a card rising through the screen or a still filling it.
#include "timeline/picture_scenes.h"

#include <GL/gl.h>

#include "app/renderer_setup.h"

namespace {

struct Corner {
    float s, t;
    float x, y, z;
};

// A quad of four corners, placed by a translation; the still also carries a normal.
struct QuadShape {
    float depth;  // z of the translation
    bool facesViewer;
    Corner corners[4];
};

// 2 by 2 in the plane z = 0, two units in front of the eye.
constexpr QuadShape kCard = {
    -2.0f,
    false,
    {{0.0f, 0.0f, -1.0f, -1.0f, 0.0f},
     {1.0f, 0.0f, 1.0f, -1.0f, 0.0f},
     {1.0f, 1.0f, 1.0f, 1.0f, 0.0f},
     {0.0f, 1.0f, -1.0f, 1.0f, 0.0f}},
};

// 23.99 units in front of the eye, slightly larger than the view so no edge shows.
constexpr QuadShape kStill = {
    -33.99f,
    true,
    {{0.0f, 0.0f, -13.3f, -10.0f, 10.0f},
     {1.0f, 0.0f, 13.3f, -10.0f, 10.0f},
     {1.0f, 1.0f, 13.3f, 10.0f, 10.0f},
     {0.0f, 1.0f, -13.3f, 10.0f, 10.0f}},
};

void BindPicture(const TextureRecord& picture) { glBindTexture(GL_TEXTURE_2D, picture.glName); }

// Everything of a draw after the bind: every picture starts from a cleared screen.
void ClearAndDrawQuad(const QuadShape& shape, float y) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    glTranslatef(0.0f, y, shape.depth);
    glBegin(GL_QUADS);
    if (shape.facesViewer) glNormal3f(0.0f, 0.0f, 1.0f);
    for (const Corner& corner : shape.corners) {
        glTexCoord2f(corner.s, corner.t);
        glVertex3f(corner.x, corner.y, corner.z);
    }
    glEnd();
}

// Every card rises 0.2 units per second; c sets when it passes the centre (at t = 5c).
// Single precision throughout, as the sample is.
float CardHeight(float t, float c) { return t / 5.0f - c; }

void DrawCard(const TextureRecord& picture, float t, float c) {
    BindPicture(picture);
    ClearAndDrawQuad(kCard, CardHeight(t, c));
}

void DrawStill(const TextureRecord& picture) {
    BindPicture(picture);
    ClearAndDrawQuad(kStill, 0.0f);
}

struct FlipBookFrame {
    float after;  // drawn only when t is strictly greater
    const TextureRecord* picture;
};

// Tested one after another, not as alternatives: every passed row is drawn, the last stays.
const FlipBookFrame kFlipBook[] = {
    {43.0f, &texWembleAnim01}, {44.0f, &texWembleAnim02}, {45.0f, &texWembleAnim03},
    {46.0f, &texWembleAnim04}, {47.0f, &texWembleAnim05}, {48.0f, &texWembleAnim06},
    {49.0f, &texWembleAnim07}, {50.0f, &texWembleAnim08}, {51.0f, &texWembleAnim09},
    {52.0f, &texWembleAnim10}, {53.0f, &texWembleAnim11}, {54.0f, &texWembleAnim12},
    {55.0f, &texWembleAnim13}, {56.0f, &texWembleAnim14}, {57.0f, &texWembleAnim15},
    {58.0f, &texWembleAnim16}, {59.0f, &texWembleAnim17}, {60.0f, &texWembleAnim18},
    {61.0f, &texWembleAnim19}, {62.0f, &texWembleDead},   {65.0f, &texHappyPobble},
};

}  // namespace

// The texture state set here is never set again: every later scene draws in GL_REPLACE
// with blending on (default factors, so pictures pass unchanged) and no texgen.
void DrawIntro(float t) {
    glDisable(GL_TEXTURE_GEN_S);
    glDisable(GL_TEXTURE_GEN_T);
    BindPicture(texIntro);
    glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, static_cast<float>(GL_REPLACE));
    glEnable(GL_BLEND);
    ClearAndDrawQuad(kCard, CardHeight(t, 3.0f));
}

void DrawTitle(float) { DrawStill(texVellmarsh); }

void DrawCircus(float) { DrawStill(texCircus); }

void DrawFlipBook(float t) {
    DrawStill(texTeltPobble1);
    for (const FlipBookFrame& frame : kFlipBook)
        if (t > frame.after) DrawStill(*frame.picture);
}

// Until 70 s nothing at all is issued, not even a clear, though the frame is presented.
void DrawCredits(float t) {
    if (t > 70.0f) DrawCard(texGreetings, t, 16.0f);
    if (t > 87.0f) DrawCard(texCredits, t, 19.5f);
    if (t > 108.0f) DrawStill(texQuibbet);
}
