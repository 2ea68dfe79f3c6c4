// The GL calls of text printing and font deletion, as this test executable saw them:
// "glPushAttrib 0x20000", "glListBase 1", "glCallLists 2 0x1401", "glPopAttrib",
// "glCallList 66", "glDeleteLists 1 256".
#pragma once

#include <string>
#include <vector>

extern std::vector<std::string> gSeamCalls;
