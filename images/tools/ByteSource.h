// For the build-time picture generators: a C++ source file that carries a picture's bytes
// into the program.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

// Writes to `path` a source that includes `header` and defines
// `std::span<const std::uint8_t> function()` returning `bytes`, under a first comment line
// naming `generator` and what the bytes are. False when the file cannot be written.
bool WriteByteSource(const char* path, std::string_view generator, std::string_view what,
                     std::string_view header, std::string_view function,
                     std::span<const std::uint8_t> bytes);
