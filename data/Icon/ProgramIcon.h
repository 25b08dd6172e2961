// The program's icon, built into the program as PNG bytes.
#pragma once

#include <cstdint>
#include <span>

std::span<const std::uint8_t> ProgramIconPng();
