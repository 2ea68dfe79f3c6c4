// The render window: opening in its fixed order, closing in the reverse one, and the
// window procedure that records keys, the minimised state and size changes.
#include "app/render_window.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include "app/outline_font.h"
#include "app/renderer_setup.h"

bool gKeyDown[256];
bool gWindowActive = true;
bool gFullscreenMode = true;
SysWindow gWindow = nullptr;
SysDeviceContext gDeviceContext = nullptr;
SysRenderContext gRenderContext = nullptr;

namespace {

const char kClassName[] = "OpenGL";
const char kErrorCaption[] = "ERROR";
const char kShutdownCaption[] = "SHUTDOWN ERROR";

// Filled in on the first open, right after the window exists, and kept for the run.
SysPixelFormat gPixelFormat;

void FillPixelFormat(int bits) {
    gPixelFormat = SysPixelFormat{};
    gPixelFormat.flags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    gPixelFormat.pixelType = PFD_TYPE_RGBA;
    gPixelFormat.colorBits = bits;
    gPixelFormat.alphaBits = 0;
    gPixelFormat.accumBits = 0;
    gPixelFormat.depthBits = 16;
    gPixelFormat.stencilBits = 0;
    gPixelFormat.auxBuffers = 0;
    gPixelFormat.layerType = PFD_MAIN_PLANE;
}

// Releases what was built so far, then tells the user; the open then answers false.
bool FailOpen(const char* text) {
    CloseRenderWindow();
    gSys->MessageBox(text, kErrorCaption, MB_OK | MB_ICONEXCLAMATION);
    return false;
}

inline unsigned LowWord(uintptr_t v) { return static_cast<unsigned>(v & 0xFFFF); }
inline unsigned HighWord(uintptr_t v) { return static_cast<unsigned>((v >> 16) & 0xFFFF); }

}  // namespace

bool OpenRenderWindow(const char* title, int width, int height, int bits, bool fullscreen) {
    SysRect windowRect = {0, 0, width, height};
    gFullscreenMode = fullscreen;

    SysWindowClass windowClass = {};
    windowClass.style = CS_OWNDC | CS_HREDRAW | CS_VREDRAW;
    windowClass.windowProc = WindowProcedure;
    windowClass.className = kClassName;
    if (!gSys->RegisterWindowClass(&windowClass)) {
        gSys->MessageBox("Failed To Register The Window Class.", kErrorCaption,
                         MB_OK | MB_ICONEXCLAMATION);
        return false;
    }

    if (gFullscreenMode) {
        SysDisplayMode screenSettings = {width, height, bits};
        if (gSys->ChangeDisplayMode(&screenSettings, CDS_FULLSCREEN) !=
            DISP_CHANGE_SUCCESSFUL) {
            if (gSys->MessageBox("The Requested Fullscreen Mode Is Not Supported By\n"
                                 "Your Video Card. Use Windowed Mode Instead?",
                                 "Ortolo GL", MB_YESNO | MB_ICONEXCLAMATION) == IDYES) {
                gFullscreenMode = false;
            } else {
                gSys->MessageBox("Program Will Now Close.", kErrorCaption,
                                 MB_OK | MB_ICONSTOP);
                return false;
            }
        }
    }

    unsigned exStyle;
    unsigned style;
    if (gFullscreenMode) {
        exStyle = WS_EX_APPWINDOW;
        style = WS_POPUP;
        gSys->ShowCursor(false);
    } else {
        exStyle = WS_EX_APPWINDOW | WS_EX_WINDOWEDGE;
        style = WS_OVERLAPPEDWINDOW;
    }
    gSys->AdjustWindowRect(&windowRect, style, exStyle);

    gWindow = gSys->CreateWindow(exStyle, kClassName, title,
                                 style | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0, 0,
                                 windowRect.right - windowRect.left,
                                 windowRect.bottom - windowRect.top);
    if (!gWindow) return FailOpen("Window Creation Error.");

    FillPixelFormat(bits);

    gDeviceContext = gSys->GetDC(gWindow);
    if (!gDeviceContext) return FailOpen("Can't Create A GL Device Context.");

    const int pixelFormat = gSys->ChoosePixelFormat(gDeviceContext, &gPixelFormat);
    if (pixelFormat == 0) return FailOpen("Can't Find A Suitable PixelFormat.");
    if (!gSys->SetPixelFormat(gDeviceContext, pixelFormat, &gPixelFormat))
        return FailOpen("Can't Set The PixelFormat.");

    gRenderContext = gSys->CreateContext(gDeviceContext);
    if (!gRenderContext) return FailOpen("Can't Create A GL Rendering Context.");
    if (!gSys->MakeCurrent(gDeviceContext, gRenderContext))
        return FailOpen("Can't Activate The GL Rendering Context.");

    gSys->ShowWindow(gWindow, SW_SHOW);
    gSys->SetForegroundWindow(gWindow);
    gSys->SetFocus(gWindow);
    ResizeViewport(width, height);

    if (!InitRenderer()) return FailOpen("Initialization Failed.");
    return true;
}

void CloseRenderWindow() {
    if (gFullscreenMode) {
        gSys->ChangeDisplayMode(nullptr, 0);
        gSys->ShowCursor(true);
    }
    if (gRenderContext) {
        if (!gSys->MakeCurrent(nullptr, nullptr))
            gSys->MessageBox("Release Of DC And RC Failed.", kShutdownCaption,
                             MB_OK | MB_ICONINFORMATION);
        if (!gSys->DeleteContext(gRenderContext))
            gSys->MessageBox("Release Rendering Context Failed.", kShutdownCaption,
                             MB_OK | MB_ICONINFORMATION);
        gRenderContext = nullptr;
    }
    if (gDeviceContext) {
        if (!gSys->ReleaseDC(gWindow, gDeviceContext))
            gSys->MessageBox("Release Device Context Failed.", kShutdownCaption,
                             MB_OK | MB_ICONINFORMATION);
        gDeviceContext = nullptr;
    }
    if (gWindow) {
        if (!gSys->DestroyWindow(gWindow))
            gSys->MessageBox("Could Not Release hWnd.", kShutdownCaption,
                             MB_OK | MB_ICONINFORMATION);
        gWindow = nullptr;
    }
    if (!gSys->UnregisterWindowClass(kClassName))
        gSys->MessageBox("Could Not Unregister Class.", kShutdownCaption,
                         MB_OK | MB_ICONINFORMATION);
    DeleteOutlineFont();
}

intptr_t WindowProcedure(SysWindow window, unsigned message, uintptr_t wParam,
                         intptr_t lParam) {
    switch (message) {
        case WM_ACTIVATE:
            gWindowActive = HighWord(wParam) == 0;
            return 0;
        case WM_SYSCOMMAND:
            // The whole wParam is compared: the low four bits are not masked off.
            if (wParam == SC_SCREENSAVE || wParam == SC_MONITORPOWER) return 0;
            break;
        case WM_CLOSE:
            gSys->PostQuitMessage(0);
            return 0;
        case WM_KEYDOWN:
            // A code beyond the table comes from no keyboard; it is dropped rather than
            // written past the end.
            if (wParam < 256) gKeyDown[wParam] = true;
            return 0;
        case WM_KEYUP:
            if (wParam < 256) gKeyDown[wParam] = false;
            return 0;
        case WM_SIZE:
            ResizeViewport(static_cast<int>(LowWord(static_cast<uintptr_t>(lParam))),
                           static_cast<int>(HighWord(static_cast<uintptr_t>(lParam))));
            return 0;
    }
    return gSys->DefWindowProc(window, message, wParam, lParam);
}

void ResizeViewport(int width, int height) {
    if (height == 0) height = 1;
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, static_cast<double>(width) / static_cast<double>(height),
                   static_cast<double>(0.1f), 100.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}
