// Build-time generator of the logo pictures: one PNG for every row of the logo list (the
// fallback picture included), written into the folder given on the command line. Each
// picture is a chip on a rounded square in its maker's colours, with a pattern on the die
// that is the maker's and details that follow from the file name, so that every product
// looks different and every run gives the same files. The lines of today's processors show
// their package from above instead: its dies (one, tiles, or chiplets around an I/O die) and
// the cores on them, in the layout and accent colour their row names.
// Usage: MakeLogos LOGO-LIST OUTPUT-FOLDER
#include <cstdint>
#include <filesystem>
#include <iostream>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "data/Logo/LogoList.h"
#include "images/Png.h"
#include "images/tools/Canvas.h"

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
    {"Hygon", {196, 58, 52}, {112, 22, 24}, tPattern::Plain},
    {"Zhaoxin", {40, 150, 176}, {12, 74, 96}, tPattern::Plain},
    {"", {160, 160, 166}, {96, 96, 104}, tPattern::Plain},
};

// A die of a package seen from above, in fractions of the package's width and height, with
// a grid of cores (none on an I/O die).
struct tDie {
  tBox Place;
  int Columns = 0, Rows = 0;
};

// The dies of a package, by the name a row of the logo list gives its layout.
struct tPackageLayout {
  std::string_view Name;
  std::span<const tDie> Dies;
};

constexpr tDie kMonolithicWide[] = {{{0.10, 0.18, 0.90, 0.82}, 4, 2}};
constexpr tDie kTiles[] = {{{0.08, 0.08, 0.56, 0.52}, 3, 2},
                           {{0.62, 0.08, 0.92, 0.52}, 2, 2},
                           {{0.08, 0.58, 0.64, 0.92}, 4, 1},
                           {{0.70, 0.58, 0.92, 0.92}, 1, 1}};
constexpr tDie kMesh[] = {{{0.06, 0.06, 0.94, 0.94}, 5, 5}};
constexpr tDie kCluster[] = {{{0.26, 0.26, 0.74, 0.74}, 2, 2}};
constexpr tDie kDual[] = {{{0.18, 0.30, 0.82, 0.70}, 2, 1}};
constexpr tDie kTwoChiplets[] = {{{0.10, 0.56, 0.90, 0.90}, 0, 0},
                                 {{0.10, 0.10, 0.46, 0.48}, 2, 4},
                                 {{0.54, 0.10, 0.90, 0.48}, 2, 4}};
constexpr tDie kFourChiplets[] = {{{0.32, 0.32, 0.68, 0.68}, 0, 0},
                                  {{0.06, 0.06, 0.26, 0.44}, 2, 4},
                                  {{0.74, 0.06, 0.94, 0.44}, 2, 4},
                                  {{0.06, 0.56, 0.26, 0.94}, 2, 4},
                                  {{0.74, 0.56, 0.94, 0.94}, 2, 4}};
constexpr tDie kEightChiplets[] = {
    {{0.30, 0.30, 0.70, 0.70}, 0, 0}, {{0.05, 0.05, 0.23, 0.47}, 1, 4},
    {{0.05, 0.53, 0.23, 0.95}, 1, 4}, {{0.77, 0.05, 0.95, 0.47}, 1, 4},
    {{0.77, 0.53, 0.95, 0.95}, 1, 4}, {{0.30, 0.05, 0.48, 0.23}, 2, 1},
    {{0.52, 0.05, 0.70, 0.23}, 2, 1}, {{0.30, 0.77, 0.48, 0.95}, 2, 1},
    {{0.52, 0.77, 0.70, 0.95}, 2, 1}};
constexpr tDie kQuad[] = {{{0.16, 0.16, 0.84, 0.84}, 2, 4}};
constexpr tDie kCoresAndGraphics[] = {{{0.12, 0.22, 0.52, 0.78}, 2, 2},
                                      {{0.56, 0.22, 0.88, 0.78}, 0, 0}};
constexpr tDie kNine[] = {{{0.18, 0.18, 0.82, 0.82}, 3, 3}};

constexpr tPackageLayout kPackageLayouts[] = {
    {"MonolithicWide", kMonolithicWide},
    {"Tiles", kTiles},
    {"Mesh", kMesh},
    {"Cluster", kCluster},
    {"Dual", kDual},
    {"TwoChiplets", kTwoChiplets},
    {"FourChiplets", kFourChiplets},
    {"EightChiplets", kEightChiplets},
    {"Quad", kQuad},
    {"CoresAndGraphics", kCoresAndGraphics},
    {"Nine", kNine},
};

// The package of one of today's lines and the colour of its heat spreader's edge.
struct tPackageLook {
  std::span<const tDie> Dies;
  tColour Accent;
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

const tPackageLayout* LayoutNamed(std::string_view name) {
  for (const tPackageLayout& layout : kPackageLayouts) {
    if (layout.Name == name) return &layout;
  }
  return nullptr;
}

// A box of `outer` given in fractions of its width and height.
tBox Within(const tBox& outer, const tBox& fraction) {
  const double w = outer.Right - outer.Left, h = outer.Bottom - outer.Top;
  return {outer.Left + fraction.Left * w, outer.Top + fraction.Top * h,
          outer.Left + fraction.Right * w, outer.Top + fraction.Bottom * h};
}

// The package from above: the substrate, the heat spreader's rim in the line's accent, and
// each die with its cores; an I/O die shows its wiring as a few lines.
void DrawPackage(tCanvas& canvas, const tMakerLook& maker, const tPackageLook& package) {
  constexpr tColour kSubstrate{46, 92, 60}, kSilicon{58, 62, 74}, kCoreColour{196, 204, 220};
  const tBox substrate{14, 17, 78, 83};
  canvas.FillRoundedBox(substrate, 4, kSubstrate);
  for (int i = 0; i < 8; ++i) {  // contacts along the substrate's edges
    const double x = substrate.Left + 6 + i * 7.4;
    canvas.FillBox({x, substrate.Bottom - 3, x + 3, substrate.Bottom - 1}, kPin);
    canvas.FillBox({x, substrate.Top + 1, x + 3, substrate.Top + 3}, kPin);
  }
  const tBox area{substrate.Left + 5, substrate.Top + 5, substrate.Right - 5, substrate.Bottom - 5};
  canvas.FillRoundedBox({area.Left - 2, area.Top - 2, area.Right + 2, area.Bottom + 2}, 3,
                        package.Accent);
  canvas.FillRoundedBox(area, 2, Mix(maker.Bottom, kSilicon, 0.6));
  for (const tDie& die : package.Dies) {
    const tBox box = Within(area, die.Place);
    canvas.FillRoundedBox(box, 1.5, kSilicon);
    if (die.Columns == 0 || die.Rows == 0) {
      const double h = box.Bottom - box.Top;
      for (int line = 1; line <= 3; ++line) {
        const double y = box.Top + h * line / 4;
        canvas.FillLine(box.Left + 3, y, box.Right - 3, y, 1.0, package.Accent);
      }
      continue;
    }
    const double cw = (box.Right - box.Left - 2) / die.Columns;
    const double ch = (box.Bottom - box.Top - 2) / die.Rows;
    for (int row = 0; row < die.Rows; ++row) {
      for (int col = 0; col < die.Columns; ++col) {
        const double x = box.Left + 1 + col * cw, y = box.Top + 1 + row * ch;
        canvas.FillRoundedBox({x + 0.6, y + 0.6, x + cw - 0.6, y + ch - 0.6}, 0.8,
                              Mix(kCoreColour, package.Accent, 0.35));
      }
    }
  }
}

tImage DrawLogo(std::string_view file, const std::optional<tPackageLook>& package) {
  const tMakerLook& look = LookOf(file);
  if (package) {
    tCanvas canvas(kWidth, kHeight, kTransparent);
    canvas.FillRoundedBox({4, 7, 92, 97}, 12, kShade);
    canvas.FillRoundedBox({2, 5, 90, 95}, 12, look.Top, look.Bottom);
    DrawPackage(canvas, look, *package);
    return canvas.Picture();
  }
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
  if (argc != 3) {
    std::cerr << "usage: MakeLogos LOGO-LIST OUTPUT-FOLDER\n";
    return 2;
  }
  tLogoList list;
  if (const std::optional<std::string> error = ReadLogoListFile(argv[1], list)) {
    std::cerr << *error << '\n';
    return 1;
  }
  // Every layout is known before anything is drawn.
  std::vector<std::optional<tPackageLook>> packages;
  for (const tLogoPicture& picture : list.Pictures) {
    if (picture.Package.empty()) {
      packages.emplace_back();
      continue;
    }
    const tPackageLayout* layout = LayoutNamed(picture.Package);
    if (layout == nullptr) {
      std::cerr << argv[1] << ':' << picture.Line << ": package '" << picture.Package
                << "' is not a layout of MakeLogos\n";
      return 1;
    }
    const auto [r, g, b] = picture.Accent;
    packages.push_back(tPackageLook{layout->Dies, {r, g, b}});
  }

  const std::filesystem::path folder = argv[2];
  std::error_code failure;
  std::filesystem::create_directories(folder, failure);
  if (failure) {
    std::cerr << "MakeLogos: cannot create " << folder.string() << ": " << failure.message()
              << '\n';
    return 1;
  }
  for (std::size_t k = 0; k < list.Pictures.size(); ++k) {
    const std::string& file = list.Pictures[k].File;
    std::string error;
    if (!SavePng((folder / file).string(), DrawLogo(file, packages[k]), error)) {
      std::cerr << "MakeLogos: " << error << '\n';
      return 1;
    }
  }
  return 0;
}
