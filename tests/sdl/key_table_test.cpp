// The key table: SDL keys to virtual-key codes, and the system-key rule.
#include <gtest/gtest.h>

#include "platform/platform.h"
#include "platform/sdl/sdl_keys.h"

namespace {

struct KeyCase {
    SDL_Scancode scancode;
    SDL_Keycode keycode;
    Uint16 modifiers;
    unsigned virtualKey;
};

TEST(KeyTable, GivesWindowsVirtualKeys) {
    const KeyCase cases[] = {
        // Letters and digits are their ASCII capitals, whatever Shift or Caps Lock do.
        {SDL_SCANCODE_A, SDLK_a, KMOD_NONE, 'A'},
        {SDL_SCANCODE_Z, SDLK_z, KMOD_NONE, 'Z'},
        {SDL_SCANCODE_M, SDLK_m, KMOD_LSHIFT, 'M'},
        {SDL_SCANCODE_0, SDLK_0, KMOD_NONE, '0'},
        {SDL_SCANCODE_9, SDLK_9, KMOD_NONE, '9'},
        // Letters follow the layout: the key in QWERTY's A place types Q on AZERTY.
        {SDL_SCANCODE_A, SDLK_q, KMOD_NONE, 'Q'},
        {SDL_SCANCODE_F1, SDLK_F1, KMOD_NONE, VK_F1},
        {SDL_SCANCODE_F4, SDLK_F4, KMOD_NONE, VK_F4},
        {SDL_SCANCODE_F10, SDLK_F10, KMOD_NONE, VK_F10},
        {SDL_SCANCODE_F12, SDLK_F12, KMOD_NONE, VK_F12},
        {SDL_SCANCODE_F24, SDLK_F24, KMOD_NONE, VK_F24},
        {SDL_SCANCODE_LEFT, SDLK_LEFT, KMOD_NONE, VK_LEFT},
        {SDL_SCANCODE_UP, SDLK_UP, KMOD_NONE, VK_UP},
        {SDL_SCANCODE_RIGHT, SDLK_RIGHT, KMOD_NONE, VK_RIGHT},
        {SDL_SCANCODE_DOWN, SDLK_DOWN, KMOD_NONE, VK_DOWN},
        {SDL_SCANCODE_ESCAPE, SDLK_ESCAPE, KMOD_NONE, VK_ESCAPE},
        {SDL_SCANCODE_RETURN, SDLK_RETURN, KMOD_NONE, VK_RETURN},
        {SDL_SCANCODE_KP_ENTER, SDLK_KP_ENTER, KMOD_NONE, VK_RETURN},
        {SDL_SCANCODE_SPACE, SDLK_SPACE, KMOD_NONE, VK_SPACE},
        {SDL_SCANCODE_DELETE, SDLK_DELETE, KMOD_NONE, VK_DELETE},
        {SDL_SCANCODE_PAGEUP, SDLK_PAGEUP, KMOD_NONE, VK_PRIOR},
        // Both sides of a modifier give the one code.
        {SDL_SCANCODE_LSHIFT, SDLK_LSHIFT, KMOD_LSHIFT, VK_SHIFT},
        {SDL_SCANCODE_RSHIFT, SDLK_RSHIFT, KMOD_RSHIFT, VK_SHIFT},
        {SDL_SCANCODE_RCTRL, SDLK_RCTRL, KMOD_RCTRL, VK_CONTROL},
        {SDL_SCANCODE_LALT, SDLK_LALT, KMOD_LALT, VK_MENU},
        {SDL_SCANCODE_RALT, SDLK_RALT, KMOD_RALT, VK_MENU},
        // Punctuation has the US layout's OEM codes.
        {SDL_SCANCODE_MINUS, SDLK_MINUS, KMOD_NONE, 0xBD},
        {SDL_SCANCODE_SLASH, SDLK_SLASH, KMOD_NONE, 0xBF},
        // The keypad: digits with Num Lock, navigation without, its own codes either way.
        {SDL_SCANCODE_KP_1, SDLK_KP_1, KMOD_NUM, VK_NUMPAD0 + 1},
        {SDL_SCANCODE_KP_0, SDLK_KP_0, KMOD_NUM, VK_NUMPAD0},
        {SDL_SCANCODE_KP_1, SDLK_KP_1, KMOD_NONE, VK_END},
        {SDL_SCANCODE_KP_8, SDLK_KP_8, KMOD_NONE, VK_UP},
        {SDL_SCANCODE_KP_PERIOD, SDLK_KP_PERIOD, KMOD_NONE, VK_DELETE},
        {SDL_SCANCODE_KP_PERIOD, SDLK_KP_PERIOD, KMOD_NUM, VK_DECIMAL},
        {SDL_SCANCODE_KP_MINUS, SDLK_KP_MINUS, KMOD_NONE, VK_SUBTRACT},
        // Keys Windows has no code for.
        {SDL_SCANCODE_AUDIOPLAY, SDLK_AUDIOPLAY, KMOD_NONE, 0},
        {SDL_SCANCODE_UNKNOWN, SDLK_UNKNOWN, KMOD_NONE, 0},
    };
    for (const KeyCase& c : cases)
        EXPECT_EQ(SdlVirtualKey(c.scancode, c.keycode, c.modifiers), c.virtualKey)
            << SDL_GetScancodeName(c.scancode) << " / " << SDL_GetKeyName(c.keycode)
            << " mod 0x" << std::hex << c.modifiers;
}

TEST(KeyTable, SystemKeysAreAltCombinationsAltItselfAndF10) {
    const struct {
        unsigned virtualKey;
        Uint16 modifiers;
        bool system;
    } cases[] = {
        {VK_F4, KMOD_LALT, true},
        {VK_F4, KMOD_RALT, true},
        {'A', KMOD_LALT | KMOD_LSHIFT, true},
        {VK_ESCAPE, KMOD_LALT, true},
        {VK_MENU, KMOD_NONE, true},  // releasing Alt: the modifier is already gone
        {VK_F10, KMOD_NONE, true},
        {VK_F10, KMOD_LSHIFT, true},
        {VK_F4, KMOD_NONE, false},
        {VK_ESCAPE, KMOD_NONE, false},
        {VK_ESCAPE, KMOD_LCTRL | KMOD_LSHIFT, false},
        {'A', KMOD_CAPS | KMOD_NUM, false},
        {VK_F1 + 8, KMOD_NONE, false},  // F9
    };
    for (const auto& c : cases)
        EXPECT_EQ(SdlIsSystemKey(c.virtualKey, c.modifiers), c.system)
            << "key 0x" << std::hex << c.virtualKey << " mod 0x" << c.modifiers;
}

}  // namespace
