// JPEG decoding through libjpeg: the picture of the About page.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "images/Image.h"

// Decodes JPEG bytes into RGBA (alpha 255). False, with a one-line reason in `error`, for
// bytes that are not a valid JPEG; `image` is then left as it was.
bool DecodeJpeg(std::span<const std::uint8_t> bytes, tImage& image, std::string& error);
