// Plain-colour textures in the catalogue slots.
#include "tests/scenes/test_pictures.h"

#include <GL/gl.h>
#include <turbojpeg.h>

#include <cstdio>
#include <vector>

#include "app/renderer_setup.h"

Rgb TestColour(int index) {
    // 11 is prime to 64, so the 29 codes differ; code 0 (black) would be row 29.
    const int code = (1 + index * 11) % 64;
    auto level = [](int twoBits) { return static_cast<uint8_t>(twoBits * 85); };
    return {level((code >> 4) & 3), level((code >> 2) & 3), level(code & 3)};
}

void UploadTestPictures() {
    for (int i = 0; i < 29; ++i) {
        TextureRecord* slot = kCatalogue[i].slot;
        const Rgb c = TestColour(i);
        const uint8_t texel[4] = {c.r, c.g, c.b, 255};
        slot->glName = TestTextureName(i);
        slot->width = 1;
        slot->height = 1;
        slot->pixelFormat = GL_RGBA;
        slot->bitsPerPixel = 32;
        glBindTexture(GL_TEXTURE_2D, slot->glName);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, texel);
    }
    glBindTexture(GL_TEXTURE_2D, 0);
}

void ReleaseTestPictures() {
    for (const CatalogueEntry& entry : kCatalogue) {
        glDeleteTextures(1, &entry.slot->glName);
        *entry.slot = TextureRecord{};
    }
}

bool WriteTestPictureFiles(const std::string& folder, int width, int height) {
    tjhandle jpeg = tjInitCompress();
    if (!jpeg) return false;
    std::vector<unsigned char> rgb(static_cast<size_t>(width) * height * 3);
    bool ok = true;
    for (int i = 0; i < 29 && ok; ++i) {
        const Rgb c = TestColour(i);
        for (size_t p = 0; p < rgb.size(); p += 3) {
            rgb[p] = c.r;
            rgb[p + 1] = c.g;
            rgb[p + 2] = c.b;
        }
        unsigned char* bytes = nullptr;
        unsigned long size = 0;
        // Full chroma and high quality: a plain colour comes back within a few steps.
        ok = tjCompress2(jpeg, rgb.data(), width, 0, height, TJPF_RGB, &bytes, &size,
                         TJSAMP_444, 95, TJFLAG_ACCURATEDCT) == 0;
        // "data\Intro.jpg" -> folder/Intro.jpg
        const std::string path = folder + "/" + (kCatalogue[i].file + 5);
        FILE* f = ok ? fopen(path.c_str(), "wb") : nullptr;
        ok = f && fwrite(bytes, 1, size, f) == size;
        if (f && fclose(f) != 0) ok = false;
        tjFree(bytes);
    }
    tjDestroy(jpeg);
    return ok;
}
