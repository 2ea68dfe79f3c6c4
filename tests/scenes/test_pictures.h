// Test pictures for the scenes: one plain colour per catalogue row, uploaded straight into
// the slots, so what reaches the screen tells which slot was drawn.
#pragma once

#include <cstdint>
#include <string>

struct Rgb {
    uint8_t r, g, b;
};

// The colour of catalogue row `index` (0 to 28): each channel one of 0, 85, 170, 255,
// no two rows alike and none black.
Rgb TestColour(int index);

// The GL texture name given to catalogue row `index`: 101 for the first row, 129 for the
// last, so a bind in a call trace names its slot.
constexpr uint32_t TestTextureName(int index) { return 101u + static_cast<uint32_t>(index); }

// Each slot gets its name and a 1x1 texture of its colour, sampled nearest.
void UploadTestPictures();
void ReleaseTestPictures();

// Writes the 29 catalogue files ("Intro.jpg" ...) into `folder` as JPEG pictures of
// width x height in their rows' colours; false when one cannot be written.
bool WriteTestPictureFiles(const std::string& folder, int width, int height);
