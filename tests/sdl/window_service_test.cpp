// The SDL backend's window service, queue and GL contexts on SDL's offscreen video driver
// (no display needed): class life, the exact-mode rule, the queue's order, default
// processing, and the handles' life cycle.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/sdl/sdl_events.h"
#include "platform/sdl/sdl_state.h"

namespace {

struct Received {
    SysWindow window;
    unsigned message;
    uintptr_t wParam;
};
std::vector<Received> gReceived;

// Like the program's window procedure where it matters here: system commands and system
// keys go on to default processing.
intptr_t TestProcedure(SysWindow window, unsigned message, uintptr_t wParam, intptr_t lParam) {
    gReceived.push_back({window, message, wParam});
    if (message == WM_SYSCOMMAND || message == WM_SYSKEYDOWN || message == WM_SYSKEYUP)
        return gSys->DefWindowProc(window, message, wParam, lParam);
    return 0;
}

const SysWindowClass kClass = {CS_OWNDC | CS_HREDRAW | CS_VREDRAW, TestProcedure, "OpenGL"};

SysPixelFormat ProgramFormat() {
    SysPixelFormat f = {};
    f.flags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    f.pixelType = PFD_TYPE_RGBA;
    f.colorBits = 32;
    f.depthBits = 16;
    return f;
}

class WindowService : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("SDL_VIDEODRIVER", "offscreen", 1);
        gSys = SysSdlBackend();
        gReceived.clear();
        ASSERT_TRUE(gSys->RegisterWindowClass(&kClass)) << SysLastError();
    }
    void TearDown() override {
        if (Sdl().window) gSys->DestroyWindow(Sdl().window);
        if (Sdl().classRegistered) gSys->UnregisterWindowClass("OpenGL");
    }
    SysWindow Window(unsigned style = WS_OVERLAPPEDWINDOW) {
        return gSys->CreateWindow(WS_EX_APPWINDOW, "OpenGL", "test", style, 0, 0, 640, 480);
    }
};

TEST_F(WindowService, ClassIsRegisteredOnceAndOnlyItsWindowsAreMade) {
    EXPECT_FALSE(gSys->RegisterWindowClass(&kClass));
    EXPECT_NE(std::string(SysLastError()).find("already"), std::string::npos);
    EXPECT_EQ(gSys->CreateWindow(0, "Other", "test", WS_POPUP, 0, 0, 64, 64), nullptr);
    EXPECT_FALSE(gSys->UnregisterWindowClass("Other"));

    SysWindow window = Window();
    ASSERT_NE(window, nullptr) << SysLastError();
    // A class with a window left cannot go; once the window is gone it can, once.
    EXPECT_FALSE(gSys->UnregisterWindowClass("OpenGL"));
    EXPECT_TRUE(gSys->DestroyWindow(window));
    EXPECT_FALSE(gSys->DestroyWindow(window));
    EXPECT_TRUE(gSys->UnregisterWindowClass("OpenGL"));
    EXPECT_FALSE(gSys->UnregisterWindowClass("OpenGL"));
    EXPECT_EQ(SDL_WasInit(SDL_INIT_VIDEO), 0u);
}

TEST_F(WindowService, OnlyAnExactModeOfFourBytePixelsIsTaken) {
    SDL_DisplayMode desktop;
    ASSERT_EQ(SDL_GetDesktopDisplayMode(0, &desktop), 0);
    ASSERT_EQ(SDL_BYTESPERPIXEL(desktop.format), 4u);
    const struct {
        SysDisplayMode mode;
        int answer;
    } cases[] = {
        {{desktop.w, desktop.h, 32}, DISP_CHANGE_SUCCESSFUL},
        {{desktop.w, desktop.h, 16}, DISP_CHANGE_FAILED},
        {{desktop.w, desktop.h, 24}, DISP_CHANGE_FAILED},
        {{desktop.w + 1, desktop.h, 32}, DISP_CHANGE_FAILED},
        {{desktop.w, desktop.h - 1, 32}, DISP_CHANGE_FAILED},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(gSys->ChangeDisplayMode(&c.mode, CDS_FULLSCREEN), c.answer)
            << c.mode.width << "x" << c.mode.height << "x" << c.mode.bitsPerPixel;
        gSys->ChangeDisplayMode(nullptr, 0);
    }
    SysDisplayMode missing = {desktop.w + 1, desktop.h, 32};
    gSys->ChangeDisplayMode(&missing, CDS_FULLSCREEN);
    EXPECT_NE(std::string(SysLastError()).find("no " + std::to_string(desktop.w + 1) + "x"),
              std::string::npos)
        << SysLastError();

    // A popup made after the change is fullscreen in the mode; undoing it ends that.
    SysDisplayMode exact = {desktop.w, desktop.h, 32};
    ASSERT_EQ(gSys->ChangeDisplayMode(&exact, CDS_FULLSCREEN), DISP_CHANGE_SUCCESSFUL);
    SysWindow popup = gSys->CreateWindow(WS_EX_APPWINDOW, "OpenGL", "test", WS_POPUP, 0, 0,
                                         desktop.w, desktop.h);
    ASSERT_NE(popup, nullptr) << SysLastError();
    EXPECT_TRUE(SDL_GetWindowFlags(popup->sdl) & SDL_WINDOW_FULLSCREEN);
    EXPECT_EQ(gSys->ChangeDisplayMode(nullptr, 0), DISP_CHANGE_SUCCESSFUL);
    EXPECT_FALSE(SDL_GetWindowFlags(popup->sdl) & SDL_WINDOW_FULLSCREEN);
}

TEST_F(WindowService, WindowsGetTheirStyle) {
    SysWindow framed = Window(WS_OVERLAPPEDWINDOW | WS_CLIPSIBLINGS | WS_CLIPCHILDREN);
    ASSERT_NE(framed, nullptr) << SysLastError();
    const Uint32 flags = SDL_GetWindowFlags(framed->sdl);
    EXPECT_TRUE(flags & SDL_WINDOW_RESIZABLE);
    EXPECT_FALSE(flags & (SDL_WINDOW_BORDERLESS | SDL_WINDOW_FULLSCREEN));
    EXPECT_FALSE(flags & SDL_WINDOW_SHOWN);  // hidden until shown
    int w = 0, h = 0;
    SDL_GetWindowSize(framed->sdl, &w, &h);
    EXPECT_EQ(w, 640);
    EXPECT_EQ(h, 480);
    // One window at a time.
    EXPECT_EQ(Window(), nullptr);
    gSys->ShowWindow(framed, SW_SHOW);
    EXPECT_TRUE(SDL_GetWindowFlags(framed->sdl) & SDL_WINDOW_SHOWN);
    EXPECT_TRUE(gSys->DestroyWindow(framed));

    // Without a mode change a popup is an undecorated window of its size.
    SysWindow popup = Window(WS_POPUP);
    ASSERT_NE(popup, nullptr);
    EXPECT_TRUE(SDL_GetWindowFlags(popup->sdl) & SDL_WINDOW_BORDERLESS);
    EXPECT_FALSE(SDL_GetWindowFlags(popup->sdl) & SDL_WINDOW_FULLSCREEN);
}

TEST_F(WindowService, PostedMessagesComeBeforeEventsAndTheQueueNeverWaits) {
    SysWindow window = Window();
    ASSERT_NE(window, nullptr);
    SysMessage m;
    while (gSys->PeekMessage(&m)) {}  // what creating the window queued

    SDL_Event quit = {};
    quit.type = SDL_QUIT;
    SDL_PushEvent(&quit);
    gSys->PostQuitMessage(-3);
    ASSERT_TRUE(gSys->PeekMessage(&m));
    EXPECT_EQ(m.message, WM_QUIT);
    EXPECT_EQ(static_cast<int>(m.wParam), -3);
    ASSERT_TRUE(gSys->PeekMessage(&m));
    EXPECT_EQ(m.message, WM_CLOSE);
    EXPECT_EQ(m.window, window);
    EXPECT_FALSE(gSys->PeekMessage(&m));

    // A key event for the window is dispatched to the class's procedure.
    SDL_Event key = {};
    key.type = SDL_KEYDOWN;
    key.key.windowID = SDL_GetWindowID(window->sdl);
    key.key.keysym.scancode = SDL_SCANCODE_ESCAPE;
    key.key.keysym.sym = SDLK_ESCAPE;
    SDL_PushEvent(&key);
    ASSERT_TRUE(gSys->PeekMessage(&m));
    gSys->TranslateMessage(&m);
    gSys->DispatchMessage(&m);
    ASSERT_EQ(gReceived.size(), 1u);
    EXPECT_EQ(gReceived[0].message, WM_KEYDOWN);
    EXPECT_EQ(gReceived[0].wParam, VK_ESCAPE);
    EXPECT_EQ(gReceived[0].window, window);

    // A message of no window, or of a window that is gone, reaches nobody.
    gReceived.clear();
    SysMessage stray = m;
    stray.window = nullptr;
    EXPECT_EQ(gSys->DispatchMessage(&stray), 0);
    gSys->DestroyWindow(window);
    EXPECT_EQ(gSys->DispatchMessage(&m), 0);
    EXPECT_TRUE(gReceived.empty());
}

TEST_F(WindowService, DefaultProcessingClosesOnAltF4AndTheCloseCommand) {
    SysWindow window = Window();
    ASSERT_NE(window, nullptr);
    const intptr_t altDown = 1 | kKeyAltDown;
    const struct {
        const char* what;
        unsigned message;
        uintptr_t wParam;
        intptr_t lParam;
        std::vector<unsigned> reaching;  // what the procedure then receives, in order
    } cases[] = {
        {"Alt+F4", WM_SYSKEYDOWN, VK_F4, altDown, {WM_SYSCOMMAND, WM_CLOSE}},
        {"F4 without Alt", WM_SYSKEYDOWN, VK_F4, 1, {}},
        {"F10", WM_SYSKEYDOWN, VK_F10, 1, {}},
        {"Alt+F4 released", WM_SYSKEYUP, VK_F4, altDown | kKeyWasDown | kKeyTransitionUp, {}},
        {"close command", WM_SYSCOMMAND, SC_CLOSE, 0, {WM_CLOSE}},
        {"close command, system bits", WM_SYSCOMMAND, SC_CLOSE | 0x2, 0, {WM_CLOSE}},
        {"key menu", WM_SYSCOMMAND, SC_KEYMENU, 0, {}},
        {"screen saver", WM_SYSCOMMAND, SC_SCREENSAVE, 0, {}},
        {"anything else", WM_ACTIVATE, WA_ACTIVE, 0, {}},
    };
    for (const auto& c : cases) {
        gReceived.clear();
        EXPECT_EQ(gSys->DefWindowProc(window, c.message, c.wParam, c.lParam), 0) << c.what;
        std::vector<unsigned> got;
        for (const Received& r : gReceived) {
            got.push_back(r.message);
            if (r.message == WM_SYSCOMMAND) {
                EXPECT_EQ(r.wParam, SC_CLOSE) << c.what;
            }
        }
        EXPECT_EQ(got, c.reaching) << c.what;
    }
    // Reaching default processing, the screen-saver command lets the saver run again.
    EXPECT_TRUE(SDL_IsScreenSaverEnabled());
}

TEST_F(WindowService, RegisteringKeepsTheScreenSaverOff) {
    EXPECT_FALSE(SDL_IsScreenSaverEnabled());
}

TEST_F(WindowService, PixelFormatAndContextLifeCycle) {
    SysWindow window = Window();
    ASSERT_NE(window, nullptr);
    SysDeviceContext dc = gSys->GetDC(window);
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(gSys->GetDC(window), dc);  // the window's own

    SysPixelFormat format = ProgramFormat();
    SysPixelFormat single = format;
    single.flags &= ~PFD_DOUBLEBUFFER;
    SysPixelFormat indexed = format;
    indexed.pixelType = 1;  // colour index
    SysPixelFormat noGl = format;
    noGl.flags &= ~PFD_SUPPORT_OPENGL;
    EXPECT_EQ(gSys->ChoosePixelFormat(dc, &format), 1);
    EXPECT_EQ(gSys->ChoosePixelFormat(dc, &single), 0);
    EXPECT_EQ(gSys->ChoosePixelFormat(dc, &indexed), 0);
    EXPECT_EQ(gSys->ChoosePixelFormat(dc, &noGl), 0);

    EXPECT_EQ(gSys->CreateContext(dc), nullptr);  // no pixel format yet
    EXPECT_FALSE(gSys->SetPixelFormat(dc, 2, &format));
    ASSERT_TRUE(gSys->SetPixelFormat(dc, 1, &format)) << SysLastError();
    EXPECT_FALSE(gSys->SetPixelFormat(dc, 1, &format));  // set once

    SysRenderContext rc = gSys->CreateContext(dc);
    ASSERT_NE(rc, nullptr) << SysLastError();
    EXPECT_EQ(SDL_GL_GetCurrentContext(), nullptr);  // made, not yet current
    ASSERT_TRUE(gSys->MakeCurrent(dc, rc)) << SysLastError();
    EXPECT_EQ(SDL_GL_GetCurrentContext(), rc->gl);
    EXPECT_EQ(SDL_GL_GetSwapInterval(), 1);  // in step with the display
    glClearColor(0.0f, 1.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    unsigned char pixel[4] = {};
    glReadPixels(0, 0, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
    EXPECT_EQ(pixel[1], 255);
    GLint depthBits = 0;
    glGetIntegerv(GL_DEPTH_BITS, &depthBits);
    EXPECT_GE(depthBits, 16);
    EXPECT_TRUE(gSys->SwapBuffers(dc));

    EXPECT_TRUE(gSys->MakeCurrent(nullptr, nullptr));
    EXPECT_EQ(SDL_GL_GetCurrentContext(), nullptr);
    EXPECT_FALSE(gSys->MakeCurrent(dc, nullptr));
    EXPECT_TRUE(gSys->DeleteContext(rc));
    EXPECT_FALSE(gSys->DeleteContext(rc));
    EXPECT_FALSE(gSys->MakeCurrent(dc, rc));

    int stranger = 0;
    EXPECT_FALSE(gSys->ReleaseDC(window, reinterpret_cast<SysDeviceContext>(&stranger)));
    EXPECT_TRUE(gSys->ReleaseDC(window, dc));
    EXPECT_TRUE(gSys->DestroyWindow(window));
    EXPECT_FALSE(gSys->SwapBuffers(dc));
    EXPECT_EQ(gSys->GetDC(window), nullptr);
}

TEST_F(WindowService, AnotherPixelFormatRemakesTheHiddenWindow) {
    SysWindow window = Window();
    ASSERT_NE(window, nullptr);
    SysDeviceContext dc = gSys->GetDC(window);
    SysPixelFormat deep = ProgramFormat();
    deep.depthBits = 24;
    deep.stencilBits = 8;
    ASSERT_EQ(gSys->ChoosePixelFormat(dc, &deep), 1);
    ASSERT_TRUE(gSys->SetPixelFormat(dc, 1, &deep)) << SysLastError();
    SysRenderContext rc = gSys->CreateContext(dc);
    ASSERT_NE(rc, nullptr) << SysLastError();
    ASSERT_TRUE(gSys->MakeCurrent(dc, rc));
    GLint stencilBits = 0;
    glGetIntegerv(GL_STENCIL_BITS, &stencilBits);
    EXPECT_GE(stencilBits, 8);
    EXPECT_TRUE(gSys->MakeCurrent(nullptr, nullptr));
    EXPECT_TRUE(gSys->DeleteContext(rc));
}

TEST(MessageBoxFallback, WithoutADisplayTheTextGoesToStandardError) {
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    gSys = SysSdlBackend();
    const struct {
        unsigned type;
        const char* caption;
        const char* text;
    } cases[] = {
        {MB_OK | MB_ICONEXCLAMATION, "ERROR", "Window Creation Error."},
        {MB_YESNO | MB_ICONEXCLAMATION, "Ortolo GL", "First line\nSecond line"},
        {MB_OK | MB_ICONINFORMATION, "SHUTDOWN ERROR", "Could Not Unregister Class."},
    };
    for (const auto& c : cases) {
        testing::internal::CaptureStderr();
        const int answer = gSys->MessageBox(c.text, c.caption, c.type);
        const std::string said = testing::internal::GetCapturedStderr();
        EXPECT_EQ(answer, 0) << c.caption;
        EXPECT_EQ(said, std::string(c.caption) + ": " + c.text + "\n");
        EXPECT_NE(std::string(SysLastError()).find("MessageBox"), std::string::npos);
    }
}

}  // namespace
