// A current desktop GL context on a pbuffer, with no window system: EGL's surfaceless
// platform (Mesa). GL calls go through the same libGL dispatch as a window's context.
#include <EGL/egl.h>
#include <EGL/eglext.h>

#include "platform/platform.h"

namespace {
struct Offscreen {
    EGLDisplay display = EGL_NO_DISPLAY;
    EGLSurface surface = EGL_NO_SURFACE;
    EGLContext context = EGL_NO_CONTEXT;
};
Offscreen gOffscreen;
}  // namespace

bool SysCreateOffscreenGL(int width, int height) {
    if (gOffscreen.context != EGL_NO_CONTEXT) SysDestroyOffscreenGL();
    auto getPlatformDisplay = reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(
        eglGetProcAddress("eglGetPlatformDisplayEXT"));
    if (!getPlatformDisplay) return SysFail("SysCreateOffscreenGL: no EGL platform displays");
    EGLDisplay display =
        getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    EGLint major = 0, minor = 0;
    if (display == EGL_NO_DISPLAY || !eglInitialize(display, &major, &minor))
        return SysFail("SysCreateOffscreenGL: no surfaceless EGL display");
    if (!eglBindAPI(EGL_OPENGL_API)) {
        eglTerminate(display);
        return SysFail("SysCreateOffscreenGL: desktop GL not offered");
    }
    const EGLint configAttributes[] = {EGL_SURFACE_TYPE, EGL_PBUFFER_BIT,
                                       EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT,
                                       EGL_RED_SIZE, 8, EGL_GREEN_SIZE, 8, EGL_BLUE_SIZE, 8,
                                       EGL_DEPTH_SIZE, 16, EGL_NONE};
    EGLConfig config;
    EGLint count = 0;
    if (!eglChooseConfig(display, configAttributes, &config, 1, &count) || count < 1) {
        eglTerminate(display);
        return SysFail("SysCreateOffscreenGL: no RGB pbuffer config with depth");
    }
    const EGLint surfaceAttributes[] = {EGL_WIDTH, width, EGL_HEIGHT, height, EGL_NONE};
    EGLSurface surface = eglCreatePbufferSurface(display, config, surfaceAttributes);
    EGLContext context = eglCreateContext(display, config, EGL_NO_CONTEXT, nullptr);
    if (surface == EGL_NO_SURFACE || context == EGL_NO_CONTEXT ||
        !eglMakeCurrent(display, surface, surface, context)) {
        if (context != EGL_NO_CONTEXT) eglDestroyContext(display, context);
        if (surface != EGL_NO_SURFACE) eglDestroySurface(display, surface);
        eglTerminate(display);
        return SysFail("SysCreateOffscreenGL: cannot make a %dx%d context current", width,
                       height);
    }
    gOffscreen = {display, surface, context};
    return true;
}

void SysDestroyOffscreenGL() {
    if (gOffscreen.display == EGL_NO_DISPLAY) return;
    eglMakeCurrent(gOffscreen.display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    eglDestroyContext(gOffscreen.display, gOffscreen.context);
    eglDestroySurface(gOffscreen.display, gOffscreen.surface);
    eglTerminate(gOffscreen.display);
    gOffscreen = Offscreen{};
}
