// The program's spine: open the window, start the music, run the frame loop, tear down.
#pragma once

#include "platform/platform.h"

extern bool gMusicPending;
extern SysStream gMusicStream;

int ProgramMain();
