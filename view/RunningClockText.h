// The running clock of one processor, its range and the machine's sensors, as text: the
// window's Running Clock group and the text report's section of the same name show these.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "engine/clocks/FrequencyRange.h"
#include "engine/clocks/Sensors.h"
#include "engine/store/CommonTypes.h"
#include "view/Captions.h"
#include "view/PageText.h"

struct tRunningClockText {
  tShownField Effective;          // "3670.1 MHz (timed loop)"
  tShownField DerivedMultiplier;  // "x 36.7", effective over the reported bus clock
  tShownField Base;               // "2600 MHz (leaf 0x16)"
  tShownField Max;
  tShownField Min;
};

// The multiplier the effective clock makes with the bus clock the processor reports (leaf
// 0x16); 0 where either is not known.
double DerivedMultiplier(const tEffectiveClock& effective, unsigned busMhz);

// `decimalSeparator` is the user's; a figure that is not known is shown as unavailable.
tRunningClockText RunningClockText(const tEffectiveClock& effective, const tFrequencyRange& range,
                                   unsigned busMhz, char decimalSeparator);

// One row per temperature in the sensors' order: its label (printable ASCII, other bytes
// shown as '?') and "52.0 °C (coretemp)" (Windows-1252, as every field text); none where
// there are none.
struct tTemperatureRow {
  std::string Label;
  tShownField Value;
};
std::vector<tTemperatureRow> TemperatureRows(const tSensors& sensors, char decimalSeparator);
// "35.2 W", or nothing where the package's power is not known.
tShownField PackagePowerText(const tSensors& sensors, char decimalSeparator);
