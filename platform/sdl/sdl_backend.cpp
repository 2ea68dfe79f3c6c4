// Stand-in: the SDL backend's table, filled in by the SDL window, sound and counter code.
#include "platform/platform.h"

int64_t SdlQueryCounter();
int64_t SdlQueryFrequency();

extern const SysBackend kSdlBackend = {
    "sdl",
    nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
    nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
    nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
    SdlQueryCounter, SdlQueryFrequency,
    nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
};
