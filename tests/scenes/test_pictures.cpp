// Plain-colour textures in the catalogue slots.
#include "tests/scenes/test_pictures.h"

#include <GL/gl.h>

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
