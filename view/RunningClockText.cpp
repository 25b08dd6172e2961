// The running clock's texts.
#include "view/RunningClockText.h"

#include <cstdio>

#include "engine/clocks/EffectiveClock.h"

namespace {

std::string Number(double value, int decimals, char separator) {
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  std::string number = text;
  if (const std::size_t point = number.find('.'); point != std::string::npos)
    number[point] = separator;
  return number;
}

tShownField RangeFigure(double mhz, tRangeSource source) {
  if (mhz == 0) return {};
  return {Number(mhz, 0, '.') + " MHz (" + std::string(RangeSourceName(source)) + ")", true};
}

}  // namespace

double DerivedMultiplier(const tEffectiveClock& effective, unsigned busMhz) {
  if (busMhz == 0 || effective.CoreClock == 0) return 0;
  return effective.CoreClock / busMhz;
}

tRunningClockText RunningClockText(const tEffectiveClock& effective, const tFrequencyRange& range,
                                   unsigned busMhz, char separator) {
  tRunningClockText text;
  if (effective.CoreClock != 0 && effective.Source != tEffectiveSource::None) {
    text.Effective = {Number(effective.CoreClock, 1, separator) + " MHz (" +
                          std::string(EffectiveSourceName(effective.Source)) + ")",
                      true};
  }
  if (const double multiplier = DerivedMultiplier(effective, busMhz); multiplier != 0)
    text.DerivedMultiplier = {"x " + Number(multiplier, 1, separator), true};
  text.Base = RangeFigure(range.BaseMHz, range.BaseSource);
  text.Max = RangeFigure(range.MaxMHz, range.MaxSource);
  text.Min = RangeFigure(range.MinMHz, range.MinSource);
  return text;
}

std::vector<tTemperatureRow> TemperatureRows(const tSensors& sensors, char separator) {
  std::vector<tTemperatureRow> rows;
  for (const tTemperature& t : sensors.Temperatures) {
    std::string label = t.Label;
    for (char& c : label) {
      if (c < 0x20 || c > 0x7E) c = '?';
    }
    rows.push_back({std::move(label),
                    {Number(t.Celsius, 1, separator) +
                         " \xB0"
                         "C (" +
                         t.Source + ")",
                     true}});
  }
  return rows;
}

tShownField PackagePowerText(const tSensors& sensors, char separator) {
  if (!sensors.PackageWatts) return {};
  return {Number(*sensors.PackageWatts, 1, separator) + " W", true};
}
