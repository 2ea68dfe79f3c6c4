// TGA fixtures for the texture tests: pictures in memory and a writer of TGA files
// from them, with run-length packets chosen by hand.
#pragma once

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace texture_test {

// Pixels in picture memory order: row 0 first, red, green, blue (and alpha) each.
struct Image {
    int width = 0;
    int height = 0;
    int channels = 3;
    std::vector<uint8_t> pixels;

    const uint8_t* At(int x, int y) const {
        return &pixels[(size_t(y) * size_t(width) + size_t(x)) * size_t(channels)];
    }
};

// Distinct-looking pixels, none of them equal to its neighbours.
inline Image PatternImage(int width, int height, int channels) {
    Image image{width, height, channels, {}};
    image.pixels.resize(size_t(width) * size_t(height) * size_t(channels));
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            uint8_t* p = &image.pixels[(size_t(y) * size_t(width) + size_t(x)) * size_t(channels)];
            p[0] = uint8_t(x * 7 + y * 3 + 1);
            p[1] = uint8_t((x * 13) ^ (y * 5));
            p[2] = uint8_t(x + y * 11 + 40);
            if (channels == 4) p[3] = uint8_t(x * y + 9);
        }
    }
    return image;
}

inline Image UniformImage(int width, int height, int channels, const uint8_t colour[4]) {
    Image image{width, height, channels, {}};
    image.pixels.resize(size_t(width) * size_t(height) * size_t(channels));
    for (size_t i = 0; i < image.pixels.size(); i += size_t(channels))
        for (int c = 0; c < channels; ++c) image.pixels[i + size_t(c)] = colour[c];
    return image;
}

struct TgaHeader {
    uint8_t idLength = 0;
    uint8_t colourMapType = 0;
    uint8_t imageType = 2;
    uint16_t colourMapFirst = 0;
    uint16_t colourMapLength = 0;
    uint8_t colourMapEntryBits = 0;
    uint16_t width = 0;
    uint16_t height = 0;
    uint8_t depth = 24;
    uint8_t descriptor = 0;
};

inline void AppendLittle16(std::vector<uint8_t>& out, unsigned value) {
    out.push_back(uint8_t(value & 0xFF));
    out.push_back(uint8_t(value >> 8));
}

inline std::vector<uint8_t> HeaderBytes(const TgaHeader& h) {
    std::vector<uint8_t> out{h.idLength, h.colourMapType, h.imageType};
    AppendLittle16(out, h.colourMapFirst);
    AppendLittle16(out, h.colourMapLength);
    out.push_back(h.colourMapEntryBits);
    AppendLittle16(out, 0);
    AppendLittle16(out, 0);
    AppendLittle16(out, h.width);
    AppendLittle16(out, h.height);
    out.push_back(h.depth);
    out.push_back(h.descriptor);
    return out;
}

// One pixel as a TGA file stores it: blue, green, red (and alpha).
inline void AppendFilePixel(std::vector<uint8_t>& out, const uint8_t* rgba, int channels) {
    out.push_back(rgba[2]);
    out.push_back(rgba[1]);
    out.push_back(rgba[0]);
    if (channels == 4) out.push_back(rgba[3]);
}

// An uncompressed file of the image, its row 0 written first.
inline std::vector<uint8_t> UncompressedTga(const Image& image, uint8_t descriptor = 0) {
    TgaHeader h;
    h.width = uint16_t(image.width);
    h.height = uint16_t(image.height);
    h.depth = uint8_t(image.channels * 8);
    h.descriptor = descriptor;
    std::vector<uint8_t> out = HeaderBytes(h);
    for (size_t i = 0; i < image.pixels.size(); i += size_t(image.channels))
        AppendFilePixel(out, &image.pixels[i], image.channels);
    return out;
}

// Run-length packets, written by hand so the tests choose their limits.
inline void AppendRawPacket(std::vector<uint8_t>& out, const Image& image, size_t first,
                            size_t count) {
    out.push_back(uint8_t(count - 1));
    for (size_t i = first; i < first + count; ++i)
        AppendFilePixel(out, &image.pixels[i * size_t(image.channels)], image.channels);
}
inline void AppendRunPacket(std::vector<uint8_t>& out, const uint8_t* rgba, int channels,
                            size_t count) {
    out.push_back(uint8_t(count + 127));
    AppendFilePixel(out, rgba, channels);
}

// A run-length file of the image in raw packets of up to `packet` pixels.
inline std::vector<uint8_t> RawPacketTga(const Image& image, size_t packet) {
    TgaHeader h;
    h.imageType = 10;
    h.width = uint16_t(image.width);
    h.height = uint16_t(image.height);
    h.depth = uint8_t(image.channels * 8);
    std::vector<uint8_t> out = HeaderBytes(h);
    const size_t count = size_t(image.width) * size_t(image.height);
    for (size_t i = 0; i < count; i += packet)
        AppendRawPacket(out, image, i, std::min(packet, count - i));
    return out;
}

inline void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

inline std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The image with its rows in the opposite order.
inline Image Flipped(const Image& image) {
    Image out = image;
    const size_t row = size_t(image.width) * size_t(image.channels);
    for (int y = 0; y < image.height; ++y)
        std::copy_n(&image.pixels[size_t(image.height - 1 - y) * row], row, &out.pixels[size_t(y) * row]);
    return out;
}

}  // namespace texture_test
