// Drawing for the build-time picture generators: filled shapes with smooth edges on an RGBA
// picture. Coordinates are in pixels, with pixel (x, y) covering [x, x+1) x [y, y+1).
#pragma once

#include <cstdint>
#include <functional>

#include "images/Image.h"

struct tColour {
  std::uint8_t R = 0, G = 0, B = 0, A = 255;
};

// Mixes `a` into `b` by `t` in 0..1 (0 gives a, 1 gives b).
tColour Mix(tColour a, tColour b, double t);

struct tBox {
  double Left = 0, Top = 0, Right = 0, Bottom = 0;
};

class tCanvas {
 public:
  tCanvas(int width, int height, tColour background);

  // Paints `colour` over every point of `area` for which `inside(x, y)` holds, sampling each
  // pixel 4 x 4 times for smooth edges.
  void Fill(tBox area, const std::function<bool(double, double)>& inside, tColour colour);
  void FillBox(tBox box, tColour colour);
  void FillRoundedBox(tBox box, double radius, tColour colour);
  // The same, shaded from `top` at its top row to `bottom` at its bottom row.
  void FillRoundedBox(tBox box, double radius, tColour top, tColour bottom);
  void FillCircle(double centreX, double centreY, double radius, tColour colour);
  // A straight band of the given width from (x0, y0) to (x1, y1), with round ends.
  void FillLine(double x0, double y0, double x1, double y1, double width, tColour colour);
  // Top-to-bottom blend from `top` to `bottom` over the whole picture.
  void VerticalGradient(tColour top, tColour bottom);

  const tImage& Picture() const { return picture_; }

 private:
  void Blend(int x, int y, tColour colour, double coverage);
  tImage picture_;
};
