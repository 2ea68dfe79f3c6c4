// The window's device context, its pixel format as SDL's GL attributes, GL contexts and
// the buffer swap, paced to the display's refresh when the swap itself does not wait.
#include <algorithm>
#include <chrono>
#include <thread>

#include "platform/sdl/sdl_backend.h"
#include "platform/sdl/sdl_state.h"

namespace {

constexpr int kOnlyFormat = 1;  // the one format index: the window's visual
constexpr int kFallbackRefresh = 60;

bool IsLiveDC(SysDeviceContext dc) {
    SysWindowData* window = Sdl().window;
    return dc && window && dc == &window->dc;
}

bool IsLiveContext(SysRenderContext rc) {
    const auto& all = Sdl().contexts;
    return rc && std::find(all.begin(), all.end(), rc) != all.end();
}

struct ChannelBits {
    int red, green, blue;
};

ChannelBits SplitColourBits(int colourBits) {
    if (colourBits >= 24 || colourBits <= 0) return {8, 8, 8};
    if (colourBits == 16) return {5, 6, 5};
    const int each = colourBits / 3;
    return {each, each, each};
}

// X11 fixes a window's visual when it is made, so a format other than the one the window
// was made for means making the (still hidden) window again with the new attributes.
bool RemakeWindowFor(SysWindowData* window, const SysPixelFormat& format) {
    if (SDL_GetWindowFlags(window->sdl) & SDL_WINDOW_SHOWN)
        return SysFail("SetPixelFormat: the window is already shown");
    for (SysRenderData* rc : Sdl().contexts)
        if (rc->window == window) return SysFail("SetPixelFormat: the window has a context");
    if (!SdlApplyPixelFormat(format)) return false;
    int x, y, w, h;
    SDL_GetWindowPosition(window->sdl, &x, &y);
    SDL_GetWindowSize(window->sdl, &w, &h);
    const Uint32 keep = SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN | SDL_WINDOW_BORDERLESS |
                        SDL_WINDOW_RESIZABLE | SDL_WINDOW_FULLSCREEN;
    const Uint32 flags = (SDL_GetWindowFlags(window->sdl) & keep) | SDL_WINDOW_HIDDEN;
    SDL_Window* remade = SDL_CreateWindow(SDL_GetWindowTitle(window->sdl), x, y, w, h, flags);
    if (!remade) return SysFail("SetPixelFormat: %s", SDL_GetError());
    if (Sdl().modeChosen && (flags & SDL_WINDOW_FULLSCREEN))
        SDL_SetWindowDisplayMode(remade, &Sdl().mode);
    SDL_DestroyWindow(window->sdl);
    window->sdl = remade;
    window->visualFormat = format;
    return true;
}

// Sleeps out the rest of a refresh period when the swap came back early: Xvfb has no
// vertical sync, and a minimised window's swap does not wait, yet the frame loop never
// sleeps by itself.
void PaceToRefresh(SysWindowData* window) {
    SdlState& s = Sdl();
    int refresh = 0;
    SDL_DisplayMode mode;
    const int display = SDL_GetWindowDisplayIndex(window->sdl);
    if (display >= 0 && SDL_GetCurrentDisplayMode(display, &mode) == 0)
        refresh = mode.refresh_rate;
    if (refresh <= 0) refresh = kFallbackRefresh;
    const uint64_t frequency = SDL_GetPerformanceFrequency();
    const uint64_t period = frequency / static_cast<uint64_t>(refresh);
    const uint64_t now = SDL_GetPerformanceCounter();
    if (s.lastPresent != 0 && now > s.lastPresent && now - s.lastPresent < period) {
        const uint64_t rest = period - (now - s.lastPresent);
        // A swap that waited for the display comes back about a period after the last
        // one; only a clearly early one is held back.
        if (rest > period / 8)
            std::this_thread::sleep_for(std::chrono::nanoseconds(
                static_cast<int64_t>(rest * 1000000000ull / frequency)));
    }
    s.lastPresent = SDL_GetPerformanceCounter();
}

}  // namespace

SysPixelFormat SdlDefaultPixelFormat() {
    SysPixelFormat format = {};
    format.flags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    format.pixelType = PFD_TYPE_RGBA;
    format.colorBits = 32;
    format.depthBits = 16;
    format.layerType = PFD_MAIN_PLANE;
    return format;
}

bool SdlSameAttributes(const SysPixelFormat& a, const SysPixelFormat& b) {
    const ChannelBits ca = SplitColourBits(a.colorBits), cb = SplitColourBits(b.colorBits);
    return ((a.flags ^ b.flags) & PFD_DOUBLEBUFFER) == 0 && ca.red == cb.red &&
           ca.green == cb.green && ca.blue == cb.blue && a.alphaBits == b.alphaBits &&
           a.depthBits == b.depthBits && a.stencilBits == b.stencilBits &&
           a.accumBits == b.accumBits;
}

bool SdlApplyPixelFormat(const SysPixelFormat& f) {
    const ChannelBits c = SplitColourBits(f.colorBits);
    const int accum = std::max(f.accumBits, 0) / 4;
    const struct {
        SDL_GLattr attribute;
        int value;
    } attributes[] = {
        {SDL_GL_DOUBLEBUFFER, (f.flags & PFD_DOUBLEBUFFER) ? 1 : 0},
        {SDL_GL_RED_SIZE, c.red},
        {SDL_GL_GREEN_SIZE, c.green},
        {SDL_GL_BLUE_SIZE, c.blue},
        {SDL_GL_ALPHA_SIZE, std::max(f.alphaBits, 0)},
        {SDL_GL_DEPTH_SIZE, std::max(f.depthBits, 0)},
        {SDL_GL_STENCIL_SIZE, std::max(f.stencilBits, 0)},
        {SDL_GL_ACCUM_RED_SIZE, accum},
        {SDL_GL_ACCUM_GREEN_SIZE, accum},
        {SDL_GL_ACCUM_BLUE_SIZE, accum},
        {SDL_GL_ACCUM_ALPHA_SIZE, accum},
    };
    for (const auto& a : attributes)
        if (SDL_GL_SetAttribute(a.attribute, a.value) != 0)
            return SysFail("pixel format: %s", SDL_GetError());
    return true;
}

SysDeviceContext SdlGetDC(SysWindow window) {
    if (!SdlIsLiveWindow(window)) {
        SysFail("GetDC: no such window");
        return nullptr;
    }
    return &window->dc;
}

bool SdlReleaseDC(SysWindow window, SysDeviceContext dc) {
    if (!SdlIsLiveWindow(window) || dc != &window->dc)
        return SysFail("ReleaseDC: not this window's device context");
    return true;
}

int SdlChoosePixelFormat(SysDeviceContext dc, const SysPixelFormat* format) {
    if (!IsLiveDC(dc)) return SysFail("ChoosePixelFormat: no such device context"), 0;
    if (!format || format->pixelType != PFD_TYPE_RGBA ||
        !(format->flags & PFD_SUPPORT_OPENGL) || !(format->flags & PFD_DOUBLEBUFFER))
        return SysFail("ChoosePixelFormat: only double-buffered RGBA GL formats"), 0;
    return kOnlyFormat;
}

bool SdlSetPixelFormat(SysDeviceContext dc, int index, const SysPixelFormat* format) {
    if (!IsLiveDC(dc)) return SysFail("SetPixelFormat: no such device context");
    if (index != kOnlyFormat || !format)
        return SysFail("SetPixelFormat: format %d was never chosen", index);
    // As on Windows, a window's pixel format is set once.
    if (dc->pixelFormat != 0) return SysFail("SetPixelFormat: the format is already set");
    SysWindowData* window = dc->window;
    if (!SdlSameAttributes(*format, window->visualFormat)) {
        if (!RemakeWindowFor(window, *format)) return false;
    } else if (!SdlApplyPixelFormat(*format)) {
        return false;
    }
    dc->pixelFormat = index;
    return true;
}

SysRenderContext SdlCreateContext(SysDeviceContext dc) {
    SdlState& s = Sdl();
    if (!IsLiveDC(dc)) {
        SysFail("CreateContext: no such device context");
        return nullptr;
    }
    if (dc->pixelFormat == 0) {
        SysFail("CreateContext: the device context has no pixel format");
        return nullptr;
    }
    SDL_GLContext gl = SDL_GL_CreateContext(dc->window->sdl);
    if (!gl) {
        SysFail("CreateContext: %s", SDL_GetError());
        return nullptr;
    }
    // SDL makes a new context current; making and making current are two steps here.
    if (s.current && s.current->window)
        SDL_GL_MakeCurrent(s.current->window->sdl, s.current->gl);
    else
        SDL_GL_MakeCurrent(nullptr, nullptr);
    SysRenderData* rc = new SysRenderData{gl, dc->window};
    s.contexts.push_back(rc);
    return rc;
}

bool SdlMakeCurrent(SysDeviceContext dc, SysRenderContext rc) {
    SdlState& s = Sdl();
    if (!dc && !rc) {
        if (SDL_WasInit(SDL_INIT_VIDEO) && SDL_GL_MakeCurrent(nullptr, nullptr) != 0)
            return SysFail("MakeCurrent: cannot release the context: %s", SDL_GetError());
        s.current = nullptr;
        return true;
    }
    if (!IsLiveDC(dc) || !IsLiveContext(rc))
        return SysFail("MakeCurrent: no such device or rendering context");
    if (rc->window != dc->window)
        return SysFail("MakeCurrent: the context was made for another window");
    if (SDL_GL_MakeCurrent(dc->window->sdl, rc->gl) != 0)
        return SysFail("MakeCurrent: %s", SDL_GetError());
    s.current = rc;
    // In step with the display; a driver that cannot is paced by SwapBuffers.
    SDL_GL_SetSwapInterval(1);
    s.lastPresent = 0;
    return true;
}

bool SdlDeleteContext(SysRenderContext rc) {
    SdlState& s = Sdl();
    if (!IsLiveContext(rc)) return SysFail("DeleteContext: no such rendering context");
    // Deleting the current context leaves none current, as on Windows.
    if (s.current == rc) {
        SDL_GL_MakeCurrent(nullptr, nullptr);
        s.current = nullptr;
    }
    SDL_GL_DeleteContext(rc->gl);
    s.contexts.erase(std::find(s.contexts.begin(), s.contexts.end(), rc));
    delete rc;
    return true;
}

bool SdlSwapBuffers(SysDeviceContext dc) {
    if (!IsLiveDC(dc)) return SysFail("SwapBuffers: no such device context");
    SDL_GL_SwapWindow(dc->window->sdl);
    PaceToRefresh(dc->window);
    return true;
}
