// Processor temperatures from /sys/class/hwmon/hwmonN/{name,tempK_input,tempK_label}.
#include "platform/HwmonFiles.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
#include <optional>
#include <string_view>

namespace platform {
namespace {

constexpr std::string_view kHwmon = "/sys/class/hwmon";
// The drivers of processor sensors.
constexpr std::array<std::string_view, 2> kProcessorDrivers = {"coretemp", "k10temp"};

std::string_view FirstLine(std::string_view text) {
  text = text.substr(0, std::min(text.find('\n'), text.size()));
  while (!text.empty() && (text.back() == '\r' || text.back() == ' '))
    text.remove_suffix(1);
  return text;
}

// The number K of "hwmonK", "tempK_input"; nothing for other names.
std::optional<unsigned> NumberIn(std::string_view name, std::string_view prefix,
                                 std::string_view suffix) {
  if (name.size() <= prefix.size() + suffix.size() || !name.starts_with(prefix) ||
      !name.ends_with(suffix)) {
    return std::nullopt;
  }
  const std::string_view digits =
      name.substr(prefix.size(), name.size() - prefix.size() - suffix.size());
  unsigned value = 0;
  const auto [last, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (error != std::errc() || last != digits.data() + digits.size()) return std::nullopt;
  return value;
}

// Millidegrees, with a sign: a sensor may read below zero.
std::optional<long long> Millidegrees(std::string_view text) {
  text = FirstLine(text);
  long long value = 0;
  const auto [last, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || last != text.data() + text.size()) {
    return std::nullopt;
  }
  return value;
}

// The names in `folder` that are `prefix` K `suffix`, ordered by K.
std::vector<std::pair<unsigned, std::string>> Numbered(const tSystemFiles& files,
                                                       const std::string& folder,
                                                       std::string_view prefix,
                                                       std::string_view suffix) {
  std::vector<std::pair<unsigned, std::string>> numbered;
  for (std::string& name : files.List(folder)) {
    if (const std::optional<unsigned> k = NumberIn(name, prefix, suffix))
      numbered.emplace_back(*k, std::move(name));
  }
  std::sort(numbered.begin(), numbered.end());
  return numbered;
}

}  // namespace

std::vector<tHwmonTemperature> ProcessorTemperatures(const tSystemFiles& files) {
  std::vector<tHwmonTemperature> temperatures;
  for (const auto& [number, device] : Numbered(files, std::string(kHwmon), "hwmon", "")) {
    const std::string folder = std::string(kHwmon) + "/" + device;
    const std::optional<std::string> name = files.Read(folder + "/name");
    if (!name) continue;
    const std::string_view driver = FirstLine(*name);
    if (std::find(kProcessorDrivers.begin(), kProcessorDrivers.end(), driver) ==
        kProcessorDrivers.end()) {
      continue;
    }
    for (const auto& [k, input] : Numbered(files, folder, "temp", "_input")) {
      const std::optional<std::string> reading = files.Read(folder + "/" + input);
      const std::optional<long long> milli = reading ? Millidegrees(*reading) : std::nullopt;
      if (!milli) continue;
      const std::string prefix = "temp" + std::to_string(k);
      const std::optional<std::string> label = files.Read(folder + "/" + prefix + "_label");
      temperatures.push_back(
          {std::string(driver),
           label && !FirstLine(*label).empty() ? std::string(FirstLine(*label)) : prefix,
           static_cast<double>(*milli) / 1000.0});
    }
  }
  return temperatures;
}

}  // namespace platform
