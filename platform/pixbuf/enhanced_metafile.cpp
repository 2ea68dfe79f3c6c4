// Enhanced metafiles for the picture service: libemf2svg turns the records into SVG,
// librsvg draws that at any size. The extent is the header's frame.
#include <dlfcn.h>
#include <emf2svg.h>
#include <librsvg/rsvg.h>

#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

#include "platform/pixbuf/picture.h"

namespace {

// The header record opens every enhanced metafile: record type 1, then (offsets in bytes)
// the bounds in device pixels at 8, the frame in HIMETRIC at 24, the signature " EMF" at
// 40, the file's size at 48, the reference device in pixels at 72 and in millimetres at 80.
constexpr uint32_t kHeaderRecordType = 1;
constexpr uint32_t kSignature = 0x464D4520u;
constexpr size_t kHeaderSize = 88;

uint32_t DoubleWord(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
int32_t Long(const uint8_t* p) { return int32_t(DoubleWord(p)); }

// libemf2svg comes with libuemf, whose exported wmf_* functions share their names with
// libwmf's, which the WMF loader of gdk-pixbuf uses: wherever both sit in the program's
// global symbol scope, libwmf ends up calling libuemf and crashes. So the converter is
// opened on first use and kept out of the global scope (gdk-pixbuf keeps its loaders, and
// with them libwmf, out of it too). The program must not link libemf2svg itself.
typedef int (*ConvertFunction)(char*, size_t, char**, size_t*, generatorOptions*);

ConvertFunction Converter() {
    static ConvertFunction convert = [] {
        void* library = dlopen("libemf2svg.so.1", RTLD_NOW | RTLD_LOCAL);
        if (!library) return ConvertFunction(nullptr);
        return reinterpret_cast<ConvertFunction>(dlsym(library, "emf2svg"));
    }();
    return convert;
}

// libemf2svg takes each record's size as it stands: one that runs past the end of the
// file sends it reading beyond its buffer. So every record, from the header on, must lie
// within the file, and the records must end with the end-of-file record (type 14).
bool RecordsWithinFile(const uint8_t* bytes, size_t fileSize) {
    constexpr uint32_t kEndOfFileRecordType = 14;
    size_t at = 0;
    while (fileSize - at >= 8) {
        const uint32_t type = DoubleWord(bytes + at), length = DoubleWord(bytes + at + 4);
        if (length < 8 || length % 4 != 0 || length > fileSize - at) return false;
        at += length;
        if (type == kEndOfFileRecordType) return true;
    }
    return false;
}

// The header points at its description (UTF-16 characters, count at 60, offset at 64)
// and, when long enough, at a pixel format (size at 88, offset at 92); libemf2svg reads
// both where they are said to be, and a description of no stated length up to a zero it
// looks for. Each must lie within the header record, and a description of no length must
// be pointed at by no offset.
bool HeaderPartsWithinHeader(const uint8_t* bytes, uint32_t headerSize) {
    auto within = [headerSize](uint64_t offset, uint64_t length) {
        return length == 0 || (offset >= 8 && offset + length <= headerSize);
    };
    const uint32_t descriptionLength = DoubleWord(bytes + 60);
    const uint32_t descriptionOffset = DoubleWord(bytes + 64);
    if (descriptionLength == 0 && descriptionOffset != 0) return false;
    if (!within(descriptionOffset, uint64_t(descriptionLength) * 2)) return false;
    if (headerSize >= 100 && !within(DoubleWord(bytes + 92), DoubleWord(bytes + 88)))
        return false;
    return true;
}

}  // namespace

bool IsEnhancedMetafile(const uint8_t* bytes, size_t size) {
    return size >= kHeaderSize && DoubleWord(bytes) == kHeaderRecordType &&
           DoubleWord(bytes + 40) == kSignature;
}

SysPicture* OpenEnhancedMetafile(const uint8_t* bytes, size_t size) {
    uint32_t headerSize = DoubleWord(bytes + 4);
    uint32_t fileSize = DoubleWord(bytes + 48);
    if (headerSize < kHeaderSize || headerSize > size || fileSize < headerSize || fileSize > size)
        return SysFail("SysPictureOpen: enhanced metafile with a broken header"), nullptr;
    if (!RecordsWithinFile(bytes, fileSize))
        return SysFail("SysPictureOpen: enhanced metafile with a record past its end"), nullptr;
    if (!HeaderPartsWithinHeader(bytes, headerSize))
        return SysFail("SysPictureOpen: enhanced metafile whose description lies outside its "
                       "header"), nullptr;
    int64_t boundsLeft = Long(bytes + 8), boundsTop = Long(bytes + 12);
    int64_t frameLeft = Long(bytes + 24), frameTop = Long(bytes + 28);
    int64_t frameRight = Long(bytes + 32), frameBottom = Long(bytes + 36);
    int64_t devicePixelsX = Long(bytes + 72), devicePixelsY = Long(bytes + 76);
    int64_t deviceMillimetresX = Long(bytes + 80), deviceMillimetresY = Long(bytes + 84);
    int64_t frameWidth = frameRight - frameLeft, frameHeight = frameBottom - frameTop;
    if (frameWidth < 0 || frameHeight < 0 || frameWidth > INT32_MAX || frameHeight > INT32_MAX)
        return SysFail("SysPictureOpen: enhanced metafile with an inverted frame"), nullptr;

    ConvertFunction convert = Converter();
    if (!convert) return SysFail("SysPictureOpen: libemf2svg.so.1 cannot be loaded"), nullptr;

    // The converter wants writable bytes; it reads only as far as the header says.
    std::vector<char> records;
    try {
        records.assign(bytes, bytes + fileSize);
    } catch (const std::exception&) {
        return SysFail("SysPictureOpen: no memory"), nullptr;
    }
    generatorOptions options{};
    options.nameSpace = nullptr;
    options.verbose = false;
    options.emfplus = true;
    options.svgDelimiter = true;
    char* svgText = nullptr;
    size_t svgLength = 0;
    int converted = convert(records.data(), records.size(), &svgText, &svgLength, &options);
    if (!converted || !svgText) {
        std::free(svgText);
        return SysFail("SysPictureOpen: enhanced metafile the converter cannot read"), nullptr;
    }
    GError* error = nullptr;
    RsvgHandle* svg = rsvg_handle_new_from_data(reinterpret_cast<const guint8*>(svgText),
                                                svgLength, &error);
    std::free(svgText);
    if (!svg) {
        SysFail("SysPictureOpen: enhanced metafile drawing: %s", error ? error->message : "?");
        if (error) g_error_free(error);
        return nullptr;
    }

    SysPicture* picture = new (std::nothrow) SysPicture{};
    if (!picture) {
        g_object_unref(svg);
        return SysFail("SysPictureOpen: no memory"), nullptr;
    }
    picture->source = SysPicture::EnhancedMetafile;
    picture->svg = svg;
    picture->width = int32_t(frameWidth);
    picture->height = int32_t(frameHeight);
    BoundMetafileExtent(&picture->width, &picture->height, kEnhancedMetafileMaxSide);

    // The SVG's user space is the reference device's pixels, moved so that the bounds'
    // corner is the origin. The frame lands there through the device's pixels per
    // millimetre; a header without a usable device falls back to the SVG's own size.
    double svgWidth = 0, svgHeight = 0;
    rsvg_handle_get_intrinsic_size_in_pixels(svg, &svgWidth, &svgHeight);
    if (devicePixelsX > 0 && devicePixelsY > 0 && deviceMillimetresX > 0 && deviceMillimetresY > 0 &&
        frameWidth > 0 && frameHeight > 0) {
        double perHimetricX = double(devicePixelsX) / (deviceMillimetresX * 100.0);
        double perHimetricY = double(devicePixelsY) / (deviceMillimetresY * 100.0);
        picture->frameX = frameLeft * perHimetricX - double(boundsLeft);
        picture->frameY = frameTop * perHimetricY - double(boundsTop);
        picture->frameWidth = frameWidth * perHimetricX;
        picture->frameHeight = frameHeight * perHimetricY;
    } else {
        picture->frameX = 0;
        picture->frameY = 0;
        picture->frameWidth = svgWidth > 0 ? svgWidth : 1;
        picture->frameHeight = svgHeight > 0 ? svgHeight : 1;
    }
    return picture;
}

bool RenderEnhancedMetafile(const SysPicture* picture, uint8_t* pixels, int width, int height) {
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        return SysFail("SysPictureRender: no memory for %dx%d", width, height);
    }
    cairo_t* cr = cairo_create(surface);
    // Each direction stretched by itself, so the frame fills the image exactly.
    cairo_scale(cr, width / picture->frameWidth, height / picture->frameHeight);
    cairo_translate(cr, -picture->frameX, -picture->frameY);
    double svgWidth = 0, svgHeight = 0;
    rsvg_handle_get_intrinsic_size_in_pixels(picture->svg, &svgWidth, &svgHeight);
    RsvgRectangle viewport{0, 0, svgWidth, svgHeight};
    GError* error = nullptr;
    bool drawn = rsvg_handle_render_document(picture->svg, cr, &viewport, &error);
    cairo_destroy(cr);
    if (!drawn) {
        SysFail("SysPictureRender: %s", error ? error->message : "the drawing failed");
        if (error) g_error_free(error);
        cairo_surface_destroy(surface);
        return false;
    }
    cairo_surface_flush(surface);
    // Premultiplied colour is the colour composited over black already. Cairo's rows run
    // top-down in native (little-endian) order: blue, green, red, alpha.
    const uint8_t* rows = cairo_image_surface_get_data(surface);
    int stride = cairo_image_surface_get_stride(surface);
    for (int y = 0; y < height; ++y) {
        const uint8_t* in = rows + size_t(height - 1 - y) * stride;
        uint8_t* out = pixels + size_t(y) * width * 4;
        for (int x = 0; x < width; ++x, in += 4, out += 4) {
            out[0] = in[0];
            out[1] = in[1];
            out[2] = in[2];
            out[3] = 0;
        }
    }
    cairo_surface_destroy(surface);
    return true;
}

void ReleaseEnhancedMetafile(SysPicture* picture) {
    if (picture->svg) g_object_unref(picture->svg);
    picture->svg = nullptr;
}
