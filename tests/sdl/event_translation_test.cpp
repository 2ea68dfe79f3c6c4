// SDL events as window messages: what each kind becomes, the minimised state it carries,
// and what is skipped.
#include <gtest/gtest.h>

#include "platform/sdl/sdl_events.h"

namespace {

constexpr Uint32 kOurs = 7;

SDL_Event WindowEvent(Uint8 kind, Sint32 data1 = 0, Sint32 data2 = 0, Uint32 id = kOurs) {
    SDL_Event e = {};
    e.type = SDL_WINDOWEVENT;
    e.window.windowID = id;
    e.window.event = kind;
    e.window.data1 = data1;
    e.window.data2 = data2;
    return e;
}

SDL_Event KeyEvent(Uint32 type, SDL_Scancode scancode, SDL_Keycode keycode,
                   Uint16 modifiers = KMOD_NONE, Uint8 repeat = 0, Uint32 id = kOurs) {
    SDL_Event e = {};
    e.type = type;
    e.key.windowID = id;
    e.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
    e.key.repeat = repeat;
    e.key.keysym.scancode = scancode;
    e.key.keysym.sym = keycode;
    e.key.keysym.mod = modifiers;
    return e;
}

struct Case {
    const char* what;
    SDL_Event event;
    bool minimisedBefore;
    bool translated;
    unsigned message;
    uintptr_t wParam;
    intptr_t lParam;
    bool minimisedAfter;
};

TEST(EventTranslation, EachKindBecomesItsMessage) {
    const intptr_t kDown = 1, kRepeat = 1 | kKeyWasDown, kUp = 1 | kKeyWasDown | kKeyTransitionUp;
    const intptr_t kAlt = kKeyAltDown;
    SDL_Event quit = {};
    quit.type = SDL_QUIT;
    const Case cases[] = {
        {"minimised", WindowEvent(SDL_WINDOWEVENT_MINIMIZED), false, true, WM_ACTIVATE,
         WA_INACTIVE | 1u << 16, 0, true},
        {"restored", WindowEvent(SDL_WINDOWEVENT_RESTORED), true, true, WM_ACTIVATE, WA_ACTIVE,
         0, false},
        {"shown while minimised", WindowEvent(SDL_WINDOWEVENT_SHOWN), true, true, WM_ACTIVATE,
         WA_ACTIVE | 1u << 16, 0, true},
        {"focus gained", WindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED), false, true, WM_ACTIVATE,
         WA_ACTIVE, 0, false},
        {"focus lost", WindowEvent(SDL_WINDOWEVENT_FOCUS_LOST), false, true, WM_ACTIVATE,
         WA_INACTIVE, 0, false},
        {"focus lost while minimised", WindowEvent(SDL_WINDOWEVENT_FOCUS_LOST), true, true,
         WM_ACTIVATE, WA_INACTIVE | 1u << 16, 0, true},
        {"size", WindowEvent(SDL_WINDOWEVENT_SIZE_CHANGED, 800, 600), false, true, WM_SIZE, 0,
         800 | 600 << 16, false},
        {"size of no height", WindowEvent(SDL_WINDOWEVENT_SIZE_CHANGED, 640, 0), false, true,
         WM_SIZE, 0, 640, false},
        {"size past 16 bits is clamped", WindowEvent(SDL_WINDOWEVENT_SIZE_CHANGED, 70000, 5),
         false, true, WM_SIZE, 0, 0xFFFF | 5 << 16, false},
        {"close request", WindowEvent(SDL_WINDOWEVENT_CLOSE), false, true, WM_CLOSE, 0, 0,
         false},
        {"signal", quit, false, true, WM_CLOSE, 0, 0, false},
        {"Escape down", KeyEvent(SDL_KEYDOWN, SDL_SCANCODE_ESCAPE, SDLK_ESCAPE), false, true,
         WM_KEYDOWN, VK_ESCAPE, kDown, false},
        {"Escape held", KeyEvent(SDL_KEYDOWN, SDL_SCANCODE_ESCAPE, SDLK_ESCAPE, 0, 1), false,
         true, WM_KEYDOWN, VK_ESCAPE, kRepeat, false},
        {"Escape up", KeyEvent(SDL_KEYUP, SDL_SCANCODE_ESCAPE, SDLK_ESCAPE), false, true,
         WM_KEYUP, VK_ESCAPE, kUp, false},
        {"A down", KeyEvent(SDL_KEYDOWN, SDL_SCANCODE_A, SDLK_a), false, true, WM_KEYDOWN, 'A',
         kDown, false},
        {"Alt+F4", KeyEvent(SDL_KEYDOWN, SDL_SCANCODE_F4, SDLK_F4, KMOD_LALT), false, true,
         WM_SYSKEYDOWN, VK_F4, kDown | kAlt, false},
        {"Alt+Escape up", KeyEvent(SDL_KEYUP, SDL_SCANCODE_ESCAPE, SDLK_ESCAPE, KMOD_RALT),
         false, true, WM_SYSKEYUP, VK_ESCAPE, kUp | kAlt, false},
        {"F10", KeyEvent(SDL_KEYDOWN, SDL_SCANCODE_F10, SDLK_F10), false, true, WM_SYSKEYDOWN,
         VK_F10, kDown, false},
        {"Alt itself", KeyEvent(SDL_KEYDOWN, SDL_SCANCODE_LALT, SDLK_LALT, KMOD_LALT), false,
         true, WM_SYSKEYDOWN, VK_MENU, kDown | kAlt, false},
        {"key with no focus window", KeyEvent(SDL_KEYDOWN, SDL_SCANCODE_B, SDLK_b, 0, 0, 0),
         false, true, WM_KEYDOWN, 'B', kDown, false},
        // Skipped.
        {"key with no code", KeyEvent(SDL_KEYDOWN, SDL_SCANCODE_AUDIOPLAY, SDLK_AUDIOPLAY),
         false, false, 0, 0, 0, false},
        {"key of another window", KeyEvent(SDL_KEYDOWN, SDL_SCANCODE_A, SDLK_a, 0, 0, 99),
         false, false, 0, 0, 0, false},
        {"another window minimised", WindowEvent(SDL_WINDOWEVENT_MINIMIZED, 0, 0, 99), false,
         false, 0, 0, 0, false},
        {"moved", WindowEvent(SDL_WINDOWEVENT_MOVED, 10, 10), false, false, 0, 0, 0, false},
        {"exposed", WindowEvent(SDL_WINDOWEVENT_EXPOSED), true, false, 0, 0, 0, true},
    };
    for (const Case& c : cases) {
        bool minimised = c.minimisedBefore;
        SysMessage m = {};
        m.message = 0xDEAD;
        EXPECT_EQ(SdlTranslateEvent(c.event, kOurs, &minimised, &m), c.translated) << c.what;
        EXPECT_EQ(minimised, c.minimisedAfter) << c.what;
        if (!c.translated) continue;
        EXPECT_EQ(m.message, c.message) << c.what;
        EXPECT_EQ(m.wParam, c.wParam) << c.what;
        EXPECT_EQ(m.lParam, c.lParam) << c.what;
    }
}

TEST(EventTranslation, EventsWithNoMessageAreSkipped) {
    const Uint32 kinds[] = {SDL_MOUSEMOTION, SDL_MOUSEBUTTONDOWN, SDL_TEXTINPUT,
                            SDL_MOUSEWHEEL,  SDL_CLIPBOARDUPDATE, SDL_KEYMAPCHANGED};
    for (Uint32 kind : kinds) {
        SDL_Event e = {};
        e.type = kind;
        bool minimised = false;
        SysMessage m = {};
        EXPECT_FALSE(SdlTranslateEvent(e, kOurs, &minimised, &m)) << "event type 0x" << std::hex
                                                                   << kind;
    }
}

}  // namespace
