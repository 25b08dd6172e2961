// The program's window: started by main when there is a display and no report was asked for.
#pragma once

#include <vector>

#include "platform/ReplayProcessorServices.h"

// Runs the window until it is closed and returns the exit code. `argv[1]`, when it is exactly
// "-nodmi", skips the firmware tables. `recordings` are the processors of dump files to show
// instead of this machine's (empty: this machine); with recordings no driver is opened, and
// the caption says so.
int RunWindow(int& argc, char** argv, std::vector<platform::tCpuidRecording> recordings);
