// Whole-file reads and writes for the picture files, with the reason when they fail.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

// Reads the regular file at `path` into `bytes`. False, with "cannot read PATH: REASON" in
// `error`, when it is missing, not a regular file, larger than `maxBytes` or unreadable;
// `bytes` is then left as it was.
bool ReadFileBytes(const std::string& path, std::size_t maxBytes, std::vector<std::uint8_t>& bytes,
                   std::string& error);

// Creates or truncates the file at `path` and writes `bytes` to it. False, with
// "cannot write PATH: REASON" in `error`, when it cannot be created or written. A regular file
// left half-written by a failed write is removed; nothing else is ever removed.
bool WriteFileBytes(const std::string& path, std::span<const std::uint8_t> bytes,
                    std::string& error);
