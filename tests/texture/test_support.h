// Shared pieces of the texture tests: the door to the builder's private operations, a
// current GL context, a private working directory, and texture readback.
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
#include "tests/texture/tga_writer.h"
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
