// The 3-D outline font: one display list per character code, each an extruded glyph of
// the bold "times" face that advances the pen to the next character.
#pragma once

#include <cstdint>

extern uint32_t gFontListBase;

void BuildOutlineFont();
void DeleteOutlineFont();
void PrintOutlineText(const char* text);
