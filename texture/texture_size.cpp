// The power-of-two size rule and the half-resolution rule of the texture builder.
#include "texture/texture_size.h"

#include <cmath>

int32_t PowerOfTwoSide(int32_t n, int32_t glMaxTexDim) {
    if (glMaxTexDim > 0 && n > glMaxTexDim) return glMaxTexDim;
    if (n <= 0) return 1;
    // No integer lies on a rounding boundary (2^k * sqrt 2), so double precision decides
    // every side exactly. 2^31 does not fit the result; such sides stop at 2^30.
    int exponent = static_cast<int>(std::floor(std::log(static_cast<double>(n)) / std::log(2.0) + 0.5));
    if (exponent > 30) exponent = 30;
    return int32_t(1) << exponent;
}

TextureSize TargetTextureSize(int32_t width, int32_t height, int32_t glMaxTexDim,
                              uint8_t fullResolution) {
    TextureSize size{PowerOfTwoSide(width, glMaxTexDim), PowerOfTwoSide(height, glMaxTexDim)};
    if (fullResolution == 0 && size.width > 64) {
        size.width /= 2;
        size.height /= 2;
        if (size.height == 0) size.height = 1;
    }
    return size;
}
