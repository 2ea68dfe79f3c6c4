// The 3-D outline font: each glyph of the bold "times" face tessellated once into a solid
// extruded from z = 0 back to z = -0.2 and kept in a display list with its advance.
#include "app/outline_font.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <deque>
#include <vector>

#include "platform/platform.h"

uint32_t gFontListBase = 0;

namespace {

constexpr int kListCount = 256;
constexpr unsigned kGlyphCount = 255;  // codes 0 to 254; list 255 stays empty
constexpr float kDeviation = 0.1f;     // em
constexpr float kDepth = 0.2f;         // em, toward negative z
// Wall normals are shared across a corner that turns less than this, so that flattened
// curves light as curves; sharper corners keep a crease.
const float kSmoothCornerCos = std::cos(50.0f * 3.14159265f / 180.0f);

struct Point {
    float x, y;
};

// What the GLU tessellator hands back for one glyph: triangles only (an edge-flag
// callback keeps it from making fans and strips).
struct Tessellation {
    std::vector<GLdouble> input;       // x, y, z of every contour point, fixed in place
    std::deque<Point> combined;        // points made where contours cross
    std::vector<Point> triangles;      // three per triangle
    bool failed = false;
};

void GLAPIENTRY TessBegin(GLenum, void*) {}
void GLAPIENTRY TessEdgeFlag(GLboolean, void*) {}
void GLAPIENTRY TessEnd(void*) {}

void GLAPIENTRY TessVertex(void* vertex, void* data) {
    static_cast<Tessellation*>(data)->triangles.push_back(*static_cast<Point*>(vertex));
}

void GLAPIENTRY TessCombine(GLdouble coords[3], void*[4], GLfloat[4], void** out, void* data) {
    Tessellation* tess = static_cast<Tessellation*>(data);
    tess->combined.push_back(
        Point{static_cast<float>(coords[0]), static_cast<float>(coords[1])});
    *out = &tess->combined.back();
}

void GLAPIENTRY TessError(GLenum, void* data) { static_cast<Tessellation*>(data)->failed = true; }

typedef _GLUfuncptr TessCallback;

GLUtesselator* NewTessellator() {
    GLUtesselator* tess = gluNewTess();
    if (!tess) return nullptr;
    gluTessCallback(tess, GLU_TESS_BEGIN_DATA, reinterpret_cast<TessCallback>(TessBegin));
    gluTessCallback(tess, GLU_TESS_EDGE_FLAG_DATA,
                    reinterpret_cast<TessCallback>(TessEdgeFlag));
    gluTessCallback(tess, GLU_TESS_VERTEX_DATA, reinterpret_cast<TessCallback>(TessVertex));
    gluTessCallback(tess, GLU_TESS_END_DATA, reinterpret_cast<TessCallback>(TessEnd));
    gluTessCallback(tess, GLU_TESS_COMBINE_DATA,
                    reinterpret_cast<TessCallback>(TessCombine));
    gluTessCallback(tess, GLU_TESS_ERROR_DATA, reinterpret_cast<TessCallback>(TessError));
    // Holes wind against their outlines; overlapping outlines of one glyph stay filled.
    gluTessProperty(tess, GLU_TESS_WINDING_RULE, GLU_TESS_WINDING_NONZERO);
    gluTessNormal(tess, 0, 0, 1);
    return tess;
}

// Fills `tess->triangles` with the glyph's area, three points a triangle, and `points` with the contour points the walls are built on.
void Tessellate(GLUtesselator* tessellator, const SysGlyphShape& shape, Tessellation* tess,
                std::vector<Point>* points) {
    const uint32_t pointCount =
        shape.contourCount ? shape.contourEnds[shape.contourCount - 1] : 0;
    points->resize(pointCount);
    for (uint32_t i = 0; i < pointCount; ++i)
        (*points)[i] = Point{shape.points[i].x, shape.points[i].y};
    // The tessellator keeps pointers to both until the polygon ends: no resizing below.
    tess->input.resize(3 * pointCount);
    tess->combined.clear();
    tess->triangles.clear();
    tess->failed = false;

    gluTessBeginPolygon(tessellator, tess);
    uint32_t start = 0;
    for (uint32_t c = 0; c < shape.contourCount; ++c) {
        gluTessBeginContour(tessellator);
        for (uint32_t i = start; i < shape.contourEnds[c]; ++i) {
            GLdouble* xyz = &tess->input[3 * i];
            xyz[0] = (*points)[i].x;
            xyz[1] = (*points)[i].y;
            xyz[2] = 0;
            gluTessVertex(tessellator, xyz, &(*points)[i]);
        }
        gluTessEndContour(tessellator);
        start = shape.contourEnds[c];
    }
    gluTessEndPolygon(tessellator);

    // With the normal given as +z, GLU hands every triangle back counter-clockwise seen
    // from +z. A glyph it cannot fill keeps no part of its area.
    if (tess->failed || tess->triangles.size() % 3 != 0) tess->triangles.clear();
}

// Outward normal of the edge from a to b: the filled area lies to its left.
Point EdgeNormal(const Point& a, const Point& b) {
    const float dx = b.x - a.x, dy = b.y - a.y;
    const float length = std::sqrt(dx * dx + dy * dy);
    if (length == 0) return Point{0, 0};
    return Point{dy / length, -dx / length};
}

// The normal at one end of an edge: shared with the neighbouring edge across a smooth
// corner, the edge's own across a sharp one.
Point CornerNormal(const Point& own, const Point& neighbour) {
    if (own.x * neighbour.x + own.y * neighbour.y < kSmoothCornerCos) return own;
    const float x = own.x + neighbour.x, y = own.y + neighbour.y;
    const float length = std::sqrt(x * x + y * y);
    if (length == 0) return own;
    return Point{x / length, y / length};
}

// The walls between front and back along every contour, as quads that face outward.
void EmitWalls(const SysGlyphShape& shape, const std::vector<Point>& points) {
    std::vector<Point> edgeNormals;
    glBegin(GL_QUADS);
    uint32_t start = 0;
    for (uint32_t c = 0; c < shape.contourCount; ++c) {
        const uint32_t end = shape.contourEnds[c], count = end - start;
        edgeNormals.resize(count);
        for (uint32_t i = 0; i < count; ++i)
            edgeNormals[i] = EdgeNormal(points[start + i], points[start + (i + 1) % count]);
        for (uint32_t i = 0; i < count; ++i) {
            const uint32_t next = (i + 1) % count;
            const Point& a = points[start + i];
            const Point& b = points[start + next];
            const Point& edge = edgeNormals[i];
            const Point na = CornerNormal(edge, edgeNormals[(i + count - 1) % count]);
            const Point nb = CornerNormal(edge, edgeNormals[next]);
            glNormal3f(na.x, na.y, 0);
            glVertex3f(a.x, a.y, 0);
            glVertex3f(a.x, a.y, -kDepth);
            glNormal3f(nb.x, nb.y, 0);
            glVertex3f(b.x, b.y, -kDepth);
            glVertex3f(b.x, b.y, 0);
        }
        start = end;
    }
    glEnd();
}

// One glyph's solid, then the move to the next character cell.
void EmitGlyph(const SysGlyphShape& shape, const Tessellation& tess,
               const std::vector<Point>& points) {
    if (!tess.triangles.empty()) {
        glBegin(GL_TRIANGLES);
        glNormal3f(0, 0, 1);
        for (const Point& p : tess.triangles) glVertex3f(p.x, p.y, 0);
        // The back face is the front mirrored through the glyph's plane: reversed, so
        // that it too runs counter-clockwise seen from its own side.
        glNormal3f(0, 0, -1);
        for (size_t t = tess.triangles.size(); t > 0; --t)
            glVertex3f(tess.triangles[t - 1].x, tess.triangles[t - 1].y, -kDepth);
        glEnd();
        EmitWalls(shape, points);
    }
    glTranslatef(shape.advance, 0, 0);
}

}  // namespace

void BuildOutlineFont() {
    gFontListBase = glGenLists(kListCount);
    if (gFontListBase == 0) {
        std::fprintf(stderr, "BuildOutlineFont: no display lists could be reserved; text "
                             "will not be drawn\n");
        return;
    }
    SysOutlineFace* face = SysOpenOutlineFace("times", 700);
    if (!face) {
        std::fprintf(stderr, "BuildOutlineFont: no outline font (%s); text will not be drawn\n",
                     SysLastError());
        return;
    }
    GLUtesselator* tessellator = NewTessellator();
    if (!tessellator) {
        std::fprintf(stderr, "BuildOutlineFont: no GLU tessellator; text will not be drawn\n");
        SysCloseOutlineFace(face);
        return;
    }

    Tessellation tess;
    std::vector<Point> points;
    for (unsigned code = 0; code < kGlyphCount; ++code) {
        SysGlyphShape shape;
        glNewList(gFontListBase + code, GL_COMPILE);
        // A code without a glyph keeps an empty list: it draws nothing and stays put.
        if (SysGlyphOutline(face, code, kDeviation, &shape)) {
            Tessellate(tessellator, shape, &tess, &points);
            EmitGlyph(shape, tess, points);
        }
        glEndList();
    }
    gluDeleteTess(tessellator);
    SysCloseOutlineFace(face);
}

void DeleteOutlineFont() {
    // Base 0 means nothing was reserved: the names 0 to 255 may belong to someone else.
    if (gFontListBase == 0) return;
    glDeleteLists(gFontListBase, kListCount);
    gFontListBase = 0;
}

void PrintOutlineText(const char* text) {
    if (!text || gFontListBase == 0) return;
    glPushAttrib(GL_LIST_BIT);
    glListBase(gFontListBase);
    glCallLists(static_cast<GLsizei>(std::strlen(text)), GL_UNSIGNED_BYTE, text);
    glPopAttrib();
}
