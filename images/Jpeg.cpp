// JPEG decoding with libjpeg. Its error manager jumps back here instead of ending the program;
// the function that calls setjmp keeps its C++ objects in the caller's frame, so that no
// destructor is ever skipped. Warnings about corrupt data count as errors: a picture that
// libjpeg would patch up is not the picture that was stored.
#include "images/Jpeg.h"

// jpeglib.h needs size_t and FILE declared before it.
#include <cstddef>
#include <cstdio>

#include <jpeglib.h>

#include <csetjmp>
#include <new>

#include "images/Limits.h"

namespace {

// Memory libjpeg may use for its whole-image buffers (progressive files); beyond it the
// decoding fails instead of growing.
constexpr long kMaxJpegWorkingMemory = 256L * 1024 * 1024;

struct tJpegErrors {
  jpeg_error_mgr Manager{};
  std::jmp_buf Jump{};
  char Message[JMSG_LENGTH_MAX] = {};
};

[[noreturn]] void OnJpegError(j_common_ptr info) {
  auto* errors = reinterpret_cast<tJpegErrors*>(info->err);
  errors->Manager.format_message(info, errors->Message);
  std::longjmp(errors->Jump, 1);
}

void OnJpegMessage(j_common_ptr info, int level) {
  if (level < 0) OnJpegError(info);  // a warning: the data is corrupt
}

void OnJpegOutput(j_common_ptr) {}

struct tDecompressor {
  jpeg_decompress_struct Info{};
  tJpegErrors Errors;
  bool Created = false;
  ~tDecompressor() {
    if (Created) jpeg_destroy_decompress(&Info);
  }
};

enum class tDecodeStep { Done, LibjpegError, TooLarge };

// Only trivially destructible locals here: an error jumps back into this frame.
tDecodeStep DecodeRows(tDecompressor& d, std::span<const std::uint8_t> bytes, tImage& image,
                       std::vector<std::uint8_t>& row) {
  if (setjmp(d.Errors.Jump)) return tDecodeStep::LibjpegError;

  jpeg_create_decompress(&d.Info);
  d.Created = true;
  d.Info.mem->max_memory_to_use = kMaxJpegWorkingMemory;
  jpeg_mem_src(&d.Info, bytes.data(), static_cast<unsigned long>(bytes.size()));
  jpeg_read_header(&d.Info, TRUE);
  if (d.Info.image_width > kMaxPictureSide || d.Info.image_height > kMaxPictureSide)
    return tDecodeStep::TooLarge;
  d.Info.out_color_space = JCS_RGB;
  jpeg_start_decompress(&d.Info);

  const std::size_t width = d.Info.output_width;
  row.resize(width * 3);
  image.Width = static_cast<int>(width);
  image.Height = static_cast<int>(d.Info.output_height);
  // Grown row by row: a file that claims a large picture but holds little data fails before
  // the whole buffer is made.
  image.Rgba.reserve(width * 4 * 64);
  while (d.Info.output_scanline < d.Info.output_height) {
    JSAMPROW rows[1] = {row.data()};
    jpeg_read_scanlines(&d.Info, rows, 1);
    const std::size_t start = image.Rgba.size();
    image.Rgba.resize(start + width * 4);
    std::uint8_t* out = image.Rgba.data() + start;
    for (std::size_t x = 0; x < width; ++x, out += 4) {
      out[0] = row[x * 3];
      out[1] = row[x * 3 + 1];
      out[2] = row[x * 3 + 2];
      out[3] = 0xFF;
    }
  }
  jpeg_finish_decompress(&d.Info);
  return tDecodeStep::Done;
}

}  // namespace

bool DecodeJpeg(std::span<const std::uint8_t> bytes, tImage& image, std::string& error) {
  try {
    tDecompressor d;
    d.Info.err = jpeg_std_error(&d.Errors.Manager);
    d.Errors.Manager.error_exit = OnJpegError;
    d.Errors.Manager.emit_message = OnJpegMessage;
    d.Errors.Manager.output_message = OnJpegOutput;

    tImage decoded;
    std::vector<std::uint8_t> row;
    switch (DecodeRows(d, bytes, decoded, row)) {
      case tDecodeStep::Done:
        image = std::move(decoded);
        return true;
      case tDecodeStep::LibjpegError:
        error = std::string("invalid JPEG: ") + d.Errors.Message;
        return false;
      case tDecodeStep::TooLarge:
        error = "JPEG picture larger than " + std::to_string(kMaxPictureSide) + " pixels a side";
        return false;
    }
  } catch (const std::bad_alloc&) {
    error = "out of memory decoding JPEG";
  }
  return false;
}
