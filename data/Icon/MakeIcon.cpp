// Build-time generator of the program's icon: a processor under a magnifying glass on a
// rounded blue square. At 64 x 64 pixels it is written as a C++ source that holds the PNG
// bytes, built into the program; at any size as a PNG file, for the desktop's icon theme.
// Every run gives the same bytes.
// Usage: MakeIcon OUTPUT.cpp | MakeIcon --png SIZE OUTPUT.png
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "images/Png.h"
#include "images/tools/ByteSource.h"
#include "images/tools/Canvas.h"

namespace {

// The icon is drawn on a 64-unit square, scaled to the picture's size.
constexpr int kUnits = 64;

constexpr tColour kTransparent{0, 0, 0, 0};
constexpr tColour kTop{70, 130, 220}, kBottom{20, 50, 130};
constexpr tColour kPackage{38, 40, 46}, kPin{222, 196, 110}, kDie{150, 160, 176};
constexpr tColour kRim{245, 245, 250}, kGlass{200, 225, 255, 90}, kHandle{120, 74, 36};

tBox Scaled(tBox box, double k) {
  return {box.Left * k, box.Top * k, box.Right * k, box.Bottom * k};
}

void DrawChip(tCanvas& canvas, double k) {
  const tBox body{12, 12, 42, 42};
  for (int i = 0; i < 4; ++i) {  // four pins on each side
    const double a = body.Left + 4 + i * 7, b = a + 3;
    canvas.FillBox(Scaled({a, body.Top - 5, b, body.Top}, k), kPin);
    canvas.FillBox(Scaled({a, body.Bottom, b, body.Bottom + 5}, k), kPin);
    canvas.FillBox(Scaled({body.Left - 5, a, body.Left, b}, k), kPin);
    canvas.FillBox(Scaled({body.Right, a, body.Right + 5, b}, k), kPin);
  }
  canvas.FillRoundedBox(Scaled(body, k), 3 * k, kPackage);
  canvas.FillRoundedBox(Scaled({19, 19, 35, 35}, k), 2 * k, kDie);
}

void DrawMagnifier(tCanvas& canvas, double k) {
  const double cx = 38 * k, cy = 38 * k, r = 14 * k, rim = 3.5 * k;
  canvas.FillLine(cx + r * 0.7, cy + r * 0.7, 58 * k, 58 * k, 7 * k, kHandle);
  canvas.Fill(
      {cx - r - 1, cy - r - 1, cx + r + 1, cy + r + 1},
      [&](double x, double y) {
        const double d = std::hypot(x - cx, y - cy);
        return d <= r && d >= r - rim;
      },
      kRim);
  canvas.FillCircle(cx, cy, r - rim, kGlass);
}

// The icon as PNG bytes, `size` pixels square.
bool DrawIcon(int size, std::vector<std::uint8_t>& png, std::string& error) {
  const double k = static_cast<double>(size) / kUnits;
  tCanvas canvas(size, size, kTransparent);
  canvas.FillRoundedBox(Scaled({1, 1, kUnits - 1, kUnits - 1}, k), 12 * k, kTop, kBottom);
  DrawChip(canvas, k);
  DrawMagnifier(canvas, k);
  return EncodePng(canvas.Picture(), png, error);
}

int Usage() {
  std::cerr << "usage: MakeIcon OUTPUT.cpp | MakeIcon --png SIZE OUTPUT.png\n";
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  const bool file = argc == 4 && std::string(argv[1]) == "--png";
  if (argc != 2 && !file) return Usage();
  const int size = file ? std::atoi(argv[2]) : kUnits;
  if (size < 8 || size > 1024) return Usage();
  const char* output = argv[argc - 1];

  std::vector<std::uint8_t> png;
  std::string error;
  if (!DrawIcon(size, png, error)) {
    std::cerr << "MakeIcon: " << error << '\n';
    return 1;
  }
  const bool written = file ? std::ofstream(output, std::ios::binary)
                                  .write(reinterpret_cast<const char*>(png.data()),
                                         static_cast<std::streamsize>(png.size()))
                                  .good()
                            : WriteByteSource(output, "MakeIcon", "the program's icon",
                                              "data/Icon/ProgramIcon.h", "ProgramIconPng", png);
  if (!written) {
    std::cerr << "MakeIcon: cannot write " << output << '\n';
    return 1;
  }
  return 0;
}
