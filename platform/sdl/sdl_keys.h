// SDL keys as Windows virtual-key codes, and which key presses are system keys.
#pragma once

#include <SDL.h>

// The virtual-key code of a key, 0 for a key that has none. Letters, digits and
// punctuation follow the layout (the keycode); every other key its place on the keyboard
// (the scancode). Both shifts, controls and alts give VK_SHIFT, VK_CONTROL and VK_MENU;
// the keypad gives its digits while Num Lock is on and its navigation keys while it is
// off, as on Windows.
unsigned SdlVirtualKey(SDL_Scancode scancode, SDL_Keycode keycode, Uint16 modifiers);

// A key pressed or released with Alt held, an Alt key itself, and F10 are system keys:
// they arrive as WM_SYSKEYDOWN/WM_SYSKEYUP.
bool SdlIsSystemKey(unsigned virtualKey, Uint16 modifiers);
