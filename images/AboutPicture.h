// The product picture of the About page, built into the program as JPEG bytes.
#pragma once

#include <cstdint>
#include <span>

std::span<const std::uint8_t> AboutPictureJpeg();
