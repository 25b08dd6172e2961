// Feeds arbitrary bytes to the picture decoders, as a logo file or the About picture would
// reach them. A decoded picture must hold exactly its pixels, and a PNG must survive being
// written and read back unchanged.
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>
#include <vector>

#include "images/Jpeg.h"
#include "images/Png.h"

namespace {

void CheckShape(const tImage& image) {
  if (image.Width < 1 || image.Height < 1 ||
      image.Rgba.size() != static_cast<std::size_t>(image.Width) * image.Height * 4)
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> bytes(data, size);
  std::string error;
  tImage png;
  if (DecodePng(bytes, png, error)) {
    CheckShape(png);
    std::vector<std::uint8_t> encoded;
    tImage again;
    if (!EncodePng(png, encoded, error) || !DecodePng(encoded, again, error)) std::abort();
    if (again.Width != png.Width || again.Height != png.Height || again.Rgba != png.Rgba)
      std::abort();
  } else if (error.empty()) {
    std::abort();
  }

  tImage jpeg;
  error.clear();
  if (DecodeJpeg(bytes, jpeg, error)) {
    CheckShape(jpeg);
  } else if (error.empty()) {
    std::abort();
  }
  return 0;
}
