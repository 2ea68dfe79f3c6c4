// The picture service on gdk-pixbuf: raster formats and Windows metafiles (through the
// WMF loader of libwmf); enhanced metafiles are handed to enhanced_metafile.cpp.
#include <dlfcn.h>
#include <fcntl.h>
#include <gdk-pixbuf/gdk-pixbuf.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>
#include <string>

#include "platform/pixbuf/picture.h"

int32_t PictureMulDiv(int64_t value, int64_t numerator, int64_t denominator) {
    if (denominator == 0) return -1;
    int64_t product = value * numerator;
    // Halves round away from zero.
    bool negative = (product < 0) != (denominator < 0);
    int64_t magnitude = (product < 0 ? -product : product);
    int64_t divisor = (denominator < 0 ? -denominator : denominator);
    int64_t quotient = (magnitude + divisor / 2) / divisor;
    if (quotient > INT32_MAX) return -1;
    return int32_t(negative ? -quotient : quotient);
}

void BoundMetafileExtent(int32_t* width, int32_t* height, int maxSide) {
    const int64_t limit = PictureMulDiv(maxSide, kHimetricPerInch, kPicturePixelsPerInch);
    const int64_t longer = *width > *height ? *width : *height;
    if (longer <= limit) return;
    *width = int32_t(int64_t(*width) * limit / longer);
    *height = int32_t(int64_t(*height) * limit / longer);
}

namespace {

// The placeable header that precedes most Windows metafiles on disk: it carries the
// picture's frame in logical units and how many of them make an inch.
constexpr uint32_t kPlaceableKey = 0x9AC6CDD7u;
constexpr size_t kPlaceableHeaderSize = 22;

uint16_t Word(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }
uint32_t DoubleWord(const uint8_t* p) { return uint32_t(Word(p)) | uint32_t(Word(p + 2)) << 16; }

// The frame of a placeable metafile in HIMETRIC; false when there is no usable header.
bool PlaceableExtent(const uint8_t* bytes, size_t size, int32_t* width, int32_t* height) {
    if (size < kPlaceableHeaderSize || DoubleWord(bytes) != kPlaceableKey) return false;
    int16_t left = int16_t(Word(bytes + 6)), top = int16_t(Word(bytes + 8));
    int16_t right = int16_t(Word(bytes + 10)), bottom = int16_t(Word(bytes + 12));
    uint16_t unitsPerInch = Word(bytes + 14);
    if (unitsPerInch == 0) return false;
    int32_t w = right - left, h = bottom - top;
    *width = PictureMulDiv(w < 0 ? -w : w, kHimetricPerInch, unitsPerInch);
    *height = PictureMulDiv(h < 0 ? -h : h, kHimetricPerInch, unitsPerInch);
    return true;
}

// libwmf allocates room for the largest record the metafile header announces before it
// reads any record, however large that is; no record can be larger than the file.
bool MetafileRecordsFit(const uint8_t* bytes, size_t size) {
    const size_t header = (size >= 4 && DoubleWord(bytes) == kPlaceableKey) ? kPlaceableHeaderSize : 0;
    // A header cut short is the loader's to refuse.
    if (size < header + 18) return true;
    const uint64_t largestRecord = uint64_t(DoubleWord(bytes + header + 12)) * 2;
    return largestRecord <= size - header;
}

struct LoaderSize {
    int width = 0, height = 0;  // asked for; 0: the picture's own size
    size_t fileSize = 0;        // the bytes the picture comes from
    // What the loader announced, and whether that was refused as too large.
    int declaredWidth = 0, declaredHeight = 0;
    bool tooLarge = false;
};

// The longest side a placeable metafile is drawn at when it is opened: that drawing only
// stands in for a size the loader will not draw at, and the picture's size comes from
// its header.
constexpr int kMetafileFallbackSide = 256;
// Pictures up to this many pixels are taken whatever their size in bytes.
constexpr uint64_t kPictureFreeArea = uint64_t(1) << 20;
// More pixels than this per byte of file is beyond what any of the raster formats packs
// into a real picture of more than kPictureFreeArea pixels.
constexpr uint64_t kPicturePixelsPerByte = 256;

// Width and height scaled alike so that the longer side is `side`.
void FitSide(int width, int height, int side, int* fitWidth, int* fitHeight) {
    const double scale = double(side) / (width > height ? width : height);
    *fitWidth = std::max(1, std::min(side, int(width * scale + 0.5)));
    *fitHeight = std::max(1, std::min(side, int(height * scale + 0.5)));
}

// A size asked for is taken as it stands. A raster picture of more than kPictureFreeArea pixels with fewer than
// one byte for every kPicturePixelsPerByte of them cannot be a real picture of that size
// (the file is cut short, or lies about its size) and is refused. A JPEG declaring a side
// beyond kPictureMaxSide is decoded scaled down to it (libjpeg scales while it decodes),
// any other picture beyond it is refused. A refused picture is stopped before its pixels
// are allocated: a size of 0 x 0 makes the loader give up.
void OnSizePrepared(GdkPixbufLoader* loader, int width, int height, gpointer data) {
    LoaderSize* size = static_cast<LoaderSize*>(data);
    size->declaredWidth = width;
    size->declaredHeight = height;
    if (size->width > 0 && size->height > 0) {
        gdk_pixbuf_loader_set_size(loader, size->width, size->height);
        return;
    }
    if (width <= 0 || height <= 0) return;
    GdkPixbufFormat* format = gdk_pixbuf_loader_get_format(loader);
    gchar* name = format ? gdk_pixbuf_format_get_name(format) : nullptr;
    const bool jpeg = name && std::strcmp(name, "jpeg") == 0;
    g_free(name);
    // Metafiles are drawn at whatever size they are asked for.
    if (format && gdk_pixbuf_format_is_scalable(format)) return;
    int fitWidth = 0, fitHeight = 0;
    const uint64_t area = uint64_t(width) * uint64_t(height);
    if (area > kPictureFreeArea && area / kPicturePixelsPerByte > size->fileSize) {
        size->tooLarge = true;
        gdk_pixbuf_loader_set_size(loader, 0, 0);
        return;
    }
    if (width <= kPictureMaxSide && height <= kPictureMaxSide) return;
    if (jpeg) {
        FitSide(width, height, kPictureMaxSide, &fitWidth, &fitHeight);
        gdk_pixbuf_loader_set_size(loader, fitWidth, fitHeight);
        return;
    }
    size->tooLarge = true;
    gdk_pixbuf_loader_set_size(loader, 0, 0);
}

// Decodes the bytes with whichever gdk-pixbuf loader claims them, at the size asked for
// where the loader can draw at any size. Answers a new reference (the first frame of an
// animation) and the loader's format name, or null with the reason recorded. With
// firstImageWhole, what the loader made is taken even when it finds fault with what
// follows the first image.
GdkPixbuf* DecodeWithLoader(const uint8_t* bytes, size_t size, LoaderSize& wanted,
                            std::string* format, bool firstImageWhole = false) {
    GdkPixbufLoader* loader = gdk_pixbuf_loader_new();
    g_signal_connect(loader, "size-prepared", G_CALLBACK(OnSizePrepared), &wanted);
    GError* error = nullptr;
    bool written = gdk_pixbuf_loader_write(loader, bytes, size, &error);
    // Closing is needed even after a failed write; its own error then adds nothing.
    bool closed = gdk_pixbuf_loader_close(loader, written ? &error : nullptr);
    GdkPixbuf* pixbuf = nullptr;
    if (written && (closed || firstImageWhole)) {
        pixbuf = gdk_pixbuf_loader_get_pixbuf(loader);
        if (pixbuf) g_object_ref(pixbuf);
        GdkPixbufFormat* loaderFormat = gdk_pixbuf_loader_get_format(loader);
        gchar* name = loaderFormat ? gdk_pixbuf_format_get_name(loaderFormat) : nullptr;
        format->assign(name ? name : "");
        g_free(name);
    }
    if (wanted.tooLarge) {
        if (pixbuf) g_object_unref(pixbuf);
        pixbuf = nullptr;
        SysFail("SysPictureOpen: a %d x %d picture, too large for its %zu bytes or beyond %d "
                "pixels on a side", wanted.declaredWidth, wanted.declaredHeight, size, kPictureMaxSide);
    } else if (!pixbuf) {
        SysFail("SysPictureOpen: %s", error ? error->message : "not a picture this service reads");
    }
    if (error) g_error_free(error);
    g_object_unref(loader);
    return pixbuf;
}

// libuemf (which comes with libemf2svg) exports functions under libwmf's names. Linked
// into the program it stands first in the global symbol scope, and the WMF loader's
// libwmf then calls into it and crashes; enhanced_metafile.cpp opens it privately for
// that reason. Should it be linked all the same, Windows metafiles are refused instead.
bool WindowsMetafilesSafe() {
    static const bool safe = [] {
        void* function = dlsym(RTLD_DEFAULT, "wmf_free");
        Dl_info info{};
        return !function || !dladdr(function, &info) || !info.dli_fname ||
               !std::strstr(info.dli_fname, "libuemf");
    }();
    return safe;
}

bool HasScheme(const char* path) { return std::strstr(path, "://") != nullptr; }

// Reads a regular file whole. Anything else (a directory, a pipe, a device) is refused
// before it could block or run on without end.
bool ReadRegularFile(const char* path, std::vector<uint8_t>* out) {
    int fd = open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) return SysFail("SysPictureOpenPath: %s: %s", path, std::strerror(errno));
    struct stat info;
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(fd);
        return SysFail("SysPictureOpenPath: %s: not a regular file", path);
    }
    bool ok = true;
    try {
        out->resize(size_t(info.st_size));
    } catch (const std::exception&) {
        ok = SysFail("SysPictureOpenPath: %s: too large", path);
    }
    size_t done = 0;
    while (ok && done < out->size()) {
        ssize_t n = read(fd, out->data() + done, out->size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            ok = SysFail("SysPictureOpenPath: %s: read failed", path);
            break;
        }
        done += size_t(n);
    }
    close(fd);
    return ok;
}

// Composites the pixbuf over black, stretched to width x height, into bottom-up rows of
// blue, green, red and a fourth byte.
bool CompositeOverBlack(const GdkPixbuf* source, uint8_t* pixels, int width, int height) {
    GdkPixbuf* target = gdk_pixbuf_new(GDK_COLORSPACE_RGB, FALSE, 8, width, height);
    if (!target) return SysFail("SysPictureRender: no memory for %dx%d", width, height);
    gdk_pixbuf_fill(target, 0x000000ffu);
    int sourceWidth = gdk_pixbuf_get_width(source), sourceHeight = gdk_pixbuf_get_height(source);
    gdk_pixbuf_composite(source, target, 0, 0, width, height, 0, 0,
                         double(width) / sourceWidth, double(height) / sourceHeight,
                         GDK_INTERP_BILINEAR, 255);
    const uint8_t* rows = gdk_pixbuf_read_pixels(target);
    int stride = gdk_pixbuf_get_rowstride(target);
    for (int y = 0; y < height; ++y) {
        const uint8_t* in = rows + size_t(height - 1 - y) * stride;
        uint8_t* out = pixels + size_t(y) * width * 4;
        for (int x = 0; x < width; ++x, in += 3, out += 4) {
            out[0] = in[2];
            out[1] = in[1];
            out[2] = in[0];
            out[3] = 0;
        }
    }
    g_object_unref(target);
    return true;
}

}  // namespace

SysPicture* SysPictureOpenPath(const char* path) {
    if (!path) return SysFail("SysPictureOpenPath: no path"), nullptr;
    // Nothing is fetched from a network: a URL fails at once.
    if (HasScheme(path)) return SysFail("SysPictureOpenPath: %s: URLs are not fetched", path), nullptr;
    std::vector<uint8_t> bytes;
    if (!ReadRegularFile(path, &bytes)) return nullptr;
    return SysPictureOpenMemory(bytes.data(), bytes.size());
}

SysPicture* SysPictureOpenMemory(const void* data, size_t size) {
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    if (!bytes || size == 0) return SysFail("SysPictureOpenMemory: no bytes"), nullptr;
    if (IsEnhancedMetafile(bytes, size)) return OpenEnhancedMetafile(bytes, size);
    if (!PictureLooksComplete(bytes, size))
        return SysFail("SysPictureOpenMemory: the file is cut short"), nullptr;

    // What gdk-pixbuf hands to the WMF loader: the placeable key, or a first byte of 1.
    bool windowsMetafile = bytes[0] == 1 || (size >= 4 && DoubleWord(bytes) == kPlaceableKey);
    if (windowsMetafile && !MetafileRecordsFit(bytes, size))
        return SysFail("SysPictureOpenMemory: a metafile record larger than the file"), nullptr;
    if (windowsMetafile && !WindowsMetafilesSafe())
        return SysFail("SysPictureOpenMemory: libemf2svg is linked into the program, which "
                       "breaks the WMF loader"), nullptr;

    std::string format;
    bool gif = size >= 6 && std::memcmp(bytes, "GIF8", 4) == 0;
    LoaderSize natural;
    natural.fileSize = size;
    // A metafile is drawn on opening at the size its placeable header gives, at most
    // kMetafileFallbackSide. Without that header the loader would draw it at whatever size
    // its records reach, however large, so such a file is refused.
    int32_t frameWidth = 0, frameHeight = 0;
    if (windowsMetafile && PlaceableExtent(bytes, size, &frameWidth, &frameHeight)) {
        const int pixelWidth = std::max(1, PictureMulDiv(frameWidth, kPicturePixelsPerInch, kHimetricPerInch));
        const int pixelHeight = std::max(1, PictureMulDiv(frameHeight, kPicturePixelsPerInch, kHimetricPerInch));
        natural.width = std::min(pixelWidth, kMetafileFallbackSide);
        natural.height = std::min(pixelHeight, kMetafileFallbackSide);
        if (pixelWidth > kMetafileFallbackSide || pixelHeight > kMetafileFallbackSide)
            FitSide(pixelWidth, pixelHeight, kMetafileFallbackSide, &natural.width, &natural.height);
    } else if ((size >= 4 && DoubleWord(bytes) == kPlaceableKey) ||
               (size >= 4 && (bytes[0] == 1 || bytes[0] == 2) && bytes[1] == 0 && bytes[2] == 9 &&
                bytes[3] == 0)) {
        return SysFail("SysPictureOpenMemory: a Windows metafile without a usable placeable "
                       "header"), nullptr;
    }
    GdkPixbuf* pixbuf = DecodeWithLoader(bytes, size, natural, &format,
                                         gif && GifFirstImageComplete(bytes, size));
    if (!pixbuf) return nullptr;
    // TGA files are the builder's own reader's business; the service does not take them.
    if (format == "tga") {
        g_object_unref(pixbuf);
        return SysFail("SysPictureOpenMemory: TGA is not a format of this service"), nullptr;
    }
    SysPicture* picture = new (std::nothrow) SysPicture{};
    if (!picture) {
        g_object_unref(pixbuf);
        return SysFail("SysPictureOpenMemory: no memory"), nullptr;
    }
    picture->pixbuf = pixbuf;
    int pixelWidth = gdk_pixbuf_get_width(pixbuf), pixelHeight = gdk_pixbuf_get_height(pixbuf);
    if (format == "wmf") {
        picture->source = SysPicture::WindowsMetafile;
        try {
            picture->bytes.assign(bytes, bytes + size);
        } catch (const std::exception&) {
            SysPictureRelease(picture);
            return SysFail("SysPictureOpenMemory: no memory"), nullptr;
        }
        // Only a metafile with a usable placeable header gets this far.
        picture->width = frameWidth;
        picture->height = frameHeight;
        BoundMetafileExtent(&picture->width, &picture->height, kWindowsMetafileMaxSide);
    } else {
        picture->source = SysPicture::Raster;
        picture->width = PictureMulDiv(pixelWidth, kHimetricPerInch, kPicturePixelsPerInch);
        picture->height = PictureMulDiv(pixelHeight, kHimetricPerInch, kPicturePixelsPerInch);
    }
    return picture;
}

void SysPictureExtent(const SysPicture* picture, int32_t* width, int32_t* height) {
    if (width) *width = picture ? picture->width : 0;
    if (height) *height = picture ? picture->height : 0;
}

int SysPicturePixelsPerInch(bool) { return kPicturePixelsPerInch; }

bool SysPictureRender(SysPicture* picture, uint8_t* pixels, int width, int height) {
    if (!picture || !pixels || width <= 0 || height <= 0)
        return SysFail("SysPictureRender: no picture, no pixels or an empty size");
    switch (picture->source) {
    case SysPicture::EnhancedMetafile:
        return RenderEnhancedMetafile(picture, pixels, width, height);
    case SysPicture::WindowsMetafile: {
        // Drawn afresh at the size asked for, so lines stay sharp; the stretch below then
        // has nothing left to do.
        std::string format;
        LoaderSize asked;
        asked.width = width;
        asked.height = height;
        asked.fileSize = picture->bytes.size();
        GdkPixbuf* drawn = DecodeWithLoader(picture->bytes.data(), picture->bytes.size(), asked, &format);
        bool ok = CompositeOverBlack(drawn ? drawn : picture->pixbuf, pixels, width, height);
        if (drawn) g_object_unref(drawn);
        return ok;
    }
    case SysPicture::Raster:
        break;
    }
    return CompositeOverBlack(picture->pixbuf, pixels, width, height);
}

void SysPictureRelease(SysPicture* picture) {
    if (!picture) return;
    if (picture->source == SysPicture::EnhancedMetafile) ReleaseEnhancedMetafile(picture);
    if (picture->pixbuf) g_object_unref(picture->pixbuf);
    delete picture;
}
