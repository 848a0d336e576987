// The program's entry and its one-time initialisation.
#pragma once

namespace pebitness {

// Completes the platform's start-up, runs ProgramInit, loads and shows MainWindow and runs the
// message loop until the window has been closed. Returns 0.
int ProgramMain();

// Registers the fatal-error report, before any window is loaded.
void ProgramInit();

}  // namespace pebitness
