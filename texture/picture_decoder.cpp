// The picture-service decoders of the texture builder: a picture opened by path or from a
// program resource is drawn at the power-of-two target size, converted to RGBA under the
// colour key and uploaded.
#include <GL/gl.h>

#include <cstdlib>
#include <cstring>

#include "platform/platform.h"
#include "texture/texture_builder.h"
#include "texture/texture_size.h"

namespace {

constexpr int32_t kHimetricPerInch = 2540;

// extent * pixelsPerInch / 2540 with a 64-bit product, rounded to the nearest integer.
int32_t HimetricToPixels(int32_t extent, int32_t pixelsPerInch) {
    int64_t product = int64_t(extent) * pixelsPerInch;
    int64_t magnitude = product < 0 ? -product : product;
    int64_t pixels = (magnitude + kHimetricPerInch / 2) / kHimetricPerInch;
    return int32_t(product < 0 ? -pixels : pixels);
}

// Pixels arrive as blue, green, red and a byte of no meaning; they leave as red, green,
// blue and alpha. Keyed: a pixel of exactly the key colour gets alpha 0, every other 255.
void ConvertKeyed(uint8_t* pixels, size_t count, uint32_t keyValue) {
    for (size_t i = 0; i < count; ++i, pixels += 4) {
        uint32_t c = uint32_t(pixels[2]) | uint32_t(pixels[1]) << 8 | uint32_t(pixels[0]) << 16;
        if (c != keyValue) c |= 0xFF000000u;
        pixels[0] = uint8_t(c);
        pixels[1] = uint8_t(c >> 8);
        pixels[2] = uint8_t(c >> 16);
        pixels[3] = uint8_t(c >> 24);
    }
}

void ConvertPlain(uint8_t* pixels, size_t count) {
    for (size_t i = 0; i < count; ++i, pixels += 4) {
        uint8_t blue = pixels[0];
        pixels[0] = pixels[2];
        pixels[2] = blue;
        pixels[3] = 0xFF;
    }
}

// Common steps once a picture has been obtained: the picture is drawn at the target size
// and converted. The picture is released on every path. Answers the pixels (the caller
// frees them) and their size, or null.
uint8_t* DrawPicture(SysPicture* picture, bool keyed, uint32_t keyValue, uint8_t fullResolution,
                     TextureSize* target) {
    GLint glMaxTexDim = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &glMaxTexDim);

    int32_t lWidth = 0, lHeight = 0;
    SysPictureExtent(picture, &lWidth, &lHeight);
    int32_t pixelWidth = HimetricToPixels(lWidth, SysPicturePixelsPerInch(false));
    int32_t pixelHeight = HimetricToPixels(lHeight, SysPicturePixelsPerInch(true));
    *target = TargetTextureSize(pixelWidth, pixelHeight, glMaxTexDim, fullResolution);

    uint8_t* pBits = nullptr;
    // Without a context there is no cap and nothing to upload to.
    if (glMaxTexDim > 0 && target->width > 0 && target->height > 0) {
        size_t count = size_t(target->width) * size_t(target->height);
        // Cleared, so anything the picture does not cover comes out black.
        pBits = static_cast<uint8_t*>(std::calloc(count, 4));
        // A picture that cannot draw itself is a failure, not an empty texture.
        if (pBits && !SysPictureRender(picture, pBits, target->width, target->height)) {
            std::free(pBits);
            pBits = nullptr;
        }
        if (pBits && keyed)
            ConvertKeyed(pBits, count, keyValue);
        else if (pBits)
            ConvertPlain(pBits, count);
    }
    SysPictureRelease(picture);
    return pBits;
}

// The pixels are rows of 4-byte pixels with nothing between them, which no unpack
// alignment up to 4 pads; under a larger one GL would read an odd-width image past its
// end. Then the upload reads the rows at 4, and the alignment goes back afterwards as the
// upload leaves it (a FilterNone upload leaves 1). Answers the alignment to put back, or
// 0 when it was left alone.
GLint TightenUnpackAlignment(int32_t width) {
    GLint alignment = 4;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    if (alignment <= 4 || (size_t(width) * 4) % size_t(alignment) == 0) return 0;
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    return alignment;
}

void RestoreUnpackAlignment(GLint alignment, FilterMode filterMode) {
    if (alignment != 0 && (filterMode == FilterBilinear || filterMode == FilterTrilinear))
        glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
}

void FillRecord(TextureRecord* record, TextureSize target) {
    record->width = target.width;
    record->height = target.height;
    record->bitsPerPixel = 32;
    record->pixelFormat = GL_RGBA;
}

}  // namespace

int TextureBuilder::DecodePictureFile(const char* path, TextureRecord* record) {
    if (!path || !record) return 0;
    // The platform's path limit stands in for the fixed wide-character buffer.
    if (std::strlen(path) + 1 > kSysPathMax) return 0;
    SysPicture* picture = SysPictureOpenPath(path);
    if (!picture) return 0;
    return DecodeOpenedPicture(picture, colourKeyOn == 1, record);
}

int TextureBuilder::DecodePictureResource(uint16_t id, const char* type, TextureRecord* record) {
    if (!type || !record) return 0;
    const void* bytes = nullptr;
    uint32_t size = 0;
    if (!SysFindResource(id, type, &bytes, &size) || size == 0) return 0;
    // The picture is made over a copy of the resource; the copy is freed as soon as the
    // picture exists, and also when none can be made.
    void* copy = std::malloc(size);
    if (!copy) return 0;
    std::memcpy(copy, bytes, size);
    SysPicture* picture = SysPictureOpenMemory(copy, size);
    std::free(copy);
    if (!picture) return 0;

    // A JPEG resource is never keyed.
    return DecodeOpenedPicture(picture, colourKeyOn == 1 && record->kind != KindJpeg, record);
}

int TextureBuilder::DecodeOpenedPicture(SysPicture* picture, bool keyed, TextureRecord* record) {
    uint32_t keyValue = uint32_t(keyRed) | uint32_t(keyGreen) << 8 | uint32_t(keyBlue) << 16;
    TextureSize target;
    uint8_t* pBits = DrawPicture(picture, keyed, keyValue, fullResolution, &target);
    if (!pBits) return 0;
    FillRecord(record, target);
    glGenTextures(1, &record->glName);
    const GLint alignment = TightenUnpackAlignment(record->width);
    UploadTexture(record, pBits);
    RestoreUnpackAlignment(alignment, filterMode);
    std::free(pBits);
    return 1;
}
