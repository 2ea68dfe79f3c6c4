// Faults the fuzzers once found, each checked where it lived: the bounds the picture
// service keeps against files that declare more than they hold (real pictures near the
// bounds still open), the TGA reader's refusal of anything but a regular file, and the
// picture decoder's upload under a wide unpack alignment.
#include <GL/gl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "platform/platform.h"
#include "tests/picture/picture_fixtures.h"
#include "tests/texture/tga_writer.h"
#include "texture/texture_builder.h"

namespace {

int32_t ToPixels(int32_t himetric) {
    return int32_t((int64_t(himetric) * SysPicturePixelsPerInch(false) + 1270) / 2540);
}

struct Extent {
    int32_t width = -1, height = -1;
};

// The pixel extent of the picture, or -1 x -1 when the service refuses it.
Extent Open(const Bytes& bytes) {
    Extent extent;
    SysPicture* picture = SysPictureOpenMemory(bytes.data(), bytes.size());
    if (!picture) return extent;
    SysPictureExtent(picture, &extent.width, &extent.height);
    SysPictureRelease(picture);
    extent.width = ToPixels(extent.width);
    extent.height = ToPixels(extent.height);
    return extent;
}

void Put16(Bytes& out, unsigned v) {
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}
void Put32(Bytes& out, uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

// A run-length 8-bit bitmap of the given size holding nothing but its end code: a few
// dozen bytes for any size.
Bytes RunLengthBitmap(int width, int height) {
    Bytes out = {'B', 'M'};
    const uint32_t pixelsAt = 14 + 40 + 8;
    Put32(out, pixelsAt + 2);
    Put32(out, 0);
    Put32(out, pixelsAt);
    Put32(out, 40);
    Put32(out, uint32_t(width));
    Put32(out, uint32_t(height));
    Put16(out, 1);
    Put16(out, 8);
    Put32(out, 1);  // BI_RLE8
    Put32(out, 2);
    Put32(out, 2835);
    Put32(out, 2835);
    Put32(out, 2);
    Put32(out, 0);
    for (int i = 0; i < 8; ++i) out.push_back(i < 4 ? 0 : 0xFF);
    out.push_back(0);
    out.push_back(1);  // end of bitmap
    return out;
}

// The JPEG with the size in its frame header replaced.
Bytes Redeclared(Bytes jpeg, int width, int height) {
    for (size_t i = 0; i + 9 < jpeg.size(); ++i) {
        if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xC0) {
            jpeg[i + 5] = uint8_t(height >> 8);
            jpeg[i + 6] = uint8_t(height);
            jpeg[i + 7] = uint8_t(width >> 8);
            jpeg[i + 8] = uint8_t(width);
            break;
        }
    }
    return jpeg;
}

TEST(PictureBounds, FilesDeclaringMoreThanTheyHoldAreRefusedBeforeAllocating) {
    const Bytes smallJpeg = WriteJpeg(Gradient(16, 16), 90);
    Bytes longHeader = WriteBmp(Gradient(4, 4));
    longHeader[14] = 0xB4;  // a header of some 3 GB
    longHeader[15] = 0x10;
    longHeader[16] = 0x37;
    longHeader[17] = 0xB4;
    Bytes hugeRecord = WriteWmf(40, 30, 96, {{0, 0, 20, 15, 0xFF0000}});
    hugeRecord[22 + 12] = hugeRecord[22 + 13] = hugeRecord[22 + 14] = hugeRecord[22 + 15] = 0x4B;
    // The header's file size ends inside the records, as the converter is handed them.
    Bytes cutRecords = WriteEmf(16, 12, {{0, 0, 8, 6, 0x00FF00}});
    const uint32_t cutSize = uint32_t(cutRecords.size()) - 30;
    for (int i = 0; i < 4; ++i) cutRecords[48 + i] = uint8_t(cutSize >> (8 * i));
    // A description the converter would read beyond the header: of no stated length but
    // pointed at past the header, and of a length running past it.
    Bytes unboundedDescription = WriteEmf(16, 12, {{0, 0, 8, 6, 0x00FF00}});
    unboundedDescription[64] = 0xAB;
    Bytes longDescription = WriteEmf(16, 12, {{0, 0, 8, 6, 0x00FF00}});
    longDescription[60] = 0x40;
    longDescription[64] = 88;
    const struct {
        const char* what;
        Bytes bytes;
    } cases[] = {
        {"enhanced metafile whose records run past its size", cutRecords},
        {"enhanced metafile pointing at a description past its header", unboundedDescription},
        {"enhanced metafile whose description runs past its header", longDescription},
        {"bitmap of 16400 x 16400 in 64 bytes", RunLengthBitmap(16400, 16400)},
        {"bitmap of 2048 x 2048 in 64 bytes", RunLengthBitmap(2048, 2048)},
        {"JPEG of 16 x 16 declaring 20000 x 20000", Redeclared(smallJpeg, 20000, 20000)},
        {"bitmap header running past the file", longHeader},
        {"metafile whose largest record is beyond the file", hugeRecord},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const Extent extent = Open(c.bytes);
        EXPECT_EQ(extent.width, -1);
        EXPECT_STRNE(SysLastError(), "");
    }
}

TEST(PictureBounds, RealPicturesNearTheBoundsStillOpen) {
    // Within a megapixel the size in bytes does not matter.
    EXPECT_EQ(Open(RunLengthBitmap(1024, 1024)).width, 1024);
    // A real bitmap of more than a megapixel holds its pixels.
    const Extent bitmap = Open(WriteBmp(Gradient(1100, 1000)));
    EXPECT_EQ(bitmap.width, 1100);
    EXPECT_EQ(bitmap.height, 1000);
    // A real picture of a few thousand pixels a side opens at its own size.
    const Extent wide = Open(WriteBmp(Gradient(5000, 40)));
    EXPECT_EQ(wide.width, 5000);
    EXPECT_EQ(wide.height, 40);
    // A JPEG wider than 16384 pixels is decoded scaled down to 16384, its aspect kept.
    const Extent jpeg = Open(WriteJpeg(Gradient(17000, 40), 90));
    EXPECT_EQ(jpeg.width, 16384);
    EXPECT_NEAR(jpeg.height, 39, 1);
    // Any other raster picture beyond 16384 pixels on a side is refused.
    EXPECT_EQ(Open(WriteBmp(Gradient(16400, 2))).width, -1);
}

TEST(PictureBounds, MetafilesAreMeasuredWithinABoundOnTheLongerSide) {
    // 20000 x 10000 units at 96 to the inch: a Windows metafile is measured at most 256
    // pixels, the same frame as an enhanced metafile at most 1024.
    const Extent wmf = Open(WriteWmf(20000, 10000, 96, {{0, 0, 10000, 5000, 0xFF0000}}));
    EXPECT_EQ(wmf.width, 256);
    EXPECT_EQ(wmf.height, 128);
    const Extent emf = Open(WriteEmf(20000, 10000, {{0, 0, 10000, 5000, 0x00FF00}}));
    EXPECT_EQ(emf.width, 1024);
    EXPECT_EQ(emf.height, 512);
    // Smaller ones keep their size.
    EXPECT_EQ(Open(WriteWmf(200, 100, 96, {{0, 0, 10, 10, 0xFF0000}})).width, 200);
    EXPECT_EQ(Open(WriteEmf(800, 600, {{0, 0, 10, 10, 0xFF0000}})).width, 800);
}

// Without a placeable header, nothing bounds the size the loader would draw at.
TEST(PictureBounds, WindowsMetafilesNeedAUsablePlaceableHeader) {
    const Bytes placeable = WriteWmf(64, 32, 96, {{0, 0, 32, 16, 0xFF0000}});
    const Bytes plain(placeable.begin() + 22, placeable.end());
    Bytes noUnits = placeable;
    noUnits[14] = noUnits[15] = 0;  // no units per inch
    EXPECT_EQ(Open(placeable).width, 64);
    for (const Bytes& bytes : {plain, noUnits}) {
        EXPECT_EQ(Open(bytes).width, -1);
        EXPECT_NE(std::strstr(SysLastError(), "placeable"), nullptr) << SysLastError();
    }
}

TEST(PictureBounds, OnlyRegularFilesAreReadAsTga) {
    char pattern[] = "/tmp/picture-bounds-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const std::string folder = pattern;
    const std::string fifo = folder + "/pipe.tga";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    ASSERT_EQ(mkdir((folder + "/folder.tga").c_str(), 0700), 0);
    const int descriptor = SysOpenRegularFile(fifo.c_str());
    EXPECT_EQ(descriptor, -1);
    EXPECT_NE(std::strstr(SysLastError(), "not a regular file"), nullptr);
    EXPECT_EQ(SysOpenRegularFile((folder + "/folder.tga").c_str()), -1);
    EXPECT_EQ(SysOpenRegularFile((folder + "/missing.tga").c_str()), -1);
    std::filesystem::remove_all(folder);
}

// Under an unpack alignment of 8 the rows of a one-pixel-wide texture would be read 8
// bytes apart, past the end of its pixels: each row must still get its own pixel, and
// the alignment in force must come back after a filtered upload.
TEST(PictureUpload, OddWidthsUnderAWideUnpackAlignmentKeepTheirRows) {
    ASSERT_TRUE(SysCreateOffscreenGL(16, 16)) << SysLastError();
    char pattern[] = "/tmp/picture-upload-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const std::string path = std::string(pattern) + "/column.bmp";
    Image column(1, 4);
    const uint32_t colours[4] = {Rgb(250, 0, 0), Rgb(0, 250, 0), Rgb(0, 0, 250), Rgb(250, 250, 0)};
    for (int y = 0; y < 4; ++y) column.at(0, y) = colours[y];
    ASSERT_TRUE(WriteFile(path, WriteBmp(column)));
    // Names are taken from the working directory.
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(pattern);

    for (FilterMode mode : {FilterNone, FilterBilinear}) {
        SCOPED_TRACE(mode);
        TextureBuilder builder;
        builder.SetColourKey(0, 0, 0, 0);
        builder.SetFilterMode(mode);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 8);
        TextureRecord record{};
        ASSERT_EQ(builder.LoadPictureFile("column.bmp", &record), 1) << SysLastError();
        ASSERT_EQ(record.width, 1);
        ASSERT_EQ(record.height, 4);
        GLint alignment = 0;
        glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
        EXPECT_EQ(alignment, mode == FilterNone ? 1 : 8);

        // Texture rows run bottom-up from the picture's last row.
        uint8_t texels[4][4] = {};
        glPixelStorei(GL_PACK_ALIGNMENT, 4);
        glBindTexture(GL_TEXTURE_2D, record.glName);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels);
        for (int row = 0; row < 4; ++row) {
            const uint32_t expected = colours[3 - row];
            EXPECT_EQ(Rgb(texels[row][0], texels[row][1], texels[row][2]), expected) << "row " << row;
        }
        builder.ReleaseTexture(&record);
    }
    std::filesystem::current_path(previous);
    std::filesystem::remove_all(pattern);
    SysDestroyOffscreenGL();
}

// gluBuild2DMipmaps makes a level one pixel wide from a 2 x 4 picture and, under an unpack
// alignment of 8, read it 8 bytes a row, past its end: every level must hold the
// picture's one colour, and the alignment in force comes back afterwards.
TEST(PictureUpload, MipmapsOfNarrowPicturesUnderAWideUnpackAlignment) {
    ASSERT_TRUE(SysCreateOffscreenGL(16, 16)) << SysLastError();
    char pattern[] = "/tmp/picture-upload-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(pattern);
    const uint8_t colour[4] = {200, 100, 50, 255};
    const std::vector<uint8_t> tga =
        texture_test::UncompressedTga(texture_test::UniformImage(2, 4, 4, colour));

    TextureBuilder builder;
    builder.SetFilterMode(FilterTrilinear);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 8);
    TextureRecord record{};
    ASSERT_EQ(builder.LoadPictureMemory(tga.data(), uint32_t(tga.size()), &record, KindTga), 1);
    GLint alignment = 0;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    EXPECT_EQ(alignment, 8);

    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glBindTexture(GL_TEXTURE_2D, record.glName);
    for (int level = 0; level < 3; ++level) {
        GLint width = 0, height = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_WIDTH, &width);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_HEIGHT, &height);
        ASSERT_EQ(width, std::max(1, 2 >> level));
        ASSERT_EQ(height, 4 >> level);
        std::vector<uint8_t> texels(size_t(width) * height * 4);
        glGetTexImage(GL_TEXTURE_2D, level, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
        for (size_t i = 0; i < texels.size(); i += 4)
            EXPECT_EQ(Rgb(texels[i], texels[i + 1], texels[i + 2], texels[i + 3]),
                      Rgb(colour[0], colour[1], colour[2], colour[3]))
                << "level " << level << ", texel " << i / 4;
    }
    builder.ReleaseTexture(&record);
    std::filesystem::current_path(previous);
    std::filesystem::remove_all(pattern);
    SysDestroyOffscreenGL();
}

}  // namespace
