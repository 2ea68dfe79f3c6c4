// texdump: loads one picture through gTextureBuilder under an offscreen GL context,
// prints the record and the texture's GL parameters, and writes level 0 as a PNG.
#include <GL/gl.h>
#include <cairo.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "texture/texture_builder.h"

namespace {

const char kUsage[] =
    "usage: texdump [--filter none|bilinear|trilinear] [--mipmaps] [--half] [--key off|R,G,B]\n"
    "               [--memory KIND] PICTURE [OUT.png]\n"
    "PICTURE is taken as the builder takes names: relative to the current directory,\n"
    "backslashes as folder separators. KIND is a number or one of other, bmp, jpeg, tga,\n"
    "gif, ico, emf, wmf. Exit status: 0 loaded, 1 not loaded, 2 usage, 3 could not run.\n";

// Exit statuses.
enum { kExitLoaded = 0, kExitNotLoaded = 1, kExitUsage = 2, kExitCannotRun = 3 };

int UsageError(const char* format, const char* argument) {
    std::fprintf(stderr, "texdump: ");
    std::fprintf(stderr, format, argument);
    std::fprintf(stderr, "\n%s", kUsage);
    return kExitUsage;
}

// A whole decimal number within [low, high].
bool ParseNumber(const char* text, long low, long high, long* value) {
    if (!*text) return false;
    char* end = nullptr;
    errno = 0;
    long parsed = std::strtol(text, &end, 10);
    if (errno || *end || parsed < low || parsed > high) return false;
    *value = parsed;
    return true;
}

bool ParseKind(const char* text, SourceKind* kind) {
    static const struct {
        const char* name;
        SourceKind kind;
    } kNames[] = {{"other", KindOther}, {"bmp", KindBmp}, {"jpeg", KindJpeg}, {"tga", KindTga},
                  {"gif", KindGif},     {"ico", KindIco}, {"emf", KindEmf},   {"wmf", KindWmf}};
    for (const auto& entry : kNames) {
        if (std::strcmp(text, entry.name) == 0) {
            *kind = entry.kind;
            return true;
        }
    }
    long number;
    if (!ParseNumber(text, INT32_MIN, INT32_MAX, &number)) return false;
    *kind = static_cast<SourceKind>(number);
    return true;
}

bool ParseFilter(const char* text, FilterMode* mode) {
    if (std::strcmp(text, "none") == 0) return *mode = FilterNone, true;
    if (std::strcmp(text, "bilinear") == 0) return *mode = FilterBilinear, true;
    if (std::strcmp(text, "trilinear") == 0) return *mode = FilterTrilinear, true;
    long number;
    if (!ParseNumber(text, INT32_MIN, INT32_MAX, &number)) return false;
    *mode = static_cast<FilterMode>(number);
    return true;
}

bool ParseKey(const char* text, bool* on, uint8_t rgb[3]) {
    if (std::strcmp(text, "off") == 0) return *on = false, true;
    std::string rest = text;
    for (int i = 0; i < 3; ++i) {
        size_t comma = rest.find(',');
        if ((i < 2) != (comma != std::string::npos)) return false;
        std::string part = rest.substr(0, comma);
        long value;
        if (!ParseNumber(part.c_str(), 0, 255, &value)) return false;
        rgb[i] = uint8_t(value);
        rest = i < 2 ? rest.substr(comma + 1) : "";
    }
    *on = true;
    return true;
}

bool ReadWholeFile(const char* path, std::vector<uint8_t>* bytes) {
    FILE* file = std::fopen(path, "rb");
    if (!file) return false;
    uint8_t chunk[65536];
    size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) bytes->insert(bytes->end(), chunk, chunk + got);
    bool ok = !std::ferror(file);
    std::fclose(file);
    return ok && bytes->size() <= UINT32_MAX;
}

const char* EnumName(GLint value) {
    switch (value) {
        case GL_RGB: return "GL_RGB";
        case GL_RGBA: return "GL_RGBA";
        case GL_CLAMP: return "GL_CLAMP";
        case GL_REPEAT: return "GL_REPEAT";
        case GL_NEAREST: return "GL_NEAREST";
        case GL_LINEAR: return "GL_LINEAR";
        case GL_NEAREST_MIPMAP_NEAREST: return "GL_NEAREST_MIPMAP_NEAREST";
        case GL_LINEAR_MIPMAP_NEAREST: return "GL_LINEAR_MIPMAP_NEAREST";
        case GL_NEAREST_MIPMAP_LINEAR: return "GL_NEAREST_MIPMAP_LINEAR";
        case GL_LINEAR_MIPMAP_LINEAR: return "GL_LINEAR_MIPMAP_LINEAR";
        default: return "?";
    }
}

void PrintEnum(const char* field, GLint value) {
    std::printf("%-13s 0x%04X %s\n", field, unsigned(value), EnumName(value));
}

// Level 0 with texture row 0 at the bottom, so the PNG looks as the picture does on a
// quad. Pixels with alpha 0 carry no colour in a PNG written from premultiplied data.
bool WritePng(GLuint name, const char* path) {
    glBindTexture(GL_TEXTURE_2D, name);
    GLint width = 0, height = 0, alphaBits = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_ALPHA_SIZE, &alphaBits);
    if (width <= 0 || height <= 0) {
        std::fprintf(stderr, "texdump: the texture has no level 0 to write\n");
        return false;
    }
    std::vector<uint8_t> texels(size_t(width) * size_t(height) * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());

    const cairo_format_t format = alphaBits > 0 ? CAIRO_FORMAT_ARGB32 : CAIRO_FORMAT_RGB24;
    cairo_surface_t* surface = cairo_image_surface_create(format, width, height);
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        std::fprintf(stderr, "texdump: no %dx%d image for the PNG\n", width, height);
        cairo_surface_destroy(surface);
        return false;
    }
    cairo_surface_flush(surface);
    uint8_t* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    for (int y = 0; y < height; ++y) {
        const uint8_t* texel = &texels[size_t(height - 1 - y) * size_t(width) * 4];
        uint32_t* out = reinterpret_cast<uint32_t*>(data + size_t(y) * size_t(stride));
        for (int x = 0; x < width; ++x, texel += 4) {
            const uint32_t a = format == CAIRO_FORMAT_ARGB32 ? texel[3] : 255;
            // Cairo keeps colour premultiplied by alpha.
            const uint32_t r = (texel[0] * a + 127) / 255;
            const uint32_t g = (texel[1] * a + 127) / 255;
            const uint32_t b = (texel[2] * a + 127) / 255;
            out[x] = a << 24 | r << 16 | g << 8 | b;
        }
    }
    cairo_surface_mark_dirty(surface);
    cairo_status_t status = cairo_surface_write_to_png(surface, path);
    cairo_surface_destroy(surface);
    if (status != CAIRO_STATUS_SUCCESS) {
        std::fprintf(stderr, "texdump: cannot write %s: %s\n", path, cairo_status_to_string(status));
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    FilterMode filter = gTextureBuilder->filterMode;
    bool mipmaps = false, half = false, keyGiven = false, keyOn = true, fromMemory = false;
    uint8_t key[3] = {0, 0, 0};
    SourceKind memoryKind = KindOther;
    std::vector<const char*> operands;

    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        auto value = [&]() -> const char* { return i + 1 < argc ? argv[++i] : nullptr; };
        if (std::strcmp(arg, "--filter") == 0) {
            const char* v = value();
            if (!v || !ParseFilter(v, &filter)) return UsageError("--filter takes none, bilinear, trilinear or a number, not '%s'", v ? v : "");
        } else if (std::strcmp(arg, "--mipmaps") == 0) {
            mipmaps = true;
        } else if (std::strcmp(arg, "--half") == 0) {
            half = true;
        } else if (std::strcmp(arg, "--key") == 0) {
            const char* v = value();
            if (!v || !ParseKey(v, &keyOn, key)) return UsageError("--key takes off or R,G,B (0 to 255 each), not '%s'", v ? v : "");
            keyGiven = true;
        } else if (std::strcmp(arg, "--memory") == 0) {
            const char* v = value();
            if (!v || !ParseKind(v, &memoryKind)) return UsageError("--memory takes a kind name or number, not '%s'", v ? v : "");
            fromMemory = true;
        } else if (std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "-h") == 0) {
            std::fputs(kUsage, stdout);
            return kExitLoaded;
        } else if (arg[0] == '-' && arg[1] != 0 && std::strcmp(arg, "--") != 0) {
            return UsageError("unknown option '%s'", arg);
        } else {
            if (std::strcmp(arg, "--") == 0) {
                while (++i < argc) operands.push_back(argv[i]);
                break;
            }
            operands.push_back(arg);
        }
    }
    if (operands.empty() || operands.size() > 2)
        return UsageError("%s", operands.empty() ? "no PICTURE given" : "too many operands");
    const char* picture = operands[0];
    const char* png = operands.size() == 2 ? operands[1] : nullptr;

    TextureBuilder& builder = *gTextureBuilder;
    builder.SetFilterMode(filter);
    builder.SetMipmaps(mipmaps ? 1 : 0);
    if (half) builder.SetFullResolution(0);
    if (keyGiven) builder.SetColourKey(keyOn ? 1 : 0, key[0], key[1], key[2]);

    std::vector<uint8_t> bytes;
    if (fromMemory && !ReadWholeFile(picture, &bytes)) {
        std::fprintf(stderr, "texdump: cannot read %s: %s\n", picture,
                     errno ? std::strerror(errno) : "too large");
        return kExitCannotRun;
    }
    if (!SysCreateOffscreenGL(64, 64)) {
        std::fprintf(stderr, "texdump: no GL context: %s\n", SysLastError());
        return kExitCannotRun;
    }

    TextureRecord record{};
    const int loaded = fromMemory ? builder.LoadPictureMemory(bytes.data(), uint32_t(bytes.size()),
                                                              &record, memoryKind)
                                  : builder.LoadPictureFile(picture, &record);
    std::printf("loaded        %d\n", loaded);
    std::printf("glName        %u\n", record.glName);
    std::printf("kind          %d\n", int(record.kind));
    std::printf("width         %d\n", record.width);
    std::printf("height        %d\n", record.height);
    PrintEnum("pixelFormat", GLint(record.pixelFormat));
    std::printf("bitsPerPixel  %d\n", record.bitsPerPixel);
    if (!loaded) {
        if (!fromMemory && picture[0] == '/')
            std::fprintf(stderr, "texdump: note: names are taken relative to the current directory\n");
        SysDestroyOffscreenGL();
        return kExitNotLoaded;
    }

    glBindTexture(GL_TEXTURE_2D, record.glName);
    GLint value = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &value);
    PrintEnum("wrapS", value);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, &value);
    PrintEnum("wrapT", value);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &value);
    PrintEnum("magFilter", value);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &value);
    PrintEnum("minFilter", value);
    int levels = 0;
    for (; levels < 32; ++levels) {
        GLint width = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, levels, GL_TEXTURE_WIDTH, &width);
        if (width <= 0) break;
    }
    std::printf("levels        %d\n", levels);
    std::fflush(stdout);

    int status = kExitLoaded;
    if (png && !WritePng(record.glName, png)) status = kExitCannotRun;
    SysDestroyOffscreenGL();
    return status;
}
