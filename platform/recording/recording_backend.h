// The test backend: records every window, context, queue and sound call as one line and
// answers as scripted, so that the Parts run without a display in the shape of a real run.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/platform.h"

struct RecordingBackend {
    // "RegisterWindowClass OpenGL", "MessageBox ERROR|Window Creation Error.|48", ...
    std::vector<std::string> calls;

    // Scripted answers; each defaults to success.
    bool registerClass = true;
    bool unregisterClass = true;
    int changeDisplayMode = DISP_CHANGE_SUCCESSFUL;
    std::deque<int> messageBoxAnswers;  // taken in order; IDOK, or IDNO for MB_YESNO, after
    bool createWindow = true;
    bool destroyWindow = true;
    bool getDC = true;
    bool releaseDC = true;
    int choosePixelFormat = 1;
    bool setPixelFormat = true;
    bool createContext = true;
    bool makeCurrent = true;  // making the pair current
    bool releaseCurrent = true;  // MakeCurrent(null, null)
    bool deleteContext = true;
    bool soundInit = true;
    bool streamOpen = true;

    // The queue PeekMessage takes from. When it is empty, `onIdle` (if set) runs first
    // and may queue more; it sees how many times the queue was found empty so far.
    std::deque<SysMessage> queue;
    std::function<void(int idlePasses)> onIdle;
    int idlePasses = 0;
    // A loop that runs away is ended with WM_QUIT code 99 after this many empty passes.
    int maxIdlePasses = 100000;
    int swaps = 0;

    // The counter: `counterScript` when set, else `counter`.
    int64_t counter = 0;
    int64_t frequency = 1000000;
    std::function<int64_t()> counterScript;

    SysWindowProc windowProc = nullptr;  // from RegisterWindowClass

    // Queues a message for the recorded window.
    void Post(unsigned message, uintptr_t wParam = 0, intptr_t lParam = 0);
    // The recorded calls whose line starts with `prefix`, in order.
    std::vector<std::string> CallsStartingWith(const std::string& prefix) const;
    // Index of the first call starting with `prefix` at or after `from`, or -1.
    int Find(const std::string& prefix, int from = 0) const;
};

// The one recorder; SysUseRecordingBackend() resets it and makes it the active backend.
RecordingBackend& Recorder();
void SysUseRecordingBackend();
// The fake handles the recorder answers with.
SysWindow RecordedWindow();
SysDeviceContext RecordedDC();
SysRenderContext RecordedRC();
