// The key table: SDL keycodes and scancodes to Windows virtual-key codes.
#include "platform/sdl/sdl_keys.h"

#include "platform/platform.h"

namespace {

// Windows names for the punctuation keys of a US layout.
enum : unsigned {
    VK_OEM_1 = 0xBA, VK_OEM_PLUS = 0xBB, VK_OEM_COMMA = 0xBC, VK_OEM_MINUS = 0xBD,
    VK_OEM_PERIOD = 0xBE, VK_OEM_2 = 0xBF, VK_OEM_3 = 0xC0, VK_OEM_4 = 0xDB,
    VK_OEM_5 = 0xDC, VK_OEM_6 = 0xDD, VK_OEM_7 = 0xDE, VK_OEM_102 = 0xE2,
    VK_CLEAR = 0x0C, VK_APPS = 0x5D, VK_LWIN = 0x5B, VK_RWIN = 0x5C, VK_SEPARATOR = 0x6C,
};

unsigned FromKeycode(SDL_Keycode key) {
    if (key >= SDLK_a && key <= SDLK_z) return 'A' + static_cast<unsigned>(key - SDLK_a);
    if (key >= SDLK_0 && key <= SDLK_9) return '0' + static_cast<unsigned>(key - SDLK_0);
    switch (key) {
        case SDLK_SEMICOLON: return VK_OEM_1;
        case SDLK_EQUALS: case SDLK_PLUS: return VK_OEM_PLUS;
        case SDLK_COMMA: case SDLK_LESS: return VK_OEM_COMMA;
        case SDLK_MINUS: case SDLK_UNDERSCORE: return VK_OEM_MINUS;
        case SDLK_PERIOD: case SDLK_GREATER: return VK_OEM_PERIOD;
        case SDLK_SLASH: case SDLK_QUESTION: return VK_OEM_2;
        case SDLK_BACKQUOTE: return VK_OEM_3;
        case SDLK_LEFTBRACKET: return VK_OEM_4;
        case SDLK_BACKSLASH: return VK_OEM_5;
        case SDLK_RIGHTBRACKET: return VK_OEM_6;
        case SDLK_QUOTE: return VK_OEM_7;
    }
    return 0;
}

// The keypad's keys without Num Lock.
unsigned KeypadNavigation(SDL_Scancode scancode) {
    switch (scancode) {
        case SDL_SCANCODE_KP_0: return VK_INSERT;
        case SDL_SCANCODE_KP_1: return VK_END;
        case SDL_SCANCODE_KP_2: return VK_DOWN;
        case SDL_SCANCODE_KP_3: return VK_NEXT;
        case SDL_SCANCODE_KP_4: return VK_LEFT;
        case SDL_SCANCODE_KP_5: return VK_CLEAR;
        case SDL_SCANCODE_KP_6: return VK_RIGHT;
        case SDL_SCANCODE_KP_7: return VK_HOME;
        case SDL_SCANCODE_KP_8: return VK_UP;
        case SDL_SCANCODE_KP_9: return VK_PRIOR;
        case SDL_SCANCODE_KP_PERIOD: return VK_DELETE;
        default: return 0;
    }
}

unsigned FromScancode(SDL_Scancode scancode) {
    if (scancode >= SDL_SCANCODE_F1 && scancode <= SDL_SCANCODE_F12)
        return VK_F1 + static_cast<unsigned>(scancode - SDL_SCANCODE_F1);
    if (scancode >= SDL_SCANCODE_F13 && scancode <= SDL_SCANCODE_F24)
        return VK_F1 + 12 + static_cast<unsigned>(scancode - SDL_SCANCODE_F13);
    if (scancode >= SDL_SCANCODE_KP_1 && scancode <= SDL_SCANCODE_KP_9)
        return VK_NUMPAD0 + 1 + static_cast<unsigned>(scancode - SDL_SCANCODE_KP_1);
    switch (scancode) {
        case SDL_SCANCODE_ESCAPE: return VK_ESCAPE;
        case SDL_SCANCODE_RETURN: case SDL_SCANCODE_KP_ENTER: return VK_RETURN;
        case SDL_SCANCODE_BACKSPACE: return VK_BACK;
        case SDL_SCANCODE_TAB: return VK_TAB;
        case SDL_SCANCODE_SPACE: return VK_SPACE;
        case SDL_SCANCODE_LEFT: return VK_LEFT;
        case SDL_SCANCODE_UP: return VK_UP;
        case SDL_SCANCODE_RIGHT: return VK_RIGHT;
        case SDL_SCANCODE_DOWN: return VK_DOWN;
        case SDL_SCANCODE_PAGEUP: return VK_PRIOR;
        case SDL_SCANCODE_PAGEDOWN: return VK_NEXT;
        case SDL_SCANCODE_HOME: return VK_HOME;
        case SDL_SCANCODE_END: return VK_END;
        case SDL_SCANCODE_INSERT: return VK_INSERT;
        case SDL_SCANCODE_DELETE: return VK_DELETE;
        case SDL_SCANCODE_LSHIFT: case SDL_SCANCODE_RSHIFT: return VK_SHIFT;
        case SDL_SCANCODE_LCTRL: case SDL_SCANCODE_RCTRL: return VK_CONTROL;
        case SDL_SCANCODE_LALT: case SDL_SCANCODE_RALT: return VK_MENU;
        case SDL_SCANCODE_LGUI: return VK_LWIN;
        case SDL_SCANCODE_RGUI: return VK_RWIN;
        case SDL_SCANCODE_APPLICATION: return VK_APPS;
        case SDL_SCANCODE_PAUSE: return VK_PAUSE;
        case SDL_SCANCODE_CAPSLOCK: return VK_CAPITAL;
        case SDL_SCANCODE_NUMLOCKCLEAR: return VK_NUMLOCK;
        case SDL_SCANCODE_SCROLLLOCK: return VK_SCROLL;
        case SDL_SCANCODE_PRINTSCREEN: return VK_PRINT;
        case SDL_SCANCODE_KP_0: return VK_NUMPAD0;
        case SDL_SCANCODE_KP_PERIOD: return VK_DECIMAL;
        case SDL_SCANCODE_KP_MULTIPLY: return VK_MULTIPLY;
        case SDL_SCANCODE_KP_PLUS: return VK_ADD;
        case SDL_SCANCODE_KP_MINUS: return VK_SUBTRACT;
        case SDL_SCANCODE_KP_DIVIDE: return VK_DIVIDE;
        case SDL_SCANCODE_KP_COMMA: return VK_SEPARATOR;
        case SDL_SCANCODE_NONUSBACKSLASH: return VK_OEM_102;
        default: return 0;
    }
}

bool IsKeypadWithNavigation(SDL_Scancode scancode) {
    return (scancode >= SDL_SCANCODE_KP_1 && scancode <= SDL_SCANCODE_KP_0) ||
           scancode == SDL_SCANCODE_KP_PERIOD;
}

}  // namespace

unsigned SdlVirtualKey(SDL_Scancode scancode, SDL_Keycode keycode, Uint16 modifiers) {
    if (IsKeypadWithNavigation(scancode) && !(modifiers & KMOD_NUM))
        return KeypadNavigation(scancode);
    // The keypad keeps its own codes whatever character the layout gives it.
    if (scancode < SDL_SCANCODE_KP_DIVIDE || scancode > SDL_SCANCODE_KP_PERIOD) {
        if (unsigned vk = FromKeycode(keycode)) return vk;
    }
    return FromScancode(scancode);
}

bool SdlIsSystemKey(unsigned virtualKey, Uint16 modifiers) {
    return (modifiers & KMOD_ALT) || virtualKey == VK_MENU || virtualKey == VK_F10;
}
