// The render window: display mode, window, device context, GL context and the keyboard
// and minimised state recorded from the window's messages.
#pragma once

#include <cstdint>

#include "platform/platform.h"

extern bool gKeyDown[256];
extern bool gWindowActive;
extern bool gFullscreenMode;
extern SysWindow gWindow;
extern SysDeviceContext gDeviceContext;
extern SysRenderContext gRenderContext;

bool OpenRenderWindow(const char* title, int width, int height, int bits, bool fullscreen);
void CloseRenderWindow();
intptr_t WindowProcedure(SysWindow window, unsigned message, uintptr_t wParam,
                         intptr_t lParam);
void ResizeViewport(int width, int height);
