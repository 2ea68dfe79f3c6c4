// The builder's own reader for Truevision TGA files: uncompressed (type 2) and run-length
// (type 10) true-colour images of 24 or 32 bits per pixel.
#include <GL/gl.h>
#include <GL/glu.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "platform/platform.h"
#include "texture/texture_builder.h"
#include "texture/texture_size.h"

namespace {

constexpr size_t kHeaderSize = 18;

unsigned ReadLittle16(const uint8_t* bytes) { return bytes[0] | unsigned(bytes[1]) << 8; }

// Bytes from the current position to the end, or -1 when the stream cannot seek.
long BytesLeft(FILE* file) {
    long here = std::ftell(file);
    if (here < 0 || std::fseek(file, 0, SEEK_END) != 0) return -1;
    long end = std::ftell(file);
    if (end < 0 || std::fseek(file, here, SEEK_SET) != 0) return -1;
    return end - here;
}

// Run-length packets decoded straight into the pixel buffer, red, green, blue (and
// alpha) in place of the file's blue, green, red (and alpha). Packets run on across row
// ends; one that would store a pixel past the image fails the load.
bool DecodeRunLength(FILE* file, uint8_t* pixels, size_t pixelCount, int bytesPerPixel) {
    uint8_t scratch[4];
    size_t stored = 0;
    uint8_t* out = pixels;
    auto store = [&]() {
        if (stored == pixelCount) return false;
        out[0] = scratch[2];
        out[1] = scratch[1];
        out[2] = scratch[0];
        if (bytesPerPixel == 4) out[3] = scratch[3];
        out += bytesPerPixel;
        ++stored;
        return true;
    };
    const size_t pixelSize = size_t(bytesPerPixel);
    while (stored < pixelCount) {
        int chunkheader = std::fgetc(file);
        if (chunkheader == EOF) return false;
        if (chunkheader < 128) {
            for (int i = 0; i <= chunkheader; ++i) {
                if (std::fread(scratch, 1, pixelSize, file) != pixelSize || !store()) return false;
            }
        } else {
            if (std::fread(scratch, 1, pixelSize, file) != pixelSize) return false;
            for (int i = 0; i < chunkheader - 127; ++i) {
                if (!store()) return false;
            }
        }
    }
    return true;
}

}  // namespace

// The record's width, height, depth and pixel format are written from the header before
// the header is judged, so a refused file still shows what it announced. Rows are taken
// in file order whatever the origin corner: the first pixel of the file is texture row 0.
int TextureBuilder::DecodeTgaFile(const char* path, TextureRecord* record) {
    // Only a regular file is read: a FIFO or a device under a TGA name would block the
    // load or feed it without end.
    const int descriptor = SysOpenRegularFile(path);
    if (descriptor < 0) return 0;
    FILE* file = fdopen(descriptor, "rb");
    if (!file) {
        SysCloseFile(descriptor);
        return 0;
    }
    uint8_t header[kHeaderSize];
    if (std::fread(header, kHeaderSize, 1, file) != 1) {
        std::fclose(file);
        return 0;
    }

    const unsigned idLength = header[0];
    const unsigned colourMapType = header[1];
    const unsigned imageType = header[2];
    const unsigned colourMapLength = ReadLittle16(header + 5);
    const unsigned colourMapEntryBits = header[7];
    const int32_t width = int32_t(ReadLittle16(header + 12));
    const int32_t height = int32_t(ReadLittle16(header + 14));
    const int32_t depth = header[16];
    const int bytesPerPixel = depth / 8;

    record->width = width;
    record->height = height;
    record->bitsPerPixel = depth;
    record->pixelFormat = depth == 24 ? GL_RGB : GL_RGBA;

    // Depths 25 to 31 would be read as 3 bytes per pixel under the name of GL_RGBA.
    const bool headerAccepted = (imageType == 2 || imageType == 10) && width != 0 &&
                                height != 0 && (depth == 24 || (depth >= 32 && depth < 40));
    if (!headerAccepted) {
        std::fclose(file);
        return 0;
    }

    // 16-bit sides make at most 65535 x 65535 x 4 bytes, which size_t holds.
    const size_t pixelCount = size_t(width) * size_t(height);
    const size_t bufferSize = pixelCount * size_t(bytesPerPixel);

    // The pixels stand after the image ID and after a colour map, should a true-colour
    // file carry one.
    long dataStart = long(kHeaderSize) + long(idLength);
    if (colourMapType == 1) dataStart += long(colourMapLength) * long((colourMapEntryBits + 7) / 8);
    long bytesLeft = BytesLeft(file);
    if (bytesLeft < 0 || std::fseek(file, dataStart, SEEK_SET) != 0) {
        std::fclose(file);
        return 0;
    }
    bytesLeft -= dataStart - long(kHeaderSize);
    if (bytesLeft < 0) bytesLeft = 0;

    // No buffer larger than the file could fill: uncompressed pixels need their bytes,
    // and a run packet of two or more bytes yields at most 128 pixels.
    const bool fileCanFill = imageType == 2 ? bufferSize <= size_t(bytesLeft)
                                            : pixelCount <= size_t(bytesLeft) * 128;
    uint8_t* pixels = fileCanFill ? static_cast<uint8_t*>(std::malloc(bufferSize)) : nullptr;
    if (!pixels) {
        std::fclose(file);
        return 0;
    }

    bool decoded;
    if (imageType == 2) {
        decoded = std::fread(pixels, 1, bufferSize, file) == bufferSize;
        if (decoded) {
            for (size_t i = 0; i < bufferSize; i += size_t(bytesPerPixel)) {
                uint8_t blue = pixels[i];
                pixels[i] = pixels[i + 2];
                pixels[i + 2] = blue;
            }
        }
    } else {
        decoded = DecodeRunLength(file, pixels, pixelCount, bytesPerPixel);
    }
    std::fclose(file);
    if (!decoded) {
        std::free(pixels);
        return 0;
    }

    GLint glMaxTexDim = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &glMaxTexDim);
    const TextureSize target = TargetTextureSize(width, height, glMaxTexDim, fullResolution);
    const GLenum format = bytesPerPixel == 4 ? GL_RGBA : GL_RGB;

    // Scaled when both sides change; when one keeps its size the file's size is uploaded
    // as it stands. A side above the largest texture is scaled down all the same, since
    // GL would refuse to upload it.
    const bool oversized = glMaxTexDim > 0 && (width > glMaxTexDim || height > glMaxTexDim);
    const bool scale = (target.width != width && target.height != height) || oversized;
    const int32_t uploadWidth = scale ? target.width : width;

    // The rows are tightly packed. Where the alignment in force would pad them (24-bit
    // rows whose length is not a multiple of 4), GL reads them tightly for the scaling
    // and the upload, and the alignment goes back afterwards as the upload leaves it.
    GLint unpackAlignment = 4;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &unpackAlignment);
    const bool tightRows = unpackAlignment > 1 &&
                           ((size_t(width) * bytesPerPixel) % size_t(unpackAlignment) != 0 ||
                            (size_t(uploadWidth) * bytesPerPixel) % size_t(unpackAlignment) != 0);
    if (tightRows) glPixelStorei(GL_UNPACK_ALIGNMENT, 1);

    if (scale) {
        const size_t scaledSize = size_t(target.width) * size_t(target.height) * size_t(bytesPerPixel);
        uint8_t* scaled = static_cast<uint8_t*>(std::malloc(scaledSize));
        // The scaled rows are written under the pack alignment, which must not pad them
        // past the buffer either.
        GLint packAlignment = 4;
        glGetIntegerv(GL_PACK_ALIGNMENT, &packAlignment);
        const bool tightOutput =
            packAlignment > 1 && (size_t(target.width) * bytesPerPixel) % size_t(packAlignment) != 0;
        GLint scaleResult = GLU_OUT_OF_MEMORY;
        if (scaled) {
            if (tightOutput) glPixelStorei(GL_PACK_ALIGNMENT, 1);
            scaleResult = gluScaleImage(format, width, height, GL_UNSIGNED_BYTE, pixels,
                                        target.width, target.height, GL_UNSIGNED_BYTE, scaled);
            if (tightOutput) glPixelStorei(GL_PACK_ALIGNMENT, packAlignment);
        }
        std::free(pixels);
        pixels = scaled;
        // Uninitialised memory must not become a texture.
        if (!scaled || scaleResult != 0) {
            std::free(pixels);
            if (tightRows) glPixelStorei(GL_UNPACK_ALIGNMENT, unpackAlignment);
            return 0;
        }
        record->width = target.width;
        record->height = target.height;
    }

    glGenTextures(1, &record->glName);
    UploadTexture(record, pixels);
    if (tightRows && (filterMode == FilterBilinear || filterMode == FilterTrilinear))
        glPixelStorei(GL_UNPACK_ALIGNMENT, unpackAlignment);
    std::free(pixels);
    return 1;
}
