// Structure checks that refuse a cut-off JPEG, PNG, BMP, icon or GIF file: gdk-pixbuf
// decodes the first four formats' truncated files without complaint and fills the missing
// part with grey or black, which would turn a damaged file into a texture reported as
// loaded. For GIF it is the other way round: a file whose first image is whole but whose
// trailer is missing is refused by gdk-pixbuf, though the first image is all the service
// takes.
#include <cstring>

#include "platform/pixbuf/picture.h"

namespace {

uint32_t BigEndian16(const uint8_t* p) { return uint32_t(p[0]) << 8 | p[1]; }
uint32_t BigEndian32(const uint8_t* p) { return BigEndian16(p) << 16 | BigEndian16(p + 2); }
uint32_t Little16(const uint8_t* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8; }
uint32_t Little32(const uint8_t* p) { return Little16(p) | Little16(p + 2) << 16; }

// Segments from the start marker on, across every scan's entropy-coded data (where a 0xFF
// byte is followed by 0x00 or a restart marker), up to the end-of-image marker.
bool JpegComplete(const uint8_t* bytes, size_t size) {
    size_t at = 2;
    while (at < size) {
        if (bytes[at] != 0xFF) return false;
        while (at < size && bytes[at] == 0xFF) ++at;  // fill bytes
        if (at >= size) return false;
        uint8_t marker = bytes[at++];
        if (marker == 0xD9) return true;
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) continue;
        if (at + 2 > size) return false;
        size_t length = BigEndian16(bytes + at);
        if (length < 2 || at + length > size) return false;
        at += length;
        if (marker != 0xDA) continue;
        // Entropy-coded data runs to the next marker that is not a restart.
        for (;;) {
            const void* found = std::memchr(bytes + at, 0xFF, size - at);
            if (!found) return false;
            at = size_t(static_cast<const uint8_t*>(found) - bytes);
            if (at + 1 >= size) return false;
            uint8_t next = bytes[at + 1];
            if (next == 0x00 || next == 0xFF || (next >= 0xD0 && next <= 0xD7)) {
                at += (next == 0xFF) ? 1 : 2;
                continue;
            }
            break;
        }
    }
    return false;
}

// Chunks after the signature, each length, type, data and CRC, up to IEND.
bool PngComplete(const uint8_t* bytes, size_t size) {
    size_t at = 8;
    while (at + 12 <= size) {
        uint64_t length = BigEndian32(bytes + at);
        if (at + 12 + length > size) return false;
        if (std::memcmp(bytes + at + 4, "IEND", 4) == 0) return true;
        at += size_t(12 + length);
    }
    return false;
}

// The pixel array of an uncompressed bitmap must be there whole; compressed ones are
// checked by their decoder.
bool BmpComplete(const uint8_t* bytes, size_t size) {
    if (size < 26) return false;
    uint64_t pixelsAt = Little32(bytes + 10);
    uint32_t headerSize = Little32(bytes + 14);
    int64_t width, height;
    uint32_t bitCount, compression = 0;
    if (headerSize == 12) {
        width = Little16(bytes + 18);
        height = int16_t(Little16(bytes + 20));
        bitCount = Little16(bytes + 24);
    } else {
        if (headerSize < 16 || size < 34) return false;
        width = int32_t(Little32(bytes + 18));
        height = int32_t(Little32(bytes + 22));
        bitCount = Little16(bytes + 28);
        compression = Little32(bytes + 30);
    }
    // The header must be there whole too: the decoder allocates room for the size it
    // announces, however large, before it reads it.
    if (14 + uint64_t(headerSize) > size) return false;
    // BI_RGB and BI_BITFIELDS (3) store plain rows; others go to the decoder as they are.
    if (compression != 0 && compression != 3) return pixelsAt < size;
    if (width < 0) width = -width;
    if (height < 0) height = -height;
    uint64_t rowSize = ((uint64_t(width) * bitCount + 31) / 32) * 4;
    return pixelsAt + rowSize * uint64_t(height) <= size;
}

// Every image the directory lists must lie within the file.
bool IconComplete(const uint8_t* bytes, size_t size) {
    uint32_t count = Little16(bytes + 4);
    if (count == 0 || 6 + uint64_t(count) * 16 > size) return false;
    for (uint32_t i = 0; i < count; ++i) {
        const uint8_t* entry = bytes + 6 + i * 16;
        uint64_t length = Little32(entry + 8), offset = Little32(entry + 12);
        if (length == 0 || offset + length > size) return false;
    }
    return true;
}

// Sub-blocks (a length byte, then that many bytes) up to the zero-length terminator;
// answers the offset after it, or 0 when the file ends first.
size_t SkipSubBlocks(const uint8_t* bytes, size_t size, size_t at) {
    while (at < size) {
        size_t length = bytes[at++];
        if (length == 0) return at;
        at += length;
    }
    return 0;
}

size_t ColourTableSize(uint8_t packed) {
    return (packed & 0x80) ? 3u * (2u << (packed & 7)) : 0;
}

}  // namespace

bool GifFirstImageComplete(const uint8_t* bytes, size_t size) {
    if (size < 13) return false;
    size_t at = 13 + ColourTableSize(bytes[10]);
    while (at < size) {
        uint8_t block = bytes[at];
        if (block == 0x21) {  // an extension: label, then sub-blocks
            at = SkipSubBlocks(bytes, size, at + 2);
            if (at == 0) return false;
        } else if (block == 0x2C) {  // an image descriptor: the first image
            if (at + 10 > size) return false;
            at += 10 + ColourTableSize(bytes[at + 9]);
            // The LZW minimum code size, then the image data.
            return at < size && SkipSubBlocks(bytes, size, at + 1) != 0;
        } else {
            return false;  // the trailer before any image, or no GIF block at all
        }
    }
    return false;
}

bool PictureLooksComplete(const uint8_t* bytes, size_t size) {
    static const uint8_t kPng[] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    if (size >= 3 && bytes[0] == 0xFF && bytes[1] == 0xD8 && bytes[2] == 0xFF)
        return JpegComplete(bytes, size);
    if (size >= 8 && std::memcmp(bytes, kPng, 8) == 0) return PngComplete(bytes, size);
    if (size >= 2 && bytes[0] == 'B' && bytes[1] == 'M') return BmpComplete(bytes, size);
    if (size >= 6 && bytes[0] == 0 && bytes[1] == 0 && (bytes[2] == 1 || bytes[2] == 2) && bytes[3] == 0)
        return IconComplete(bytes, size);
    if (size >= 6 && (std::memcmp(bytes, "GIF87a", 6) == 0 || std::memcmp(bytes, "GIF89a", 6) == 0))
        return GifFirstImageComplete(bytes, size);
    return true;
}
