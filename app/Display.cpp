#include "app/Display.h"

#include <cstdlib>
#include <iterator>

namespace {

// Qt's platforms that show windows nowhere; the last one always starts.
constexpr std::string_view kHeadlessPlatforms[] = {"minimal", "offscreen"};

bool Named(const char* variable) {
  const char* value = std::getenv(variable);
  return value != nullptr && *value != '\0';
}

}  // namespace

bool DisplayNamed() {
  if (Named("QT_QPA_PLATFORM")) return !Headless(std::getenv("QT_QPA_PLATFORM"));
  return Named("DISPLAY") || Named("WAYLAND_DISPLAY");
}

bool Headless(std::string_view platforms) {
  const std::string_view first = platforms.substr(0, platforms.find_first_of(";:"));
  for (const std::string_view headless : kHeadlessPlatforms) {
    if (first == headless) return true;
  }
  return false;
}

std::string PlatformsToTry() {
  std::string platforms;
  if (Named("QT_QPA_PLATFORM")) {
    platforms = std::getenv("QT_QPA_PLATFORM");
  } else {
    if (Named("WAYLAND_DISPLAY")) platforms += "wayland;";
    if (Named("DISPLAY")) platforms += "xcb;";
  }
  if (!platforms.empty() && platforms.back() != ';') platforms += ';';
  return platforms + std::string(kHeadlessPlatforms[std::size(kHeadlessPlatforms) - 1]);
}
