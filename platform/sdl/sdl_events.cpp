// The message queue on SDL's event queue, and the default processing of messages the
// window procedure leaves alone.
#include "platform/sdl/sdl_events.h"

#include "platform/sdl/sdl_backend.h"
#include "platform/sdl/sdl_keys.h"
#include "platform/sdl/sdl_state.h"

namespace {

uintptr_t Activation(unsigned state, bool minimised) {
    return state | (minimised ? 1u << 16 : 0u);
}

bool TranslateWindowEvent(const SDL_WindowEvent& e, bool* minimised, SysMessage* out) {
    switch (e.event) {
        case SDL_WINDOWEVENT_MINIMIZED:
            *minimised = true;
            out->message = WM_ACTIVATE;
            out->wParam = Activation(WA_INACTIVE, true);
            return true;
        case SDL_WINDOWEVENT_RESTORED:
        case SDL_WINDOWEVENT_MAXIMIZED:
            *minimised = false;
            out->message = WM_ACTIVATE;
            out->wParam = Activation(WA_ACTIVE, false);
            return true;
        case SDL_WINDOWEVENT_SHOWN:
        case SDL_WINDOWEVENT_FOCUS_GAINED:
            out->message = WM_ACTIVATE;
            out->wParam = Activation(WA_ACTIVE, *minimised);
            return true;
        case SDL_WINDOWEVENT_FOCUS_LOST:
            out->message = WM_ACTIVATE;
            out->wParam = Activation(WA_INACTIVE, *minimised);
            return true;
        case SDL_WINDOWEVENT_SIZE_CHANGED: {
            // Sizes past 16 bits do not fit the message; they are clamped, not wrapped.
            const uint32_t w = static_cast<uint32_t>(SDL_clamp(e.data1, 0, 0xFFFF));
            const uint32_t h = static_cast<uint32_t>(SDL_clamp(e.data2, 0, 0xFFFF));
            out->message = WM_SIZE;
            out->lParam = static_cast<intptr_t>(w | h << 16);
            return true;
        }
        case SDL_WINDOWEVENT_CLOSE:
            out->message = WM_CLOSE;
            return true;
        default:
            return false;
    }
}

bool TranslateKeyEvent(const SDL_KeyboardEvent& e, SysMessage* out) {
    const unsigned vk = SdlVirtualKey(e.keysym.scancode, e.keysym.sym, e.keysym.mod);
    if (vk == 0) return false;
    const bool down = e.type == SDL_KEYDOWN;
    const bool system = SdlIsSystemKey(vk, e.keysym.mod);
    if (down)
        out->message = system ? WM_SYSKEYDOWN : WM_KEYDOWN;
    else
        out->message = system ? WM_SYSKEYUP : WM_KEYUP;
    out->wParam = vk;
    uint32_t bits = 1;  // repeat count
    if (e.keysym.mod & KMOD_ALT) bits |= kKeyAltDown;
    if (!down || e.repeat) bits |= kKeyWasDown;
    if (!down) bits |= kKeyTransitionUp;
    out->lParam = static_cast<intptr_t>(bits);
    return true;
}

// Sends a message straight to the class's window procedure, as Windows does for the
// commands default processing derives.
intptr_t SendToProcedure(SysWindow window, unsigned message, uintptr_t wParam,
                         intptr_t lParam = 0) {
    SdlState& s = Sdl();
    if (!s.windowProc || !SdlIsLiveWindow(window)) return 0;
    return s.windowProc(window, message, wParam, lParam);
}

}  // namespace

bool SdlTranslateEvent(const SDL_Event& event, Uint32 windowId, bool* minimised,
                       SysMessage* out) {
    out->message = 0;
    out->wParam = 0;
    out->lParam = 0;
    switch (event.type) {
        case SDL_QUIT:
            out->message = WM_CLOSE;
            return true;
        case SDL_WINDOWEVENT:
            if (event.window.windowID != windowId) return false;
            return TranslateWindowEvent(event.window, minimised, out);
        case SDL_KEYDOWN:
        case SDL_KEYUP:
            // A key pressed while no window has the focus comes with id 0.
            if (event.key.windowID != windowId && event.key.windowID != 0) return false;
            return TranslateKeyEvent(event.key, out);
        default:
            return false;
    }
}

bool SdlPeekMessage(SysMessage* message) {
    SdlState& s = Sdl();
    if (!s.posted.empty()) {
        *message = s.posted.front();
        s.posted.pop_front();
        return true;
    }
    // Without the class, video is not running and SDL has no events to give.
    if (!s.classRegistered) return false;
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        SysWindowData* window = s.window;
        bool unused = false;
        SysMessage translated = {};
        if (!SdlTranslateEvent(event, window ? SDL_GetWindowID(window->sdl) : 0,
                               window ? &window->minimised : &unused, &translated))
            continue;
        translated.window = window;
        translated.time = event.common.timestamp;
        int x = 0, y = 0;
        SDL_GetGlobalMouseState(&x, &y);
        translated.x = x;
        translated.y = y;
        *message = translated;
        return true;
    }
    return false;
}

// No character messages are made: nothing in the program reads text input.
void SdlTranslateMessage(const SysMessage*) {}

intptr_t SdlDispatchMessage(const SysMessage* message) {
    // A message of no window (or of one already destroyed) goes nowhere.
    if (!message) return 0;
    return SendToProcedure(message->window, message->message, message->wParam,
                           message->lParam);
}

intptr_t SdlDefWindowProc(SysWindow window, unsigned message, uintptr_t wParam,
                          intptr_t lParam) {
    switch (message) {
        case WM_SYSKEYDOWN:
            if (wParam == VK_F4 && (static_cast<uintptr_t>(lParam) & kKeyAltDown))
                SendToProcedure(window, WM_SYSCOMMAND, SC_CLOSE);
            return 0;
        case WM_SYSCOMMAND:
            // The low four bits are the system's own, as on Windows.
            switch (wParam & 0xFFF0) {
                case SC_CLOSE:
                    SendToProcedure(window, WM_CLOSE, 0);
                    return 0;
                case SC_MINIMIZE:
                    if (SdlIsLiveWindow(window)) SDL_MinimizeWindow(window->sdl);
                    return 0;
                case SC_RESTORE:
                    if (SdlIsLiveWindow(window)) SDL_RestoreWindow(window->sdl);
                    return 0;
                case SC_SCREENSAVE:
                case SC_MONITORPOWER:
                    // Nobody kept the saver off: let it run again.
                    if (Sdl().classRegistered) SDL_EnableScreenSaver();
                    return 0;
            }
            return 0;
    }
    return 0;
}

void SdlPostQuitMessage(int exitCode) {
    SysMessage quit = {};
    quit.message = WM_QUIT;
    quit.wParam = static_cast<uintptr_t>(static_cast<intptr_t>(exitCode));
    quit.time = SDL_GetTicks();
    Sdl().posted.push_back(quit);
}
