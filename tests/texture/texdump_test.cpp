// texdump end to end: options, what it prints, the PNG it writes and its exit status.
#include <cairo.h>
#include <sys/wait.h>

#include <cstdio>

#include "tests/texture/test_support.h"

namespace texture_test {
namespace {

struct TexdumpRun {
    int status = -1;
    std::string out;
};

// Runs texdump in the test's working directory; stderr is kept in "stderr.txt".
TexdumpRun Texdump(const std::string& arguments) {
    TexdumpRun run;
    const std::string command = std::string(VZ_TEXDUMP) + " " + arguments + " 2>stderr.txt";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return run;
    char buffer[4096];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) run.out.append(buffer, got);
    int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

bool Prints(const TexdumpRun& run, const std::string& field, const std::string& value) {
    const std::string line = field + std::string(14 - field.size(), ' ') + value + "\n";
    return run.out.find(line) != std::string::npos;
}

// The PNG as RGBA rows from the top, colour taken back out of cairo's premultiplied form.
Image ReadPng(const std::string& path) {
    cairo_surface_t* surface = cairo_image_surface_create_from_png(path.c_str());
    Image image;
    if (cairo_surface_status(surface) == CAIRO_STATUS_SUCCESS) {
        image.width = cairo_image_surface_get_width(surface);
        image.height = cairo_image_surface_get_height(surface);
        image.channels = 4;
        const bool alpha = cairo_image_surface_get_format(surface) == CAIRO_FORMAT_ARGB32;
        const uint8_t* data = cairo_image_surface_get_data(surface);
        const int stride = cairo_image_surface_get_stride(surface);
        for (int y = 0; y < image.height; ++y) {
            const uint32_t* row = reinterpret_cast<const uint32_t*>(data + size_t(y) * size_t(stride));
            for (int x = 0; x < image.width; ++x) {
                const uint32_t p = row[x];
                const uint32_t a = alpha ? p >> 24 : 255;
                auto unpremultiply = [a](uint32_t c) { return a ? uint8_t((c * 255 + a / 2) / a) : uint8_t(0); };
                image.pixels.push_back(unpremultiply(p >> 16 & 0xFF));
                image.pixels.push_back(unpremultiply(p >> 8 & 0xFF));
                image.pixels.push_back(unpremultiply(p & 0xFF));
                image.pixels.push_back(uint8_t(a));
            }
        }
    }
    cairo_surface_destroy(surface);
    return image;
}

using TexdumpTest = TextureTest;

// A bottom-left TGA stores the picture's bottom row first; the PNG shows it upright.
TEST_F(TexdumpTest, DefaultsPrintTheRecordAndWriteTheUprightPicture) {
    const Image picture = PatternImage(8, 4, 3);  // row 0 at the top
    WriteFile("pic.tga", UncompressedTga(Flipped(picture)));
    const TexdumpRun run = Texdump("pic.tga out.png");
    EXPECT_EQ(run.status, 0) << run.out << ReadFile("stderr.txt");
    EXPECT_TRUE(Prints(run, "loaded", "1")) << run.out;
    EXPECT_TRUE(Prints(run, "kind", "4")) << run.out;
    EXPECT_TRUE(Prints(run, "width", "8")) << run.out;
    EXPECT_TRUE(Prints(run, "height", "4")) << run.out;
    EXPECT_TRUE(Prints(run, "pixelFormat", "0x1907 GL_RGB")) << run.out;
    EXPECT_TRUE(Prints(run, "bitsPerPixel", "24")) << run.out;
    EXPECT_TRUE(Prints(run, "wrapS", "0x2900 GL_CLAMP")) << run.out;
    EXPECT_TRUE(Prints(run, "wrapT", "0x2900 GL_CLAMP")) << run.out;
    EXPECT_TRUE(Prints(run, "magFilter", "0x2600 GL_NEAREST")) << run.out;
    EXPECT_TRUE(Prints(run, "minFilter", "0x2600 GL_NEAREST")) << run.out;
    EXPECT_TRUE(Prints(run, "levels", "1")) << run.out;
    EXPECT_TRUE(SameTexels(ReadPng("out.png"), picture));
}

TEST_F(TexdumpTest, OptionsReachTheBuilder) {
    WriteFile("wide.tga", UncompressedTga(PatternImage(128, 32, 4)));
    struct Case {
        const char* arguments;
        std::vector<std::pair<std::string, std::string>> lines;
    };
    const Case cases[] = {
        {"--filter bilinear wide.tga",
         {{"minFilter", "0x2601 GL_LINEAR"}, {"levels", "1"}, {"width", "128"}}},
        {"--filter bilinear --mipmaps wide.tga",
         {{"minFilter", "0x2701 GL_LINEAR_MIPMAP_NEAREST"}, {"levels", "8"}}},
        {"--filter trilinear wide.tga",
         {{"magFilter", "0x2601 GL_LINEAR"}, {"minFilter", "0x2703 GL_LINEAR_MIPMAP_LINEAR"}}},
        {"--filter 7 --mipmaps wide.tga", {{"minFilter", "0x2600 GL_NEAREST"}, {"levels", "1"}}},
        {"--half wide.tga", {{"width", "64"}, {"height", "16"}, {"pixelFormat", "0x1908 GL_RGBA"}}},
        {"--memory tga wide.tga", {{"kind", "4"}, {"width", "128"}, {"bitsPerPixel", "32"}}},
        {"--memory 4 --half wide.tga", {{"kind", "4"}, {"width", "64"}}},
    };
    for (const Case& c : cases) {
        const TexdumpRun run = Texdump(c.arguments);
        EXPECT_EQ(run.status, 0) << c.arguments << "\n" << ReadFile("stderr.txt");
        for (const auto& [field, value] : c.lines)
            EXPECT_TRUE(Prints(run, field, value)) << c.arguments << ": " << field << "\n" << run.out;
    }
    EXPECT_FALSE(std::filesystem::exists("glTEMP$$.tmp"));
}

// The key reaches the picture service: a PNG (made here with cairo) of black and magenta
// halves loses the alpha of whichever colour is the key.
TEST_F(TexdumpTest, KeyOptionChoosesTheTransparentColour) {
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 4, 4);
    cairo_surface_flush(surface);
    uint8_t* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            reinterpret_cast<uint32_t*>(data + y * stride)[x] = x < 2 ? 0x000000u : 0xFF00FFu;
    cairo_surface_mark_dirty(surface);
    ASSERT_EQ(cairo_surface_write_to_png(surface, "halves.png"), CAIRO_STATUS_SUCCESS);
    cairo_surface_destroy(surface);

    struct Case {
        const char* arguments;
        uint8_t blackAlpha, magentaAlpha;
    };
    for (const Case& c : {Case{"", 0, 255}, Case{"--key off", 255, 255},
                          Case{"--key 255,0,255", 255, 0}}) {
        const TexdumpRun run = Texdump(std::string(c.arguments) + " halves.png out.png");
        ASSERT_EQ(run.status, 0) << c.arguments << "\n" << ReadFile("stderr.txt");
        EXPECT_TRUE(Prints(run, "kind", "0")) << run.out;
        const Image png = ReadPng("out.png");
        ASSERT_EQ(png.width, 4);
        EXPECT_EQ(png.At(0, 0)[3], c.blackAlpha) << c.arguments;
        EXPECT_EQ(png.At(3, 3)[3], c.magentaAlpha) << c.arguments;
        if (c.magentaAlpha) {
            EXPECT_EQ(png.At(3, 3)[0], 255) << c.arguments;
            EXPECT_EQ(png.At(3, 3)[1], 0) << c.arguments;
            EXPECT_EQ(png.At(3, 3)[2], 255) << c.arguments;
        }
    }
}

TEST_F(TexdumpTest, FailedLoadsExitOne) {
    WriteFile("pic.tga", UncompressedTga(PatternImage(4, 4, 3)));
    std::vector<uint8_t> refused = UncompressedTga(PatternImage(4, 4, 3));
    refused[16] = 16;
    WriteFile("refused.tga", refused);
    struct Case {
        std::string arguments;
        std::string kind;
    };
    const Case cases[] = {
        {"absent.tga", "4"},
        {"refused.tga", "4"},
        {"--memory jpeg pic.tga", "2"},          // the picture service reads no TGA
        {"'" + directory + "/pic.tga'", "4"},     // absolute names do not load
    };
    for (const Case& c : cases) {
        const TexdumpRun run = Texdump(c.arguments + " out.png");
        EXPECT_EQ(run.status, 1) << c.arguments;
        EXPECT_TRUE(Prints(run, "loaded", "0")) << c.arguments << "\n" << run.out;
        EXPECT_TRUE(Prints(run, "kind", c.kind)) << c.arguments << "\n" << run.out;
        EXPECT_FALSE(std::filesystem::exists("out.png")) << c.arguments;
    }
    // The refused header still shows what it announced.
    EXPECT_TRUE(Prints(Texdump("refused.tga"), "bitsPerPixel", "16"));
}

TEST_F(TexdumpTest, UsageErrorsExitTwoWithAUsageLine) {
    WriteFile("pic.tga", UncompressedTga(PatternImage(4, 4, 3)));
    const char* cases[] = {
        "",
        "--filter",
        "--filter cubic pic.tga",
        "--key 256,0,0 pic.tga",
        "--key 1,2 pic.tga",
        "--key 1,2,3,4 pic.tga",
        "--memory png pic.tga",
        "--colour pic.tga",
        "pic.tga a.png b.png",
    };
    for (const char* arguments : cases) {
        const TexdumpRun run = Texdump(arguments);
        EXPECT_EQ(run.status, 2) << arguments;
        EXPECT_EQ(run.out, "") << arguments;
        EXPECT_NE(ReadFile("stderr.txt").find("usage: texdump"), std::string::npos) << arguments;
    }
}

TEST_F(TexdumpTest, UnwritablePngIsReported) {
    WriteFile("pic.tga", UncompressedTga(PatternImage(4, 4, 3)));
    const TexdumpRun run = Texdump("pic.tga no-such-folder/out.png");
    EXPECT_EQ(run.status, 3);
    EXPECT_TRUE(Prints(run, "loaded", "1"));
    EXPECT_NE(ReadFile("stderr.txt").find("no-such-folder/out.png"), std::string::npos);
}

}  // namespace
}  // namespace texture_test
