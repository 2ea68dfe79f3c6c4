// SDL events as window messages: the translation the queue applies to every event.
#pragma once

#include <SDL.h>

#include "platform/platform.h"

// Translates one event of the window with SDL id `windowId` into message, wParam and
// lParam of `out` (the other fields are the caller's). `minimised` is the window's
// minimised state, updated by the event. false for an event that maps to no message:
// another window's, a key with no virtual-key code, and every kind not listed here.
//   minimised                              -> WM_ACTIVATE, WA_INACTIVE, high word 1
//   restored, shown, focus gained          -> WM_ACTIVATE, WA_ACTIVE, high word minimised
//   focus lost                             -> WM_ACTIVATE, WA_INACTIVE, high word minimised
//   size changed                           -> WM_SIZE, lParam width | height << 16
//   close request, SDL_QUIT (a signal)     -> WM_CLOSE
//   key down (repeats too) / up            -> WM_KEYDOWN / WM_KEYUP, or the WM_SYS* pair
//                                             for system keys; wParam the virtual key
bool SdlTranslateEvent(const SDL_Event& event, Uint32 windowId, bool* minimised,
                       SysMessage* out);

// lParam bits of key messages, as Windows sets them.
enum : uint32_t {
    kKeyAltDown = 1u << 29,       // context code: Alt was held
    kKeyWasDown = 1u << 30,       // previous state: a repeat, or any release
    kKeyTransitionUp = 1u << 31,  // a release
};
