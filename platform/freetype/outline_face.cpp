// The glyph-outline service: a face found through fontconfig, its glyphs loaded unscaled
// by FreeType and flattened into closed polygons in em units.
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <cstring>
#include <string>
#include <vector>

#include "platform/freetype/outline_flattener.h"
#include "platform/platform.h"

struct SysOutlineFace {
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    OutlineFlattener flattener;
};

namespace {

// Windows-1252 from 0x80 to 0x9F; 0 marks the five codes the code page leaves undefined.
// Every other code is the Unicode character of the same number.
const uint16_t kCp1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

// The Unicode character of a Windows-1252 code, or 0 for an undefined one.
unsigned UnicodeOfCp1252(unsigned code) {
    if (code >= 0x80 && code <= 0x9F) return kCp1252High[code - 0x80];
    return code;
}

bool IsControlCode(unsigned code) { return code < 0x20 || code == 0x7F; }

// Family names compare as fontconfig compares them: blanks and ASCII case do not count.
bool SameFamily(const FcChar8* a, const FcChar8* b) {
    for (;;) {
        while (*a == ' ') ++a;
        while (*b == ' ') ++b;
        const int ca = (*a >= 'A' && *a <= 'Z') ? *a + 32 : *a;
        const int cb = (*b >= 'A' && *b <= 'Z') ? *b + 32 : *b;
        if (ca != cb) return false;
        if (ca == 0) return true;
        ++a;
        ++b;
    }
}

// fontconfig answers every request with some face. The match counts only when one of its
// families is the family asked for or one the configuration binds strongly in its place:
// the metric aliases ("times" gives Nimbus Roman, Nimbus Roman No9 L, TeX Gyre Termes on
// Debian). The weakly bound families are generic fallbacks (DejaVu Serif and the like)
// and do not count; with no configuration at all nothing matches.
bool MatchIsFamily(FcPattern* request, FcPattern* match) {
    FcValue wanted;
    FcValueBinding binding;
    for (int i = 0; FcPatternGetWithBinding(request, FC_FAMILY, i, &wanted, &binding) ==
                    FcResultMatch;
         ++i) {
        if (wanted.type != FcTypeString || binding == FcValueBindingWeak) continue;
        FcChar8* family = nullptr;
        for (int j = 0; FcPatternGetString(match, FC_FAMILY, j, &family) == FcResultMatch;
             ++j) {
            if (SameFamily(family, wanted.u.s)) return true;
        }
    }
    return false;
}

// The file and face index of the installed face of that family closest to the weight;
// false with the reason kept when there is none.
bool FindFaceFile(const char* family, int weight, std::string* file, int* index) {
    if (!FcInit()) return SysFail("SysOpenOutlineFace: fontconfig cannot start");
    FcPattern* request = FcPatternCreate();
    if (!request) return SysFail("SysOpenOutlineFace: out of memory");
    FcPatternAddString(request, FC_FAMILY, reinterpret_cast<const FcChar8*>(family));
    FcPatternAddDouble(request, FC_WEIGHT, FcWeightFromOpenTypeDouble(weight));
    FcPatternAddBool(request, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, request, FcMatchPattern);
    FcDefaultSubstitute(request);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, request, &result);
    bool found = false;
    FcChar8* path = nullptr;
    FcBool scalable = FcFalse;
    if (!match) {
        SysFail("SysOpenOutlineFace: no fonts installed for \"%s\"", family);
    } else if (!MatchIsFamily(request, match)) {
        FcChar8* other = nullptr;
        FcPatternGetString(match, FC_FAMILY, 0, &other);
        SysFail("SysOpenOutlineFace: no \"%s\" face installed (fontconfig offers \"%s\")",
                family, other ? reinterpret_cast<const char*>(other) : "?");
    } else if (FcPatternGetBool(match, FC_SCALABLE, 0, &scalable) == FcResultMatch &&
               !scalable) {
        SysFail("SysOpenOutlineFace: the \"%s\" face has no outlines", family);
    } else if (FcPatternGetString(match, FC_FILE, 0, &path) != FcResultMatch) {
        SysFail("SysOpenOutlineFace: the \"%s\" face has no file", family);
    } else {
        *file = reinterpret_cast<const char*>(path);
        if (FcPatternGetInteger(match, FC_INDEX, 0, index) != FcResultMatch) *index = 0;
        found = true;
    }
    if (match) FcPatternDestroy(match);
    FcPatternDestroy(request);
    return found;
}

// FreeType's outline walk, in font units, handed on in em units to the flattener.
struct Walk {
    OutlineFlattener* flattener;
    double scale;  // em per font unit
};

int WalkMoveTo(const FT_Vector* to, void* user) {
    Walk* walk = static_cast<Walk*>(user);
    walk->flattener->MoveTo(to->x * walk->scale, to->y * walk->scale);
    return 0;
}

int WalkLineTo(const FT_Vector* to, void* user) {
    Walk* walk = static_cast<Walk*>(user);
    walk->flattener->LineTo(to->x * walk->scale, to->y * walk->scale);
    return 0;
}

int WalkConicTo(const FT_Vector* control, const FT_Vector* to, void* user) {
    Walk* walk = static_cast<Walk*>(user);
    const double s = walk->scale;
    walk->flattener->ConicTo(control->x * s, control->y * s, to->x * s, to->y * s);
    return 0;
}

int WalkCubicTo(const FT_Vector* control1, const FT_Vector* control2, const FT_Vector* to,
                void* user) {
    Walk* walk = static_cast<Walk*>(user);
    const double s = walk->scale;
    walk->flattener->CubicTo(control1->x * s, control1->y * s, control2->x * s,
                             control2->y * s, to->x * s, to->y * s);
    return 0;
}

}  // namespace

SysOutlineFace* SysOpenOutlineFace(const char* family, int weight) {
    if (!family || !*family) {
        SysFail("SysOpenOutlineFace: no family named");
        return nullptr;
    }
    std::string file;
    int index = 0;
    if (!FindFaceFile(family, weight, &file, &index)) return nullptr;

    SysOutlineFace* face = new SysOutlineFace;
    if (FT_Init_FreeType(&face->library) != 0) {
        SysFail("SysOpenOutlineFace: FreeType cannot start");
        face->library = nullptr;
        SysCloseOutlineFace(face);
        return nullptr;
    }
    if (FT_New_Face(face->library, file.c_str(), index, &face->face) != 0) {
        SysFail("SysOpenOutlineFace: cannot read \"%s\"", file.c_str());
        face->face = nullptr;
        SysCloseOutlineFace(face);
        return nullptr;
    }
    if (!FT_IS_SCALABLE(face->face) || face->face->units_per_EM == 0 ||
        FT_Select_Charmap(face->face, FT_ENCODING_UNICODE) != 0) {
        SysFail("SysOpenOutlineFace: \"%s\" has no scalable Unicode outlines", file.c_str());
        SysCloseOutlineFace(face);
        return nullptr;
    }
    return face;
}

void SysCloseOutlineFace(SysOutlineFace* face) {
    if (!face) return;
    if (face->face) FT_Done_Face(face->face);
    if (face->library) FT_Done_FreeType(face->library);
    delete face;
}

bool SysGlyphOutline(SysOutlineFace* face, unsigned code, float deviation,
                     SysGlyphShape* shape) {
    if (!face || !shape) return SysFail("SysGlyphOutline: no face or no shape");
    *shape = SysGlyphShape{nullptr, nullptr, 0, 0.0f};
    if (code > 0xFF) return SysFail("SysGlyphOutline: code %u is not an 8-bit code", code);
    const unsigned character = UnicodeOfCp1252(code);
    if (character == 0 && code != 0)
        return SysFail("SysGlyphOutline: code 0x%02X is undefined in Windows-1252", code);

    // A control code is drawn as nothing but moves on by whatever glyph the face gives
    // it, which is usually .notdef.
    const bool control = IsControlCode(code);
    const FT_UInt glyph = FT_Get_Char_Index(face->face, character);
    if (glyph == 0 && !control)
        return SysFail("SysGlyphOutline: the face has no glyph for U+%04X", character);
    if (FT_Load_Glyph(face->face, glyph, FT_LOAD_NO_SCALE | FT_LOAD_NO_BITMAP) != 0)
        return SysFail("SysGlyphOutline: cannot load the glyph for U+%04X", character);
    FT_GlyphSlot slot = face->face->glyph;
    if (slot->format != FT_GLYPH_FORMAT_OUTLINE)
        return SysFail("SysGlyphOutline: the glyph for U+%04X is no outline", character);

    const double scale = 1.0 / face->face->units_per_EM;
    face->flattener.Reset(deviation);
    if (!control) {
        Walk walk{&face->flattener, scale};
        FT_Outline_Funcs funcs = {WalkMoveTo, WalkLineTo, WalkConicTo, WalkCubicTo, 0, 0};
        if (FT_Outline_Decompose(&slot->outline, &funcs, &walk) != 0)
            return SysFail("SysGlyphOutline: the outline for U+%04X is broken", character);
        face->flattener.Finish();
        // TrueType fills to the right of its contours, PostScript to the left; the shape
        // always fills to the left.
        if (FT_Outline_Get_Orientation(&slot->outline) == FT_ORIENTATION_TRUETYPE)
            face->flattener.ReverseContours();
    }
    shape->points = face->flattener.points().data();
    shape->contourEnds = face->flattener.contourEnds().data();
    shape->contourCount = static_cast<uint32_t>(face->flattener.contourEnds().size());
    shape->advance = static_cast<float>(slot->advance.x * scale);
    return true;
}
