// Every entry appends its line and answers from the script.
#include "platform/recording/recording_backend.h"

#include <cstdio>

namespace {

RecordingBackend gRecorder;

// Distinct addresses to stand for the handles.
char gWindowToken, gDCToken, gRCToken, gStreamToken;

std::string Hex(uintptr_t v) {
    char buf[32];
    snprintf(buf, sizeof buf, "0x%llX", static_cast<unsigned long long>(v));
    return buf;
}

void Log(std::string line) { gRecorder.calls.push_back(std::move(line)); }

bool RegisterWindowClass(const SysWindowClass* wc) {
    Log("RegisterWindowClass " + std::string(wc->className) + " " + Hex(wc->style));
    if (gRecorder.registerClass) gRecorder.windowProc = wc->windowProc;
    return gRecorder.registerClass;
}
bool UnregisterWindowClass(const char* name) {
    Log("UnregisterWindowClass " + std::string(name));
    return gRecorder.unregisterClass;
}
int ChangeDisplayMode(const SysDisplayMode* mode, unsigned flags) {
    if (!mode) {
        Log("ChangeDisplayMode restore");
        return DISP_CHANGE_SUCCESSFUL;
    }
    Log("ChangeDisplayMode " + std::to_string(mode->width) + "x" + std::to_string(mode->height) +
        "x" + std::to_string(mode->bitsPerPixel) + " " + Hex(flags));
    return gRecorder.changeDisplayMode;
}
int MessageBox(const char* text, const char* caption, unsigned type) {
    Log("MessageBox " + std::string(caption) + "|" + text + "|" + Hex(type));
    if (!gRecorder.messageBoxAnswers.empty()) {
        int answer = gRecorder.messageBoxAnswers.front();
        gRecorder.messageBoxAnswers.pop_front();
        return answer;
    }
    return (type & 0x0F) == MB_YESNO ? IDNO : IDOK;
}
void ShowCursor(bool show) { Log(show ? "ShowCursor 1" : "ShowCursor 0"); }
void AdjustWindowRect(SysRect* rect, unsigned style, unsigned exStyle) {
    Log("AdjustWindowRect " + std::to_string(rect->right - rect->left) + "x" +
        std::to_string(rect->bottom - rect->top) + " " + Hex(style) + " " + Hex(exStyle));
}
SysWindow CreateWindow(unsigned exStyle, const char* className, const char* title,
                       unsigned style, int x, int y, int width, int height) {
    Log("CreateWindow " + Hex(exStyle) + " " + className + " " + title + "|" + Hex(style) +
        " " + std::to_string(x) + "," + std::to_string(y) + " " + std::to_string(width) + "x" +
        std::to_string(height));
    return gRecorder.createWindow ? RecordedWindow() : nullptr;
}
bool DestroyWindow(SysWindow) {
    Log("DestroyWindow");
    return gRecorder.destroyWindow;
}
SysDeviceContext GetDC(SysWindow) {
    Log("GetDC");
    return gRecorder.getDC ? RecordedDC() : nullptr;
}
bool ReleaseDC(SysWindow, SysDeviceContext) {
    Log("ReleaseDC");
    return gRecorder.releaseDC;
}
int ChoosePixelFormat(SysDeviceContext, const SysPixelFormat* f) {
    Log("ChoosePixelFormat " + Hex(f->flags) + " type " + std::to_string(f->pixelType) +
        " colour " + std::to_string(f->colorBits) + " alpha " + std::to_string(f->alphaBits) +
        " accum " + std::to_string(f->accumBits) + " depth " + std::to_string(f->depthBits) +
        " stencil " + std::to_string(f->stencilBits));
    return gRecorder.choosePixelFormat;
}
bool SetPixelFormat(SysDeviceContext, int index, const SysPixelFormat*) {
    Log("SetPixelFormat " + std::to_string(index));
    return gRecorder.setPixelFormat;
}
SysRenderContext CreateContext(SysDeviceContext) {
    Log("CreateContext");
    return gRecorder.createContext ? RecordedRC() : nullptr;
}
bool MakeCurrent(SysDeviceContext dc, SysRenderContext rc) {
    if (!dc && !rc) {
        Log("MakeCurrent release");
        return gRecorder.releaseCurrent;
    }
    Log("MakeCurrent");
    return gRecorder.makeCurrent;
}
bool DeleteContext(SysRenderContext) {
    Log("DeleteContext");
    return gRecorder.deleteContext;
}
void ShowWindow(SysWindow, int how) { Log("ShowWindow " + std::to_string(how)); }
void SetForegroundWindow(SysWindow) { Log("SetForegroundWindow"); }
void SetFocus(SysWindow) { Log("SetFocus"); }

bool PeekMessage(SysMessage* message) {
    if (gRecorder.queue.empty() && gRecorder.onIdle) gRecorder.onIdle(gRecorder.idlePasses);
    if (gRecorder.queue.empty() && gRecorder.idlePasses >= gRecorder.maxIdlePasses) {
        Log("RunawayLoop");
        gRecorder.Post(WM_QUIT, 99);
    }
    if (gRecorder.queue.empty()) {
        ++gRecorder.idlePasses;
        return false;
    }
    *message = gRecorder.queue.front();
    gRecorder.queue.pop_front();
    Log("PeekMessage " + Hex(message->message) + " " + Hex(message->wParam));
    return true;
}
void TranslateMessage(const SysMessage*) { Log("TranslateMessage"); }
intptr_t DispatchMessage(const SysMessage* m) {
    Log("DispatchMessage " + Hex(m->message));
    return gRecorder.windowProc ? gRecorder.windowProc(m->window, m->message, m->wParam, m->lParam)
                                : 0;
}
intptr_t DefWindowProc(SysWindow, unsigned message, uintptr_t wParam, intptr_t lParam) {
    Log("DefWindowProc " + Hex(message) + " " + Hex(wParam) + " " + Hex(static_cast<uintptr_t>(lParam)));
    return 0;
}
void PostQuitMessage(int code) {
    Log("PostQuitMessage " + std::to_string(code));
    gRecorder.Post(WM_QUIT, static_cast<uintptr_t>(code));
}
bool SwapBuffers(SysDeviceContext) {
    Log("SwapBuffers");
    ++gRecorder.swaps;
    return true;
}

int64_t QueryCounter() {
    return gRecorder.counterScript ? gRecorder.counterScript() : gRecorder.counter;
}
int64_t QueryFrequency() { return gRecorder.frequency; }

bool SoundInit(int rate, int channels, unsigned flags) {
    Log("SoundInit " + std::to_string(rate) + " " + std::to_string(channels) + " " +
        std::to_string(flags));
    return gRecorder.soundInit;
}
SysStream SoundStreamOpen(const char* file, unsigned mode, int offset, int length) {
    Log("SoundStreamOpen " + std::string(file) + " " + Hex(mode) + " " + std::to_string(offset) +
        " " + std::to_string(length));
    return gRecorder.streamOpen ? reinterpret_cast<SysStream>(&gStreamToken) : nullptr;
}
std::string StreamName(SysStream s) { return s ? "stream" : "null"; }
int SoundStreamPlay(int channel, SysStream s) {
    Log("SoundStreamPlay " + std::to_string(channel) + " " + StreamName(s));
    return s ? channel : -1;
}
bool SoundStreamStop(SysStream s) {
    Log("SoundStreamStop " + StreamName(s));
    return s != nullptr;
}
bool SoundStreamClose(SysStream s) {
    Log("SoundStreamClose " + StreamName(s));
    return s != nullptr;
}
void SoundClose() { Log("SoundClose"); }

const SysBackend kRecordingBackend = {
    "recording",
    RegisterWindowClass, UnregisterWindowClass, ChangeDisplayMode, MessageBox, ShowCursor,
    AdjustWindowRect, CreateWindow, DestroyWindow, GetDC, ReleaseDC, ChoosePixelFormat,
    SetPixelFormat, CreateContext, MakeCurrent, DeleteContext, ShowWindow,
    SetForegroundWindow, SetFocus,
    PeekMessage, TranslateMessage, DispatchMessage, DefWindowProc, PostQuitMessage,
    SwapBuffers,
    QueryCounter, QueryFrequency,
    SoundInit, SoundStreamOpen, SoundStreamPlay, SoundStreamStop, SoundStreamClose, SoundClose,
};

}  // namespace

void RecordingBackend::Post(unsigned message, uintptr_t wParam, intptr_t lParam) {
    SysMessage m = {};
    m.window = RecordedWindow();
    m.message = message;
    m.wParam = wParam;
    m.lParam = lParam;
    queue.push_back(m);
}

std::vector<std::string> RecordingBackend::CallsStartingWith(const std::string& prefix) const {
    std::vector<std::string> out;
    for (const auto& c : calls)
        if (c.compare(0, prefix.size(), prefix) == 0) out.push_back(c);
    return out;
}

int RecordingBackend::Find(const std::string& prefix, int from) const {
    for (size_t i = static_cast<size_t>(from); i < calls.size(); ++i)
        if (calls[i].compare(0, prefix.size(), prefix) == 0) return static_cast<int>(i);
    return -1;
}

RecordingBackend& Recorder() { return gRecorder; }

void SysUseRecordingBackend() {
    gRecorder = RecordingBackend{};
    SysUseBackend(&kRecordingBackend);
}

SysWindow RecordedWindow() { return reinterpret_cast<SysWindow>(&gWindowToken); }
SysDeviceContext RecordedDC() { return reinterpret_cast<SysDeviceContext>(&gDCToken); }
SysRenderContext RecordedRC() { return reinterpret_cast<SysRenderContext>(&gRCToken); }
