// The TGA reader when the scaled buffer cannot be obtained. One allocation of a chosen
// size is made to fail by standing in front of the C library's malloc in this program
// (not under AddressSanitizer, which keeps its own allocator).
#include <cstddef>

#include "tests/texture/test_support.h"

#if !defined(__SANITIZE_ADDRESS__)
extern "C" void* __libc_malloc(size_t size);

namespace {
// The next request of exactly this many bytes answers null; 0 fails nothing.
size_t gFailingSize = 0;
}  // namespace

extern "C" void* malloc(size_t size) {
    if (gFailingSize != 0 && size == gFailingSize) {
        gFailingSize = 0;
        return nullptr;
    }
    return __libc_malloc(size);
}
#endif

namespace texture_test {
namespace {

using TgaAllocationTest = TextureTest;

// 37 x 37 at 24 bits scales to 32 x 32 (3072 bytes) with rows GL would pad, so the
// reader has changed the unpack alignment by the time the scaled buffer is asked for.
TEST_F(TgaAllocationTest, ScaledBufferThatCannotBeObtainedFailsAndPutsEverythingBack) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the allocator cannot be stood in front of under AddressSanitizer";
#else
    WriteFile("odd.tga", UncompressedTga(PatternImage(37, 37, 3)));
    builder.SetFilterMode(FilterBilinear);
    GLuint before = 0;
    glGenTextures(1, &before);

    TextureRecord record = SentinelRecord();
    gFailingSize = 32 * 32 * 3;
    const int result = builder.LoadPictureFile("odd.tga", &record);
    const bool allocationFailed = gFailingSize == 0;
    gFailingSize = 0;
    ASSERT_TRUE(allocationFailed) << "the scaled buffer was never asked for";
    EXPECT_EQ(result, 0);
    EXPECT_EQ(record.glName, 0xDEADu);
    EXPECT_EQ(record.width, 37);
    EXPECT_EQ(record.height, 37);
    EXPECT_EQ(Integer(GL_UNPACK_ALIGNMENT), 4);
    // No texture name was taken: the next one follows the name made above.
    GLuint after = 0;
    glGenTextures(1, &after);
    EXPECT_EQ(after, before + 1);

    // The same file loads once memory is there.
    record = TextureRecord{};
    EXPECT_EQ(builder.LoadPictureFile("odd.tga", &record), 1);
    EXPECT_EQ(record.width, 32);
#endif
}

}  // namespace
}  // namespace texture_test
