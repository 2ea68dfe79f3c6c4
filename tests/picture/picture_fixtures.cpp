// Writers of the picture test files: BMP, icon, GIF, WMF and EMF byte by byte; JPEG by
// libturbojpeg and PNG by cairo, neither of which the picture service uses.
#include "tests/picture/picture_fixtures.h"

#include <cairo.h>
#include <turbojpeg.h>

#include <cstdio>
#include <map>
#include <stdexcept>

namespace {

void Put16(Bytes& out, uint32_t v) {
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}
void Put32(Bytes& out, uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

uint8_t Red(uint32_t p) { return uint8_t(p >> 16); }
uint8_t Green(uint32_t p) { return uint8_t(p >> 8); }
uint8_t Blue(uint32_t p) { return uint8_t(p); }
uint8_t Alpha(uint32_t p) { return uint8_t(p >> 24); }

// BITMAPINFOHEADER: size 40, width, height (positive: bottom-up), planes 1, bit count,
// compression 0 (BI_RGB), image size, resolution, colours used and important (0).
void PutInfoHeader(Bytes& out, int width, int height, int bitCount, uint32_t imageSize) {
    Put32(out, 40);
    Put32(out, uint32_t(width));
    Put32(out, uint32_t(height));
    Put16(out, 1);
    Put16(out, uint32_t(bitCount));
    Put32(out, 0);
    Put32(out, imageSize);
    Put32(out, 2835);  // 72 dpi in pixels per metre
    Put32(out, 2835);
    Put32(out, 0);
    Put32(out, 0);
}

}  // namespace

Image Gradient(int width, int height) {
    Image image(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.at(x, y) = Rgb(uint8_t(16 + x * 7), uint8_t(200 - y * 5), uint8_t(40 + (x + y) * 3));
    return image;
}

Image Quadrants(int width, int height) {
    Image image(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            bool right = x >= width / 2, bottom = y >= height / 2;
            image.at(x, y) = !bottom ? (right ? Rgb(0, 255, 0) : Rgb(255, 0, 0))
                                     : (right ? Rgb(255, 255, 255) : Rgb(0, 0, 255));
        }
    return image;
}

Bytes WriteBmp(const Image& image) {
    uint32_t rowSize = (uint32_t(image.width) * 3 + 3) & ~3u;
    uint32_t imageSize = rowSize * uint32_t(image.height);
    Bytes out;
    // BITMAPFILEHEADER: "BM", file size, two reserved words, offset of the pixels.
    out.push_back('B');
    out.push_back('M');
    Put32(out, 14 + 40 + imageSize);
    Put32(out, 0);
    Put32(out, 14 + 40);
    PutInfoHeader(out, image.width, image.height, 24, imageSize);
    for (int y = image.height - 1; y >= 0; --y) {
        size_t start = out.size();
        for (int x = 0; x < image.width; ++x) {
            uint32_t p = image.at(x, y);
            out.push_back(Blue(p));
            out.push_back(Green(p));
            out.push_back(Red(p));
        }
        out.resize(start + rowSize, 0);
    }
    return out;
}

Bytes WriteIco(const Image& image) {
    uint32_t maskRow = ((uint32_t(image.width) + 31) / 32) * 4;
    uint32_t xorSize = uint32_t(image.width) * image.height * 4;
    uint32_t bytesInRes = 40 + xorSize + maskRow * image.height;
    Bytes out;
    // ICONDIR: reserved 0, type 1 (icon), one image.
    Put16(out, 0);
    Put16(out, 1);
    Put16(out, 1);
    // ICONDIRENTRY: width and height (0 means 256), colour count 0, reserved, planes 1,
    // 32 bits, size of the image data, its offset (6 + 16).
    out.push_back(uint8_t(image.width & 0xFF));
    out.push_back(uint8_t(image.height & 0xFF));
    out.push_back(0);
    out.push_back(0);
    Put16(out, 1);
    Put16(out, 32);
    Put32(out, bytesInRes);
    Put32(out, 22);
    // The image: a BMP info header whose height counts the XOR and the AND bitmap.
    PutInfoHeader(out, image.width, image.height * 2, 32, xorSize + maskRow * image.height);
    for (int y = image.height - 1; y >= 0; --y)
        for (int x = 0; x < image.width; ++x) {
            uint32_t p = image.at(x, y);
            out.push_back(Blue(p));
            out.push_back(Green(p));
            out.push_back(Red(p));
            out.push_back(Alpha(p));
        }
    for (int y = image.height - 1; y >= 0; --y) {
        Bytes row(maskRow, 0);
        for (int x = 0; x < image.width; ++x)
            if (Alpha(image.at(x, y)) == 0) row[x / 8] |= uint8_t(0x80 >> (x % 8));
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

namespace {

// LZW without compression: 8-bit codes written as 9-bit codes, with a clear code often
// enough that the decoder's code width never grows past 9 bits.
Bytes LzwUncompressed(const std::vector<uint8_t>& indices) {
    Bytes packed;
    uint32_t buffer = 0;
    int bits = 0;
    auto emit = [&](uint32_t code) {
        buffer |= code << bits;
        bits += 9;
        while (bits >= 8) {
            packed.push_back(uint8_t(buffer));
            buffer >>= 8;
            bits -= 8;
        }
    };
    const uint32_t clear = 256, end = 257;
    emit(clear);
    int sinceClear = 0;
    for (uint8_t index : indices) {
        if (sinceClear == 250) {
            emit(clear);
            sinceClear = 0;
        }
        emit(index);
        ++sinceClear;
    }
    emit(end);
    if (bits > 0) packed.push_back(uint8_t(buffer));
    // Sub-blocks of at most 255 bytes, then the block terminator.
    Bytes out;
    out.push_back(8);  // minimum code size
    for (size_t i = 0; i < packed.size(); i += 255) {
        size_t n = std::min<size_t>(255, packed.size() - i);
        out.push_back(uint8_t(n));
        out.insert(out.end(), packed.begin() + i, packed.begin() + i + n);
    }
    out.push_back(0);
    return out;
}

}  // namespace

Bytes WriteGif(const std::vector<Image>& frames) {
    const int width = frames.at(0).width, height = frames.at(0).height;
    // Index 0 is kept for transparency; the other colours are numbered as they are met.
    std::map<uint32_t, uint8_t> palette;
    std::vector<uint32_t> colours(256, 0);
    int next = 1;
    for (const Image& frame : frames)
        for (uint32_t p : frame.pixels) {
            if (Alpha(p) == 0) continue;
            uint32_t rgb = p & 0xFFFFFF;
            if (palette.count(rgb)) continue;
            if (next == 256) throw std::runtime_error("more than 255 colours for a GIF");
            palette[rgb] = uint8_t(next);
            colours[next++] = rgb;
        }
    Bytes out = {'G', 'I', 'F', '8', '9', 'a'};
    // Logical screen: size, a global table of 256 colours (packed 0xF7), background 0,
    // no aspect ratio.
    Put16(out, uint32_t(width));
    Put16(out, uint32_t(height));
    out.push_back(0xF7);
    out.push_back(0);
    out.push_back(0);
    for (uint32_t rgb : colours) {
        out.push_back(Red(rgb));
        out.push_back(Green(rgb));
        out.push_back(Blue(rgb));
    }
    for (const Image& frame : frames) {
        // Graphic control extension: disposal 1 (leave in place), transparent index 0,
        // a delay of 10 hundredths.
        out.insert(out.end(), {0x21, 0xF9, 0x04, 0x05, 10, 0, 0, 0});
        // Image descriptor: the whole screen, no local table, not interlaced.
        out.push_back(0x2C);
        Put16(out, 0);
        Put16(out, 0);
        Put16(out, uint32_t(width));
        Put16(out, uint32_t(height));
        out.push_back(0);
        std::vector<uint8_t> indices;
        for (uint32_t p : frame.pixels) indices.push_back(Alpha(p) == 0 ? 0 : palette[p & 0xFFFFFF]);
        Bytes data = LzwUncompressed(indices);
        out.insert(out.end(), data.begin(), data.end());
    }
    out.push_back(0x3B);
    return out;
}

Bytes WriteJpeg(const Image& image, int quality, bool progressive) {
    std::vector<uint8_t> rgb;
    for (uint32_t p : image.pixels) {
        rgb.push_back(Red(p));
        rgb.push_back(Green(p));
        rgb.push_back(Blue(p));
    }
    tjhandle handle = tjInitCompress();
    unsigned char* jpeg = nullptr;
    unsigned long size = 0;
    int rc = tjCompress2(handle, rgb.data(), image.width, 0, image.height, TJPF_RGB, &jpeg,
                         &size, TJSAMP_444, quality, progressive ? TJFLAG_PROGRESSIVE : 0);
    Bytes out;
    if (rc == 0) out.assign(jpeg, jpeg + size);
    tjFree(jpeg);
    tjDestroy(handle);
    return out;
}

Image DecodeJpegReference(const Bytes& jpeg) {
    Image image;
    tjhandle handle = tjInitDecompress();
    int width = 0, height = 0, subsampling = 0, colourspace = 0;
    unsigned char* data = const_cast<unsigned char*>(jpeg.data());
    if (tjDecompressHeader3(handle, data, jpeg.size(), &width, &height, &subsampling, &colourspace) == 0) {
        std::vector<uint8_t> rgb(size_t(width) * height * 3);
        if (tjDecompress2(handle, data, jpeg.size(), rgb.data(), width, 0, height, TJPF_RGB, 0) == 0) {
            image = Image(width, height);
            for (size_t i = 0; i < image.pixels.size(); ++i)
                image.pixels[i] = Rgb(rgb[3 * i], rgb[3 * i + 1], rgb[3 * i + 2]);
        }
    }
    tjDestroy(handle);
    return image;
}

Bytes WritePng(const Image& image) {
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, image.width, image.height);
    cairo_surface_flush(surface);
    uint8_t* data = cairo_image_surface_get_data(surface);
    int stride = cairo_image_surface_get_stride(surface);
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            // Cairo keeps colour premultiplied; the tests use alpha 0 or 255 only.
            uint32_t p = image.at(x, y);
            uint32_t stored = Alpha(p) == 0 ? 0 : p;
            *reinterpret_cast<uint32_t*>(data + size_t(y) * stride + x * 4) = stored;
        }
    cairo_surface_mark_dirty(surface);
    Bytes out;
    cairo_surface_write_to_png_stream(
        surface,
        [](void* closure, const unsigned char* bytes, unsigned int length) {
            static_cast<Bytes*>(closure)->insert(static_cast<Bytes*>(closure)->end(), bytes, bytes + length);
            return CAIRO_STATUS_SUCCESS;
        },
        &out);
    cairo_surface_destroy(surface);
    return out;
}

namespace {

// One WMF record: size in 16-bit words (a 32-bit count), function number, parameters.
void PutWmfRecord(Bytes& out, uint16_t function, std::initializer_list<int> parameters) {
    Put32(out, uint32_t(3 + parameters.size()));
    Put16(out, function);
    for (int p : parameters) Put16(out, uint32_t(p) & 0xFFFF);
}

}  // namespace

Bytes WriteWmf(int width, int height, int unitsPerInch, const std::vector<Rectangle>& shapes) {
    Bytes records;
    PutWmfRecord(records, 0x020B, {0, 0});            // SETWINDOWORG y, x
    PutWmfRecord(records, 0x020C, {height, width});   // SETWINDOWEXT y, x
    PutWmfRecord(records, 0x02FA, {5, 0, 0, 0, 0});   // CREATEPENINDIRECT PS_NULL
    PutWmfRecord(records, 0x012D, {0});               // SELECTOBJECT the pen
    int object = 1;
    for (const Rectangle& r : shapes) {
        // CREATEBRUSHINDIRECT BS_SOLID, COLORREF 0x00BBGGRR as two words, no hatch.
        uint32_t colorref = Red(r.colour) | Green(r.colour) << 8 | uint32_t(Blue(r.colour)) << 16;
        PutWmfRecord(records, 0x02FC, {0, int(colorref & 0xFFFF), int(colorref >> 16), 0});
        PutWmfRecord(records, 0x012D, {object});
        PutWmfRecord(records, 0x041B, {r.bottom, r.right, r.top, r.left});  // RECTANGLE
        ++object;
    }
    PutWmfRecord(records, 0x0000, {});  // EOF
    uint32_t maxRecord = 0;
    for (size_t i = 0; i < records.size();) {
        uint32_t words = records[i] | records[i + 1] << 8 | records[i + 2] << 16 | uint32_t(records[i + 3]) << 24;
        maxRecord = std::max(maxRecord, words);
        i += words * 2;
    }

    Bytes out;
    // Placeable header: key, handle 0, frame left, top, right, bottom, units per inch,
    // reserved, checksum (XOR of the ten words before it).
    Put32(out, 0x9AC6CDD7u);
    Put16(out, 0);
    Put16(out, 0);
    Put16(out, 0);
    Put16(out, uint32_t(width));
    Put16(out, uint32_t(height));
    Put16(out, uint32_t(unitsPerInch));
    Put32(out, 0);
    uint16_t checksum = 0;
    for (int i = 0; i < 10; ++i) checksum ^= uint16_t(out[2 * i] | out[2 * i + 1] << 8);
    Put16(out, checksum);
    // Metafile header: type 1 (memory), 9 words, version 0x300, size in words, number of
    // objects, largest record, no parameters.
    Put16(out, 1);
    Put16(out, 9);
    Put16(out, 0x300);
    Put32(out, uint32_t(9 + records.size() / 2));
    Put16(out, uint32_t(object));
    Put32(out, maxRecord);
    Put16(out, 0);
    out.insert(out.end(), records.begin(), records.end());
    return out;
}

namespace {

void PutEmfRecord(Bytes& out, uint32_t type, std::initializer_list<int32_t> values) {
    Put32(out, type);
    Put32(out, uint32_t(8 + 4 * values.size()));
    for (int32_t v : values) Put32(out, uint32_t(v));
}

}  // namespace

Bytes WriteEmf(int width, int height, const std::vector<Rectangle>& shapes, int left, int top) {
    Bytes records;
    PutEmfRecord(records, 37, {int32_t(0x80000008u)});  // SELECTOBJECT stock NULL_PEN
    uint32_t handle = 1;
    for (const Rectangle& r : shapes) {
        uint32_t colorref = Red(r.colour) | Green(r.colour) << 8 | uint32_t(Blue(r.colour)) << 16;
        // CREATEBRUSHINDIRECT: handle, BS_SOLID, COLORREF, no hatch; then select it.
        PutEmfRecord(records, 39, {int32_t(handle), 0, int32_t(colorref), 0});
        PutEmfRecord(records, 37, {int32_t(handle)});
        PutEmfRecord(records, 43, {r.left, r.top, r.right, r.bottom});  // RECTANGLE
        ++handle;
    }
    PutEmfRecord(records, 14, {0, 16, 20});  // EOF: no palette, its offset, its own size
    uint32_t recordCount = 1;
    for (size_t i = 0; i < records.size(); ++recordCount)
        i += records[i + 4] | records[i + 5] << 8 | records[i + 6] << 16 | uint32_t(records[i + 7]) << 24;

    // Header record, 88 bytes: type 1 and size; bounds in device pixels (inclusive);
    // frame in HIMETRIC; " EMF"; version 0x10000; file size; record count; handle count
    // and a reserved word; no description (count, offset); no palette; a reference
    // device of 960 x 960 pixels on 254 x 254 mm, so 96 dpi.
    Bytes out;
    Put32(out, 1);
    Put32(out, 88);
    // The bounds reach 4 pixels past the frame, as a drawing's bounds may.
    for (int32_t v : {left - 4, top - 4, left + width + 3, top + height + 3}) Put32(out, uint32_t(v));
    auto himetric = [](int pixels) { return int32_t((pixels * 2540 + 48) / 96); };
    for (int32_t v : {himetric(left), himetric(top), himetric(left + width), himetric(top + height)})
        Put32(out, uint32_t(v));
    Put32(out, 0x464D4520u);
    Put32(out, 0x10000u);
    Put32(out, uint32_t(88 + records.size()));
    Put32(out, recordCount);
    Put16(out, handle);
    Put16(out, 0);
    Put32(out, 0);
    Put32(out, 0);
    Put32(out, 0);
    for (uint32_t v : {960u, 960u, 254u, 254u}) Put32(out, v);
    out.insert(out.end(), records.begin(), records.end());
    return out;
}

bool WriteFile(const std::string& path, const Bytes& bytes) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    bool ok = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && ok;
}

Bytes ReadFile(const std::string& path) {
    Bytes bytes;
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return bytes;
    uint8_t chunk[65536];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, file)) > 0) bytes.insert(bytes.end(), chunk, chunk + n);
    std::fclose(file);
    return bytes;
}
