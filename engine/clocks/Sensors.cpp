// The processors' temperatures as the hwmon drivers give them.
#include "engine/clocks/Sensors.h"

#include "platform/HwmonFiles.h"

std::vector<tTemperature> ProcessorTemperaturesOf(const platform::tSystemFiles* files) {
  std::vector<tTemperature> temperatures;
  if (files == nullptr) return temperatures;
  for (const platform::tHwmonTemperature& sensor : platform::ProcessorTemperatures(*files))
    temperatures.push_back({sensor.Label, sensor.Celsius, sensor.Driver});
  return temperatures;
}
