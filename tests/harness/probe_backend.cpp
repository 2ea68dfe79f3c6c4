// Linked into voruzavur-probe, a test build of the program: the real SDL backend behind a
// journal of the calls that tell a run's story (message boxes, display mode, window,
// class, sound, and every message dispatched), with the timeline started late.
//   VZ_PROBE_CLOCK_OFFSET  seconds the clock has already run at its first sample
//   VZ_PROBE_JOURNAL       file that receives one line per journalled call
// Installed before any of the program's static initialisers, so the clock reads through it.
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/platform.h"

namespace {

struct Probe {
    SysBackend backend;
    const SysBackend* real;
    int64_t offsetTicks;
    bool firstReading;
    FILE* journal;
};
Probe gProbe;

void Journal(const char* format, ...) __attribute__((format(printf, 1, 2)));
void Journal(const char* format, ...) {
    if (!gProbe.journal) return;
    va_list args;
    va_start(args, format);
    vfprintf(gProbe.journal, format, args);
    va_end(args);
    fputc('\n', gProbe.journal);
    // A run may end by a signal; every line is out before the next call.
    fflush(gProbe.journal);
}

std::string OneLine(const char* text) {
    std::string out;
    for (const char* p = text ? text : ""; *p; ++p) out += *p == '\n' ? std::string("\\n") : std::string(1, *p);
    return out;
}

// The clock's constructor takes the first reading, its zero; later readings are later by
// the offset, so the first frame already sees the timeline that far on.
int64_t QueryCounter() {
    const int64_t ticks = gProbe.real->QueryCounter();
    if (gProbe.firstReading) {
        gProbe.firstReading = false;
        return ticks;
    }
    return ticks + gProbe.offsetTicks;
}

int MessageBox(const char* text, const char* caption, unsigned type) {
    Journal("MessageBox %s|%s|0x%X", caption, OneLine(text).c_str(), type);
    const int answer = gProbe.real->MessageBox(text, caption, type);
    Journal("MessageBox answer %d", answer);
    return answer;
}

intptr_t DispatchMessage(const SysMessage* message) {
    Journal("DispatchMessage 0x%X 0x%llX", message->message,
            static_cast<unsigned long long>(message->wParam));
    return gProbe.real->DispatchMessage(message);
}

int ChangeDisplayMode(const SysDisplayMode* mode, unsigned flags) {
    const int result = gProbe.real->ChangeDisplayMode(mode, flags);
    if (mode)
        Journal("ChangeDisplayMode %dx%dx%d -> %d", mode->width, mode->height,
                mode->bitsPerPixel, result);
    else
        Journal("ChangeDisplayMode restore -> %d", result);
    return result;
}

SysWindow CreateWindow(unsigned exStyle, const char* className, const char* title,
                       unsigned style, int x, int y, int width, int height) {
    SysWindow window =
        gProbe.real->CreateWindow(exStyle, className, title, style, x, y, width, height);
    Journal("CreateWindow 0x%X %dx%d -> %s", style, width, height, window ? "ok" : "null");
    return window;
}

bool DestroyWindow(SysWindow window) {
    const bool ok = gProbe.real->DestroyWindow(window);
    Journal("DestroyWindow -> %d", ok);
    return ok;
}

bool UnregisterWindowClass(const char* name) {
    const bool ok = gProbe.real->UnregisterWindowClass(name);
    Journal("UnregisterWindowClass %s -> %d", name, ok);
    return ok;
}

bool SoundInit(int rate, int channels, unsigned flags) {
    const bool ok = gProbe.real->SoundInit(rate, channels, flags);
    Journal("SoundInit %d %d %u -> %d%s%s", rate, channels, flags, ok, ok ? "" : " ",
            ok ? "" : SysLastError());
    return ok;
}

SysStream SoundStreamOpen(const char* file, unsigned mode, int offset, int length) {
    SysStream stream = gProbe.real->SoundStreamOpen(file, mode, offset, length);
    Journal("SoundStreamOpen %s -> %s", file, stream ? "ok" : "null");
    return stream;
}

int SoundStreamPlay(int channel, SysStream stream) {
    const int result = gProbe.real->SoundStreamPlay(channel, stream);
    Journal("SoundStreamPlay %d -> %d", channel, result);
    return result;
}

bool SoundStreamStop(SysStream stream) {
    const bool ok = gProbe.real->SoundStreamStop(stream);
    Journal("SoundStreamStop -> %d", ok);
    return ok;
}

bool SoundStreamClose(SysStream stream) {
    const bool ok = gProbe.real->SoundStreamClose(stream);
    Journal("SoundStreamClose -> %d", ok);
    return ok;
}

void SoundClose() {
    gProbe.real->SoundClose();
    Journal("SoundClose");
}

struct Install {
    Install() {
        gProbe.real = SysSdlBackend();
        gProbe.backend = *gProbe.real;
        gProbe.backend.name = "sdl-probe";
        const char* offset = getenv("VZ_PROBE_CLOCK_OFFSET");
        const double seconds = offset ? atof(offset) : 0.0;
        gProbe.offsetTicks =
            static_cast<int64_t>(seconds * static_cast<double>(gProbe.real->QueryFrequency()));
        gProbe.firstReading = true;
        const char* journal = getenv("VZ_PROBE_JOURNAL");
        gProbe.journal = journal && *journal ? fopen(journal, "w") : nullptr;

        SysBackend& b = gProbe.backend;
        b.QueryCounter = QueryCounter;
        b.MessageBox = MessageBox;
        b.DispatchMessage = DispatchMessage;
        b.ChangeDisplayMode = ChangeDisplayMode;
        b.CreateWindow = CreateWindow;
        b.DestroyWindow = DestroyWindow;
        b.UnregisterWindowClass = UnregisterWindowClass;
        b.SoundInit = SoundInit;
        b.SoundStreamOpen = SoundStreamOpen;
        b.SoundStreamPlay = SoundStreamPlay;
        b.SoundStreamStop = SoundStreamStop;
        b.SoundStreamClose = SoundStreamClose;
        b.SoundClose = SoundClose;
        SysUseBackend(&b);
    }
};

// Before the texture builder, the light and the clock (1001 to 1003).
Install gInstall __attribute__((init_priority(1000)));

}  // namespace
