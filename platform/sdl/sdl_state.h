// What stands behind the SDL backend's handles, and the backend's one state record.
// Internal to platform/sdl/.
#pragma once

#include <SDL.h>
#include <SDL_mixer.h>

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "platform/platform.h"

// The window's own device context (the class asks for CS_OWNDC): one per window, made
// with it and gone with it.
struct SysDeviceData {
    SysWindowData* window;
    int pixelFormat;  // 0 until SetPixelFormat
};

struct SysWindowData {
    SDL_Window* sdl;
    unsigned style;
    bool minimised;
    SysDeviceData dc;
    // The GL attributes the window's visual was chosen for (X11 fixes it at creation).
    SysPixelFormat visualFormat;
};

struct SysRenderData {
    SDL_GLContext gl;
    SysWindowData* window;  // the window it was made on
};

struct SysStreamData {
    Mix_Music* music;
};

struct SdlState {
    // -- window class; registering it is what starts SDL's video
    bool classRegistered = false;
    std::string className;
    SysWindowProc windowProc = nullptr;

    // -- display mode: the exact mode a popup window goes fullscreen in
    bool modeChosen = false;
    SDL_DisplayMode mode = {};

    // Windows-style cursor display count: shown while it is zero or more.
    int cursorCount = 0;

    // -- the window (one at a time) and its GL contexts
    SysWindowData* window = nullptr;
    std::vector<SysRenderData*> contexts;
    SysRenderData* current = nullptr;

    // -- the queue's own part: posted messages, taken before SDL's events
    std::deque<SysMessage> posted;

    // -- pacing of swaps that do not wait for the display
    uint64_t lastPresent = 0;  // SDL performance counter after the last swap

    // -- sound
    bool audioOpen = false;
    std::vector<SysStreamData*> streams;
    SysStreamData* playing = nullptr;
};

// The backend's state, made on first use (so a static initialiser may already call in)
// and kept to the end of the process.
SdlState& Sdl();

// True when `window` is the backend's live window.
bool SdlIsLiveWindow(SysWindow window);

// Sets SDL's GL attributes for a pixel format; false when SDL refuses one.
bool SdlApplyPixelFormat(const SysPixelFormat& format);
// The pixel format a window is created for before any is chosen: double-buffered RGBA,
// 8 bits per colour, 16 depth bits, no alpha, stencil or accumulation buffer.
SysPixelFormat SdlDefaultPixelFormat();
// True when two formats give the same GL attributes.
bool SdlSameAttributes(const SysPixelFormat& a, const SysPixelFormat& b);
