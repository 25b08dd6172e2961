#include "images/tools/Canvas.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int kSamples = 4;  // per pixel and axis

std::uint8_t Channel(double value) {
  return static_cast<std::uint8_t>(std::clamp(std::lround(value), 0L, 255L));
}

bool InRoundedBox(const tBox& box, double radius, double x, double y) {
  if (x < box.Left || x >= box.Right || y < box.Top || y >= box.Bottom) return false;
  // Distance from the inner rectangle whose corners are the arcs' centres.
  const double dx = std::max({box.Left + radius - x, x - (box.Right - radius), 0.0});
  const double dy = std::max({box.Top + radius - y, y - (box.Bottom - radius), 0.0});
  return dx * dx + dy * dy <= radius * radius;
}

}  // namespace

tColour Mix(tColour a, tColour b, double t) {
  return {Channel(a.R + (b.R - a.R) * t), Channel(a.G + (b.G - a.G) * t),
          Channel(a.B + (b.B - a.B) * t), Channel(a.A + (b.A - a.A) * t)};
}

tCanvas::tCanvas(int width, int height, tColour background) {
  picture_.Width = width;
  picture_.Height = height;
  picture_.Rgba.resize(static_cast<std::size_t>(width) * height * 4);
  for (std::size_t i = 0; i < picture_.Rgba.size(); i += 4) {
    picture_.Rgba[i] = background.R;
    picture_.Rgba[i + 1] = background.G;
    picture_.Rgba[i + 2] = background.B;
    picture_.Rgba[i + 3] = background.A;
  }
}

void tCanvas::Blend(int x, int y, tColour colour, double coverage) {
  std::uint8_t* p = picture_.Rgba.data() + (static_cast<std::size_t>(y) * picture_.Width + x) * 4;
  // Source-over compositing with straight (not premultiplied) alpha.
  const double srcA = colour.A / 255.0 * coverage;
  const double dstA = p[3] / 255.0;
  const double outA = srcA + dstA * (1 - srcA);
  if (outA <= 0) return;
  const auto mix = [&](std::uint8_t src, std::uint8_t dst) {
    return Channel((src * srcA + dst * dstA * (1 - srcA)) / outA);
  };
  p[0] = mix(colour.R, p[0]);
  p[1] = mix(colour.G, p[1]);
  p[2] = mix(colour.B, p[2]);
  p[3] = Channel(outA * 255);
}

void tCanvas::Fill(tBox area, const std::function<bool(double, double)>& inside, tColour colour) {
  const int x0 = std::max(0, static_cast<int>(std::floor(area.Left)));
  const int y0 = std::max(0, static_cast<int>(std::floor(area.Top)));
  const int x1 = std::min(picture_.Width, static_cast<int>(std::ceil(area.Right)));
  const int y1 = std::min(picture_.Height, static_cast<int>(std::ceil(area.Bottom)));
  for (int y = y0; y < y1; ++y) {
    for (int x = x0; x < x1; ++x) {
      int hits = 0;
      for (int sy = 0; sy < kSamples; ++sy) {
        for (int sx = 0; sx < kSamples; ++sx) {
          if (inside(x + (sx + 0.5) / kSamples, y + (sy + 0.5) / kSamples)) ++hits;
        }
      }
      if (hits > 0) Blend(x, y, colour, static_cast<double>(hits) / (kSamples * kSamples));
    }
  }
}

void tCanvas::FillBox(tBox box, tColour colour) {
  Fill(
      box,
      [&](double x, double y) {
        return x >= box.Left && x < box.Right && y >= box.Top && y < box.Bottom;
      },
      colour);
}

void tCanvas::FillRoundedBox(tBox box, double radius, tColour colour) {
  Fill(
      box, [&](double x, double y) { return InRoundedBox(box, radius, x, y); }, colour);
}

void tCanvas::FillRoundedBox(tBox box, double radius, tColour top, tColour bottom) {
  const double height = box.Bottom - box.Top;
  for (double y = std::floor(box.Top); y < box.Bottom; ++y) {
    const double t = height > 1 ? std::clamp((y - box.Top) / (height - 1), 0.0, 1.0) : 0.0;
    Fill(
        {box.Left, y, box.Right, y + 1},
        [&](double px, double py) { return InRoundedBox(box, radius, px, py); },
        Mix(top, bottom, t));
  }
}

void tCanvas::FillCircle(double centreX, double centreY, double radius, tColour colour) {
  const tBox box{centreX - radius, centreY - radius, centreX + radius, centreY + radius};
  Fill(
      box,
      [&](double x, double y) {
        return (x - centreX) * (x - centreX) + (y - centreY) * (y - centreY) <= radius * radius;
      },
      colour);
}

void tCanvas::FillLine(double x0, double y0, double x1, double y1, double width, tColour colour) {
  const double half = width / 2;
  const tBox box{std::min(x0, x1) - half, std::min(y0, y1) - half, std::max(x0, x1) + half,
                 std::max(y0, y1) + half};
  const double dx = x1 - x0, dy = y1 - y0;
  const double lengthSquared = dx * dx + dy * dy;
  Fill(
      box,
      [&](double x, double y) {
        // Distance from the segment: project onto it, clamped to its ends.
        const double t = lengthSquared > 0
                             ? std::clamp(((x - x0) * dx + (y - y0) * dy) / lengthSquared, 0.0, 1.0)
                             : 0.0;
        const double ex = x - (x0 + t * dx), ey = y - (y0 + t * dy);
        return ex * ex + ey * ey <= half * half;
      },
      colour);
}

void tCanvas::VerticalGradient(tColour top, tColour bottom) {
  for (int y = 0; y < picture_.Height; ++y) {
    const double t = picture_.Height > 1 ? static_cast<double>(y) / (picture_.Height - 1) : 0;
    const tColour c = Mix(top, bottom, t);
    for (int x = 0; x < picture_.Width; ++x)
      Blend(x, y, c, 1.0);
  }
}
