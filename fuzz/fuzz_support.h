// What every fuzz target shares: one GL context and one private working directory per
// process, GL state put back before each input, and the checks a finished load must pass.
#pragma once

#include <GL/gl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "platform/platform.h"
#include "texture/texture_builder.h"

namespace fuzz {

// A fault the sanitizers cannot see: the input broke a promise of the builder.
[[noreturn]] inline void Fail(const char* what) {
    std::fprintf(stderr, "fuzz: %s\n", what);
    std::abort();
}

// Made on first use and kept for the whole process: a new context per input would
// dwarf the load itself.
inline void EnsureContext() {
    static const bool made = SysCreateOffscreenGL(64, 64);
    if (!made) {
        std::fprintf(stderr, "fuzz: no offscreen GL context: %s\n", SysLastError());
        std::exit(2);
    }
}

// A fresh directory under TMPDIR (or /tmp), made once per process and entered, so the
// temporary file of the memory loads and any name a load resolves stay inside it. It
// goes again when the process exits normally.
inline const std::string& EnterScratchDirectory() {
    static std::string directory;
    if (directory.empty()) {
        const char* base = std::getenv("TMPDIR");
        std::string pattern = std::string(base && *base ? base : "/tmp") + "/vz-fuzz-XXXXXX";
        if (!mkdtemp(&pattern[0]) || chdir(pattern.c_str()) != 0) {
            std::perror("fuzz: scratch directory");
            std::exit(2);
        }
        directory = pattern;
        std::atexit([] {
            std::error_code ignored;
            if (chdir("/") == 0) std::filesystem::remove_all(directory, ignored);
        });
    }
    return directory;
}

// The next byte of the input, 0 once it is used up.
struct Reader {
    const uint8_t* data;
    size_t size;
    uint8_t Byte() {
        if (size == 0) return 0;
        --size;
        return *data++;
    }
};

// Each input starts from the same GL state, whatever the one before left behind (a
// FilterNone upload leaves the unpack alignment at 1).
inline void ResetGlState(GLint unpackAlignment, GLint packAlignment) {
    glPixelStorei(GL_UNPACK_ALIGNMENT, unpackAlignment);
    glPixelStorei(GL_PACK_ALIGNMENT, packAlignment);
    glBindTexture(GL_TEXTURE_2D, 0);
    while (glGetError() != GL_NO_ERROR) {
    }
}

// Alignments GL accepts, chosen by two bits.
inline GLint Alignment(unsigned bits) { return GLint(1) << (bits & 3); }

// The loader settings of one input, taken from its first bytes.
inline void ApplySettings(TextureBuilder& builder, uint8_t settings, uint8_t keyByte) {
    static const FilterMode kFilters[] = {FilterNone, FilterBilinear, FilterTrilinear,
                                          static_cast<FilterMode>(0x7FFFFFF3)};
    builder.SetFilterMode(kFilters[settings & 3]);
    builder.SetMipmaps((settings >> 2) & 1);
    builder.SetFullResolution((settings >> 3) & 1);
    builder.SetColourKey((keyByte & 1) ? 1 : (keyByte & 2), keyByte, uint8_t(keyByte * 7),
                         uint8_t(keyByte * 13));
}

// A load that reports success made a GL texture of the record's size and format; a
// failed one made none. Either way the record's texture goes again, so the count of
// textures stays bounded however long the run.
inline void CheckAndRelease(TextureBuilder& builder, int result, TextureRecord* record,
                            GLuint nameBefore) {
    if (result != 0 && result != 1) Fail("a load answered neither 0 nor 1");
    if (result == 0) {
        // The record's name still holds the sentinel: no texture was generated for it.
        if (record->glName != nameBefore) Fail("a failed load generated a texture");
        return;
    }
    if (!glIsTexture(record->glName)) Fail("a load reported success without a texture");
    if (record->width <= 0 || record->height <= 0) Fail("a loaded texture with an empty side");
    if (record->pixelFormat != GL_RGB && record->pixelFormat != GL_RGBA)
        Fail("a loaded texture with an unknown pixel format");
    glBindTexture(GL_TEXTURE_2D, record->glName);
    GLint width = 0, height = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
    // gluBuild2DMipmaps scales a side that is no power of two to one, so only a plain
    // upload, or one of power-of-two sides, keeps the record's size exactly.
    const bool mipmapped = builder.filterMode == FilterTrilinear ||
                           (builder.filterMode == FilterBilinear && builder.buildMipmaps);
    auto powerOfTwo = [](GLint n) { return n > 0 && (n & (n - 1)) == 0; };
    const bool exact = !mipmapped || (powerOfTwo(record->width) && powerOfTwo(record->height));
    if (width <= 0 || height <= 0 || (exact && (width != record->width || height != record->height)))
        Fail("the texture GL holds is not the size the record reports");
    builder.ReleaseTexture(record);
    if (glIsTexture(record->glName)) Fail("a released texture is still there");
}

// The memory loads' temporary file is gone once a load returns.
inline void CheckNoTemporaryFile() {
    struct stat info;
    if (lstat("glTEMP$$.tmp", &info) == 0) Fail("the temporary file outlived the load");
}

// No real texture carries this name: it marks a record no load has filled in.
constexpr GLuint kUnsetName = 0xFFFFFFF0u;

}  // namespace fuzz
