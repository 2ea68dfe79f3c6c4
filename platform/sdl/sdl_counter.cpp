// The high-resolution counter, counted from the first reading in this process: a
// machine's uptime can be long enough that seconds since boot, narrowed to single
// precision, would shift the timeline's zero by up to seconds.
#include <SDL.h>

#include <cstdint>

#include "platform/sdl/sdl_backend.h"

int64_t SdlQueryCounter() {
    // Set by the first call, which may come from a static initialiser (the clock's).
    static const uint64_t origin = SDL_GetPerformanceCounter();
    return static_cast<int64_t>(SDL_GetPerformanceCounter() - origin);
}

int64_t SdlQueryFrequency() { return static_cast<int64_t>(SDL_GetPerformanceFrequency()); }
