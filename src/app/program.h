// The program's run, from the first thing it does to the end of its message
// loop, over whichever platform services it is given.
#pragma once

#include <windows.h>

#include "platform/services.h"

namespace quorvel {

// Readies the process before anything can load a library. Call it first.
void PrepareProcess();

// Shows the window and answers the user until the window is closed; returns
// the exit code.
int RunProgram(HINSTANCE instance, int show_command, const Services& services);

}  // namespace quorvel
