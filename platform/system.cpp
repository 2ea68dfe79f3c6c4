// The active backend and the one place failure reasons are kept.
#include <cstdarg>
#include <cstdio>

#include "platform/platform.h"

// Defined by the SDL backend; constant-initialised, so gSys is usable by static
// initialisers such as the clock's.
extern const SysBackend kSdlBackend;

const SysBackend* gSys = &kSdlBackend;

const SysBackend* SysSdlBackend() { return &kSdlBackend; }

void SysUseBackend(const SysBackend* backend) { gSys = backend ? backend : &kSdlBackend; }

namespace {
char gLastError[512];
}

const char* SysLastError() { return gLastError; }

bool SysFail(const char* format, ...) {
    va_list args;
    va_start(args, format);
    vsnprintf(gLastError, sizeof gLastError, format, args);
    va_end(args);
    return false;
}
