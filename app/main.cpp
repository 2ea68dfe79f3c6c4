// Process entry.
#include "app/program_main.h"

int main() { return ProgramMain(); }
