// The default pictures: the marsh at dusk, Pobble's circus, the Wemble's high-wire act in
// nineteen frames, its comic fall, and the cards with the title, greetings and credits.
#include "tools/make_content/pictures.h"

#include <cairo.h>

#include <cmath>
#include <cstring>
#include <functional>

namespace {

constexpr double kPi = 3.14159265358979323846;

struct Colour {
    double r, g, b;
};

// One palette for every picture: a violet dusk, warm lantern light, circus red and cream.
namespace palette {
constexpr Colour kInk{0.11, 0.09, 0.15};
constexpr Colour kNight{0.07, 0.07, 0.16};
constexpr Colour kIndigo{0.16, 0.14, 0.32};
constexpr Colour kViolet{0.34, 0.24, 0.46};
constexpr Colour kRose{0.86, 0.52, 0.50};
constexpr Colour kAmber{0.98, 0.73, 0.32};
constexpr Colour kGold{0.90, 0.66, 0.22};
constexpr Colour kCream{0.98, 0.93, 0.82};
constexpr Colour kTeal{0.15, 0.34, 0.38};
constexpr Colour kReed{0.30, 0.40, 0.26};
constexpr Colour kRed{0.80, 0.21, 0.24};
constexpr Colour kDeepRed{0.48, 0.10, 0.16};
constexpr Colour kSawdust{0.76, 0.56, 0.34};
constexpr Colour kWemble{0.52, 0.60, 0.92};
constexpr Colour kWembleDark{0.30, 0.34, 0.62};
constexpr Colour kSkin{0.99, 0.84, 0.70};
constexpr Colour kQuibbet{0.26, 0.66, 0.64};
constexpr Colour kWood{0.50, 0.32, 0.20};
} // namespace palette

using namespace palette;

Colour Mix(Colour a, Colour b, double t)
{
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

void Paint(cairo_t* cr, Colour c, double alpha = 1.0)
{
    cairo_set_source_rgba(cr, c.r, c.g, c.b, alpha);
}

// A small fixed-seed generator, so scattered stars and crowds land the same on every run.
struct Random {
    uint32_t state;
    explicit Random(uint32_t seed) : state(seed * 2654435761u + 12345u) {}
    double Next()
    {
        state = state * 1664525u + 1013904223u;
        return double(state >> 8) / double(1u << 24);
    }
    double Range(double lo, double hi) { return lo + (hi - lo) * Next(); }
};

void Ellipse(cairo_t* cr, double x, double y, double rx, double ry)
{
    cairo_save(cr);
    cairo_translate(cr, x, y);
    cairo_scale(cr, rx, ry);
    cairo_new_sub_path(cr);
    cairo_arc(cr, 0, 0, 1, 0, 2 * kPi);
    cairo_restore(cr);
}

void FillEllipse(cairo_t* cr, double x, double y, double rx, double ry, Colour c, double a = 1.0)
{
    cairo_new_path(cr);
    Ellipse(cr, x, y, rx, ry);
    Paint(cr, c, a);
    cairo_fill(cr);
}

void Line(cairo_t* cr, double x0, double y0, double x1, double y1, double width, Colour c,
          double a = 1.0)
{
    cairo_new_path(cr);
    cairo_move_to(cr, x0, y0);
    cairo_line_to(cr, x1, y1);
    cairo_set_line_width(cr, width);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    Paint(cr, c, a);
    cairo_stroke(cr);
}

void VerticalGradient(cairo_t* cr, double y0, double y1, Colour top, Colour bottom,
                      double x0 = 0, double x1 = kPictureWidth)
{
    cairo_pattern_t* p = cairo_pattern_create_linear(0, y0, 0, y1);
    cairo_pattern_add_color_stop_rgb(p, 0, top.r, top.g, top.b);
    cairo_pattern_add_color_stop_rgb(p, 1, bottom.r, bottom.g, bottom.b);
    cairo_new_path(cr);
    cairo_rectangle(cr, x0, y0, x1 - x0, y1 - y0);
    cairo_set_source(cr, p);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
}

void Glow(cairo_t* cr, double x, double y, double radius, Colour c, double alpha)
{
    cairo_pattern_t* p = cairo_pattern_create_radial(x, y, 0, x, y, radius);
    cairo_pattern_add_color_stop_rgba(p, 0, c.r, c.g, c.b, alpha);
    cairo_pattern_add_color_stop_rgba(p, 1, c.r, c.g, c.b, 0);
    cairo_new_path(cr);
    cairo_arc(cr, x, y, radius, 0, 2 * kPi);
    cairo_set_source(cr, p);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
}

void Star(cairo_t* cr, double x, double y, double r, Colour c, double turn = 0)
{
    cairo_new_path(cr);
    for (int i = 0; i < 10; ++i) {
        double a = -kPi / 2 + turn + i * kPi / 5;
        double rr = (i % 2) ? r * 0.45 : r;
        if (i == 0)
            cairo_move_to(cr, x + rr * std::cos(a), y + rr * std::sin(a));
        else
            cairo_line_to(cr, x + rr * std::cos(a), y + rr * std::sin(a));
    }
    cairo_close_path(cr);
    Paint(cr, c);
    cairo_fill_preserve(cr);
    cairo_set_line_width(cr, 1.2);
    Paint(cr, kInk, 0.6);
    cairo_stroke(cr);
}

// ---- lettering ------------------------------------------------------------------------

enum class Align { Left, Centre };

void Text(cairo_t* cr, const char* family, double size, bool bold, bool italic, double x,
          double y, const char* s, Colour c, Align align = Align::Centre, double shadow = 0)
{
    cairo_select_font_face(cr, family, italic ? CAIRO_FONT_SLANT_ITALIC : CAIRO_FONT_SLANT_NORMAL,
                           bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, size);
    cairo_text_extents_t e;
    cairo_text_extents(cr, s, &e);
    double left = align == Align::Centre ? x - e.x_advance / 2 : x;
    if (shadow > 0) {
        cairo_new_path(cr);
        cairo_move_to(cr, left + shadow, y + shadow);
        Paint(cr, kNight, 0.7);
        cairo_show_text(cr, s);
    }
    cairo_new_path(cr);
    cairo_move_to(cr, left, y);
    Paint(cr, c);
    cairo_show_text(cr, s);
}

const char* const kSerif = "URW Bookman";
const char* const kScript = "Z003";
const char* const kSans = "URW Gothic";

// ---- scenery --------------------------------------------------------------------------

void Stars(cairo_t* cr, uint32_t seed, int count, double maxY, double brightness)
{
    Random rnd(seed);
    for (int i = 0; i < count; ++i) {
        double x = rnd.Range(0, kPictureWidth), y = rnd.Range(0, maxY);
        double r = rnd.Range(0.5, 1.6);
        double a = brightness * (1.0 - y / maxY) * rnd.Range(0.4, 1.0);
        FillEllipse(cr, x, y, r, r, kCream, a);
        if (r > 1.45)
            Glow(cr, x, y, 6, kCream, a * 0.4);
    }
}

void Moon(cairo_t* cr, double x, double y, double r)
{
    Glow(cr, x, y, r * 3.2, kCream, 0.22);
    FillEllipse(cr, x, y, r, r, Mix(kCream, kAmber, 0.15));
    FillEllipse(cr, x - r * 0.35, y - r * 0.2, r * 0.18, r * 0.16, kRose, 0.25);
    FillEllipse(cr, x + r * 0.3, y + r * 0.3, r * 0.24, r * 0.2, kRose, 0.2);
    FillEllipse(cr, x + r * 0.1, y - r * 0.45, r * 0.1, r * 0.09, kRose, 0.25);
}

// Rolling hills on the horizon, a silhouette band between `y` and the bottom.
void Hills(cairo_t* cr, double y, double height, double phase, Colour c)
{
    cairo_new_path(cr);
    cairo_move_to(cr, 0, kPictureHeight);
    for (int x = 0; x <= kPictureWidth; x += 8) {
        double h = height * (0.55 + 0.3 * std::sin(x * 0.011 + phase) +
                             0.15 * std::sin(x * 0.031 + phase * 2.3));
        cairo_line_to(cr, x, y - h);
    }
    cairo_line_to(cr, kPictureWidth, kPictureHeight);
    cairo_close_path(cr);
    Paint(cr, c);
    cairo_fill(cr);
}

// Still water from `top` to `bottom`, reflecting a light at `lightX`.
void Water(cairo_t* cr, double top, double bottom, Colour sky, Colour deep, double lightX,
           uint32_t seed)
{
    VerticalGradient(cr, top, bottom, Mix(sky, deep, 0.45), deep);
    Random rnd(seed);
    for (int i = 0; i < 46; ++i) {
        double y = rnd.Range(top + 3, bottom - 2);
        double near = (y - top) / (bottom - top);
        double x = lightX + rnd.Range(-30, 30) * (0.6 + near);
        double w = rnd.Range(10, 40) * (0.5 + near);
        Line(cr, x - w / 2, y, x + w / 2, y, 1.4 + near, kCream, 0.25 * (1.0 - near * 0.5));
    }
    for (int i = 0; i < 30; ++i) {
        double y = rnd.Range(top + 3, bottom - 2);
        double x = rnd.Range(0, kPictureWidth);
        double w = rnd.Range(14, 50);
        Line(cr, x, y, x + w, y, 1.0, kViolet, 0.35);
    }
}

// A clump of reeds with cattail heads, rooted along `baseY`.
void Reeds(cairo_t* cr, double x0, double x1, double baseY, double height, uint32_t seed,
           Colour stem, Colour head)
{
    Random rnd(seed);
    int count = int((x1 - x0) / 9);
    for (int i = 0; i < count; ++i) {
        double x = x0 + (x1 - x0) * (i + rnd.Range(0, 1)) / count;
        double h = height * rnd.Range(0.55, 1.0);
        double bend = rnd.Range(-14, 14);
        cairo_new_path(cr);
        cairo_move_to(cr, x, baseY);
        cairo_curve_to(cr, x, baseY - h * 0.5, x + bend * 0.4, baseY - h * 0.8, x + bend, baseY - h);
        cairo_set_line_width(cr, rnd.Range(1.6, 2.8));
        Paint(cr, stem);
        cairo_stroke(cr);
        if (rnd.Next() < 0.45) {
            double tx = x + bend * 0.8, ty = baseY - h * 0.93;
            cairo_save(cr);
            cairo_translate(cr, tx, ty);
            cairo_rotate(cr, std::atan2(bend, h) * 0.8);
            FillEllipse(cr, 0, 0, 3.4, 10, head);
            cairo_restore(cr);
        } else {
            // A leaf curling away from the stem.
            cairo_new_path(cr);
            double ly = baseY - h * rnd.Range(0.2, 0.5);
            double dir = rnd.Next() < 0.5 ? -1 : 1;
            cairo_move_to(cr, x, ly);
            cairo_curve_to(cr, x + dir * 10, ly - 14, x + dir * 18, ly - 18, x + dir * 26, ly - 12);
            cairo_set_line_width(cr, 1.6);
            Paint(cr, stem);
            cairo_stroke(cr);
        }
    }
}

// A string of triangular flags hanging between two points.
void Bunting(cairo_t* cr, double x0, double y0, double x1, double y1, double sag, int flags,
             double flagSize)
{
    auto at = [&](double t, double& x, double& y) {
        x = x0 + (x1 - x0) * t;
        y = y0 + (y1 - y0) * t + sag * 4 * t * (1 - t);
    };
    cairo_new_path(cr);
    for (int i = 0; i <= 40; ++i) {
        double x, y;
        at(i / 40.0, x, y);
        if (i == 0)
            cairo_move_to(cr, x, y);
        else
            cairo_line_to(cr, x, y);
    }
    cairo_set_line_width(cr, 1.2);
    Paint(cr, kInk, 0.8);
    cairo_stroke(cr);
    const Colour colours[] = {kRed, kCream, kAmber, kQuibbet, kViolet};
    for (int i = 0; i < flags; ++i) {
        double xa, ya, xb, yb;
        at((i + 0.15) / flags, xa, ya);
        at((i + 0.85) / flags, xb, yb);
        cairo_new_path(cr);
        cairo_move_to(cr, xa, ya);
        cairo_line_to(cr, xb, yb);
        cairo_line_to(cr, (xa + xb) / 2, (ya + yb) / 2 + flagSize);
        cairo_close_path(cr);
        Paint(cr, colours[i % 5]);
        cairo_fill(cr);
    }
}

// The big top: striped walls, a striped cone roof with a scalloped valance and a flag.
// (cx, baseY) is the middle of its foot; `glow` lights the open entrance from within.
void BigTop(cairo_t* cr, double cx, double baseY, double w, double h, double glow, double dim)
{
    double wallTop = baseY - h * 0.42;
    double peakY = baseY - h;
    Colour red = Mix(kRed, kNight, dim), cream = Mix(kCream, kNight, dim);
    Colour ink = kInk;

    // Walls, striped, shaded towards the ground.
    cairo_save(cr);
    cairo_new_path(cr);
    cairo_move_to(cr, cx - w / 2, baseY);
    cairo_line_to(cr, cx - w * 0.46, wallTop);
    cairo_line_to(cr, cx + w * 0.46, wallTop);
    cairo_line_to(cr, cx + w / 2, baseY);
    cairo_close_path(cr);
    cairo_clip(cr);
    for (int i = 0; i < 12; ++i) {
        cairo_new_path(cr);
        cairo_rectangle(cr, cx - w / 2 + i * w / 12, wallTop, w / 12 + 0.5, baseY - wallTop);
        Paint(cr, (i % 2) ? cream : red);
        cairo_fill(cr);
    }
    cairo_pattern_t* shade = cairo_pattern_create_linear(0, wallTop, 0, baseY);
    cairo_pattern_add_color_stop_rgba(shade, 0, ink.r, ink.g, ink.b, 0.0);
    cairo_pattern_add_color_stop_rgba(shade, 1, ink.r, ink.g, ink.b, 0.45);
    cairo_new_path(cr);
    cairo_rectangle(cr, cx - w / 2, wallTop, w, baseY - wallTop);
    cairo_set_source(cr, shade);
    cairo_fill(cr);
    cairo_pattern_destroy(shade);
    cairo_restore(cr);

    // Entrance: a dark triangle, warm inside when lit.
    double doorW = w * 0.18, doorTop = wallTop + (baseY - wallTop) * 0.12;
    cairo_new_path(cr);
    cairo_move_to(cr, cx - doorW, baseY);
    cairo_line_to(cr, cx, doorTop);
    cairo_line_to(cr, cx + doorW, baseY);
    cairo_close_path(cr);
    Paint(cr, Mix(Mix(kDeepRed, kNight, 0.5), kAmber, glow));
    cairo_fill(cr);
    if (glow > 0)
        Glow(cr, cx, baseY - (baseY - doorTop) * 0.3, doorW * 2.2, kAmber, 0.35 * glow);

    // Roof cone, striped towards the peak.
    cairo_save(cr);
    cairo_new_path(cr);
    cairo_move_to(cr, cx - w * 0.5, wallTop + 4);
    cairo_curve_to(cr, cx - w * 0.3, wallTop - h * 0.18, cx - w * 0.06, peakY + h * 0.08, cx, peakY);
    cairo_curve_to(cr, cx + w * 0.06, peakY + h * 0.08, cx + w * 0.3, wallTop - h * 0.18,
                   cx + w * 0.5, wallTop + 4);
    cairo_close_path(cr);
    cairo_clip(cr);
    for (int i = 0; i < 12; ++i) {
        cairo_new_path(cr);
        cairo_move_to(cr, cx, peakY);
        cairo_line_to(cr, cx - w * 0.5 + i * w / 12, wallTop + 6);
        cairo_line_to(cr, cx - w * 0.5 + (i + 1) * w / 12, wallTop + 6);
        cairo_close_path(cr);
        Paint(cr, (i % 2) ? red : cream);
        cairo_fill(cr);
    }
    cairo_pattern_t* roofShade = cairo_pattern_create_linear(cx - w / 2, 0, cx + w / 2, 0);
    cairo_pattern_add_color_stop_rgba(roofShade, 0, ink.r, ink.g, ink.b, 0.35);
    cairo_pattern_add_color_stop_rgba(roofShade, 0.45, ink.r, ink.g, ink.b, 0.0);
    cairo_pattern_add_color_stop_rgba(roofShade, 1, ink.r, ink.g, ink.b, 0.25);
    cairo_new_path(cr);
    cairo_rectangle(cr, cx - w / 2, peakY, w, wallTop - peakY + 8);
    cairo_set_source(cr, roofShade);
    cairo_fill(cr);
    cairo_pattern_destroy(roofShade);
    cairo_restore(cr);

    // Scalloped valance along the roof's edge.
    int scallops = 12;
    for (int i = 0; i < scallops; ++i) {
        double x = cx - w * 0.5 + (i + 0.5) * w / scallops;
        cairo_new_path(cr);
        cairo_arc(cr, x, wallTop + 4, w / scallops / 2, 0, kPi);
        cairo_close_path(cr);
        Paint(cr, (i % 2) ? Mix(kAmber, kNight, dim) : Mix(kDeepRed, kNight, dim));
        cairo_fill(cr);
    }

    // Flag pole and pennant.
    Line(cr, cx, peakY, cx, peakY - h * 0.14, 2.2, kInk);
    cairo_new_path(cr);
    cairo_move_to(cr, cx + 1, peakY - h * 0.14);
    cairo_curve_to(cr, cx + h * 0.06, peakY - h * 0.15, cx + h * 0.09, peakY - h * 0.10,
                   cx + h * 0.14, peakY - h * 0.115);
    cairo_line_to(cr, cx + 1, peakY - h * 0.08);
    cairo_close_path(cr);
    Paint(cr, Mix(kAmber, kNight, dim * 0.7));
    cairo_fill(cr);
}

// ---- the characters -------------------------------------------------------------------

enum class Eyes { Open, Wide, Crossed, Happy, Closed };
enum class Mouth { Smile, Oh, Wobble, Grin, Tongue };

// The Wemble: a round, fuzzy, periwinkle creature with one curly antenna and a bow tie.
struct WemblePose {
    double tilt = 0;          // whole body, radians, around the feet
    double armL = kPi * 0.8;  // arm directions, radians (0 points right, positive is down)
    double armR = kPi * 0.2;
    double lookX = 0, lookY = 0;
    Eyes eyes = Eyes::Open;
    Mouth mouth = Mouth::Smile;
    double footLift = 0;      // lifts the right foot
    bool pole = false;        // a balancing pole held in both hands
    bool bandage = false;
    double squash = 1;        // < 1 flattens it
};

void Wemble(cairo_t* cr, double x, double y, double s, const WemblePose& p)
{
    cairo_save(cr);
    cairo_translate(cr, x, y);
    cairo_rotate(cr, p.tilt);
    cairo_scale(cr, s / std::sqrt(p.squash), s * p.squash);

    // Legs and feet.
    Line(cr, -9, -14, -12, -3, 5, kWembleDark);
    Line(cr, 9, -14, 12, -3 - p.footLift, 5, kWembleDark);
    FillEllipse(cr, -14, -2, 9, 4.5, kWembleDark);
    FillEllipse(cr, 14, -2 - p.footLift, 9, 4.5, kWembleDark);

    const double cy = -40, r = 26;
    if (p.pole) {
        cairo_new_path(cr);
        cairo_move_to(cr, -92, cy + 2);
        cairo_curve_to(cr, -40, cy - 4, 40, cy - 4, 92, cy + 2);
        cairo_set_line_width(cr, 3);
        Paint(cr, kWood);
        cairo_stroke(cr);
        FillEllipse(cr, -92, cy + 2, 4, 4, kRed);
        FillEllipse(cr, 92, cy + 2, 4, 4, kRed);
    }

    // Arms behind the fuzz, mittens in front.
    double sx[2] = {-22, 22};
    double ang[2] = {p.armL, p.armR};
    for (int i = 0; i < 2; ++i) {
        double ex = sx[i] + 24 * std::cos(ang[i]), ey = cy + 2 + 24 * std::sin(ang[i]);
        Line(cr, sx[i], cy + 2, ex, ey, 5, kWembleDark);
    }

    // Fuzzy body: dark scallops for an outline, then light scallops, then the body.
    for (int pass = 0; pass < 2; ++pass) {
        for (int i = 0; i < 22; ++i) {
            double a = i * 2 * kPi / 22;
            double br = pass ? 5.0 : 6.6;
            FillEllipse(cr, 25 * std::cos(a), cy + 25 * std::sin(a), br, br,
                        pass ? kWemble : kWembleDark);
        }
    }
    FillEllipse(cr, 0, cy, r, r, kWemble);
    FillEllipse(cr, -8, cy - 10, 9, 6, kCream, 0.25);
    FillEllipse(cr, 0, cy + 12, 15, 9, Mix(kWemble, kCream, 0.45));

    for (int i = 0; i < 2; ++i) {
        double ex = sx[i] + 24 * std::cos(ang[i]), ey = cy + 2 + 24 * std::sin(ang[i]);
        FillEllipse(cr, ex, ey, 5.5, 5.5, kWembleDark);
        FillEllipse(cr, ex - 1, ey - 1, 3.5, 3.5, kWemble);
    }

    // Antenna with an amber bobble.
    cairo_new_path(cr);
    cairo_move_to(cr, 0, cy - r + 2);
    cairo_curve_to(cr, 2, cy - r - 14, 14, cy - r - 16, 10, cy - r - 26);
    cairo_set_line_width(cr, 2.4);
    Paint(cr, kWembleDark);
    cairo_stroke(cr);
    FillEllipse(cr, 10, cy - r - 28, 4.5, 4.5, kAmber);
    FillEllipse(cr, 9, cy - r - 29.5, 1.6, 1.6, kCream);

    // Eyes.
    for (int i = -1; i <= 1; i += 2) {
        double exc = i * 9.5, eyc = cy - 5;
        switch (p.eyes) {
        case Eyes::Open:
        case Eyes::Wide: {
            double ew = p.eyes == Eyes::Wide ? 8.5 : 7, eh = p.eyes == Eyes::Wide ? 10.5 : 9;
            FillEllipse(cr, exc, eyc, ew + 1.3, eh + 1.3, kInk);
            FillEllipse(cr, exc, eyc, ew, eh, kCream);
            double pr = p.eyes == Eyes::Wide ? 2.4 : 3.4;
            FillEllipse(cr, exc + p.lookX * 3, eyc + p.lookY * 4, pr, pr, kInk);
            FillEllipse(cr, exc + p.lookX * 3 - 1, eyc + p.lookY * 4 - 1.2, 1, 1, kCream);
            break;
        }
        case Eyes::Crossed:
            Line(cr, exc - 5, eyc - 5, exc + 5, eyc + 5, 2.6, kInk);
            Line(cr, exc - 5, eyc + 5, exc + 5, eyc - 5, 2.6, kInk);
            break;
        case Eyes::Happy:
            cairo_new_path(cr);
            cairo_arc(cr, exc, eyc + 3, 6, kPi * 1.1, kPi * 1.9);
            cairo_set_line_width(cr, 2.6);
            Paint(cr, kInk);
            cairo_stroke(cr);
            break;
        case Eyes::Closed:
            cairo_new_path(cr);
            cairo_arc(cr, exc, eyc - 2, 6, kPi * 0.1, kPi * 0.9);
            cairo_set_line_width(cr, 2.4);
            Paint(cr, kInk);
            cairo_stroke(cr);
            break;
        }
    }
    FillEllipse(cr, -17, cy + 6, 4.5, 3, kRose, 0.55);
    FillEllipse(cr, 17, cy + 6, 4.5, 3, kRose, 0.55);

    // Mouth.
    double my = cy + 9;
    cairo_new_path(cr);
    switch (p.mouth) {
    case Mouth::Smile:
        cairo_arc(cr, 0, my - 4, 7, kPi * 0.2, kPi * 0.8);
        cairo_set_line_width(cr, 2.2);
        Paint(cr, kInk);
        cairo_stroke(cr);
        break;
    case Mouth::Oh:
        FillEllipse(cr, 0, my + 1, 4, 5, kInk);
        FillEllipse(cr, 0, my + 3, 2.5, 2, kRose);
        break;
    case Mouth::Wobble:
        cairo_move_to(cr, -8, my);
        for (int i = 1; i <= 8; ++i)
            cairo_line_to(cr, -8 + i * 2, my + ((i % 2) ? -2 : 2));
        cairo_set_line_width(cr, 2);
        Paint(cr, kInk);
        cairo_stroke(cr);
        break;
    case Mouth::Grin:
        cairo_arc(cr, 0, my - 2, 9, 0, kPi);
        cairo_close_path(cr);
        Paint(cr, kInk);
        cairo_fill(cr);
        FillEllipse(cr, 0, my + 4.5, 4.5, 2.5, kRose);
        break;
    case Mouth::Tongue:
        Line(cr, -7, my, 7, my, 2.2, kInk);
        FillEllipse(cr, 3, my + 4, 3.5, 4.5, kRose);
        break;
    }

    // Red bow tie under the chin.
    double by = cy + 22;
    cairo_new_path(cr);
    cairo_move_to(cr, 0, by);
    cairo_line_to(cr, -10, by - 6);
    cairo_line_to(cr, -10, by + 6);
    cairo_close_path(cr);
    cairo_move_to(cr, 0, by);
    cairo_line_to(cr, 10, by - 6);
    cairo_line_to(cr, 10, by + 6);
    cairo_close_path(cr);
    Paint(cr, kRed);
    cairo_fill(cr);
    FillEllipse(cr, 0, by, 3, 3, kDeepRed);

    if (p.bandage) {
        cairo_save(cr);
        cairo_translate(cr, -8, cy - 20);
        cairo_rotate(cr, -0.5);
        cairo_new_path(cr);
        cairo_rectangle(cr, -14, -4.5, 28, 9);
        Paint(cr, kCream);
        cairo_fill(cr);
        FillEllipse(cr, 0, 0, 3.5, 3.5, kRose, 0.7);
        cairo_restore(cr);
    }
    cairo_restore(cr);
}

// Pobble: the plump ringmaster, red coat, white gloves, top hat and a ginger moustache.
struct PobblePose {
    double armL = kPi * 0.65, armR = kPi * 0.35;
    Mouth mouth = Mouth::Smile;
    Eyes eyes = Eyes::Open;
    bool hatRaised = false;
    double lean = 0;
    double lookX = 0;
    bool handsOnFace = false;
};

void Pobble(cairo_t* cr, double x, double y, double s, const PobblePose& p)
{
    cairo_save(cr);
    cairo_translate(cr, x, y);
    cairo_scale(cr, s, s);
    cairo_rotate(cr, p.lean);

    // Boots and white breeches.
    FillEllipse(cr, -16, -4, 14, 6, kInk);
    FillEllipse(cr, 16, -4, 14, 6, kInk);
    Line(cr, -12, -30, -14, -8, 12, kCream);
    Line(cr, 12, -30, 14, -8, 12, kCream);

    // Coat: a red pear with tails.
    cairo_new_path(cr);
    cairo_move_to(cr, -30, -100);
    cairo_curve_to(cr, -52, -80, -52, -36, -36, -18);
    cairo_line_to(cr, -20, -26);
    cairo_line_to(cr, 0, -30);
    cairo_line_to(cr, 20, -26);
    cairo_line_to(cr, 36, -18);
    cairo_curve_to(cr, 52, -36, 52, -80, 30, -100);
    cairo_curve_to(cr, 16, -110, -16, -110, -30, -100);
    cairo_close_path(cr);
    Paint(cr, kRed);
    cairo_fill_preserve(cr);
    cairo_set_line_width(cr, 2);
    Paint(cr, kDeepRed);
    cairo_stroke(cr);
    // Shirt front and gold buttons.
    cairo_new_path(cr);
    cairo_move_to(cr, -12, -102);
    cairo_line_to(cr, 12, -102);
    cairo_line_to(cr, 0, -58);
    cairo_close_path(cr);
    Paint(cr, kCream);
    cairo_fill(cr);
    for (int i = 0; i < 3; ++i) {
        FillEllipse(cr, -7, -52 + i * 10, 2.6, 2.6, kGold);
        FillEllipse(cr, 7, -52 + i * 10, 2.6, 2.6, kGold);
    }

    // Arms.
    double sx[2] = {-32, 32};
    double ang[2] = {p.armL, p.armR};
    double hx[2], hy[2];
    for (int i = 0; i < 2; ++i) {
        hx[i] = sx[i] + 40 * std::cos(ang[i]);
        hy[i] = -92 + 40 * std::sin(ang[i]);
        if (p.handsOnFace) {
            hx[i] = i ? 21 : -21;
            hy[i] = -122;
        }
        cairo_new_path(cr);
        cairo_move_to(cr, sx[i], -92);
        cairo_line_to(cr, hx[i], hy[i]);
        cairo_set_line_width(cr, 13);
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
        Paint(cr, Mix(kRed, kDeepRed, 0.25));
        cairo_stroke(cr);
    }

    // Head.
    const double hyc = -128;
    FillEllipse(cr, 0, hyc, 25, 24, Mix(kSkin, kRose, 0.2));
    FillEllipse(cr, 0, hyc, 23.5, 22.5, kSkin);
    FillEllipse(cr, -15, hyc + 7, 5, 3.5, kRose, 0.6);
    FillEllipse(cr, 15, hyc + 7, 5, 3.5, kRose, 0.6);
    for (int i = -1; i <= 1; i += 2) {
        double ex = i * 9 + p.lookX * 2, ey = hyc - 5;
        if (p.eyes == Eyes::Happy) {
            cairo_new_path(cr);
            cairo_arc(cr, ex, ey + 3, 5, kPi * 1.1, kPi * 1.9);
            cairo_set_line_width(cr, 2.4);
            Paint(cr, kInk);
            cairo_stroke(cr);
        } else if (p.eyes == Eyes::Closed) {
            Line(cr, ex - 4, ey, ex + 4, ey, 2.2, kInk);
        } else {
            double er = p.eyes == Eyes::Wide ? 4.2 : 3;
            FillEllipse(cr, ex, ey, er, er + 0.6, kInk);
            FillEllipse(cr, ex - 0.8, ey - 1, 1, 1, kCream);
        }
    }
    // Nose, moustache and mouth.
    FillEllipse(cr, 0, hyc + 3, 5.5, 4.5, kRose);
    if (p.mouth == Mouth::Grin) {
        cairo_new_path(cr);
        cairo_arc(cr, 0, hyc + 12, 8, 0, kPi);
        cairo_close_path(cr);
        Paint(cr, kDeepRed);
        cairo_fill(cr);
    } else if (p.mouth == Mouth::Oh) {
        FillEllipse(cr, 0, hyc + 15, 4, 5, kDeepRed);
    }
    for (int i = -1; i <= 1; i += 2) {
        cairo_new_path(cr);
        cairo_move_to(cr, 0, hyc + 8);
        cairo_curve_to(cr, i * 8, hyc + 4, i * 18, hyc + 12, i * 22, hyc + 2);
        cairo_curve_to(cr, i * 24, hyc + 10, i * 12, hyc + 16, 0, hyc + 11);
        cairo_close_path(cr);
        Paint(cr, Mix(kAmber, kRed, 0.35));
        cairo_fill(cr);
    }

    // Gloves last, so hands over the face sit in front of it.
    for (int i = 0; i < 2; ++i) {
        FillEllipse(cr, hx[i], hy[i], 9, 9, Mix(kCream, kInk, 0.45));
        FillEllipse(cr, hx[i] - 0.5, hy[i] - 0.5, 7.5, 7.5, kCream);
    }

    // Top hat: on the head, or raised in the right hand, held by the brim.
    cairo_save(cr);
    if (p.hatRaised) {
        cairo_translate(cr, hx[1] - 2, hy[1] - 4);
        cairo_rotate(cr, 0.3);
    } else {
        cairo_translate(cr, 0, hyc - 20);
        cairo_rotate(cr, -0.06);
    }
    Colour hat = Mix(kIndigo, kInk, 0.4);
    FillEllipse(cr, 0, 0, 31, 6, hat);
    cairo_new_path(cr);
    cairo_move_to(cr, -19, 0);
    cairo_line_to(cr, -21, -40);
    cairo_line_to(cr, 21, -40);
    cairo_line_to(cr, 19, 0);
    cairo_close_path(cr);
    Paint(cr, hat);
    cairo_fill(cr);
    FillEllipse(cr, 0, -40, 21, 4.5, Mix(hat, kViolet, 0.5));
    cairo_new_path(cr);
    cairo_rectangle(cr, -19.5, -10, 39, 7);
    Paint(cr, kRed);
    cairo_fill(cr);
    cairo_restore(cr);
    cairo_restore(cr);
}

// Quibbet: a small teal marsh bird with an orange beak.
enum class Flight { Perched, Flying, Asleep };

void Quibbet(cairo_t* cr, double x, double y, double s, Flight f, bool facingLeft = false)
{
    cairo_save(cr);
    cairo_translate(cr, x, y);
    cairo_scale(cr, facingLeft ? -s : s, s);
    if (f != Flight::Flying) {
        Line(cr, -3, -6, -4, 0, 1.6, kAmber);
        Line(cr, 3, -6, 4, 0, 1.6, kAmber);
    }
    // Tail.
    cairo_new_path(cr);
    cairo_move_to(cr, -8, -12);
    cairo_line_to(cr, -20, -20);
    cairo_line_to(cr, -19, -13);
    cairo_line_to(cr, -21, -8);
    cairo_close_path(cr);
    Paint(cr, Mix(kQuibbet, kInk, 0.3));
    cairo_fill(cr);
    FillEllipse(cr, 0, -13, 11, 9, kQuibbet);
    FillEllipse(cr, 1, -10, 7, 5, Mix(kQuibbet, kCream, 0.55));
    FillEllipse(cr, 7, -23, 7, 7, kQuibbet);
    // Beak.
    cairo_new_path(cr);
    cairo_move_to(cr, 13, -25);
    cairo_line_to(cr, 21, -22);
    cairo_line_to(cr, 13, -20);
    cairo_close_path(cr);
    Paint(cr, kAmber);
    cairo_fill(cr);
    if (f == Flight::Asleep) {
        Line(cr, 7, -24, 11, -24, 1.4, kInk);
    } else {
        FillEllipse(cr, 9, -25, 1.8, 1.8, kInk);
        FillEllipse(cr, 8.6, -25.6, 0.6, 0.6, kCream);
    }
    // Wing.
    cairo_new_path(cr);
    if (f == Flight::Flying) {
        cairo_move_to(cr, -4, -15);
        cairo_curve_to(cr, -8, -32, -2, -40, 6, -42);
        cairo_curve_to(cr, 4, -32, 6, -22, 4, -15);
    } else {
        cairo_move_to(cr, -7, -15);
        cairo_curve_to(cr, -2, -20, 6, -18, 6, -12);
        cairo_curve_to(cr, 2, -8, -4, -9, -7, -15);
    }
    cairo_close_path(cr);
    Paint(cr, Mix(kQuibbet, kInk, 0.35));
    cairo_fill(cr);
    cairo_restore(cr);
}

// ---- the inside of the big top --------------------------------------------------------

constexpr double kRopeY = 172;
constexpr double kFloorY = 410;  // where feet touch the sawdust
constexpr double kLeftPole = 104, kRightPole = 536;

void Spotlight(cairo_t* cr, double x, double y, double r)
{
    cairo_new_path(cr);
    cairo_move_to(cr, 320 - 30, -10);
    cairo_line_to(cr, 320 + 30, -10);
    cairo_line_to(cr, x + r, y);
    cairo_line_to(cr, x - r, y);
    cairo_close_path(cr);
    Paint(cr, kCream, 0.09);
    cairo_fill(cr);
    Glow(cr, x, y, r * 1.3, kCream, 0.28);
}

void Audience(cairo_t* cr, uint32_t seed, double baseY)
{
    Random rnd(seed);
    for (int row = 0; row < 2; ++row) {
        double y = baseY + row * 18;
        Colour c = Mix(kInk, kNight, row ? 0.0 : 0.5);
        double x = row ? -10 : 6;
        while (x < kPictureWidth + 30) {
            double r = rnd.Range(11, 15) + row * 3;
            FillEllipse(cr, x, y + r * 1.6, r * 1.5, r * 1.2, c);
            FillEllipse(cr, x, y, r * 0.8, r * 0.85, c);
            double kind = rnd.Next();
            if (kind < 0.15) {
                cairo_new_path(cr);
                cairo_rectangle(cr, x - r * 0.55, y - r * 1.6, r * 1.1, r * 0.9);
                Paint(cr, c);
                cairo_fill(cr);
                FillEllipse(cr, x, y - r * 0.7, r, r * 0.2, c);
            } else if (kind < 0.3) {
                FillEllipse(cr, x - r * 0.6, y - r * 0.7, r * 0.25, r * 0.45, c);
                FillEllipse(cr, x + r * 0.6, y - r * 0.7, r * 0.25, r * 0.45, c);
            }
            x += r * 2.2 + rnd.Range(0, 10);
        }
    }
}

// Everything fixed inside the tent. `ropeSagX`, when within the poles, is where a weight
// pulls the high wire down by `sag`.
void TentInterior(cairo_t* cr, double ropeSagX, double sag)
{
    VerticalGradient(cr, 0, 480, Mix(kDeepRed, kNight, 0.55), Mix(kDeepRed, kViolet, 0.4));
    // Canvas panels fanning from the king pole.
    for (int i = 0; i < 18; ++i) {
        double a0 = kPi * (0.05 + i * 0.9 / 18), a1 = kPi * (0.05 + (i + 1) * 0.9 / 18);
        cairo_new_path(cr);
        cairo_move_to(cr, 320, -80);
        cairo_line_to(cr, 320 + 900 * std::cos(a0), -80 + 900 * std::sin(a0));
        cairo_line_to(cr, 320 + 900 * std::cos(a1), -80 + 900 * std::sin(a1));
        cairo_close_path(cr);
        Paint(cr, (i % 2) ? Mix(kCream, kDeepRed, 0.55) : Mix(kRed, kNight, 0.35), 0.45);
        cairo_fill(cr);
    }
    cairo_pattern_t* dark = cairo_pattern_create_linear(0, 0, 0, 480);
    cairo_pattern_add_color_stop_rgba(dark, 0, kNight.r, kNight.g, kNight.b, 0.15);
    cairo_pattern_add_color_stop_rgba(dark, 1, kNight.r, kNight.g, kNight.b, 0.55);
    cairo_new_path(cr);
    cairo_rectangle(cr, 0, 0, 640, 480);
    cairo_set_source(cr, dark);
    cairo_fill(cr);
    cairo_pattern_destroy(dark);

    Bunting(cr, 0, 40, 320, 22, 26, 9, 16);
    Bunting(cr, 320, 22, 640, 40, 26, 9, 16);

    // Ring: sawdust inside a red kerb.
    FillEllipse(cr, 320, kFloorY + 22, 334, 74, kDeepRed);
    FillEllipse(cr, 320, kFloorY + 22, 322, 66, kRed);
    FillEllipse(cr, 320, kFloorY + 24, 310, 60, kSawdust);
    FillEllipse(cr, 300, kFloorY + 14, 200, 30, Mix(kSawdust, kCream, 0.2), 0.5);

    // Poles with platforms.
    for (double px : {kLeftPole, kRightPole}) {
        cairo_new_path(cr);
        cairo_rectangle(cr, px - 5, 40, 10, kFloorY - 30);
        Paint(cr, kGold);
        cairo_fill(cr);
        cairo_new_path(cr);
        cairo_rectangle(cr, px + 1, 40, 4, kFloorY - 30);
        Paint(cr, kWood, 0.5);
        cairo_fill(cr);
        for (int i = 0; i < 8; ++i)
            Line(cr, px - 5, 60 + i * 44, px + 5, 70 + i * 44, 2.5, kRed);
        cairo_new_path(cr);
        cairo_rectangle(cr, px - 34, kRopeY, 68, 9);
        Paint(cr, kWood);
        cairo_fill(cr);
        Line(cr, px - 34, kRopeY, px + 34, kRopeY, 2, kAmber);
    }
    // Rope ladder up the left pole.
    double lx0 = kLeftPole - 44, lx1 = kLeftPole - 20;
    const double ladderFoot = kFloorY + 4, ladderRun = ladderFoot - kRopeY;
    Line(cr, lx0, kRopeY + 4, lx0 - 4, ladderFoot, 2.4, kCream);
    Line(cr, lx1, kRopeY + 4, lx1 + 2, ladderFoot, 2.4, kCream);
    for (double y = kRopeY + 20; y < ladderFoot - 4; y += 22)
        Line(cr, lx0 - 4 * (y - kRopeY) / ladderRun, y, lx1 + 2 * (y - kRopeY) / ladderRun, y,
             2.4, kWood);

    // The high wire, pulled down where the Wemble stands.
    cairo_new_path(cr);
    cairo_move_to(cr, kLeftPole + 30, kRopeY);
    if (ropeSagX > kLeftPole + 30 && ropeSagX < kRightPole - 30)
        cairo_line_to(cr, ropeSagX, kRopeY + sag);
    cairo_line_to(cr, kRightPole - 30, kRopeY);
    cairo_set_line_width(cr, 2.6);
    Paint(cr, kCream);
    cairo_stroke(cr);
}

double RopeYAt(double x, double sagX, double sag)
{
    double x0 = kLeftPole + 30, x1 = kRightPole - 30;
    if (sagX <= x0 || sagX >= x1)
        return kRopeY;
    if (x < sagX)
        return kRopeY + sag * (x - x0) / (sagX - x0);
    return kRopeY + sag * (x1 - x) / (x1 - sagX);
}

void MotionLines(cairo_t* cr, double x, double y, double length, int count)
{
    for (int i = 0; i < count; ++i) {
        double dx = (i - (count - 1) / 2.0) * 14;
        Line(cr, x + dx, y - 10 - (i % 2) * 12, x + dx, y - 10 - length - (i % 2) * 12, 2.2,
             kCream, 0.7);
    }
}

// One frame of the high-wire act, 1 to 19: up the ladder, along the wire, a bird lands,
// the wobble, the slip and the fall. Each frame continues the one before.
void DrawWireFrame(cairo_t* cr, int frame)
{
    struct Step {
        double x, y;  // the Wemble's feet
        double tilt;
        bool onRope;
    };
    static const Step kSteps[20] = {
        {0, 0, 0, false},
        {72, kFloorY, 0, false}, // 1: at the foot of the ladder, waving
        {70, 330, 0, false},    // 2: climbing
        {68, 248, 0, false},    // 3: climbing higher
        {104, kRopeY, 0, false}, // 4: on the platform, ta-da
        {160, 0, -0.10, true},  // 5: first step, pole in hand
        {195, 0, 0.07, true},
        {230, 0, -0.05, true},
        {265, 0, 0.05, true},
        {300, 0, -0.03, true},  // 9: showing off to the crowd
        {330, 0, 0.03, true},   // 10: on one foot
        {360, 0, -0.02, true},
        {385, 0, 0.0, true},    // 12: a bird flies in
        {405, 0, 0.04, true},   // 13: it lands on the wire
        {415, 0, 0.10, true},   // 14: eye to eye
        {420, 0, -0.28, true},  // 15: it sits on his head; the wobble
        {420, 0, 0.50, true},   // 16: the big wobble
        {420, 0, 0, false},     // 17: hanging on by the mittens
        {432, 304, 0.7, false}, // 18: falling
        {440, 374, 2.2, false}, // 19: nearly down
    };
    const Step& st = kSteps[frame];
    double sag = st.onRope ? 10 * std::sin(kPi * (st.x - 134) / 372) : (frame == 17 ? 16 : 0);
    double sagX = st.onRope || frame == 17 ? st.x : -1;
    double wy = st.onRope ? RopeYAt(st.x, sagX, sag) : st.y;

    TentInterior(cr, sagX, sag);

    double spotY = frame == 17 ? kRopeY + 40 : wy - 30;
    Spotlight(cr, st.x, spotY, 62);

    WemblePose w;
    w.tilt = st.tilt;
    PobblePose pb;
    pb.lookX = 1;
    switch (frame) {
    case 1:
        w.armR = -kPi * 0.35;
        w.armL = kPi * 0.7;
        w.lookX = 0.5;
        w.mouth = Mouth::Grin;
        pb.armL = kPi * 1.05;
        pb.armR = -kPi * 0.15;
        pb.mouth = Mouth::Grin;
        pb.lookX = -1;
        break;
    case 2:
    case 3:
        w.armL = -kPi * 0.55;
        w.armR = -kPi * 0.45;
        w.lookY = -0.8;
        w.mouth = Mouth::Smile;
        pb.armR = -kPi * 0.3;
        pb.armL = kPi * 0.7;
        pb.lookX = -1;
        break;
    case 4:
        w.armL = -kPi * 0.75;
        w.armR = -kPi * 0.25;
        w.eyes = Eyes::Happy;
        w.mouth = Mouth::Grin;
        pb.armL = -kPi * 0.8;
        pb.armR = -kPi * 0.2;
        pb.mouth = Mouth::Grin;
        pb.eyes = Eyes::Happy;
        break;
    default:
        break;
    }
    if (st.onRope) {
        w.pole = true;
        w.armL = kPi * 0.95;
        w.armR = kPi * 0.05;
        w.lookX = frame >= 13 ? 1 : 0;
        w.lookY = frame >= 13 ? -0.3 : 0.4;
        w.eyes = frame == 5 ? Eyes::Wide : Eyes::Open;
        w.mouth = frame == 5 ? Mouth::Wobble : Mouth::Smile;
        if (frame == 9 || frame == 10) {
            w.eyes = Eyes::Happy;
            w.mouth = Mouth::Grin;
        }
        if (frame == 10)
            w.footLift = 12;
        if (frame == 14) {
            w.eyes = Eyes::Wide;
            w.mouth = Mouth::Oh;
        }
        if (frame == 15) {
            w.eyes = Eyes::Wide;
            w.mouth = Mouth::Wobble;
            w.lookY = -1;
            w.lookX = 0;
        }
        if (frame == 16) {
            w.eyes = Eyes::Wide;
            w.mouth = Mouth::Oh;
            w.footLift = 16;
            w.lookX = -1;
        }
        pb.armL = kPi * 0.6;
        pb.armR = kPi * 0.4;
        pb.mouth = Mouth::Smile;
        if (frame >= 9 && frame <= 11) {
            pb.armL = -kPi * 0.7;
            pb.armR = -kPi * 0.3;
            pb.mouth = Mouth::Grin;
        }
        if (frame >= 14) {
            pb.mouth = Mouth::Oh;
            pb.eyes = Eyes::Wide;
            pb.armR = -kPi * 0.4;
        }
    }
    if (frame == 17) {
        w.armL = -kPi * 0.6;
        w.armR = -kPi * 0.4;
        w.eyes = Eyes::Wide;
        w.mouth = Mouth::Wobble;
        w.lookY = -1;
        w.tilt = 0.05;
        pb.handsOnFace = true;
        pb.eyes = Eyes::Wide;
        pb.mouth = Mouth::Oh;
    }
    if (frame >= 18) {
        w.armL = -kPi * 0.7;
        w.armR = -kPi * 0.3;
        w.eyes = Eyes::Wide;
        w.mouth = Mouth::Oh;
        pb.handsOnFace = true;
        pb.eyes = Eyes::Closed;
        pb.mouth = Mouth::Oh;
    }

    Pobble(cr, 232, kFloorY + 12, 0.72, pb);

    // The dropped balancing pole, falling ahead of its owner.
    if (frame == 17) {
        cairo_save(cr);
        cairo_translate(cr, 480, 318);
        cairo_rotate(cr, 0.3);
        Line(cr, -80, 0, 80, 0, 3, kWood);
        FillEllipse(cr, -80, 0, 4, 4, kRed);
        FillEllipse(cr, 80, 0, 4, 4, kRed);
        cairo_restore(cr);
        MotionLines(cr, 480, 300, 28, 3);
    }
    if (frame >= 18) {
        Line(cr, 380, kFloorY + 10, 560, kFloorY + 4, 3, kWood);
        FillEllipse(cr, 380, kFloorY + 10, 4, 4, kRed);
        FillEllipse(cr, 560, kFloorY + 4, 4, 4, kRed);
    }

    if (frame == 17) {
        // Hanging under the wire by both mittens.
        Wemble(cr, st.x, kRopeY + sag + 72, 1.0, w);
    } else {
        Wemble(cr, st.x, wy, 1.0, w);
    }
    if (frame >= 18)
        MotionLines(cr, st.x, wy - 70, 50, 3);
    if (frame == 19) {
        for (int i = 0; i < 5; ++i)
            FillEllipse(cr, st.x - 40 + i * 20, kFloorY + 4 - (i % 2) * 6, 12, 6,
                        Mix(kSawdust, kCream, 0.3), 0.7);
    }
    if (frame == 16 || frame == 17) {
        Text(cr, kSans, 40, true, false, st.x + 34, 92, "!", kAmber, Align::Left, 2);
        Text(cr, kSans, 40, true, false, st.x + 52, 84, "!", kAmber, Align::Left, 2);
    }

    // The bird's part.
    switch (frame) {
    case 12:
        Quibbet(cr, 586, 90, 1.2, Flight::Flying, true);
        break;
    case 13:
        Quibbet(cr, 470, RopeYAt(470, sagX, sag), 1.2, Flight::Perched, true);
        break;
    case 14:
        Quibbet(cr, 458, RopeYAt(458, sagX, sag) - 30, 1.2, Flight::Perched, true);
        break;
    case 15:
        Quibbet(cr, st.x - 10, wy - 84, 1.2, Flight::Perched, true);
        break;
    case 16:
        Quibbet(cr, st.x + 60, 60, 1.2, Flight::Flying, true);
        break;
    default:
        if (frame >= 17)
            Quibbet(cr, kRightPole - 14, kRopeY, 1.2, Flight::Perched, true);
        break;
    }

    Audience(cr, 7, 446);
}

// ---- the pictures ---------------------------------------------------------------------

void DuskSky(cairo_t* cr, double horizon, double lateness)
{
    cairo_pattern_t* p = cairo_pattern_create_linear(0, 0, 0, horizon);
    Colour top = Mix(kIndigo, kNight, lateness);
    Colour mid = Mix(kViolet, kIndigo, lateness);
    Colour low = Mix(kRose, kViolet, lateness);
    Colour edge = Mix(kAmber, kRose, lateness);
    cairo_pattern_add_color_stop_rgb(p, 0, top.r, top.g, top.b);
    cairo_pattern_add_color_stop_rgb(p, 0.5, mid.r, mid.g, mid.b);
    cairo_pattern_add_color_stop_rgb(p, 0.85, low.r, low.g, low.b);
    cairo_pattern_add_color_stop_rgb(p, 1, edge.r, edge.g, edge.b);
    cairo_new_path(cr);
    cairo_rectangle(cr, 0, 0, kPictureWidth, horizon + 1);
    cairo_set_source(cr, p);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
}

void Vignette(cairo_t* cr, double strength)
{
    cairo_pattern_t* p = cairo_pattern_create_radial(320, 240, 180, 320, 240, 460);
    cairo_pattern_add_color_stop_rgba(p, 0, kNight.r, kNight.g, kNight.b, 0);
    cairo_pattern_add_color_stop_rgba(p, 1, kNight.r, kNight.g, kNight.b, strength);
    cairo_new_path(cr);
    cairo_rectangle(cr, 0, 0, kPictureWidth, kPictureHeight);
    cairo_set_source(cr, p);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
}

void DrawTitleStill(cairo_t* cr)
{
    const double horizon = 300;
    DuskSky(cr, horizon, 0.15);
    Stars(cr, 11, 90, 220, 0.9);
    Moon(cr, 500, 96, 40);
    Hills(cr, horizon, 34, 1.0, Mix(kViolet, kIndigo, 0.5));
    BigTop(cr, 150, horizon + 2, 90, 70, 0.8, 0.35);
    Bunting(cr, 150, horizon - 68, 100, horizon, 8, 5, 6);
    Bunting(cr, 150, horizon - 68, 200, horizon, 8, 5, 6);
    Glow(cr, 150, horizon - 10, 60, kAmber, 0.25);
    Water(cr, horizon, 410, kRose, kTeal, 500, 3);
    // Near bank.
    cairo_new_path(cr);
    cairo_move_to(cr, 0, 480);
    cairo_line_to(cr, 0, 402);
    cairo_curve_to(cr, 160, 390, 300, 420, 640, 396);
    cairo_line_to(cr, 640, 480);
    cairo_close_path(cr);
    Paint(cr, Mix(kTeal, kNight, 0.55));
    cairo_fill(cr);
    Reeds(cr, 0, 150, 420, 110, 21, Mix(kReed, kNight, 0.45), Mix(kWood, kNight, 0.3));
    Reeds(cr, 520, 640, 416, 120, 22, Mix(kReed, kNight, 0.45), Mix(kWood, kNight, 0.3));
    // The Wemble on the bank, gazing at the distant tent, with Quibbet on a reed.
    WemblePose w;
    w.lookX = -1;
    w.lookY = -0.3;
    w.armL = kPi * 0.75;
    w.armR = kPi * 0.4;
    Wemble(cr, 380, 432, 0.8, w);
    Quibbet(cr, 560, 318, 0.9, Flight::Perched, true);
    Line(cr, 556, 318, 556, 420, 2.2, Mix(kReed, kNight, 0.45));
    Vignette(cr, 0.45);
    Text(cr, kSerif, 76, true, false, 320, 182, "Vellmarsh", kCream, Align::Centre, 3);
    Text(cr, kSerif, 21, false, true, 320, 218, "where the circus comes to the reeds", kAmber,
         Align::Centre, 2);
}

void DrawCircusStill(cairo_t* cr)
{
    const double horizon = 330;
    DuskSky(cr, horizon, 0.35);
    Stars(cr, 31, 110, 260, 1.0);
    Moon(cr, 96, 80, 26);
    Hills(cr, horizon, 28, 2.2, Mix(kViolet, kNight, 0.45));
    VerticalGradient(cr, horizon - 2, 480, Mix(kTeal, kNight, 0.5), Mix(kTeal, kNight, 0.8));
    // Sawdust path to the tent.
    cairo_new_path(cr);
    cairo_move_to(cr, 290, 410);
    cairo_line_to(cr, 350, 410);
    cairo_line_to(cr, 470, 480);
    cairo_line_to(cr, 170, 480);
    cairo_close_path(cr);
    Paint(cr, Mix(kSawdust, kNight, 0.35));
    cairo_fill(cr);
    Glow(cr, 320, 330, 260, kAmber, 0.22);
    BigTop(cr, 320, 412, 400, 320, 1.0, 0.0);
    Bunting(cr, 320, 92, 0, 250, 40, 10, 18);
    Bunting(cr, 320, 92, 640, 250, 40, 10, 18);
    // Lanterns along the path.
    for (int i = 0; i < 4; ++i) {
        double lx = 120 + i * 34, ly = 330 + i * 36;
        double rx = 520 - i * 34;
        for (double x : {lx, rx}) {
            Line(cr, x, ly, x, ly + 70, 3, kInk);
            Glow(cr, x, ly - 4, 26, kAmber, 0.5);
            FillEllipse(cr, x, ly - 4, 6, 8, kAmber);
        }
    }
    // Signboard.
    cairo_save(cr);
    cairo_translate(cr, 92, 388);
    cairo_rotate(cr, -0.05);
    Line(cr, -40, 0, -40, 74, 5, kWood);
    Line(cr, 40, 0, 40, 74, 5, kWood);
    cairo_new_path(cr);
    cairo_rectangle(cr, -70, -66, 140, 74);
    Paint(cr, kCream);
    cairo_fill_preserve(cr);
    cairo_set_line_width(cr, 4);
    Paint(cr, kRed);
    cairo_stroke(cr);
    Text(cr, kSans, 19, true, false, 0, -38, "CIRCUS", kRed);
    Text(cr, kSans, 19, true, false, 0, -16, "POBBLE", kRed);
    Text(cr, kSerif, 12, false, true, 0, 2, "tonight!", kInk);
    cairo_restore(cr);
    // Visitors walking in.
    const double visitors[][3] = {{262, 446, 1.0}, {300, 432, 0.8}, {380, 440, 0.9}, {410, 460, 1.1}};
    for (const auto& v : visitors) {
        Colour c = Mix(kInk, kNight, 0.3);
        FillEllipse(cr, v[0], v[1] - 30 * v[2], 13 * v[2], 22 * v[2], c);
        FillEllipse(cr, v[0], v[1] - 60 * v[2], 9 * v[2], 9 * v[2], c);
    }
    Vignette(cr, 0.35);
}

// Pobble outside the tent, calling the crowd in; the Wemble peeks from the entrance.
void DrawTentFront(cairo_t* cr, bool variant)
{
    const double horizon = 360;
    DuskSky(cr, horizon, variant ? 0.6 : 0.4);
    Stars(cr, variant ? 43 : 41, 70, 200, 0.9);
    Hills(cr, horizon + 4, 20, 0.5, Mix(kViolet, kNight, 0.5));
    VerticalGradient(cr, horizon, 430, Mix(kTeal, kNight, 0.5), Mix(kTeal, kNight, 0.7));
    BigTop(cr, 400, 430, 620, 560, 1.0, 0.05);
    VerticalGradient(cr, 428, 480, Mix(kSawdust, kNight, 0.3), Mix(kSawdust, kNight, 0.55));
    Glow(cr, 400, 400, 140, kAmber, 0.3);

    // Poster on an easel.
    cairo_save(cr);
    cairo_translate(cr, 560, 300);
    cairo_rotate(cr, 0.04);
    Line(cr, -30, 40, -40, 140, 4, kWood);
    Line(cr, 30, 40, 40, 140, 4, kWood);
    cairo_new_path(cr);
    cairo_rectangle(cr, -52, -70, 104, 130);
    Paint(cr, kCream);
    cairo_fill_preserve(cr);
    cairo_set_line_width(cr, 3);
    Paint(cr, kRed);
    cairo_stroke(cr);
    Text(cr, kSans, 12, true, false, 0, -52, "THE GREAT", kRed);
    Text(cr, kSans, 17, true, false, 0, -34, "WEMBLE", kRed);
    WemblePose pw;
    pw.pole = true;
    pw.armL = kPi * 0.95;
    pw.armR = kPi * 0.05;
    pw.eyes = Eyes::Happy;
    pw.mouth = Mouth::Grin;
    Line(cr, -48, 44, 48, 44, 1.5, kInk);
    Wemble(cr, 0, 44, 0.5, pw);
    cairo_restore(cr);

    // The Wemble in the entrance.
    WemblePose w;
    if (variant) {
        w.armR = -kPi * 0.35;
        w.eyes = Eyes::Happy;
        w.mouth = Mouth::Grin;
        Wemble(cr, 400, 432, 0.95, w);
    } else {
        w.lookX = -1;
        w.lookY = 0.2;
        w.eyes = Eyes::Wide;
        w.mouth = Mouth::Oh;
        w.armL = kPi * 0.9;
        Wemble(cr, 430, 432, 0.95, w);
        // The tent flap he hides behind.
        cairo_new_path(cr);
        cairo_move_to(cr, 400, 300);
        cairo_curve_to(cr, 430, 360, 440, 400, 460, 430);
        cairo_line_to(cr, 512, 430);
        cairo_close_path(cr);
        Paint(cr, kCream);
        cairo_fill(cr);
        Line(cr, 400, 300, 460, 430, 2, Mix(kCream, kInk, 0.3));
    }

    PobblePose p;
    p.lookX = variant ? 0 : 0.5;
    if (variant) {
        p.armL = kPi * 0.75;
        p.armR = -kPi * 0.4;
        p.hatRaised = true;
        p.eyes = Eyes::Happy;
        p.mouth = Mouth::Grin;
    } else {
        p.armL = kPi * 0.7;
        p.armR = -kPi * 0.08;
        p.mouth = Mouth::Grin;
    }
    Pobble(cr, 190, 462, 1.55, p);

    // Speech bubble.
    double bx = 150, by = 60, bw = 250, bh = 96;
    cairo_new_path(cr);
    cairo_move_to(cr, bx + 14, by);
    cairo_line_to(cr, bx + bw - 14, by);
    cairo_arc(cr, bx + bw - 14, by + 14, 14, -kPi / 2, 0);
    cairo_line_to(cr, bx + bw, by + bh - 14);
    cairo_arc(cr, bx + bw - 14, by + bh - 14, 14, 0, kPi / 2);
    cairo_line_to(cr, bx + 150, by + bh);
    cairo_line_to(cr, bx + 100, by + bh + 42);
    cairo_line_to(cr, bx + 110, by + bh);
    cairo_line_to(cr, bx + 14, by + bh);
    cairo_arc(cr, bx + 14, by + bh - 14, 14, kPi / 2, kPi);
    cairo_line_to(cr, bx, by + 14);
    cairo_arc(cr, bx + 14, by + 14, 14, kPi, kPi * 1.5);
    cairo_close_path(cr);
    Paint(cr, kCream);
    cairo_fill_preserve(cr);
    cairo_set_line_width(cr, 3);
    Paint(cr, kInk);
    cairo_stroke(cr);
    if (variant) {
        Text(cr, kSerif, 30, true, false, bx + bw / 2, by + 44, "Roll up!", kRed);
        Text(cr, kSerif, 30, true, false, bx + bw / 2, by + 80, "Roll up!", kRed);
    } else {
        Text(cr, kSerif, 19, true, false, bx + bw / 2, by + 32, "Tonight! The Great", kInk);
        Text(cr, kSerif, 19, true, false, bx + bw / 2, by + 58, "Wemble walks", kInk);
        Text(cr, kSerif, 19, true, false, bx + bw / 2, by + 84, "the high wire!", kRed);
    }
    Vignette(cr, 0.3);
}

// The comic grief: flattened in the sawdust, seeing stars, the bird offering a daisy.
void DrawWembleDown(cairo_t* cr)
{
    TentInterior(cr, -1, 0);
    Spotlight(cr, 440, kFloorY - 10, 90);
    Line(cr, 330, kFloorY + 14, 410, kFloorY + 4, 3, kWood);
    Line(cr, 480, kFloorY + 6, 580, kFloorY + 16, 3, kWood);
    FillEllipse(cr, 330, kFloorY + 14, 4, 4, kRed);
    FillEllipse(cr, 580, kFloorY + 16, 4, 4, kRed);
    PobblePose pb;
    pb.armL = kPi * 0.9;
    pb.armR = -kPi * 0.1;
    pb.handsOnFace = true;
    pb.eyes = Eyes::Wide;
    pb.mouth = Mouth::Oh;
    Pobble(cr, 232, kFloorY + 12, 0.72, pb);
    WemblePose w;
    w.eyes = Eyes::Crossed;
    w.mouth = Mouth::Tongue;
    w.squash = 0.45;
    w.armL = kPi * 1.0;
    w.armR = 0;
    Wemble(cr, 440, kFloorY + 8, 1.2, w);
    // Stars circling the head.
    for (int i = 0; i < 5; ++i) {
        double a = i * 2 * kPi / 5 + 0.3;
        Star(cr, 440 + 56 * std::cos(a), kFloorY - 62 + 14 * std::sin(a), 9, kAmber, a);
    }
    // Quibbet with a daisy.
    const double qx = 516, qy = kFloorY + 8;
    Quibbet(cr, qx, qy, 1.4, Flight::Perched, true);
    Line(cr, qx - 24, qy - 24, qx - 34, qy - 50, 1.8, kReed);
    for (int i = 0; i < 6; ++i) {
        double a = i * kPi / 3;
        FillEllipse(cr, qx - 34 + 5 * std::cos(a), qy - 54 + 5 * std::sin(a), 3.4, 3.4, kCream);
    }
    FillEllipse(cr, qx - 34, qy - 54, 2.8, 2.8, kAmber);
    Text(cr, kSans, 40, true, false, 470, 300, "bonk!", kCream, Align::Left, 2);
    Audience(cr, 7, 446);
}

// Curtain call: the ringmaster beams, the Wemble (bandaged, fine) takes a bow.
void DrawCurtainCall(cairo_t* cr)
{
    TentInterior(cr, -1, 0);
    Spotlight(cr, 320, 420, 200);
    Random rnd(77);
    const Colour confetti[] = {kRed, kAmber, kCream, kQuibbet, kRose};
    for (int i = 0; i < 90; ++i) {
        double x = rnd.Range(0, 640), y = rnd.Range(0, 380);
        cairo_save(cr);
        cairo_translate(cr, x, y);
        cairo_rotate(cr, rnd.Range(0, kPi));
        cairo_new_path(cr);
        cairo_rectangle(cr, -4, -2, 8, 4);
        Paint(cr, confetti[i % 5]);
        cairo_fill(cr);
        cairo_restore(cr);
    }
    PobblePose p;
    p.armL = kPi * 1.15;
    p.armR = -kPi * 0.3;
    p.hatRaised = true;
    p.eyes = Eyes::Happy;
    p.mouth = Mouth::Grin;
    Pobble(cr, 250, 440, 1.5, p);
    WemblePose w;
    w.eyes = Eyes::Happy;
    w.mouth = Mouth::Grin;
    w.bandage = true;
    w.armL = kPi * 0.7;
    w.armR = -kPi * 0.35;
    Wemble(cr, 440, 436, 1.5, w);
    Quibbet(cr, 520, 300, 1.3, Flight::Flying, true);
    Text(cr, kScript, 72, false, false, 470, 120, "Bravo!", kAmber, Align::Centre, 3);
    Audience(cr, 7, 446);
}

void DrawClosingStill(cairo_t* cr)
{
    const double horizon = 310;
    DuskSky(cr, horizon, 0.95);
    Stars(cr, 51, 170, 300, 1.0);
    Moon(cr, 470, 110, 44);
    Hills(cr, horizon, 30, 4.0, Mix(kIndigo, kNight, 0.6));
    BigTop(cr, 180, horizon + 2, 120, 96, 0.35, 0.55);
    Water(cr, horizon, 420, kIndigo, Mix(kTeal, kNight, 0.6), 470, 9);
    cairo_new_path(cr);
    cairo_move_to(cr, 0, 480);
    cairo_line_to(cr, 0, 414);
    cairo_curve_to(cr, 200, 404, 400, 430, 640, 410);
    cairo_line_to(cr, 640, 480);
    cairo_close_path(cr);
    Paint(cr, Mix(kTeal, kNight, 0.75));
    cairo_fill(cr);
    Reeds(cr, 380, 640, 440, 130, 61, Mix(kReed, kNight, 0.6), Mix(kWood, kNight, 0.5));
    Reeds(cr, 0, 90, 440, 90, 62, Mix(kReed, kNight, 0.6), Mix(kWood, kNight, 0.5));
    // Quibbet asleep on a bent reed, the Wemble asleep against the bank.
    cairo_new_path(cr);
    cairo_move_to(cr, 540, 450);
    cairo_curve_to(cr, 540, 380, 520, 340, 500, 320);
    cairo_set_line_width(cr, 3);
    Paint(cr, Mix(kReed, kNight, 0.4));
    cairo_stroke(cr);
    Quibbet(cr, 506, 326, 1.6, Flight::Asleep, true);
    WemblePose w;
    w.eyes = Eyes::Closed;
    w.mouth = Mouth::Smile;
    w.tilt = -0.15;
    w.armL = kPi * 0.6;
    w.armR = kPi * 0.4;
    Wemble(cr, 300, 452, 0.9, w);
    Text(cr, kSerif, 18, false, true, 338, 392, "z", kCream, Align::Left);
    Text(cr, kSerif, 24, false, true, 352, 372, "z", kCream, Align::Left);
    Vignette(cr, 0.5);
    Text(cr, kScript, 84, false, false, 250, 150, "The End", kAmber, Align::Centre, 3);
    Text(cr, kSerif, 20, false, true, 250, 192, "goodnight from Vellmarsh", kCream,
         Align::Centre, 2);
}

// ---- the cards ------------------------------------------------------------------------
// A card is shown on a square, so it is laid out in a 480 by 480 space that is then
// stretched to 640 wide; squeezed back on screen it looks as drawn.

constexpr double kCard = 480;

void CardBackground(cairo_t* cr)
{
    cairo_scale(cr, kPictureWidth / kCard, 1.0);
    VerticalGradient(cr, 0, kCard, Mix(kIndigo, kNight, 0.5), Mix(kViolet, kNight, 0.35), 0, kCard);
    Random rnd(101);
    for (int i = 0; i < 60; ++i) {
        double x = rnd.Range(0, kCard), y = rnd.Range(0, kCard);
        double r = rnd.Range(0.5, 1.3);
        FillEllipse(cr, x, y, r, r, kCream, rnd.Range(0.15, 0.5));
    }
    // Double frame with corner studs.
    for (int i = 0; i < 2; ++i) {
        double m = 20 + i * 8;
        cairo_new_path(cr);
        cairo_rectangle(cr, m, m, kCard - 2 * m, kCard - 2 * m);
        cairo_set_line_width(cr, i ? 1.2 : 2.4);
        Paint(cr, kAmber, i ? 0.6 : 0.9);
        cairo_stroke(cr);
    }
    for (double x : {24.0, kCard - 24}) {
        for (double y : {24.0, kCard - 24}) {
            Star(cr, x, y, 9, kAmber);
        }
    }
}

void Rule(cairo_t* cr, double y, double halfWidth)
{
    Line(cr, kCard / 2 - halfWidth, y, kCard / 2 - 10, y, 1.4, kAmber, 0.8);
    Line(cr, kCard / 2 + 10, y, kCard / 2 + halfWidth, y, 1.4, kAmber, 0.8);
    cairo_new_path(cr);
    cairo_move_to(cr, kCard / 2, y - 5);
    cairo_line_to(cr, kCard / 2 + 5, y);
    cairo_line_to(cr, kCard / 2, y + 5);
    cairo_line_to(cr, kCard / 2 - 5, y);
    cairo_close_path(cr);
    Paint(cr, kAmber);
    cairo_fill(cr);
}

void DrawIntroCard(cairo_t* cr)
{
    CardBackground(cr);
    const double c = kCard / 2;
    // A crescent moon over the title.
    FillEllipse(cr, c, 92, 26, 26, Mix(kCream, kAmber, 0.2));
    FillEllipse(cr, c + 11, 84, 23, 23, Mix(kIndigo, kNight, 0.45));
    Text(cr, kSerif, 56, true, false, c, 188, "Voruzavur", kCream, Align::Centre, 2);
    Text(cr, kSerif, 36, false, true, c, 236, "Kestrafen", kAmber, Align::Centre, 2);
    Text(cr, kSerif, 56, true, false, c, 300, "Vellmarsh", kCream, Align::Centre, 2);
    Rule(cr, 328, 120);
    Text(cr, kSerif, 20, false, true, c, 362, "a little story in pictures", kCream);
    // Little marsh silhouette along the foot of the frame.
    cairo_save(cr);
    cairo_new_path(cr);
    cairo_rectangle(cr, 36, 36, kCard - 72, kCard - 72);
    cairo_clip(cr);
    Reeds(cr, 40, 140, kCard - 36, 60, 5, Mix(kReed, kNight, 0.4), Mix(kWood, kNight, 0.4));
    Reeds(cr, 340, 440, kCard - 36, 60, 6, Mix(kReed, kNight, 0.4), Mix(kWood, kNight, 0.4));
    BigTop(cr, c, kCard - 36, 84, 64, 0.8, 0.3);
    cairo_restore(cr);
}

void DrawGreetingsCard(cairo_t* cr)
{
    CardBackground(cr);
    const double c = kCard / 2;
    Text(cr, kSerif, 42, true, false, c, 92, "Greetings", kAmber, Align::Centre, 2);
    Rule(cr, 112, 110);
    static const char* const kGroups[] = {
        "the Lantern Owls",   "Moss & Fennel",     "Brass Kettle Society",
        "the Reedcutters",    "Nightjar Collective", "Sixty Fathoms",
        "Pixel Pudding",      "the Quiet Harbour",  "every Pobble in the marsh",
    };
    double y = 152;
    for (const char* g : kGroups) {
        Text(cr, kSerif, 22, false, false, c, y, g, kCream, Align::Centre, 1.5);
        y += 34;
    }
}

void DrawCreditsCard(cairo_t* cr)
{
    CardBackground(cr);
    const double c = kCard / 2;
    Text(cr, kSerif, 42, true, false, c, 92, "Credits", kAmber, Align::Centre, 2);
    Rule(cr, 112, 110);
    struct Entry {
        const char* heading;
        const char* line;
    };
    static const Entry kEntries[] = {
        {"CODE", "the Voruzavur crew"},
        {"PICTURES", "drawn line by line with cairo"},
        {"MUSIC", "synthesized note by note"},
        {"MADE WITH", "OpenGL, SDL2, cairo, LAME"},
    };
    double y = 150;
    for (const Entry& e : kEntries) {
        Text(cr, kSans, 16, true, false, c, y, e.heading, kAmber);
        Text(cr, kSerif, 23, false, false, c, y + 28, e.line, kCream, Align::Centre, 1.5);
        y += 66;
    }
    Text(cr, kSerif, 19, false, true, c, 424, "thank you for watching", kRose);
}

// ---- finishing ------------------------------------------------------------------------

// A faint paper grain, the same on every run, so flat areas look printed rather than
// computed. Channels never reach pure black, which the texture builder keys out.
void Grain(cairo_surface_t* surface, uint32_t seed)
{
    cairo_surface_flush(surface);
    unsigned char* data = cairo_image_surface_get_data(surface);
    int stride = cairo_image_surface_get_stride(surface);
    for (int y = 0; y < kPictureHeight; ++y) {
        uint32_t* row = reinterpret_cast<uint32_t*>(data + size_t(y) * stride);
        for (int x = 0; x < kPictureWidth; ++x) {
            uint32_t h = uint32_t(x) * 73856093u ^ uint32_t(y) * 19349663u ^ seed * 83492791u;
            h ^= h >> 13;
            h *= 0x5bd1e995u;
            h ^= h >> 15;
            int noise = int(h % 9) - 4;
            uint32_t px = row[x];
            int ch[3] = {int(px & 0xff), int((px >> 8) & 0xff), int((px >> 16) & 0xff)};
            for (int& v : ch) {
                v += noise;
                v = v < 6 ? 6 : (v > 255 ? 255 : v);
            }
            row[x] = 0xff000000u | uint32_t(ch[2]) << 16 | uint32_t(ch[1]) << 8 | uint32_t(ch[0]);
        }
    }
    cairo_surface_mark_dirty(surface);
}

struct PictureEntry {
    const char* name;
    std::function<void(cairo_t*)> draw;
};

const std::vector<PictureEntry>& Entries()
{
    static const std::vector<PictureEntry> entries = [] {
        std::vector<PictureEntry> e = {
            {"Intro.jpg", DrawIntroCard},
            {"Vellmarsh.jpg", DrawTitleStill},
            {"Circus.jpg", DrawCircusStill},
            {"TeltPobble1.jpg", [](cairo_t* cr) { DrawTentFront(cr, false); }},
            {"TeltPobble2.jpg", [](cairo_t* cr) { DrawTentFront(cr, true); }},
            {"WembleDead.jpg", DrawWembleDown},
            {"HappyPobble.jpg", DrawCurtainCall},
        };
        static const char* const kFrames[19] = {
            "WembleAnim01.jpg", "WembleAnim02.jpg", "WembleAnim03.jpg", "WembleAnim04.jpg",
            "WembleAnim05.jpg", "WembleAnim06.jpg", "WembleAnim07.jpg", "WembleAnim08.jpg",
            "WembleAnim09.jpg", "WembleAnim10.jpg", "WembleAnim11.jpg", "WembleAnim12.jpg",
            "WembleAnim13.jpg", "WembleAnim14.jpg", "WembleAnim15.jpg", "WembleAnim16.jpg",
            "WembleAnim17.jpg", "WembleAnim18.jpg", "WembleAnim19.jpg"};
        for (int i = 0; i < 19; ++i)
            e.push_back({kFrames[i], [i](cairo_t* cr) { DrawWireFrame(cr, i + 1); }});
        e.push_back({"Credits.jpg", DrawCreditsCard});
        e.push_back({"Greetings.jpg", DrawGreetingsCard});
        e.push_back({"Quibbet.jpg", DrawClosingStill});
        return e;
    }();
    return entries;
}

} // namespace

int ContentPictureCount()
{
    return int(Entries().size());
}

const char* ContentPictureName(int index)
{
    return Entries().at(size_t(index)).name;
}

bool DrawContentPicture(int index, ContentPicture& picture)
{
    const PictureEntry& entry = Entries().at(size_t(index));
    cairo_surface_t* surface =
        cairo_image_surface_create(CAIRO_FORMAT_RGB24, kPictureWidth, kPictureHeight);
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        return false;
    }
    cairo_t* cr = cairo_create(surface);
    // Unhinted outlines: the lettering does not depend on the machine's hinting settings.
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
    cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
    cairo_set_font_options(cr, options);
    cairo_font_options_destroy(options);

    Paint(cr, kNight);
    cairo_paint(cr);
    entry.draw(cr);
    bool ok = cairo_status(cr) == CAIRO_STATUS_SUCCESS;
    cairo_destroy(cr);
    if (ok) {
        Grain(surface, uint32_t(index) + 1);
        picture.fileName = entry.name;
        picture.stride = cairo_image_surface_get_stride(surface);
        const unsigned char* data = cairo_image_surface_get_data(surface);
        picture.bgrx.assign(data, data + size_t(picture.stride) * kPictureHeight);
    }
    cairo_surface_destroy(surface);
    return ok;
}

void ReleasePictureCaches()
{
    cairo_debug_reset_static_data();
}
