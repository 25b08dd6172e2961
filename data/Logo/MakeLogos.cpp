// Build-time generator of the logo pictures: one PNG for every file name of the logo table
// (the fallback picture included), written into the folder given on the command line. Each
// picture is a chip on a rounded square in its maker's colours, with a pattern on the die
// that is the maker's and details that follow from the file name, so that every product
// looks different and every run gives the same files.
// Usage: MakeLogos OUTPUT-FOLDER
#include <cstdint>
#include <filesystem>
#include <iostream>
#include <set>
#include <string>
#include <string_view>

#include "ui/PageText.h"
#include "ui/images/Png.h"
#include "ui/images/tools/Canvas.h"

namespace {

// The size of the logo control on the Processor page.
constexpr int kWidth = 93;
constexpr int kHeight = 101;

enum class tPattern { Dots, Stripes, Rings, Plain };

struct tMakerLook {
  std::string_view Prefix;  // of the file name; the empty prefix matches every name
  tColour Top, Bottom;      // of the rounded square
  tPattern Pattern;
};

constexpr tMakerLook kMakerLooks[] = {
    {"AMD_", {34, 140, 104}, {10, 70, 52}, tPattern::Dots},
    {"Intel_", {52, 112, 200}, {16, 48, 116}, tPattern::Stripes},
    {"Transmeta_", {136, 84, 186}, {66, 34, 100}, tPattern::Rings},
    {"", {160, 160, 166}, {96, 96, 104}, tPattern::Plain},
};

constexpr tColour kTransparent{0, 0, 0, 0};
constexpr tColour kDie{236, 238, 242}, kPin{218, 200, 140}, kShade{0, 0, 0, 60};

const tMakerLook& LookOf(std::string_view file) {
  for (const tMakerLook& look : kMakerLooks) {
    if (file.starts_with(look.Prefix)) return look;
  }
  return kMakerLooks[std::size(kMakerLooks) - 1];
}

// FNV-1a of the file name: picks the details of one product's picture.
std::uint32_t Detail(std::string_view file) {
  std::uint32_t hash = 2166136261u;
  for (const char c : file)
    hash = (hash ^ static_cast<std::uint8_t>(c)) * 16777619u;
  return hash;
}

void DrawPattern(tCanvas& canvas, const tBox& die, tPattern pattern, std::uint32_t detail,
                 tColour ink) {
  const double cx = (die.Left + die.Right) / 2, cy = (die.Top + die.Bottom) / 2;
  const double size = die.Right - die.Left;
  switch (pattern) {
    case tPattern::Dots: {  // an n x n grid of dots
      const int n = 2 + static_cast<int>(detail % 3);
      const double step = size / n;
      for (int row = 0; row < n; ++row) {
        for (int col = 0; col < n; ++col) {
          canvas.FillCircle(die.Left + (col + 0.5) * step, die.Top + (row + 0.5) * step, step * 0.3,
                            ink);
        }
      }
      break;
    }
    case tPattern::Stripes: {  // diagonal bands
      const int n = 3 + static_cast<int>(detail % 4);
      const double step = 2 * size / (n + 1);
      for (int i = 1; i <= n; ++i) {
        const double offset = i * step - size;
        canvas.FillLine(die.Left + 3 + std::max(0.0, offset),
                        die.Bottom - 3 - std::max(0.0, -offset),
                        die.Right - 3 - std::max(0.0, -offset), die.Top + 3 + std::max(0.0, offset),
                        step * 0.35, ink);
      }
      break;
    }
    case tPattern::Rings: {  // concentric rings around a dot
      const int n = 2 + static_cast<int>(detail % 3);
      for (int i = n; i >= 1; --i) {
        const double r = size * 0.45 * i / n;
        canvas.FillCircle(cx, cy, r, ink);
        canvas.FillCircle(cx, cy, r - size * 0.2 / n, kDie);
      }
      canvas.FillCircle(cx, cy, size * 0.08, ink);
      break;
    }
    case tPattern::Plain:
      canvas.FillRoundedBox({cx - size * 0.2, cy - size * 0.2, cx + size * 0.2, cy + size * 0.2}, 2,
                            ink);
      break;
  }
}

tImage DrawLogo(std::string_view file) {
  const tMakerLook& look = LookOf(file);
  const std::uint32_t detail = Detail(file);
  tCanvas canvas(kWidth, kHeight, kTransparent);
  canvas.FillRoundedBox({4, 7, 92, 97}, 12, kShade);
  canvas.FillRoundedBox({2, 5, 90, 95}, 12, look.Top, look.Bottom);

  const tBox die{22, 26, 70, 74};
  const int pins = 3 + static_cast<int>((detail >> 8) % 3);
  const double pitch = (die.Right - die.Left) / pins;
  for (int i = 0; i < pins; ++i) {
    const double a = die.Left + (i + 0.3) * pitch, b = a + pitch * 0.4;
    canvas.FillBox({a, die.Top - 7, b, die.Top}, kPin);
    canvas.FillBox({a, die.Bottom, b, die.Bottom + 7}, kPin);
    canvas.FillBox({die.Left - 7, a - die.Left + die.Top, die.Left, b - die.Left + die.Top}, kPin);
    canvas.FillBox({die.Right, a - die.Left + die.Top, die.Right + 7, b - die.Left + die.Top},
                   kPin);
  }
  canvas.FillRoundedBox(die, 4, kDie);
  DrawPattern(canvas, {die.Left + 6, die.Top + 6, die.Right - 6, die.Bottom - 6}, look.Pattern,
              detail, look.Bottom);
  return canvas.Picture();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: MakeLogos OUTPUT-FOLDER\n";
    return 2;
  }
  const std::filesystem::path folder = argv[1];
  std::error_code failure;
  std::filesystem::create_directories(folder, failure);
  if (failure) {
    std::cerr << "MakeLogos: cannot create " << folder.string() << ": " << failure.message()
              << '\n';
    return 1;
  }
  // Every key a name record can hold, so that the fallback name is among them.
  std::set<std::string, std::less<>> files;
  for (std::uint32_t key = 0; key <= 0xFFFF; ++key)
    files.emplace(LogoFileName(static_cast<std::uint16_t>(key)));

  for (const std::string& file : files) {
    std::string error;
    if (!SavePng((folder / file).string(), DrawLogo(file), error)) {
      std::cerr << "MakeLogos: " << error << '\n';
      return 1;
    }
  }
  return 0;
}
