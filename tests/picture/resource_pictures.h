// The picture behind the JPEG and GIF resources of the picture tests: a pure black left
// half, whole 8 x 8 blocks wide so that JPEG keeps it exactly black, and a coloured right
// half.
#pragma once

#include "tests/picture/picture_fixtures.h"

inline Image KeyedPicture() {
    Image image(32, 16);
    for (int y = 0; y < image.height; ++y)
        for (int x = 16; x < image.width; ++x) image.at(x, y) = Rgb(200, 120, 40);
    return image;
}
