#pragma once

#include <string_view>

inline constexpr std::string_view kProgramTitle = "Quorvane CPU Lumarian";
inline constexpr std::string_view kProgramVersion = "Quorvane CPU Lumarian version 0.7";
