// The picture service in a program that links libemf2svg (and with it libuemf, whose
// functions carry libwmf's names) into its global symbol scope.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstring>

#include "platform/platform.h"
#include "tests/picture/picture_fixtures.h"

namespace {

TEST(MetafileLinkClash, WindowsMetafilesAreRefusedNotCrashedOn) {
    // The premise: libwmf's names resolve into libuemf here.
    Dl_info info{};
    void* function = dlsym(RTLD_DEFAULT, "wmf_free");
    ASSERT_NE(function, nullptr);
    ASSERT_NE(dladdr(function, &info), 0);
    ASSERT_NE(std::strstr(info.dli_fname, "libuemf"), nullptr) << info.dli_fname;

    std::vector<Rectangle> shapes = {{0, 0, 32, 32, 0x00FF00}};
    Bytes wmf = WriteWmf(32, 32, 96, shapes);
    EXPECT_EQ(SysPictureOpenMemory(wmf.data(), wmf.size()), nullptr);
    EXPECT_NE(std::strstr(SysLastError(), "libemf2svg"), nullptr) << SysLastError();

    Bytes emf = WriteEmf(32, 32, shapes);
    SysPicture* picture = SysPictureOpenMemory(emf.data(), emf.size());
    ASSERT_NE(picture, nullptr) << SysLastError();
    std::vector<uint8_t> pixels(32 * 32 * 4);
    ASSERT_TRUE(SysPictureRender(picture, pixels.data(), 32, 32));
    // Blue, green, red of the middle pixel.
    const uint8_t* middle = &pixels[(16 * 32 + 16) * 4];
    EXPECT_EQ(middle[0], 0);
    EXPECT_EQ(middle[1], 255);
    EXPECT_EQ(middle[2], 0);
    SysPictureRelease(picture);
}

}  // namespace
