// Picture files written byte by byte for the picture tests, so each format's layout is
// documented here and the expected pixels are known without decoding anything.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

using Bytes = std::vector<uint8_t>;

// A picture as it looks: rows top-down, each pixel 0xAARRGGBB.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;

    Image() = default;
    Image(int w, int h, uint32_t fill = 0xFF000000u) : width(w), height(h), pixels(size_t(w) * h, fill) {}
    uint32_t& at(int x, int y) { return pixels[size_t(y) * width + x]; }
    uint32_t at(int x, int y) const { return pixels[size_t(y) * width + x]; }
};

constexpr uint32_t Rgb(uint8_t r, uint8_t g, uint8_t b, uint8_t a = 255) {
    return uint32_t(a) << 24 | uint32_t(r) << 16 | uint32_t(g) << 8 | b;
}

// A pattern with a different colour in every pixel of a small image (and none pure
// black), so any flip, shift or channel swap shows.
Image Gradient(int width, int height);
// Four solid quadrants: red top left, green top right, blue bottom left, white bottom right.
Image Quadrants(int width, int height);

// 24-bit uncompressed bottom-up BMP (rows padded to 4 bytes); alpha is dropped.
Bytes WriteBmp(const Image& image);
// Icon with one 32-bit image: alpha from the image, AND mask set where alpha is 0.
Bytes WriteIco(const Image& image);
// GIF89a with a 256-entry global colour table built from the frames' colours (at most 256
// distinct, alpha 0 pixels become the transparent index), one image per frame.
Bytes WriteGif(const std::vector<Image>& frames);
// JPEG by libturbojpeg, 4:4:4, the given quality; baseline unless progressive.
Bytes WriteJpeg(const Image& image, int quality, bool progressive = false);
// The JPEG decoded by libturbojpeg (alpha 255), an empty image when it cannot.
Image DecodeJpegReference(const Bytes& jpeg);
// RGBA PNG by cairo.
Bytes WritePng(const Image& image);

// A metafile drawing: solid rectangles in logical units (x right, y down), drawn in order
// with no outline.
struct Rectangle {
    int left, top, right, bottom;
    uint32_t colour;  // 0x00RRGGBB
};
// Placeable Windows metafile whose frame is width x height units at unitsPerInch.
Bytes WriteWmf(int width, int height, int unitsPerInch, const std::vector<Rectangle>& shapes);
// Enhanced metafile on a 96 dpi reference device whose frame is width x height pixels
// with its top left corner at (left, top); its bounds reach a little past the frame.
Bytes WriteEmf(int width, int height, const std::vector<Rectangle>& shapes, int left = 0, int top = 0);

bool WriteFile(const std::string& path, const Bytes& bytes);
Bytes ReadFile(const std::string& path);
