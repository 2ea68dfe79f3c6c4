// The texture builder: turns picture files, memory blocks and program resources into GL
// textures under one policy of colour key, full resolution, mipmaps and filtering.
#pragma once

#include <cstddef>
#include <cstdint>

struct SysPicture;

// What kind of picture a texture came from. There is no kind 3.
enum SourceKind : int32_t {
    KindOther = 0,
    KindBmp = 1,
    KindJpeg = 2,
    KindTga = 4,
    KindGif = 5,
    KindIco = 6,
    KindEmf = 7,
    KindWmf = 8,
};

// Filter policy of the upload. Any value other than 1 and 2 behaves as FilterNone.
enum FilterMode : int32_t {
    FilterNone = 0,
    FilterBilinear = 1,
    FilterTrilinear = 2,
};

// One texture, owned by the caller; the builder only fills it in.
struct TextureRecord {
    uint32_t glName;       // GL texture name
    SourceKind kind;       // written by the loads before decoding
    int32_t width;         // of the uploaded image
    int32_t height;
    uint32_t pixelFormat;  // GL_RGBA or GL_RGB
    int32_t bitsPerPixel;  // 32 from the picture service; the TGA header's depth
};
static_assert(sizeof(TextureRecord) == 24, "six 32-bit fields");

class TextureBuilder {
public:
    TextureBuilder();
    virtual ~TextureBuilder();

    void SetColourKey(uint8_t on, uint8_t red, uint8_t green, uint8_t blue);
    void SetFullResolution(uint8_t on);
    void SetMipmaps(uint8_t on);
    void SetFilterMode(FilterMode mode);

    // Each answers 1 when a texture was created and 0 otherwise; a failed load may have
    // written some fields of the record.
    int LoadPictureFile(const char* name, TextureRecord* record);
    int LoadPictureMemory(const void* data, uint32_t size, TextureRecord* record,
                          SourceKind kind);
    int LoadPictureResource(uint16_t id, const char* type, TextureRecord* record,
                            SourceKind kind);
    void ReleaseTexture(TextureRecord* record);

    // Settings, in declaration order.
    uint8_t colourKeyOn;
    uint8_t fullResolution;
    uint8_t buildMipmaps;
    FilterMode filterMode;
    uint8_t keyRed;
    uint8_t keyGreen;
    uint8_t keyBlue;

private:
    // Tests reach the private operations through this one door.
    friend struct TextureBuilderProbe;

    // Current directory, separator, then name with each backslash turned into the native
    // separator; false when the directory cannot be read or the whole does not fit in
    // capacity bytes with its terminating zero.
    static bool BuildFullPath(const char* name, char* out, size_t capacity);
    // Everything after the name's last full stop into out (16 bytes); empty when there
    // is none or when it would not fit 15 characters.
    void ExtractExtension(const char* name, char* out);
    int DecodePictureFile(const char* path, TextureRecord* record);
    int DecodePictureResource(uint16_t id, const char* type, TextureRecord* record);
    // The steps both picture decoders share once they hold a picture: draw, convert,
    // fill the record, upload. Releases the picture.
    int DecodeOpenedPicture(SysPicture* picture, bool keyed, TextureRecord* record);
    int DecodeTgaFile(const char* path, TextureRecord* record);
    int DecodeTgaResource(uint16_t id, const char* type, TextureRecord* record);
    void UploadTexture(TextureRecord* record, const uint8_t* pixels);
};

// The one builder, created on the heap during static initialisation and never destroyed.
extern TextureBuilder* gTextureBuilder;
