#pragma once
#include "Edition.h"

// Starts the program of `edition`: the main window, the hidden About window,
// the message loop. Returns the process's exit status.
int RunProgram(const Edition &edition, int argc, char **argv);
