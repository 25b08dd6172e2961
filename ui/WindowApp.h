// The program's window: started by the window program, lumarian-window, which the command
// lumarian runs when a display is named and no report or dump was asked for.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/ReplayProcessorServices.h"
#include "ui/MainUn.h"

// The window's set-up for processors recorded in dump files: no driver is tried for them (and
// the caption says nothing about one), no firmware tables are read.
// `sources` say which listing each recording was read from (none: one unnamed listing).
tMainSetup RecordedProcessorsSetup(std::vector<platform::tCpuidRecording> recordings,
                                   std::vector<platform::tRecordingSource> sources = {});

// Runs the window until it is closed and returns the exit code; nothing, with nothing shown,
// when no display could be opened, and `refusal` then says why, in the platform's words. `argv[1]`,
// when it is exactly "-nodmi", skips the firmware tables. `recordings` are the processors of dump
// files to show instead of this machine's (empty: this machine), `sources` the listing each was
// read from. Without `loadDriver` (-nodriver) the driver is not started, and the caption says it is
// not loaded.
std::optional<int> RunWindow(int argc, char** argv,
                             const std::vector<platform::tCpuidRecording>& recordings,
                             const std::vector<platform::tRecordingSource>& sources,
                             bool loadDriver, std::string& refusal);
