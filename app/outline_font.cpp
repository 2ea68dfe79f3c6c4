// Stand-in until the outline font lands: no lists are reserved.
#include "app/outline_font.h"

uint32_t gFontListBase = 0;

void BuildOutlineFont() {}
void DeleteOutlineFont() {}
void PrintOutlineText(const char*) {}
