// The processors' temperature sensors that the kernel's hwmon drivers give every user:
// coretemp (Intel: "Package id N", "Core N") and k10temp (AMD: "Tctl", "Tdie", "Tccd1" to
// "Tccd12"). Each sensor keeps the label its driver gives it.
#pragma once

#include <string>
#include <vector>

#include "platform/SystemFiles.h"

namespace platform {

struct tHwmonTemperature {
  std::string Driver;  // the hwmon device's name: "coretemp", "k10temp"
  std::string Label;   // tempN_label; "tempN" where the driver gives none
  double Celsius = 0;

  friend bool operator==(const tHwmonTemperature&, const tHwmonTemperature&) = default;
};

// The temperatures of every processor sensor under /sys/class/hwmon, device by device in the
// order of their numbers and each device's sensors in the order of theirs; a sensor without a
// reading is left out.
std::vector<tHwmonTemperature> ProcessorTemperatures(const tSystemFiles& files);

}  // namespace platform
