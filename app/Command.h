// What the command does with its arguments: the usage, the version, the dump, the window or
// the report. Shared by the command lumarian, which never loads Qt, and the window program
// lumarian-window, which it runs in its place when a window is wanted.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/ReplayProcessorServices.h"

inline constexpr int kUsageError = 2;
inline constexpr int kOutputError = 1;

// Runs the window until it is closed and gives the exit status; nothing, with nothing shown,
// when no display could be opened. `recordings` are the processors of the loaded listings
// (empty: this machine's), `sources` the listing each of them was read from; without
// `loadDriver` (-nodriver) no driver is started; `refusal` receives, when no display could be
// opened, the reason the platform gave.
using tWindowRun = std::optional<int> (*)(int argc, char** argv,
                                          const std::vector<platform::tCpuidRecording>& recordings,
                                          const std::vector<platform::tRecordingSource>& sources,
                                          bool loadDriver, std::string& refusal);

// True when the arguments are usable and ask for the window: neither --help, --version,
// --dump nor --report, and the environment names a display.
bool WindowWanted(int argc, char** argv);

// Does what the arguments ask and gives the exit status. Where the window is wanted it runs
// through `runWindow`, and the text report follows, after one line on standard error, when no
// display could be opened; without `runWindow` (null) the text report is written right away.
int RunCommand(int argc, char** argv, tWindowRun runWindow);
