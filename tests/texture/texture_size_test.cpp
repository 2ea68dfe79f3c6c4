// The power-of-two size rule and the half-resolution rule.
#include "texture/texture_size.h"

#include <gtest/gtest.h>

namespace {

struct SideCase {
    int32_t n;
    int32_t cap;
    int32_t expected;
};

TEST(TextureSize, SideTable) {
    const SideCase cases[] = {
        {1, 1024, 1},      {2, 1024, 2},      {3, 1024, 4},       {5, 1024, 4},
        {6, 1024, 8},      {11, 1024, 8},     {12, 1024, 16},     {22, 1024, 16},
        {23, 1024, 32},    {45, 1024, 32},    {46, 1024, 64},     {90, 1024, 64},
        {91, 1024, 128},   {181, 1024, 128},  {182, 1024, 256},   {362, 1024, 256},
        {363, 1024, 512},  {640, 1024, 512},  {724, 1024, 512},   {725, 1024, 1024},
        {800, 1024, 1024}, {1024, 1024, 1024}, {1025, 1024, 1024}, {2000, 1024, 1024},
        {1448, 4096, 1024}, {1449, 4096, 2048}, {2896, 4096, 2048}, {2897, 4096, 4096},
        // The cap itself, not rounded, even when it is not a power of two.
        {1000, 600, 600},  {601, 600, 600},   {600, 600, 512},
        // Nothing to measure still gives a texture side.
        {0, 1024, 1},      {-5, 1024, 1},
        // No context answered the query: no cap.
        {3000, 0, 4096},
        // 2^31 does not fit a side: the largest that does.
        {2147483647, 0, 1 << 30},
    };
    for (const SideCase& c : cases)
        EXPECT_EQ(PowerOfTwoSide(c.n, c.cap), c.expected) << "n " << c.n << " cap " << c.cap;
}

// Every side a TGA header can hold, against the rule restated in integers: 2^k is the
// target when 2^(2k-1) < n^2 < 2^(2k+1).
TEST(TextureSize, EverySixteenBitSideAgainstIntegerRule) {
    for (int64_t n = 1; n <= 65535; ++n) {
        int k = 0;
        while ((int64_t(1) << (2 * k + 1)) < n * n) ++k;
        ASSERT_EQ(PowerOfTwoSide(int32_t(n), 1 << 20), int32_t(1) << k) << "n " << n;
    }
}

struct SizeCase {
    int32_t width, height;
    uint8_t fullResolution;
    int32_t expectedWidth, expectedHeight;
};

TEST(TextureSize, TargetTable) {
    const SizeCase cases[] = {
        {640, 480, 1, 512, 512},
        {800, 600, 1, 1024, 512},
        {256, 200, 1, 256, 256},
        {100, 64, 1, 128, 64},
        {2000, 1025, 1, 1024, 1024},
        // Halving looks at the width alone.
        {100, 100, 0, 64, 64},
        {64, 256, 0, 64, 256},
        {128, 32, 0, 64, 16},
        {90, 1000, 0, 64, 1024},
        {91, 1000, 0, 64, 512},
        // Any value but 0 is full resolution.
        {128, 32, 2, 128, 32},
        {128, 32, 255, 128, 32},
        // A height halving would make 0 stays 1.
        {91, 1, 0, 64, 1},
        {2000, 1, 0, 512, 1},
        {128, 2, 0, 64, 1},
    };
    for (const SizeCase& c : cases) {
        TextureSize size = TargetTextureSize(c.width, c.height, 1024, c.fullResolution);
        EXPECT_EQ(size.width, c.expectedWidth)
            << c.width << "x" << c.height << " full " << int(c.fullResolution);
        EXPECT_EQ(size.height, c.expectedHeight)
            << c.width << "x" << c.height << " full " << int(c.fullResolution);
    }
}

}  // namespace
