// Window service on SDL2: the class (SDL's video), the fullscreen display mode, message
// boxes, the cursor and the one window.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/sdl/sdl_backend.h"
#include "platform/sdl/sdl_state.h"

namespace {

constexpr unsigned kThickFrame = 0x00040000;  // WS_THICKFRAME: the frame resizes
constexpr int kHide = 0;                      // SW_HIDE

void ApplyCursor() {
    if (SDL_WasInit(SDL_INIT_VIDEO))
        SDL_ShowCursor(Sdl().cursorCount >= 0 ? SDL_ENABLE : SDL_DISABLE);
}

// Puts a popup window into the chosen mode, or back into a plain window.
void ApplyFullscreen(SysWindowData* window) {
    SdlState& s = Sdl();
    if (!(window->style & WS_POPUP)) return;
    if (s.modeChosen) {
        SDL_SetWindowDisplayMode(window->sdl, &s.mode);
        SDL_SetWindowFullscreen(window->sdl, SDL_WINDOW_FULLSCREEN);
    } else {
        SDL_SetWindowFullscreen(window->sdl, 0);
    }
}

}  // namespace

SdlState& Sdl() {
    static SdlState state;
    return state;
}

bool SdlIsLiveWindow(SysWindow window) { return window && window == Sdl().window; }

bool SdlRegisterWindowClass(const SysWindowClass* windowClass) {
    SdlState& s = Sdl();
    if (!windowClass || !windowClass->className || !windowClass->windowProc)
        return SysFail("RegisterWindowClass: a class needs a name and a window procedure");
    if (s.classRegistered)
        return SysFail("RegisterWindowClass: class \"%s\" is already registered",
                       s.className.c_str());
    // X11 and Wayland read the class of the program's windows when video starts.
    setenv("SDL_VIDEO_X11_WMCLASS", windowClass->className, 1);
    setenv("SDL_VIDEO_WAYLAND_WMCLASS", windowClass->className, 1);
    // Closing the window is a WM_CLOSE like any other; SDL_QUIT stays for the signals.
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0)
        return SysFail("RegisterWindowClass: cannot start video: %s", SDL_GetError());
    // Without a display SDL falls back on drivers that show nothing; a presentation
    // nobody can see is a failure, unless such a driver was asked for by name.
    const char* driver = SDL_GetCurrentVideoDriver();
    const char* asked = SDL_getenv("SDL_VIDEODRIVER");
    if (driver && (!asked || !*asked) &&
        (SDL_strcmp(driver, "offscreen") == 0 || SDL_strcmp(driver, "dummy") == 0)) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
        return SysFail("RegisterWindowClass: no display (only SDL's \"%s\" driver started)",
                       driver);
    }
    // The screen saver and the monitor's power-down stay off while the program runs.
    SDL_DisableScreenSaver();
    s.classRegistered = true;
    s.className = windowClass->className;
    s.windowProc = windowClass->windowProc;
    ApplyCursor();
    return true;
}

bool SdlUnregisterWindowClass(const char* className) {
    SdlState& s = Sdl();
    if (!s.classRegistered || !className || s.className != className)
        return SysFail("UnregisterWindowClass: no class \"%s\" is registered",
                       className ? className : "");
    if (s.window)
        return SysFail("UnregisterWindowClass: a window of class \"%s\" still exists",
                       className);
    SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
    s.classRegistered = false;
    s.className.clear();
    s.windowProc = nullptr;
    s.modeChosen = false;
    return true;
}

// The mode is taken when a popup window goes fullscreen in it and given back when that
// ends or the window goes; SDL makes no lasting change, so the flags change nothing.
int SdlChangeDisplayMode(const SysDisplayMode* mode, unsigned) {
    SdlState& s = Sdl();
    if (!mode) {
        s.modeChosen = false;
        // Leaving fullscreen gives the display its desktop mode back.
        if (s.window) ApplyFullscreen(s.window);
        return DISP_CHANGE_SUCCESSFUL;
    }
    if (!SDL_WasInit(SDL_INIT_VIDEO)) {
        SysFail("ChangeDisplayMode: video is not running");
        return DISP_CHANGE_FAILED;
    }
    // The window goes on the first display, at the screen's top-left.
    const int display = 0;
    // Modes come highest refresh first; the first exact match is taken. The desktop's
    // own mode comes last: a display always offers it, even where the driver lists none.
    const int count = SDL_GetNumDisplayModes(display);
    for (int i = 0; i <= count; ++i) {
        SDL_DisplayMode candidate;
        const int found = i < count ? SDL_GetDisplayMode(display, i, &candidate)
                                    : SDL_GetDesktopDisplayMode(display, &candidate);
        if (found != 0) continue;
        if (candidate.w == mode->width && candidate.h == mode->height &&
            static_cast<int>(SDL_BYTESPERPIXEL(candidate.format)) * 8 == mode->bitsPerPixel) {
            s.modeChosen = true;
            s.mode = candidate;
            if (s.window) ApplyFullscreen(s.window);
            return DISP_CHANGE_SUCCESSFUL;
        }
    }
    SysFail("ChangeDisplayMode: the display offers no %dx%d mode of %d-bit pixels",
            mode->width, mode->height, mode->bitsPerPixel);
    return DISP_CHANGE_FAILED;
}

int SdlMessageBox(const char* text, const char* caption, unsigned type) {
    if (!text) text = "";
    if (!caption) caption = "";
    SDL_MessageBoxButtonData buttons[2];
    int buttonCount;
    int escapeAnswer;
    if ((type & 0x0F) == MB_YESNO) {
        buttons[0] = {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, IDYES, "Yes"};
        buttons[1] = {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, IDNO, "No"};
        buttonCount = 2;
        escapeAnswer = IDNO;
    } else {
        buttons[0] = {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT |
                          SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT,
                      IDOK, "OK"};
        buttonCount = 1;
        escapeAnswer = IDOK;
    }
    Uint32 flags = SDL_MESSAGEBOX_BUTTONS_LEFT_TO_RIGHT;
    switch (type & 0xF0) {
        case MB_ICONSTOP: flags |= SDL_MESSAGEBOX_ERROR; break;
        case MB_ICONEXCLAMATION: flags |= SDL_MESSAGEBOX_WARNING; break;
        case MB_ICONINFORMATION: flags |= SDL_MESSAGEBOX_INFORMATION; break;
    }
    const SDL_MessageBoxData box = {flags,   nullptr, caption, text,
                                    buttonCount, buttons, nullptr};
    int answer = -1;
    if (SDL_ShowMessageBox(&box, &answer) != 0) {
        // No failure goes unsaid: without a display the text goes to standard error.
        SysFail("MessageBox: cannot show \"%s\": %s", caption, SDL_GetError());
        fprintf(stderr, "%s: %s\n", caption, text);
        fflush(stderr);
        return 0;
    }
    // A box closed by the window manager answers as Escape would.
    return answer < 0 ? escapeAnswer : answer;
}

void SdlShowCursor(bool show) {
    Sdl().cursorCount += show ? 1 : -1;
    ApplyCursor();
}

// SDL sizes a window by its client area and the window manager puts the frame around
// it, so the outer rectangle asked for is the client rectangle itself.
void SdlAdjustWindowRect(SysRect*, unsigned, unsigned) {}

SysWindow SdlCreateWindow(unsigned, const char* className, const char* title,
                          unsigned style, int x, int y, int width, int height) {
    SdlState& s = Sdl();
    if (!s.classRegistered || !className || s.className != className) {
        SysFail("CreateWindow: no class \"%s\" is registered", className ? className : "");
        return nullptr;
    }
    if (s.window) {
        SysFail("CreateWindow: this backend keeps one window at a time");
        return nullptr;
    }
    const SysPixelFormat format = SdlDefaultPixelFormat();
    if (!SdlApplyPixelFormat(format)) return nullptr;

    Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN;
    if (style & WS_POPUP) {
        flags |= SDL_WINDOW_BORDERLESS;
        if (s.modeChosen) flags |= SDL_WINDOW_FULLSCREEN;
    } else if (style & kThickFrame) {
        flags |= SDL_WINDOW_RESIZABLE;
    }
    SDL_Window* sdl = SDL_CreateWindow(title ? title : "", x, y, SDL_max(width, 1),
                                       SDL_max(height, 1), flags);
    if (!sdl) {
        SysFail("CreateWindow: %s", SDL_GetError());
        return nullptr;
    }
    SysWindowData* window = new SysWindowData{sdl, style, false, {nullptr, 0}, format};
    window->dc.window = window;
    s.window = window;
    if (flags & SDL_WINDOW_FULLSCREEN) SDL_SetWindowDisplayMode(sdl, &s.mode);
    ApplyCursor();
    return window;
}

bool SdlDestroyWindow(SysWindow window) {
    SdlState& s = Sdl();
    if (!SdlIsLiveWindow(window)) return SysFail("DestroyWindow: no such window");
    // SDL releases a context current on the window; it stays made, bound to no window.
    if (s.current && s.current->window == window) s.current = nullptr;
    for (SysRenderData* rc : s.contexts)
        if (rc->window == window) rc->window = nullptr;
    SDL_DestroyWindow(window->sdl);
    for (auto it = s.posted.begin(); it != s.posted.end();)
        it = it->window == window ? s.posted.erase(it) : it + 1;
    s.window = nullptr;
    delete window;
    return true;
}

void SdlShowWindow(SysWindow window, int how) {
    if (!SdlIsLiveWindow(window)) return;
    if (how == kHide) {
        SDL_HideWindow(window->sdl);
        return;
    }
    SDL_ShowWindow(window->sdl);
}

void SdlSetForegroundWindow(SysWindow window) {
    if (SdlIsLiveWindow(window)) SDL_RaiseWindow(window->sdl);
}

void SdlSetFocus(SysWindow window) {
    if (SdlIsLiveWindow(window)) SDL_SetWindowInputFocus(window->sdl);
}
