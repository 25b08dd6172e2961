// Bounds on the pictures this program reads and writes: larger ones are refused before any
// buffer of their size is made.
#pragma once

#include <cstddef>
#include <cstdint>

inline constexpr std::uint32_t kMaxPictureSide = 16384;                 // pixels
inline constexpr std::size_t kMaxPictureFileBytes = 64u * 1024 * 1024;  // bytes
