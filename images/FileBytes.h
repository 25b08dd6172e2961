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

// Makes `bytes` the content of the file at `path`: they are written to a new file in the same
// folder, which then takes the name, replacing what had it; a file replaced passes its
// permissions on to the new one, a new name gets those the umask leaves. A symbolic link at the
// name is replaced, not followed; a folder, device or FIFO at the name is refused. False, with
// "cannot write PATH: REASON" in `error`, when the file cannot be made; what had the name is
// then left as it was, and nothing else remains.
bool WriteFileBytes(const std::string& path, std::span<const std::uint8_t> bytes,
                    std::string& error);
