// The entries of the SDL backend's table, one group per file of platform/sdl/.
#pragma once

#include "platform/platform.h"

// sdl_window.cpp: class, display mode, message boxes, cursor, window.
bool SdlRegisterWindowClass(const SysWindowClass* windowClass);
bool SdlUnregisterWindowClass(const char* className);
int SdlChangeDisplayMode(const SysDisplayMode* mode, unsigned flags);
int SdlMessageBox(const char* text, const char* caption, unsigned type);
void SdlShowCursor(bool show);
void SdlAdjustWindowRect(SysRect* rect, unsigned style, unsigned exStyle);
SysWindow SdlCreateWindow(unsigned exStyle, const char* className, const char* title,
                          unsigned style, int x, int y, int width, int height);
bool SdlDestroyWindow(SysWindow window);
void SdlShowWindow(SysWindow window, int how);
void SdlSetForegroundWindow(SysWindow window);
void SdlSetFocus(SysWindow window);

// sdl_context.cpp: device context, pixel format, GL contexts, buffer swap.
SysDeviceContext SdlGetDC(SysWindow window);
bool SdlReleaseDC(SysWindow window, SysDeviceContext dc);
int SdlChoosePixelFormat(SysDeviceContext dc, const SysPixelFormat* format);
bool SdlSetPixelFormat(SysDeviceContext dc, int index, const SysPixelFormat* format);
SysRenderContext SdlCreateContext(SysDeviceContext dc);
bool SdlMakeCurrent(SysDeviceContext dc, SysRenderContext rc);
bool SdlDeleteContext(SysRenderContext rc);
bool SdlSwapBuffers(SysDeviceContext dc);

// sdl_events.cpp: the message queue and default processing.
bool SdlPeekMessage(SysMessage* message);
void SdlTranslateMessage(const SysMessage* message);
intptr_t SdlDispatchMessage(const SysMessage* message);
intptr_t SdlDefWindowProc(SysWindow window, unsigned message, uintptr_t wParam,
                          intptr_t lParam);
void SdlPostQuitMessage(int exitCode);

// sdl_counter.cpp
int64_t SdlQueryCounter();
int64_t SdlQueryFrequency();

// sdl_sound.cpp: SDL2_mixer.
bool SdlSoundInit(int mixRate, int softwareChannels, unsigned flags);
SysStream SdlSoundStreamOpen(const char* file, unsigned mode, int offset, int length);
int SdlSoundStreamPlay(int channel, SysStream stream);
bool SdlSoundStreamStop(SysStream stream);
bool SdlSoundStreamClose(SysStream stream);
void SdlSoundClose();
