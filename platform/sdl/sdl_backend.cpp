// Stand-in: the SDL backend's table, filled in by the SDL window, sound and counter code.
#include "platform/platform.h"

extern const SysBackend kSdlBackend = {"sdl"};
