// Stand-in scenes until the picture scenes land: each clears the screen to a plain colour
// of its own, so the hand-over between scenes can be seen.
#include "timeline/picture_scenes.h"

#include <GL/gl.h>

namespace {
void ClearTo(float r, float g, float b) {
    glClearColor(r, g, b, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}
}  // namespace

void DrawIntro(float) { ClearTo(0.6f, 0.1f, 0.1f); }
void DrawTitle(float) { ClearTo(0.1f, 0.6f, 0.1f); }
void DrawCircus(float) { ClearTo(0.1f, 0.1f, 0.6f); }
void DrawFlipBook(float) { ClearTo(0.6f, 0.6f, 0.1f); }
void DrawCredits(float) { ClearTo(0.6f, 0.1f, 0.6f); }
