// The size rule both decoders share: each side goes to the nearest power of two on a
// logarithmic scale, capped by the context's largest texture side, and halved when the
// builder is not at full resolution.
#pragma once

#include <cstdint>

struct TextureSize {
    int32_t width;
    int32_t height;
};

// One side: a side above glMaxTexDim becomes glMaxTexDim itself (not rounded); any other
// becomes 2^floor(log2(n) + 0.5), and a side of 0 or less becomes 1. A glMaxTexDim of 0
// or less (no context answered the query) caps nothing.
int32_t PowerOfTwoSide(int32_t n, int32_t glMaxTexDim);

// Both sides by PowerOfTwoSide, then, when fullResolution is 0 and the target width is
// above 64, both halved; only the width is compared. A height that halving would make 0
// stays 1.
TextureSize TargetTextureSize(int32_t width, int32_t height, int32_t glMaxTexDim,
                              uint8_t fullResolution);
