// Stand-in until the texture builder lands: settings and release only.
#include "texture/texture_builder.h"

#include <GL/gl.h>

#include "platform/static_init_order.h"

TextureBuilder::TextureBuilder() {
    SetColourKey(1, 0, 0, 0);
    SetFullResolution(1);
    SetMipmaps(0);
    SetFilterMode(FilterNone);
}
TextureBuilder::~TextureBuilder() {}
void TextureBuilder::SetColourKey(uint8_t on, uint8_t red, uint8_t green, uint8_t blue) {
    colourKeyOn = on;
    if (on == 1) {
        keyRed = red;
        keyGreen = green;
        keyBlue = blue;
    }
}
void TextureBuilder::SetFullResolution(uint8_t on) { fullResolution = on; }
void TextureBuilder::SetMipmaps(uint8_t on) { buildMipmaps = on; }
void TextureBuilder::SetFilterMode(FilterMode mode) { filterMode = mode; }
int TextureBuilder::LoadPictureFile(const char*, TextureRecord*) { return 0; }
int TextureBuilder::LoadPictureMemory(const void*, uint32_t, TextureRecord*, SourceKind) {
    return 0;
}
int TextureBuilder::LoadPictureResource(uint16_t, const char*, TextureRecord*, SourceKind) {
    return 0;
}
void TextureBuilder::ReleaseTexture(TextureRecord* record) { glDeleteTextures(1, &record->glName); }

TextureBuilder* gTextureBuilder;

namespace {
// First of the program's static initialisations (the attribute needs an object of class
// type, so the pointer is set from one).
struct BuilderCreation {
    BuilderCreation() { gTextureBuilder = new TextureBuilder; }
};
BuilderCreation gBuilderCreation VZ_INIT_ORDER_BUILDER;
}  // namespace
