// PNG decoding and encoding with libpng. libpng reports errors by longjmp: every function that
// calls setjmp keeps its C++ objects in the caller's frame (reached through references), so
// that no destructor is ever skipped and no local changes after setjmp are relied upon.
#include "images/Png.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <new>

#include "images/FileBytes.h"
#include "images/Limits.h"

namespace {

constexpr std::size_t kSignatureBytes = 8;

// Where libpng's error callback leaves its message before jumping back: a fixed buffer, so
// that nothing can throw past libpng's C frames.
struct tPngReport {
  char Message[256] = {};
};

void OnPngError(png_structp png, png_const_charp message) {
  auto* report = static_cast<tPngReport*>(png_get_error_ptr(png));
  std::snprintf(report->Message, sizeof report->Message, "%s", message);
  png_longjmp(png, 1);
}

void OnPngWarning(png_structp, png_const_charp) {}

// ---- decoding

struct tReadCursor {
  std::span<const std::uint8_t> Bytes;
  std::size_t Position = 0;
};

void ReadFromMemory(png_structp png, png_bytep out, png_size_t count) {
  auto* cursor = static_cast<tReadCursor*>(png_get_io_ptr(png));
  if (count > cursor->Bytes.size() - cursor->Position) png_error(png, "PNG data is cut short");
  std::memcpy(out, cursor->Bytes.data() + cursor->Position, count);
  cursor->Position += count;
}

// Frees the read structures however decoding ends.
struct tReadStructs {
  png_structp Png = nullptr;
  png_infop Info = nullptr;
  ~tReadStructs() { png_destroy_read_struct(&Png, &Info, nullptr); }
};

enum class tDecodeStep { Done, LibpngError, TooShort };

// What decoding fills, kept outside the frame that calls setjmp.
struct tDecodeBuffers {
  tImage Image;
  std::vector<png_bytep> Rows;
  std::vector<std::uint8_t> Indices;  // of a palette picture, one a pixel
};

// Looks the palette indices up into RGBA. libpng itself would paint an index beyond the
// palette black and only warn; such a file is refused instead.
void PaintFromPalette(tReadStructs& s, tDecodeBuffers& b) {
  png_colorp palette = nullptr;
  int colours = 0;
  if (png_get_PLTE(s.Png, s.Info, &palette, &colours) == 0) png_error(s.Png, "missing palette");
  png_bytep alphas = nullptr;
  int alphaCount = 0;
  png_get_tRNS(s.Png, s.Info, &alphas, &alphaCount, nullptr);
  std::uint8_t* out = b.Image.Rgba.data();
  for (const std::uint8_t index : b.Indices) {
    if (index >= colours) png_error(s.Png, "palette index beyond the palette");
    out[0] = palette[index].red;
    out[1] = palette[index].green;
    out[2] = palette[index].blue;
    out[3] = index < alphaCount ? alphas[index] : 0xFF;
    out += 4;
  }
}

// Reads the header, sets the transformations to 8-bit RGBA (or one palette index a byte),
// sizes the buffers and reads the rows. Only trivially destructible locals here: a png_error
// jumps back into this frame.
tDecodeStep DecodeRows(tReadStructs& s, std::size_t inputBytes, tDecodeBuffers& b) {
  if (setjmp(png_jmpbuf(s.Png))) return tDecodeStep::LibpngError;

  png_set_user_limits(s.Png, kMaxPictureSide, kMaxPictureSide);
  png_read_info(s.Png, s.Info);
  const png_uint_32 width = png_get_image_width(s.Png, s.Info);  // 1 to kMaxPictureSide
  const png_uint_32 height = png_get_image_height(s.Png, s.Info);
  // Deflate packs at most 1032 bytes into one: a file shorter than its rows require is
  // rejected before a buffer of the claimed size is made.
  const std::uint64_t packedRow =
      (std::uint64_t{width} * png_get_channels(s.Png, s.Info) * png_get_bit_depth(s.Png, s.Info) +
       7) /
      8;
  if (packedRow * height / 1032 > inputBytes) return tDecodeStep::TooShort;

  const bool indexed = png_get_color_type(s.Png, s.Info) == PNG_COLOR_TYPE_PALETTE;
  if (indexed) {
    png_set_packing(s.Png);  // 1, 2 and 4-bit indices to one a byte
  } else {
    png_set_expand(s.Png);  // grey below 8 bits to 8, a transparent colour to alpha
    png_set_strip_16(s.Png);
    png_set_gray_to_rgb(s.Png);
    png_set_add_alpha(s.Png, 0xFF, PNG_FILLER_AFTER);
  }
  png_set_interlace_handling(s.Png);
  png_read_update_info(s.Png, s.Info);
  const std::size_t rowBytes = std::size_t{width} * (indexed ? 1 : 4);
  if (png_get_rowbytes(s.Png, s.Info) != rowBytes)
    png_error(s.Png, "unexpected row layout after conversion");

  b.Image.Width = static_cast<int>(width);
  b.Image.Height = static_cast<int>(height);
  b.Image.Rgba.resize(std::size_t{width} * height * 4);
  if (indexed) b.Indices.resize(std::size_t{width} * height);
  std::uint8_t* const pixels = indexed ? b.Indices.data() : b.Image.Rgba.data();
  b.Rows.resize(height);
  for (png_uint_32 y = 0; y < height; ++y)
    b.Rows[y] = pixels + y * rowBytes;
  png_read_image(s.Png, b.Rows.data());
  png_read_end(s.Png, nullptr);  // the chunks after the pixels, up to IEND, with their CRCs
  if (indexed) PaintFromPalette(s, b);
  return tDecodeStep::Done;
}

// ---- encoding

struct tWriteStructs {
  png_structp Png = nullptr;
  png_infop Info = nullptr;
  ~tWriteStructs() { png_destroy_write_struct(&Png, &Info); }
};

struct tWriteSink {
  std::vector<std::uint8_t>* Out = nullptr;
};

void WriteToMemory(png_structp png, png_bytep data, png_size_t count) {
  auto* sink = static_cast<tWriteSink*>(png_get_io_ptr(png));
  try {
    sink->Out->insert(sink->Out->end(), data, data + count);
  } catch (const std::bad_alloc&) {
    png_error(png, "out of memory");
  }
}

void FlushMemory(png_structp) {}

bool EncodeRows(tWriteStructs& s, const tImage& image, std::vector<png_bytep>& rows) {
  if (setjmp(png_jmpbuf(s.Png))) return false;
  png_set_IHDR(s.Png, s.Info, static_cast<png_uint_32>(image.Width),
               static_cast<png_uint_32>(image.Height), 8, PNG_COLOR_TYPE_RGB_ALPHA,
               PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(s.Png, s.Info);
  png_write_image(s.Png, rows.data());
  png_write_end(s.Png, nullptr);
  return true;
}

}  // namespace

bool DecodePng(std::span<const std::uint8_t> bytes, tImage& image, std::string& error) {
  if (bytes.size() < kSignatureBytes || png_sig_cmp(bytes.data(), 0, kSignatureBytes) != 0) {
    error = "not a PNG file";
    return false;
  }
  try {
    tPngReport report;
    tReadCursor cursor{bytes, 0};
    tReadStructs s;
    s.Png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &report, OnPngError, OnPngWarning);
    if (s.Png != nullptr) s.Info = png_create_info_struct(s.Png);
    if (s.Info == nullptr) throw std::bad_alloc();
    png_set_read_fn(s.Png, &cursor, ReadFromMemory);

    tDecodeBuffers buffers;
    switch (DecodeRows(s, bytes.size(), buffers)) {
      case tDecodeStep::Done:
        image = std::move(buffers.Image);
        return true;
      case tDecodeStep::LibpngError:
        error = std::string("invalid PNG: ") + report.Message;
        return false;
      case tDecodeStep::TooShort:
        error = "PNG data is too short for its picture size";
        return false;
    }
  } catch (const std::bad_alloc&) {
    error = "out of memory decoding PNG";
  }
  return false;
}

bool LoadPng(const std::string& path, tImage& image, std::string& error) {
  std::vector<std::uint8_t> bytes;
  if (!ReadFileBytes(path, kMaxPictureFileBytes, bytes, error)) return false;
  if (DecodePng(bytes, image, error)) return true;
  error = path + ": " + error;
  return false;
}

bool EncodePng(const tImage& image, std::vector<std::uint8_t>& bytes, std::string& error) {
  if (image.Width < 1 || image.Height < 1 || image.Width > static_cast<int>(kMaxPictureSide) ||
      image.Height > static_cast<int>(kMaxPictureSide)) {
    error = "cannot encode a picture of " + std::to_string(image.Width) + " x " +
            std::to_string(image.Height) + " pixels";
    return false;
  }
  const std::size_t rowBytes = static_cast<std::size_t>(image.Width) * 4;
  if (image.Rgba.size() != rowBytes * static_cast<std::size_t>(image.Height)) {
    error = "pixel buffer does not match the picture size";
    return false;
  }
  try {
    tPngReport report;
    std::vector<std::uint8_t> encoded;
    tWriteSink sink{&encoded};
    tWriteStructs s;
    s.Png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &report, OnPngError, OnPngWarning);
    if (s.Png != nullptr) s.Info = png_create_info_struct(s.Png);
    if (s.Info == nullptr) throw std::bad_alloc();
    png_set_write_fn(s.Png, &sink, WriteToMemory, FlushMemory);

    // libpng takes non-const row pointers but only reads them when writing.
    std::vector<png_bytep> rows(static_cast<std::size_t>(image.Height));
    auto* pixels = const_cast<std::uint8_t*>(image.Rgba.data());
    for (std::size_t y = 0; y < rows.size(); ++y)
      rows[y] = pixels + y * rowBytes;
    if (!EncodeRows(s, image, rows)) {
      error = std::string("cannot encode PNG: ") + report.Message;
      return false;
    }
    bytes = std::move(encoded);
    return true;
  } catch (const std::bad_alloc&) {
    error = "out of memory encoding PNG";
  }
  return false;
}

bool SavePng(const std::string& path, const tImage& image, std::string& error) {
  std::vector<std::uint8_t> bytes;
  if (!EncodePng(image, bytes, error)) {
    error = "cannot write " + path + ": " + error;
    return false;
  }
  return WriteFileBytes(path, bytes, error);
}
