// Build-time generator of the program's icon: a processor under a magnifying glass on a
// rounded blue square, 64 x 64 pixels, encoded as PNG and written as a C++ source that holds
// the bytes. Every run gives the same bytes.
// Usage: MakeIcon OUTPUT.cpp
#include <cmath>
#include <iostream>
#include <string>
#include <vector>

#include "ui/images/Png.h"
#include "ui/images/tools/ByteSource.h"
#include "ui/images/tools/Canvas.h"

namespace {

constexpr int kSize = 64;

constexpr tColour kTransparent{0, 0, 0, 0};
constexpr tColour kTop{70, 130, 220}, kBottom{20, 50, 130};
constexpr tColour kPackage{38, 40, 46}, kPin{222, 196, 110}, kDie{150, 160, 176};
constexpr tColour kRim{245, 245, 250}, kGlass{200, 225, 255, 90}, kHandle{120, 74, 36};

void DrawChip(tCanvas& canvas) {
  const tBox body{12, 12, 42, 42};
  for (int i = 0; i < 4; ++i) {  // four pins on each side
    const double a = body.Left + 4 + i * 7, b = a + 3;
    canvas.FillBox({a, body.Top - 5, b, body.Top}, kPin);
    canvas.FillBox({a, body.Bottom, b, body.Bottom + 5}, kPin);
    canvas.FillBox({body.Left - 5, a, body.Left, b}, kPin);
    canvas.FillBox({body.Right, a, body.Right + 5, b}, kPin);
  }
  canvas.FillRoundedBox(body, 3, kPackage);
  canvas.FillRoundedBox({19, 19, 35, 35}, 2, kDie);
}

void DrawMagnifier(tCanvas& canvas) {
  constexpr double cx = 38, cy = 38, r = 14;
  canvas.FillLine(cx + r * 0.7, cy + r * 0.7, 58, 58, 7, kHandle);
  canvas.Fill(
      {cx - r - 1, cy - r - 1, cx + r + 1, cy + r + 1},
      [&](double x, double y) {
        const double d = std::hypot(x - cx, y - cy);
        return d <= r && d >= r - 3.5;
      },
      kRim);
  canvas.FillCircle(cx, cy, r - 3.5, kGlass);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: MakeIcon OUTPUT.cpp\n";
    return 2;
  }
  tCanvas canvas(kSize, kSize, kTransparent);
  canvas.FillRoundedBox({1, 1, kSize - 1, kSize - 1}, 12, kTop, kBottom);
  DrawChip(canvas);
  DrawMagnifier(canvas);

  std::vector<std::uint8_t> png;
  std::string error;
  if (!EncodePng(canvas.Picture(), png, error)) {
    std::cerr << "MakeIcon: " << error << '\n';
    return 1;
  }
  if (!WriteByteSource(argv[1], "MakeIcon", "the program's icon", "data/Icon/ProgramIcon.h",
                       "ProgramIconPng", png)) {
    std::cerr << "MakeIcon: cannot write " << argv[1] << '\n';
    return 1;
  }
  return 0;
}
