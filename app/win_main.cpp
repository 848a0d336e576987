// The Win32 entry: everything else is the program's own.
#include <windows.h>

#include "app/program.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) { return pebitness::ProgramMain(); }
