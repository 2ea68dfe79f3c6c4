// What each scene draws for its clock sample t, after its gating step.
#pragma once

void DrawIntro(float t);
void DrawTitle(float t);
void DrawCircus(float t);
void DrawFlipBook(float t);
void DrawCredits(float t);
