// The high-resolution counter, counted from the first reading in this process: a
// machine's uptime can be long enough that seconds since boot, narrowed to single
// precision, would shift the timeline's zero by up to seconds.
#include <SDL.h>

#include <cstdint>

namespace {
const uint64_t gCounterOrigin = SDL_GetPerformanceCounter();
}

int64_t SdlQueryCounter() {
    return static_cast<int64_t>(SDL_GetPerformanceCounter() - gCounterOrigin);
}

int64_t SdlQueryFrequency() { return static_cast<int64_t>(SDL_GetPerformanceFrequency()); }
