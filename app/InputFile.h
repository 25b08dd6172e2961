// Reading a file named on the command line, whatever it turns out to be: a regular file, a
// pipe (/dev/stdin), or a FIFO that nobody writes to.
#pragma once

#include <chrono>
#include <cstddef>
#include <optional>
#include <string>

// How long a pipe may stay silent before reading it gives up.
inline constexpr std::chrono::milliseconds kInputIdleLimit{5000};

// Reads at most `maxBytes` bytes of the file at `path` into `bytes`. Opening never waits: a FIFO
// without a writer reads as empty. A pipe that stays silent for `idleLimit` is given up on.
// Devices are refused unopened (opening some of them has effects of its own). Nothing on
// success; otherwise the reason, "cannot open: ..." or "cannot read: ...", and `bytes` is left
// as it was.
std::optional<std::string> ReadInputFile(const std::string& path, std::size_t maxBytes,
                                         std::string& bytes,
                                         std::chrono::milliseconds idleLimit = kInputIdleLimit);
