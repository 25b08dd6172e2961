// The kernel's files about clocks and sensors, read from fake trees laid out as the kernels
// and drivers lay them out: intel_pstate, acpi-cpufreq, amd-pstate, ACPI CPPC alone, a virtual
// machine without any of them; coretemp and k10temp of several kernels beside other hwmon
// devices; /proc/cpuinfo and /proc/stat.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include "engine/clocks/FrequencyRange.h"
#include "engine/clocks/Sensors.h"
#include "platform/HwmonFiles.h"
#include "platform/KernelClockFiles.h"
#include "platform/SystemFiles.h"
#include "tests/support/EngineFixtures.h"
#include "tests/support/TempFolder.h"

namespace {

using platform::tKernelFrequency;
using tTree = std::map<std::string, std::string>;

// A fake root: files by their path on the system, with their text.
class tFakeTree {
 public:
  explicit tFakeTree(const std::map<std::string, std::string>& files) {
    for (const auto& [path, text] : files) {
      const std::filesystem::path place = folder_.Path() + path;
      std::filesystem::create_directories(place.parent_path());
      std::ofstream(place) << text;
    }
  }
  platform::tSystemFiles Files() const { return platform::tSystemFiles(folder_.Path()); }

 private:
  tTempFolder folder_;
};

const std::string kCpu0 = "/sys/devices/system/cpu/cpu0";

// Laptop on intel_pstate: frequencies in kHz, base_frequency beside the range.
const std::map<std::string, std::string> kIntelPstate = {
    {kCpu0 + "/cpufreq/scaling_driver", "intel_pstate\n"},
    {kCpu0 + "/cpufreq/scaling_cur_freq", "3400512\n"},
    {kCpu0 + "/cpufreq/cpuinfo_min_freq", "400000\n"},
    {kCpu0 + "/cpufreq/cpuinfo_max_freq", "4600000\n"},
    {kCpu0 + "/cpufreq/base_frequency", "1800000\n"},
};
// acpi-cpufreq: no base_frequency, no CPPC.
const std::map<std::string, std::string> kAcpiCpufreq = {
    {kCpu0 + "/cpufreq/scaling_driver", "acpi-cpufreq\n"},
    {kCpu0 + "/cpufreq/scaling_cur_freq", "2200000\n"},
    {kCpu0 + "/cpufreq/cpuinfo_min_freq", "1400000\n"},
    {kCpu0 + "/cpufreq/cpuinfo_max_freq", "3600000\n"},
    {kCpu0 + "/cpufreq/bios_limit", "3600000\n"},
};
// amd-pstate with boost switched off: cpufreq's maximum is the nominal clock, amd-pstate's the
// processor's highest; CPPC's levels beside them.
const std::map<std::string, std::string> kAmdPstate = {
    {kCpu0 + "/cpufreq/scaling_driver", "amd-pstate-epp\n"},
    {kCpu0 + "/cpufreq/cpuinfo_max_freq", "3800000\n"},
    {kCpu0 + "/cpufreq/cpuinfo_min_freq", "550000\n"},
    {kCpu0 + "/cpufreq/amd_pstate_max_freq", "4850000\n"},
    {kCpu0 + "/cpufreq/amd_pstate_lowest_nonlinear_freq", "1800000\n"},
    {kCpu0 + "/cpufreq/amd_pstate_highest_perf", "166\n"},
    {kCpu0 + "/acpi_cppc/highest_perf", "166\n"},
    {kCpu0 + "/acpi_cppc/nominal_perf", "120\n"},
    {kCpu0 + "/acpi_cppc/nominal_freq", "3800\n"},
    {kCpu0 + "/acpi_cppc/lowest_freq", "550\n"},
};
// CPPC without any cpufreq driver.
const std::map<std::string, std::string> kCppcOnly = {
    {kCpu0 + "/acpi_cppc/highest_perf", "255\n"},
    {kCpu0 + "/acpi_cppc/nominal_perf", "200\n"},
    {kCpu0 + "/acpi_cppc/reference_perf", "100\n"},
    {kCpu0 + "/acpi_cppc/nominal_freq", "3000\n"},
    {kCpu0 + "/acpi_cppc/lowest_freq", "800\n"},
    {kCpu0 + "/acpi_cppc/feedback_ctrs", "ref:123456789 del:246913578\n"},
};
// A virtual machine: only /proc.
const std::map<std::string, std::string> kVirtual = {
    {"/proc/cpuinfo",
     "processor\t: 0\nvendor_id\t: GenuineIntel\ncpu MHz\t\t: 2596.000\n\n"
     "processor\t: 1\nvendor_id\t: GenuineIntel\ncpu MHz\t\t: 2596.001\n\n"},
    {"/proc/stat",
     "cpu  100 0 50 10000 3 0 1 70 0 0\n"
     "cpu0 50 0 25 5000 1 0 1 30 0 0\n"
     "cpu1 50 0 25 5000 2 0 0 40 0 0\n"
     "intr 12345 0 9 0\n"},
};

// Leaf 0x16 of a processor that reports base 2600, maximum 3900 and bus 100 MHz.
tCpuidStore Leaf16Store() {
  return StoreOf("GenuineIntel", 0x16, {{0x16, 0, {2600, 3900, 100, 0}}});
}

TEST(KernelClockFiles, FrequenciesComeFromEachDriversFilesInMegahertz) {
  struct tCase {
    const char* Label;
    const std::map<std::string, std::string>* Tree;
    tKernelFrequency Which;
    double Mhz;  // the file's kHz / 1000, or its MHz for CPPC; 0: absent
  } const cases[] = {
      {"intel_pstate current", &kIntelPstate, tKernelFrequency::ScalingCurrent, 3400.512},
      {"intel_pstate base", &kIntelPstate, tKernelFrequency::CpufreqBase, 1800},
      {"intel_pstate minimum", &kIntelPstate, tKernelFrequency::CpufreqMinimum, 400},
      {"acpi-cpufreq has no base", &kAcpiCpufreq, tKernelFrequency::CpufreqBase, 0},
      {"acpi-cpufreq maximum", &kAcpiCpufreq, tKernelFrequency::CpufreqMaximum, 3600},
      {"amd-pstate maximum", &kAmdPstate, tKernelFrequency::AmdPstateMaximum, 4850},
      {"CPPC nominal, in MHz", &kAmdPstate, tKernelFrequency::CppcNominal, 3800},
      {"CPPC lowest", &kCppcOnly, tKernelFrequency::CppcLowest, 800},
      {"virtual machine: no cpufreq", &kVirtual, tKernelFrequency::ScalingCurrent, 0},
  };
  for (const tCase& c : cases) {
    SCOPED_TRACE(c.Label);
    const tFakeTree tree(*c.Tree);
    const auto mhz = platform::KernelFrequencyMhz(tree.Files(), 0, c.Which);
    EXPECT_EQ(mhz.value_or(0), c.Mhz);
    EXPECT_FALSE(platform::KernelFrequencyMhz(tree.Files(), 1, c.Which));  // no cpu1 folder
  }
}

TEST(KernelClockFiles, CppcFeedbackCountersAndLevels) {
  const tFakeTree tree(kCppcOnly);
  const auto counters = platform::CppcFeedback(tree.Files(), 0);
  ASSERT_TRUE(counters);
  EXPECT_EQ(counters->Reference, 123456789u);
  EXPECT_EQ(counters->Delivered, 246913578u);
  EXPECT_EQ(platform::CppcPerformance(tree.Files(), 0, platform::tCppcPerformance::Reference),
            100u);
  // Text that is not the counters' gives none.
  const tFakeTree broken(tTree{{kCpu0 + "/acpi_cppc/feedback_ctrs", "ref: del:12\n"}});
  EXPECT_FALSE(platform::CppcFeedback(broken.Files(), 0));
}

TEST(KernelClockFiles, CpuinfoMhzByProcessorAndStolenTicks) {
  const tFakeTree tree(kVirtual);
  const std::map<int, double> mhz = platform::CpuinfoMhz(tree.Files());
  EXPECT_EQ(mhz, (std::map<int, double>{{0, 2596.000}, {1, 2596.001}}));
  // The eighth figure of the processor's own line, not of the "cpu" total.
  EXPECT_EQ(platform::StolenTicks(tree.Files(), 0), 30u);
  EXPECT_EQ(platform::StolenTicks(tree.Files(), 1), 40u);
  EXPECT_FALSE(platform::StolenTicks(tree.Files(), 2));
  // Kernels before steal was counted have seven figures.
  const tFakeTree old(tTree{{"/proc/stat", "cpu0 50 0 25 5000 1 0 1\n"}});
  EXPECT_FALSE(platform::StolenTicks(old.Files(), 0));
  // A "cpu MHz" outside any processor's block, or not a number, counts for none.
  const tFakeTree odd(tTree{{"/proc/cpuinfo", "cpu MHz : 1000\nprocessor : 3\ncpu MHz : fast\n"}});
  EXPECT_TRUE(platform::CpuinfoMhz(odd.Files()).empty());
}

TEST(FrequencyRange, EachFigureFromTheFirstSourceThatGivesIt) {
  struct tCase {
    const char* Label;
    const std::map<std::string, std::string>* Tree;  // nullptr: a recorded processor
    tFrequencyRange Expected;
    const char* Sources;
  } const cases[] = {
      {"intel_pstate",
       &kIntelPstate,
       {1800, 4600, 400, tRangeSource::Cpufreq, tRangeSource::Cpufreq, tRangeSource::Cpufreq},
       "cpufreq"},
      {"acpi-cpufreq: base from leaf 0x16",
       &kAcpiCpufreq,
       {2600, 3600, 1400, tRangeSource::Leaf16, tRangeSource::Cpufreq, tRangeSource::Cpufreq},
       "leaf 0x16, cpufreq"},
      // 4850 from amd-pstate, not cpufreq's 3800; base from CPPC's nominal frequency.
      {"amd-pstate",
       &kAmdPstate,
       {3800, 4850, 550, tRangeSource::Cppc, tRangeSource::AmdPstate, tRangeSource::Cpufreq},
       "cppc, amd-pstate, cpufreq"},
      // Highest level 255 at 3000 MHz per nominal level 200: 3825 MHz.
      {"CPPC alone",
       &kCppcOnly,
       {3000, 3825, 800, tRangeSource::Cppc, tRangeSource::Cppc, tRangeSource::Cppc},
       "cppc"},
      {"virtual machine",
       &kVirtual,
       {2600, 3900, 0, tRangeSource::Leaf16, tRangeSource::Leaf16, tRangeSource::None},
       "leaf 0x16"},
      {"recorded",
       nullptr,
       {2600, 3900, 0, tRangeSource::Leaf16, tRangeSource::Leaf16, tRangeSource::None},
       "leaf 0x16"},
  };
  for (const tCase& c : cases) {
    SCOPED_TRACE(c.Label);
    const tFakeTree tree(c.Tree != nullptr ? *c.Tree : std::map<std::string, std::string>{});
    const platform::tSystemFiles files = tree.Files();
    const tFrequencyRange range = FrequencyRangeOf(c.Tree != nullptr ? &files : nullptr,
                                                   c.Tree != nullptr ? 0 : -1, Leaf16Store());
    EXPECT_EQ(range, c.Expected);
    EXPECT_EQ(RangeSourcesText(range), c.Sources);
  }
  // Without leaf 0x16 and without files nothing is known.
  const tFrequencyRange none = FrequencyRangeOf(nullptr, -1, StoreOf("GenuineIntel", 0x0D, {}));
  EXPECT_EQ(none, tFrequencyRange{});
  EXPECT_EQ(RangeSourcesText(none), "");
}

TEST(HwmonFiles, ProcessorTemperaturesUnderTheirOwnLabels) {
  const std::string hwmon = "/sys/class/hwmon/";
  const tFakeTree tree(tTree{
      // ACPI's thermal zone and a disk: not processors.
      {hwmon + "hwmon0/name", "acpitz\n"},
      {hwmon + "hwmon0/temp1_input", "27800\n"},
      {hwmon + "hwmon2/name", "nvme\n"},
      {hwmon + "hwmon2/temp1_input", "38850\n"},
      {hwmon + "hwmon2/temp1_label", "Composite\n"},
      // coretemp: package first, then the cores; temp10 after temp2.
      {hwmon + "hwmon3/name", "coretemp\n"},
      {hwmon + "hwmon3/temp1_input", "52000\n"},
      {hwmon + "hwmon3/temp1_label", "Package id 0\n"},
      {hwmon + "hwmon3/temp2_input", "49000\n"},
      {hwmon + "hwmon3/temp2_label", "Core 0\n"},
      {hwmon + "hwmon3/temp10_input", "51000\n"},
      {hwmon + "hwmon3/temp10_label", "Core 8\n"},
      // A core whose reading cannot be had is left out, not shown as 0.
      {hwmon + "hwmon3/temp3_label", "Core 1\n"},
      {hwmon + "hwmon3/temp4_input", "\n"},
      {hwmon + "hwmon3/temp4_label", "Core 2\n"},
      // k10temp of kernels from 5.10: Tctl, then Tccd1 as temp3; hwmon10 after hwmon3.
      {hwmon + "hwmon10/name", "k10temp\n"},
      {hwmon + "hwmon10/temp1_input", "71250\n"},
      {hwmon + "hwmon10/temp1_label", "Tctl\n"},
      {hwmon + "hwmon10/temp3_input", "-1500\n"},
      {hwmon + "hwmon10/temp3_label", "Tccd1\n"},
      // An old k10temp without labels.
      {hwmon + "hwmon11/name", "k10temp\n"},
      {hwmon + "hwmon11/temp1_input", "40125\n"},
  });
  const platform::tSystemFiles files = tree.Files();
  const std::vector<tTemperature> expected = {
      {"Package id 0", 52.0, "coretemp"}, {"Core 0", 49.0, "coretemp"},
      {"Core 8", 51.0, "coretemp"},       {"Tctl", 71.25, "k10temp"},
      {"Tccd1", -1.5, "k10temp"},         {"temp1", 40.125, "k10temp"},
  };
  EXPECT_EQ(ProcessorTemperaturesOf(&files), expected);
  EXPECT_TRUE(ProcessorTemperaturesOf(nullptr).empty());
  const tFakeTree empty(tTree{});
  const platform::tSystemFiles none = empty.Files();
  EXPECT_TRUE(ProcessorTemperaturesOf(&none).empty());
}

}  // namespace
