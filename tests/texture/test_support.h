// Shared pieces of the texture tests: the door to the builder's private operations, a
// TGA writer for fixtures, a current GL context, a private working directory, and
// texture readback.
#pragma once

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "texture/texture_builder.h"

struct TextureBuilderProbe {
    static void ExtractExtension(TextureBuilder& builder, const char* name, char* out) {
        builder.ExtractExtension(name, out);
    }
    static int DecodeTgaFile(TextureBuilder& builder, const char* path, TextureRecord* record) {
        return builder.DecodeTgaFile(path, record);
    }
    static void UploadTexture(TextureBuilder& builder, TextureRecord* record,
                              const uint8_t* pixels) {
        builder.UploadTexture(record, pixels);
    }
};

namespace texture_test {

// A record whose every field shows whether a load wrote it.
inline TextureRecord SentinelRecord() {
    TextureRecord record;
    record.glName = 0xDEADu;
    record.kind = static_cast<SourceKind>(77);
    record.width = -11;
    record.height = -12;
    record.pixelFormat = 0xBEEFu;
    record.bitsPerPixel = -13;
    return record;
}

inline bool SameRecord(const TextureRecord& a, const TextureRecord& b) {
    return a.glName == b.glName && a.kind == b.kind && a.width == b.width &&
           a.height == b.height && a.pixelFormat == b.pixelFormat &&
           a.bitsPerPixel == b.bitsPerPixel;
}

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

// Level `level` of a texture as the context holds it, read back as RGBA.
inline Image ReadTexture(GLuint name, int level = 0) {
    glBindTexture(GL_TEXTURE_2D, name);
    GLint width = 0, height = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_HEIGHT, &height);
    Image image{width, height, 4, {}};
    image.pixels.resize(size_t(width) * size_t(height) * 4);
    GLint packAlignment = 4;
    glGetIntegerv(GL_PACK_ALIGNMENT, &packAlignment);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    if (!image.pixels.empty())
        glGetTexImage(GL_TEXTURE_2D, level, GL_RGBA, GL_UNSIGNED_BYTE, image.pixels.data());
    glPixelStorei(GL_PACK_ALIGNMENT, packAlignment);
    return image;
}

// How many levels of the bound texture hold an image.
inline int LevelCount(GLuint name) {
    glBindTexture(GL_TEXTURE_2D, name);
    int levels = 0;
    for (int level = 0; level < 32; ++level) {
        GLint width = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_WIDTH, &width);
        if (width <= 0) break;
        ++levels;
    }
    return levels;
}

inline GLint TexParameter(GLuint name, GLenum parameter) {
    glBindTexture(GL_TEXTURE_2D, name);
    GLint value = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, parameter, &value);
    return value;
}

inline GLint Integer(GLenum parameter) {
    GLint value = 0;
    glGetIntegerv(parameter, &value);
    return value;
}

// Texture texels against an image: equal RGB, and alpha too when the image has it
// (a 3-component texture reads back alpha 255).
inline ::testing::AssertionResult SameTexels(const Image& texture, const Image& expected) {
    if (texture.width != expected.width || texture.height != expected.height)
        return ::testing::AssertionFailure() << "texture " << texture.width << "x" << texture.height
                                             << ", expected " << expected.width << "x"
                                             << expected.height;
    for (int y = 0; y < expected.height; ++y) {
        for (int x = 0; x < expected.width; ++x) {
            const uint8_t* t = texture.At(x, y);
            const uint8_t* e = expected.At(x, y);
            const uint8_t alpha = expected.channels == 4 ? e[3] : 255;
            if (t[0] != e[0] || t[1] != e[1] || t[2] != e[2] || t[3] != alpha)
                return ::testing::AssertionFailure()
                       << "texel (" << x << ", " << y << ") is " << int(t[0]) << "," << int(t[1])
                       << "," << int(t[2]) << "," << int(t[3]) << ", expected " << int(e[0])
                       << "," << int(e[1]) << "," << int(e[2]) << "," << int(alpha);
        }
    }
    return ::testing::AssertionSuccess();
}

// The image with its rows in the opposite order.
inline Image Flipped(const Image& image) {
    Image out = image;
    const size_t row = size_t(image.width) * size_t(image.channels);
    for (int y = 0; y < image.height; ++y)
        std::copy_n(&image.pixels[size_t(image.height - 1 - y) * row], row, &out.pixels[size_t(y) * row]);
    return out;
}

// A current GL context for the whole test program, a fresh builder and a private working
// directory for each test; the unpack alignment starts at GL's default of 4.
class TextureTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (!contextReady) contextReady = SysCreateOffscreenGL(64, 64);
    }

    void SetUp() override {
        ASSERT_TRUE(contextReady) << SysLastError();
        glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
        glPixelStorei(GL_PACK_ALIGNMENT, 4);
        previousDirectory = std::filesystem::current_path();
        std::string pattern = (std::filesystem::temp_directory_path() / "vz-texture-XXXXXX").string();
        std::vector<char> buffer(pattern.begin(), pattern.end());
        buffer.push_back(0);
        ASSERT_NE(mkdtemp(buffer.data()), nullptr);
        directory = buffer.data();
        std::filesystem::current_path(directory);
    }

    void TearDown() override {
        std::error_code ignored;
        std::filesystem::current_path(previousDirectory, ignored);
        if (!directory.empty()) std::filesystem::remove_all(directory, ignored);
    }

    int DecodeTga(const std::string& path, TextureRecord* record) {
        return TextureBuilderProbe::DecodeTgaFile(builder, path.c_str(), record);
    }

    // Writes the bytes as `name` in the working directory and loads them by file name.
    int LoadTga(const std::vector<uint8_t>& bytes, TextureRecord* record,
                const std::string& name = "fixture.tga") {
        WriteFile(name, bytes);
        return builder.LoadPictureFile(name.c_str(), record);
    }

    static inline bool contextReady = false;
    TextureBuilder builder;
    std::filesystem::path previousDirectory;
    std::string directory;
};

}  // namespace texture_test
