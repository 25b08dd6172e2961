// Build-time generator of the About page's product picture: draws a chip with circuit traces
// and a clock wave (350 x 100 pixels), compresses it as JPEG and writes a C++ source that
// holds the bytes. The same build tools give the same bytes on every run.
// Usage: MakeAboutPicture OUTPUT.cpp
#include <cstddef>
#include <cstdio>

#include <jpeglib.h>

#include <cstdint>
#include <cstdlib>
#include <iostream>
#include <vector>

#include "images/tools/ByteSource.h"
#include "images/tools/Canvas.h"

namespace {

constexpr int kWidth = 350;
constexpr int kHeight = 100;
constexpr int kQuality = 92;

constexpr tColour kNightTop{12, 24, 64}, kNightBottom{28, 60, 130};
constexpr tColour kPackage{40, 42, 48}, kPin{196, 170, 90}, kDie{120, 128, 140};
constexpr tColour kDieLight{200, 208, 220}, kTrace{90, 200, 230}, kWave{250, 210, 90};

void DrawChip(tCanvas& canvas) {
  const tBox body{22, 14, 94, 86};
  for (int i = 0; i < 7; ++i) {  // pins on all four sides
    const double across = 27 + i * 10, down = 18 + i * 10;
    canvas.FillBox({across, 8, across + 4, 14}, kPin);
    canvas.FillBox({across, 86, across + 4, 92}, kPin);
    canvas.FillBox({16, down, 22, down + 4}, kPin);
    canvas.FillBox({94, down, 100, down + 4}, kPin);
  }
  canvas.FillRoundedBox(body, 6, kPackage);
  canvas.FillRoundedBox({38, 30, 78, 70}, 3, kDie);
  for (int row = 0; row < 4; ++row) {  // the die's cells
    for (int col = 0; col < 4; ++col) {
      const double x = 41 + col * 9, y = 33 + row * 9;
      canvas.FillBox({x, y, x + 7, y + 7}, Mix(kDie, kDieLight, (row + col) / 6.0));
    }
  }
}

void DrawTraces(tCanvas& canvas) {
  struct tTrace {
    double StartY, BendX, EndY, EndX;
  };
  constexpr tTrace kTraces[] = {
      {26, 120, 18, 168}, {38, 132, 34, 190}, {50, 144, 50, 214},
      {62, 132, 66, 190}, {74, 120, 82, 168},
  };
  for (const tTrace& t : kTraces) {
    canvas.FillLine(100, t.StartY, t.BendX, t.StartY, 2, kTrace);
    canvas.FillLine(t.BendX, t.StartY, t.BendX + 10, t.EndY, 2, kTrace);
    canvas.FillLine(t.BendX + 10, t.EndY, t.EndX, t.EndY, 2, kTrace);
    canvas.FillCircle(t.EndX, t.EndY, 4, kTrace);
    canvas.FillCircle(t.EndX, t.EndY, 2, kNightTop);
  }
}

void DrawClockWave(tCanvas& canvas) {
  double x = 226;
  bool high = false;
  while (x < 332) {
    const double y = high ? 36 : 64;
    canvas.FillLine(x, y, x + 12, y, 3, kWave);
    canvas.FillLine(x + 12, 36, x + 12, 64, 3, kWave);
    x += 12;
    high = !high;
  }
}

std::vector<std::uint8_t> CompressJpeg(const tImage& picture) {
  jpeg_compress_struct info{};
  jpeg_error_mgr errors{};
  info.err = jpeg_std_error(&errors);  // a failure ends the generator with libjpeg's message
  jpeg_create_compress(&info);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&info, &buffer, &size);
  info.image_width = static_cast<JDIMENSION>(picture.Width);
  info.image_height = static_cast<JDIMENSION>(picture.Height);
  info.input_components = 3;
  info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&info);
  info.dct_method = JDCT_ISLOW;
  jpeg_set_quality(&info, kQuality, TRUE);
  jpeg_start_compress(&info, TRUE);
  std::vector<JSAMPLE> row(static_cast<std::size_t>(picture.Width) * 3);
  while (info.next_scanline < info.image_height) {
    const std::uint8_t* rgba =
        picture.Rgba.data() + static_cast<std::size_t>(info.next_scanline) * picture.Width * 4;
    for (int x = 0; x < picture.Width; ++x) {
      for (int c = 0; c < 3; ++c)
        row[x * 3 + c] = rgba[x * 4 + c];
    }
    JSAMPROW rows[1] = {row.data()};
    jpeg_write_scanlines(&info, rows, 1);
  }
  jpeg_finish_compress(&info);
  std::vector<std::uint8_t> bytes(buffer, buffer + size);
  jpeg_destroy_compress(&info);
  std::free(buffer);
  return bytes;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: MakeAboutPicture OUTPUT.cpp\n";
    return 2;
  }
  tCanvas canvas(kWidth, kHeight, kNightTop);
  canvas.VerticalGradient(kNightTop, kNightBottom);
  DrawTraces(canvas);
  DrawChip(canvas);
  DrawClockWave(canvas);
  if (!WriteByteSource(argv[1], "MakeAboutPicture", "the About page's product picture",
                       "images/AboutPicture.h", "AboutPictureJpeg",
                       CompressJpeg(canvas.Picture()))) {
    std::cerr << "MakeAboutPicture: cannot write " << argv[1] << '\n';
    return 1;
  }
  return 0;
}
