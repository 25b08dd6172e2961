// PNG files through libpng: the logo pictures are read, the window snapshots written.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "images/Image.h"

// Decodes PNG bytes of any bit depth and colour type into RGBA. False, with a one-line reason
// in `error`, for bytes that are not a whole, valid PNG; `image` is then left as it was.
bool DecodePng(std::span<const std::uint8_t> bytes, tImage& image, std::string& error);
// Reads and decodes the file at `path`.
bool LoadPng(const std::string& path, tImage& image, std::string& error);
// Encodes `image` losslessly as an 8-bit RGBA PNG into `bytes`. False, with the reason, for a
// picture without pixels, larger than the decoder accepts, or whose buffer does not match its
// size; `bytes` is then left as it was.
bool EncodePng(const tImage& image, std::vector<std::uint8_t>& bytes, std::string& error);
// Writes `image` losslessly as a PNG file, whole or not at all (WriteFileBytes). False, with
// the reason ("cannot write PATH: ..."), when the picture cannot be encoded or the file cannot
// be made.
bool SavePng(const std::string& path, const tImage& image, std::string& error);
