// Linked into voruzavur-probe, a test build of the program: the real SDL backend behind a
// journal of the calls that tell a run's story (message boxes, display mode, window,
// class, sound, every message dispatched and every scene call's clock sample), with the
// timeline started late or run fast.
//   VZ_PROBE_CLOCK_OFFSET  seconds the clock has already run at its first sample
//   VZ_PROBE_CLOCK_RATE    timeline seconds per real second (default 1)
//   VZ_PROBE_JOURNAL       file that receives one line per journalled call
// Only the scenes read the counter, each call exactly once, in chain order after each
// message peek; so the n-th reading after a peek is the n-th scene's, journalled as
//   Scene NAME SECONDS drew|locked
// with the lock the scene is about to test (a scene that is not locked draws).
// Installed before any of the program's static initialisers, so the clock reads through it.
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/platform.h"
#include "timeline/scene_sequencer.h"

namespace {

struct Probe {
    SysBackend backend;
    const SysBackend* real;
    int64_t offsetTicks;
    double rate;
    bool firstReading;
    int64_t zeroTicks;
    double frequency;
    int scenesSincePeek;
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
// the offset, so the first frame already sees the timeline that far on, and the time
// since the zero runs at the rate.
int64_t QueryCounter() {
    const int64_t ticks = gProbe.real->QueryCounter();
    if (gProbe.firstReading) {
        gProbe.firstReading = false;
        gProbe.zeroTicks = ticks;
        return ticks;
    }
    const int64_t since = ticks - gProbe.zeroTicks;
    const int64_t reading = gProbe.zeroTicks + gProbe.offsetTicks +
                            static_cast<int64_t>(static_cast<double>(since) * gProbe.rate);
    static const char* const kNames[] = {"Intro", "Title", "Circus", "FlipBook", "Credits"};
    const bool* const kLocks[] = {&gScenes.introLocked, &gScenes.titleLocked,
                                  &gScenes.circusLocked, &gScenes.flipBookLocked,
                                  &gScenes.creditsLocked};
    const int n = gProbe.scenesSincePeek++;
    if (n < 5)
        Journal("Scene %s %.3f %s", kNames[n],
                static_cast<double>(reading - gProbe.zeroTicks) / gProbe.frequency,
                *kLocks[n] ? "locked" : "drew");
    else
        Journal("Counter read outside the scene chain");
    return reading;
}

bool PeekMessage(SysMessage* message) {
    gProbe.scenesSincePeek = 0;
    return gProbe.real->PeekMessage(message);
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
        const char* rate = getenv("VZ_PROBE_CLOCK_RATE");
        gProbe.rate = rate && atof(rate) > 0.0 ? atof(rate) : 1.0;
        gProbe.frequency = static_cast<double>(gProbe.real->QueryFrequency());
        gProbe.firstReading = true;
        const char* journal = getenv("VZ_PROBE_JOURNAL");
        gProbe.journal = journal && *journal ? fopen(journal, "w") : nullptr;

        SysBackend& b = gProbe.backend;
        b.QueryCounter = QueryCounter;
        b.PeekMessage = PeekMessage;
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
