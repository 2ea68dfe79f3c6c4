// The texture builder's settings, loading by file name with its path and extension
// rules, releasing, and the one instance created during static initialisation.
#include "texture/texture_builder.h"

#include <GL/gl.h>

#include <cstring>

#include "platform/platform.h"
#include "platform/static_init_order.h"

namespace {

constexpr size_t kExtensionSize = 16;

// ASCII comparison without regard to case; file names are compared byte by byte, so the
// locale must not change what matches.
bool SameIgnoringCase(const char* a, const char* b) {
    for (;; ++a, ++b) {
        unsigned char ca = static_cast<unsigned char>(*a);
        unsigned char cb = static_cast<unsigned char>(*b);
        if (ca >= 'A' && ca <= 'Z') ca = static_cast<unsigned char>(ca - 'A' + 'a');
        if (cb >= 'A' && cb <= 'Z') cb = static_cast<unsigned char>(cb - 'A' + 'a');
        if (ca != cb) return false;
        if (ca == 0) return true;
    }
}

// The kinds the picture service's extensions select, in the order they are tried.
struct ExtensionKind {
    const char* extension;
    SourceKind kind;
};
constexpr ExtensionKind kPictureExtensions[] = {
    {"bmp", KindBmp}, {"jpg", KindJpeg}, {"jpeg", KindJpeg}, {"gif", KindGif},
    {"ico", KindIco}, {"emf", KindEmf},  {"wmf", KindWmf},
};

}  // namespace

TextureBuilder::TextureBuilder() {
    SetColourKey(1, 0, 0, 0);
    SetFullResolution(1);
    SetMipmaps(0);
    SetFilterMode(FilterNone);
}

// The builder owns no resources: textures belong to whoever owns the records.
TextureBuilder::~TextureBuilder() {}

// Switching the key off keeps the stored colour; only on == 1 stores a new one.
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

bool TextureBuilder::BuildFullPath(const char* name, char* out, size_t capacity) {
    if (!SysCurrentDirectory(out, capacity)) return false;
    size_t length = std::strlen(out);
    size_t nameLength = std::strlen(name);
    if (length + 1 + nameLength + 1 > capacity)
        return SysFail("BuildFullPath: path longer than %zu bytes", capacity - 1);
    out[length++] = kSysPathSeparator;
    for (size_t i = 0; i < nameLength; ++i) out[length++] = name[i] == '\\' ? kSysPathSeparator : name[i];
    out[length] = 0;
    return true;
}

// The scan runs back from the end and does not stop at path separators, so a full stop
// in a folder name still starts the extension.
void TextureBuilder::ExtractExtension(const char* name, char* out) {
    out[0] = 0;
    const char* stop = std::strrchr(name, '.');
    if (!stop) return;
    size_t length = std::strlen(stop + 1);
    // An extension this long can be none of the listed ones.
    if (length > kExtensionSize - 1) return;
    std::memcpy(out, stop + 1, length + 1);
}

int TextureBuilder::LoadPictureFile(const char* name, TextureRecord* record) {
    if (!name || !record) return 0;
    char szFullPath[kSysPathMax];
    // A URL goes to the picture service as it stands.
    if (std::strstr(name, "http://")) {
        size_t length = std::strlen(name);
        if (length + 1 > sizeof szFullPath) return 0;
        std::memcpy(szFullPath, name, length + 1);
    } else if (!BuildFullPath(name, szFullPath, sizeof szFullPath)) {
        return 0;
    }

    char szExtension[kExtensionSize];
    ExtractExtension(name, szExtension);

    if (SameIgnoringCase(szExtension, "tga")) {
        record->kind = KindTga;
        return DecodeTgaFile(szFullPath, record);
    }
    record->kind = KindOther;
    for (const ExtensionKind& entry : kPictureExtensions) {
        if (SameIgnoringCase(szExtension, entry.extension)) {
            record->kind = entry.kind;
            break;
        }
    }
    // Whatever the extension, the picture service judges the file by its content.
    return DecodePictureFile(szFullPath, record);
}

// The record keeps every field, the deleted name included.
void TextureBuilder::ReleaseTexture(TextureRecord* record) {
    glDeleteTextures(1, &record->glName);
}

TextureBuilder* gTextureBuilder;

namespace {
// First of the program's static initialisations (the attribute needs an object of class
// type, so the pointer is set from one). The builder is never destroyed.
struct BuilderCreation {
    BuilderCreation() { gTextureBuilder = new TextureBuilder; }
};
BuilderCreation gBuilderCreation VZ_INIT_ORDER_BUILDER;
}  // namespace
