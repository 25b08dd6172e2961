// The processors' sensors: temperatures under the labels their drivers give them (a k10temp
// "Tctl" stays "Tctl": on some parts it carries an offset and is not the die's temperature),
// and the packages' power where it is known. A sensor that is not there is not listed.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/SystemFiles.h"

struct tTemperature {
  std::string Label;
  double Celsius = 0;
  std::string Source;  // the driver that gives it: "coretemp", "k10temp"

  friend bool operator==(const tTemperature&, const tTemperature&) = default;
};

struct tSensors {
  std::vector<tTemperature> Temperatures;
  std::optional<double> PackageWatts;
};

// The temperatures of the hwmon drivers of processors (none: no files).
std::vector<tTemperature> ProcessorTemperaturesOf(const platform::tSystemFiles* files);
