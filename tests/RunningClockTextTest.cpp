// The running clock's texts: the effective clock with its source, the derived multiplier only
// where a bus clock is reported, the range with each figure's source, the temperatures under
// their own labels and no power where none is known.
#include <gtest/gtest.h>

#include "view/RunningClockText.h"

namespace {

TEST(RunningClockText, FiguresWithTheirSources) {
  struct tCase {
    const char* Label;
    tEffectiveClock Effective;
    unsigned BusMhz;
    const char* EffectiveText;   // "": greyed
    const char* MultiplierText;  // "": greyed
  } const cases[] = {
      // 3670.14 / 100 = 36.7014.
      {"timed loop over a reported bus",
       {3670.14, tEffectiveSource::TimedLoop},
       100,
       "3670,1 MHz (timed loop)",
       "x 36,7"},
      {"no bus clock reported: no multiplier",
       {3400, tEffectiveSource::Cpufreq},
       0,
       "3400,0 MHz (cpufreq)",
       ""},
      {"no effective clock", {}, 100, "", ""},
  };
  const tFrequencyRange range{
      1800, 4600, 400, tRangeSource::Cpufreq, tRangeSource::AmdPstate, tRangeSource::Cppc};
  for (const tCase& c : cases) {
    SCOPED_TRACE(c.Label);
    const tRunningClockText text = RunningClockText(c.Effective, range, c.BusMhz, ',');
    EXPECT_EQ(text.Effective.Enabled, *c.EffectiveText != 0);
    if (text.Effective.Enabled) {
      EXPECT_EQ(text.Effective.Text, c.EffectiveText);
    }
    EXPECT_EQ(text.DerivedMultiplier.Enabled, *c.MultiplierText != 0);
    if (text.DerivedMultiplier.Enabled) {
      EXPECT_EQ(text.DerivedMultiplier.Text, c.MultiplierText);
    }
    EXPECT_EQ(text.Base.Text, "1800 MHz (cpufreq)");
    EXPECT_EQ(text.Max.Text, "4600 MHz (amd-pstate)");
    EXPECT_EQ(text.Min.Text, "400 MHz (cppc)");
  }
  EXPECT_FALSE(RunningClockText({}, {}, 100, '.').Min.Enabled);
  EXPECT_EQ(DerivedMultiplier({4000, tEffectiveSource::Kernel}, 100), 40);
  EXPECT_EQ(DerivedMultiplier({4000, tEffectiveSource::Kernel}, 0), 0);
}

TEST(RunningClockText, TemperaturesKeepTheirLabelsAndPowerIsAbsentUnlessKnown) {
  tSensors sensors;
  sensors.Temperatures = {{"Tctl", 71.26, "k10temp"}, {"Core\x01 0", 49, "coretemp"}};
  const std::vector<tTemperatureRow> rows = TemperatureRows(sensors, '.');
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].Label, "Tctl");
  EXPECT_EQ(rows[0].Value.Text,
            "71.3 \xB0"
            "C (k10temp)");  // Windows-1252 degree sign
  EXPECT_EQ(rows[1].Label, "Core? 0");
  EXPECT_FALSE(PackagePowerText(sensors, '.').Enabled);
  sensors.PackageWatts = 35.24;
  EXPECT_EQ(PackagePowerText(sensors, '.').Text, "35.2 W");
  // Zero watts measured is a figure, not an absence.
  sensors.PackageWatts = 0;
  EXPECT_TRUE(PackagePowerText(sensors, '.').Enabled);
}

}  // namespace
