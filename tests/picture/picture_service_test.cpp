// The picture service on its own: what it opens and refuses, the extents it reports, what
// it draws into bottom-up blue-green-red rows; and the store of program resources.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <string>

#include "platform/platform.h"
#include "tests/picture/picture_fixtures.h"
#include "tests/picture/resource_pictures.h"

namespace {

int32_t ToPixels(int32_t himetric) {
    return int32_t((int64_t(himetric) * SysPicturePixelsPerInch(false) + 1270) / 2540);
}

std::string TempFolder() {
    char pattern[] = "/tmp/picture-service-XXXXXX";
    const char* made = mkdtemp(pattern);
    return made ? made : "";
}

// Bottom-up blue, green, red, X as drawn, back into a top-down image (alpha 255).
Image Drawn(SysPicture* picture, int width, int height) {
    std::vector<uint8_t> pixels(size_t(width) * height * 4, 0xAB);
    Image image;
    if (!SysPictureRender(picture, pixels.data(), width, height)) return image;
    image = Image(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const uint8_t* p = &pixels[(size_t(height - 1 - y) * width + x) * 4];
            image.at(x, y) = Rgb(p[2], p[1], p[0]);
        }
    return image;
}

TEST(PictureService, ExtentGivesThePixelSizeBackExactly) {
    struct Case {
        const char* what;
        Bytes bytes;
        int width, height;
    } cases[] = {
        {"bmp", WriteBmp(Gradient(37, 21)), 37, 21},
        {"png", WritePng(Gradient(1, 1)), 1, 1},
        {"gif", WriteGif({Gradient(13, 7)}), 13, 7},
        {"ico", WriteIco(Gradient(48, 48)), 48, 48},
        {"jpeg", WriteJpeg(Gradient(725, 3), 90), 725, 3},
        // Frames whose HIMETRIC size is no whole number.
        {"wmf at 96 units an inch", WriteWmf(200, 100, 96, {{0, 0, 200, 100, 0xFF0000}}), 200, 100},
        {"wmf at 1440 units an inch", WriteWmf(1440, 720, 1440, {{0, 0, 1440, 720, 0xFF}}), 96, 48},
        {"emf", WriteEmf(201, 99, {{0, 0, 201, 99, 0xFF00}}), 201, 99},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SysPicture* picture = SysPictureOpenMemory(c.bytes.data(), c.bytes.size());
        ASSERT_NE(picture, nullptr) << SysLastError();
        int32_t width = -1, height = -1;
        SysPictureExtent(picture, &width, &height);
        EXPECT_EQ(ToPixels(width), c.width);
        EXPECT_EQ(ToPixels(height), c.height);
        SysPictureRelease(picture);
    }
    EXPECT_EQ(SysPicturePixelsPerInch(false), 96);
    EXPECT_EQ(SysPicturePixelsPerInch(true), 96);
}

TEST(PictureService, DrawsUprightIntoBottomUpRowsAndStretchesEachWay) {
    // At its own size a raster picture comes out pixel for pixel.
    Image gradient = Gradient(16, 8);
    Bytes bmp = WriteBmp(gradient);
    SysPicture* picture = SysPictureOpenMemory(bmp.data(), bmp.size());
    ASSERT_NE(picture, nullptr) << SysLastError();
    Image same = Drawn(picture, 16, 8);
    ASSERT_EQ(same.width, 16);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 16; ++x) ASSERT_EQ(same.at(x, y), gradient.at(x, y)) << x << "," << y;
    SysPictureRelease(picture);

    // Stretched to another shape, each quadrant stays in its corner.
    Bytes quadrants = WriteBmp(Quadrants(40, 30));
    picture = SysPictureOpenMemory(quadrants.data(), quadrants.size());
    ASSERT_NE(picture, nullptr);
    Image wide = Drawn(picture, 128, 16);
    ASSERT_EQ(wide.width, 128);
    EXPECT_EQ(wide.at(10, 2), Rgb(255, 0, 0));
    EXPECT_EQ(wide.at(117, 2), Rgb(0, 255, 0));
    EXPECT_EQ(wide.at(10, 13), Rgb(0, 0, 255));
    EXPECT_EQ(wide.at(117, 13), Rgb(255, 255, 255));
    SysPictureRelease(picture);
}

TEST(PictureService, MetafilesAreDrawnUprightAtTheSizeAskedFor) {
    // Red over the top quarter, green below it, a blue square in the lower right corner.
    std::vector<Rectangle> shapes = {
        {0, 0, 64, 8, 0xFF0000}, {0, 8, 64, 32, 0x00FF00}, {48, 16, 64, 32, 0x0000FF}};
    // The same drawing placed away from the origin: the frame, not the origin, is drawn.
    std::vector<Rectangle> moved;
    for (Rectangle r : shapes) moved.push_back({r.left + 100, r.top + 50, r.right + 100, r.bottom + 50, r.colour});
    struct Case {
        const char* what;
        Bytes bytes;
    } cases[] = {{"wmf", WriteWmf(64, 32, 96, shapes)},
                 {"emf", WriteEmf(64, 32, shapes)},
                 {"emf away from the origin", WriteEmf(64, 32, moved, 100, 50)}};
    // Where the picture's edge falls the renderer may blend a little.
    auto near = [](uint32_t got, uint32_t want) {
        for (int shift : {0, 8, 16})
            if (std::abs(int((got >> shift) & 0xFF) - int((want >> shift) & 0xFF)) > 2) return false;
        return true;
    };
    struct Point {
        int x, y;
        uint32_t colour;
    } points[] = {{2, 1, Rgb(255, 0, 0)},   {125, 2, Rgb(255, 0, 0)},   {2, 6, Rgb(0, 255, 0)},
                  {90, 7, Rgb(0, 255, 0)},  {92, 14, Rgb(0, 255, 0)},   {100, 12, Rgb(0, 0, 255)},
                  {126, 15, Rgb(0, 0, 255)}, {127, 0, Rgb(255, 0, 0)},  {0, 15, Rgb(0, 255, 0)}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SysPicture* picture = SysPictureOpenMemory(c.bytes.data(), c.bytes.size());
        ASSERT_NE(picture, nullptr) << SysLastError();
        // Twice as wide, half as high as the frame.
        Image drawn = Drawn(picture, 128, 16);
        ASSERT_EQ(drawn.width, 128);
        for (const Point& p : points)
            EXPECT_PRED2(near, drawn.at(p.x, p.y), p.colour) << p.x << "," << p.y;
        SysPictureRelease(picture);
    }
}

TEST(PictureService, TransparentPartsComeOutBlack) {
    Image icon = Gradient(16, 16);
    for (int x = 0; x < 16; ++x) icon.at(x, 3) = 0;  // a clear row
    for (const Bytes& bytes : {WriteIco(icon), WritePng(icon), WriteGif({icon})}) {
        SysPicture* picture = SysPictureOpenMemory(bytes.data(), bytes.size());
        ASSERT_NE(picture, nullptr) << SysLastError();
        Image drawn = Drawn(picture, 16, 16);
        ASSERT_EQ(drawn.width, 16);
        for (int x = 0; x < 16; ++x) {
            EXPECT_EQ(drawn.at(x, 3), Rgb(0, 0, 0));
            EXPECT_EQ(drawn.at(x, 4), icon.at(x, 4));
        }
        SysPictureRelease(picture);
    }
}

TEST(PictureService, RefusesDamagedFilesAndFormatsNotItsOwn) {
    Bytes jpeg = WriteJpeg(Gradient(64, 64), 90);
    Bytes progressive = WriteJpeg(Gradient(64, 64), 90, true);
    Bytes png = WritePng(Gradient(64, 64));
    Bytes bmp = WriteBmp(Gradient(20, 20));
    Bytes ico = WriteIco(Gradient(16, 16));
    Bytes gif = WriteGif({Gradient(8, 8)});
    // An uncompressed 24-bit TGA: the builder's own reader takes those, the service not.
    Bytes tga = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 1, 0, 24, 0, 1, 2, 3, 4, 5, 6};
    Bytes emf = WriteEmf(8, 8, {{0, 0, 8, 8, 0xFF}});
    Bytes emfWithBadSize = emf;
    emfWithBadSize[48] = 0xFF;  // claims more bytes than there are
    emfWithBadSize[49] = 0xFF;
    auto cut = [](const Bytes& bytes, size_t keep) { return Bytes(bytes.begin(), bytes.begin() + keep); };
    const char text[] = "plain text, no picture at all";
    struct Case {
        const char* what;
        Bytes bytes;
    } cases[] = {
        {"text", Bytes(text, text + sizeof text)},
        {"JPEG without its last two bytes", cut(jpeg, jpeg.size() - 2)},
        {"half a JPEG", cut(jpeg, jpeg.size() / 2)},
        {"half a progressive JPEG", cut(progressive, progressive.size() / 2)},
        {"JPEG start marker only", cut(jpeg, 2)},
        {"PNG without its end chunk", cut(png, png.size() - 12)},
        {"half a PNG", cut(png, png.size() / 2)},
        {"BMP short of one row", cut(bmp, bmp.size() - 60)},
        {"BMP short of one byte", cut(bmp, bmp.size() - 1)},
        {"icon short of its mask", cut(ico, ico.size() - 10)},
        {"GIF cut inside its first image", cut(gif, gif.size() - 8)},
        {"TGA", tga},
        {"EMF header claiming too much", emfWithBadSize},
        {"EMF header alone, cut short", cut(emf, 60)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SysPicture* picture = SysPictureOpenMemory(c.bytes.data(), c.bytes.size());
        EXPECT_EQ(picture, nullptr);
        SysPictureRelease(picture);
        EXPECT_STRNE(SysLastError(), "");
    }
    EXPECT_EQ(SysPictureOpenMemory(nullptr, 10), nullptr);
    EXPECT_EQ(SysPictureOpenMemory(jpeg.data(), 0), nullptr);
}

TEST(PictureService, TakesWholeFilesOfLessCommonShape) {
    // The second frame is cut and the trailer missing: the first image is whole, and it
    // is the only one the service takes.
    Image first = Gradient(8, 8), second(8, 8, Rgb(1, 2, 3));
    Bytes twoFrames = WriteGif({first, second});
    Bytes jpeg = WriteJpeg(Gradient(24, 24), 90);
    Bytes trailing = jpeg;
    trailing.insert(trailing.end(), 40, 0x11);  // bytes after the end-of-image marker
    struct Case {
        const char* what;
        Bytes bytes;
        int width;
    } cases[] = {
        {"progressive JPEG", WriteJpeg(Gradient(40, 24), 80, true), 40},
        {"JPEG with bytes after its end", trailing, 24},
        {"GIF without its trailer", Bytes(twoFrames.begin(), twoFrames.end() - 1), 8},
        {"GIF cut inside its second image", Bytes(twoFrames.begin(), twoFrames.end() - 20), 8},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SysPicture* picture = SysPictureOpenMemory(c.bytes.data(), c.bytes.size());
        ASSERT_NE(picture, nullptr) << SysLastError();
        int32_t width = 0, height = 0;
        SysPictureExtent(picture, &width, &height);
        EXPECT_EQ(ToPixels(width), c.width);
        if (c.width == 8) {
            Image drawn = Drawn(picture, 8, 8);
            ASSERT_EQ(drawn.width, 8);
            EXPECT_EQ(drawn.pixels, first.pixels);
        }
        SysPictureRelease(picture);
    }
}

TEST(PictureService, OpensRegularFilesOnlyAndFetchesNoUrl) {
    std::string folder = TempFolder();
    ASSERT_FALSE(folder.empty());
    Bytes gif = WriteGif({Gradient(8, 8)});
    ASSERT_TRUE(WriteFile(folder + "/picture.gif", gif));
    SysPicture* picture = SysPictureOpenPath((folder + "/picture.gif").c_str());
    EXPECT_NE(picture, nullptr) << SysLastError();
    SysPictureRelease(picture);

    // A URL never reaches the file system, even where a file answers to it as a path:
    // "<folder>/http://picture.gif" names "<folder>/http:/picture.gif".
    ASSERT_EQ(mkdir((folder + "/http:").c_str(), 0700), 0);
    ASSERT_TRUE(WriteFile(folder + "/http:/picture.gif", gif));
    picture = SysPictureOpenPath((folder + "/http:/picture.gif").c_str());
    EXPECT_NE(picture, nullptr) << SysLastError();
    SysPictureRelease(picture);

    // A pipe with no writer would block a plain read for ever.
    ASSERT_EQ(mkfifo((folder + "/pipe.gif").c_str(), 0600), 0);
    const std::string refused[] = {
        folder + "/missing.gif", folder, folder + "/pipe.gif", "",
        folder + "/http://picture.gif", "http://127.0.0.1:9/picture.gif",
        "https://example.invalid/a.jpg", "file://" + folder + "/picture.gif"};
    for (const std::string& path : refused) {
        SCOPED_TRACE(path);
        EXPECT_EQ(SysPictureOpenPath(path.c_str()), nullptr);
    }
    EXPECT_EQ(SysPictureOpenPath(nullptr), nullptr);
    unlink((folder + "/pipe.gif").c_str());
    unlink((folder + "/picture.gif").c_str());
    unlink((folder + "/http:/picture.gif").c_str());
    rmdir((folder + "/http:").c_str());
    rmdir(folder.c_str());
}

TEST(ProgramResources, FoundByNumberAndTypeOnly) {
    Bytes jpeg = WriteJpeg(KeyedPicture(), 100);
    const void* bytes = nullptr;
    uint32_t size = 0;
    ASSERT_TRUE(SysFindResource(101, "JPEG", &bytes, &size));
    ASSERT_EQ(size, jpeg.size());
    EXPECT_EQ(std::memcmp(bytes, jpeg.data(), size), 0);
    // Type names match without regard to case: 102 was embedded as "gif".
    Bytes gif = WriteGif({KeyedPicture()});
    for (const char* type : {"GIF", "gif", "Gif"}) {
        bytes = nullptr;
        ASSERT_TRUE(SysFindResource(102, type, &bytes, &size)) << type;
        ASSERT_EQ(size, gif.size());
        EXPECT_EQ(std::memcmp(bytes, gif.data(), size), 0);
    }
    struct Missing {
        uint16_t id;
        const char* type;
    } missing[] = {{100, "JPEG"}, {101, "GIF"}, {101, "JPE"}, {101, "JPEGS"}, {101, ""},
                   {65535, "JPEG"}, {0, "JPEG"}, {101, "BMP"}};
    for (const Missing& m : missing) {
        bytes = &size;
        uint32_t untouched = 77;
        EXPECT_FALSE(SysFindResource(m.id, m.type, &bytes, &untouched)) << m.id << " " << m.type;
        EXPECT_EQ(bytes, &size);
        EXPECT_EQ(untouched, 77u);
    }
    EXPECT_FALSE(SysFindResource(101, nullptr, &bytes, &size));
}

}  // namespace
