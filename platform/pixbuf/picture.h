// What stands behind a SysPicture, shared by the raster, Windows metafile and enhanced
// metafile halves of the picture service.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/platform.h"

typedef struct _GdkPixbuf GdkPixbuf;
typedef struct _RsvgHandle RsvgHandle;

struct SysPicture {
    enum Source { Raster, WindowsMetafile, EnhancedMetafile };
    Source source;
    // HIMETRIC extent, as SysPictureExtent reports it.
    int32_t width;
    int32_t height;
    // Raster: the picture (an animation's first frame). Windows metafile: the drawing at
    // its own size, kept as a fallback for sizes the loader will not draw at.
    GdkPixbuf* pixbuf;
    // Windows metafile: the file, drawn afresh at each size asked for.
    std::vector<uint8_t> bytes;
    // Enhanced metafile: the drawing as SVG, and the rectangle of the SVG's user space that
    // the picture's frame covers.
    RsvgHandle* svg;
    double frameX, frameY, frameWidth, frameHeight;
};

// Pixels of the screen the service measures pictures for, per inch, both ways.
constexpr int kPicturePixelsPerInch = 96;
// Bounds on what a file may make the service allocate and draw: a file of a few dozen
// bytes can declare 65535 x 65535 pixels, and gdk-pixbuf would allocate and fill all of
// them (the bytes-per-pixel rule of the loader stops that). The longest side of a raster
// picture, the largest texture side GL implementations here offer: a JPEG beyond it is
// decoded scaled down to it, any other raster picture beyond it is refused before its
// pixels are allocated.
constexpr int kPictureMaxSide = 16384;
// The longest side a metafile (drawn at any size) is measured at; a larger frame is
// measured scaled down to it, both sides alike. libwmf takes up to some microseconds a
// pixel to draw a Windows metafile, so those stay smaller.
constexpr int kWindowsMetafileMaxSide = 256;
constexpr int kEnhancedMetafileMaxSide = 1024;
constexpr int kHimetricPerInch = 2540;

// Rounds value * numerator / denominator to the nearest integer, with a 64-bit product.
int32_t PictureMulDiv(int64_t value, int64_t numerator, int64_t denominator);
// Scales a metafile's HIMETRIC extent down, both sides alike, until neither side measures
// more than maxSide pixels; a smaller extent is left as it is.
void BoundMetafileExtent(int32_t* width, int32_t* height, int maxSide);

// False for a JPEG, PNG, BMP or icon file that stops before its structure ends, and for
// a GIF file that stops before the end of its first image (picture_completeness.cpp);
// true for every other file.
bool PictureLooksComplete(const uint8_t* bytes, size_t size);
bool GifFirstImageComplete(const uint8_t* bytes, size_t size);

// The enhanced metafile half (enhanced_metafile.cpp).
bool IsEnhancedMetafile(const uint8_t* bytes, size_t size);
SysPicture* OpenEnhancedMetafile(const uint8_t* bytes, size_t size);
// Draws as SysPictureRender does: bottom-up rows of blue, green, red and a fourth byte.
bool RenderEnhancedMetafile(const SysPicture* picture, uint8_t* pixels, int width, int height);
void ReleaseEnhancedMetafile(SysPicture* picture);
