// Records the GL calls text printing may make: this executable defines them itself, so the
// font code linked into it calls these, and each passes the call on to the real libGL.
#include "tests/font/gl_call_seam.h"

#include <GL/gl.h>
#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>
#include <string>

std::vector<std::string> gSeamCalls;

namespace {
template <typename Function>
Function Real(const char* name) {
    void* symbol = dlsym(RTLD_NEXT, name);
    if (!symbol) {
        std::fprintf(stderr, "gl_call_seam: no %s in libGL\n", name);
        std::abort();
    }
    return reinterpret_cast<Function>(symbol);
}

std::string Hex(unsigned value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%X", value);
    return text;
}
}  // namespace

extern "C" {

void glPushAttrib(GLbitfield mask) {
    static auto real = Real<void (*)(GLbitfield)>("glPushAttrib");
    gSeamCalls.push_back("glPushAttrib " + Hex(mask));
    real(mask);
}

void glPopAttrib() {
    static auto real = Real<void (*)()>("glPopAttrib");
    gSeamCalls.push_back("glPopAttrib");
    real();
}

void glListBase(GLuint base) {
    static auto real = Real<void (*)(GLuint)>("glListBase");
    gSeamCalls.push_back("glListBase " + std::to_string(base));
    real(base);
}

void glCallLists(GLsizei n, GLenum type, const GLvoid* lists) {
    static auto real = Real<void (*)(GLsizei, GLenum, const GLvoid*)>("glCallLists");
    gSeamCalls.push_back("glCallLists " + std::to_string(n) + " " + Hex(type));
    real(n, type, lists);
}

void glCallList(GLuint list) {
    static auto real = Real<void (*)(GLuint)>("glCallList");
    gSeamCalls.push_back("glCallList " + std::to_string(list));
    real(list);
}

void glDeleteLists(GLuint list, GLsizei range) {
    static auto real = Real<void (*)(GLuint, GLsizei)>("glDeleteLists");
    gSeamCalls.push_back("glDeleteLists " + std::to_string(list) + " " + std::to_string(range));
    real(list, range);
}
}  // extern "C"
