// The kernel's clock files of one processor, and the lines of /proc/cpuinfo and /proc/stat
// that belong to it.
#include "platform/KernelClockFiles.h"

#include <array>
#include <charconv>
#include <climits>
#include <string>
#include <string_view>

namespace platform {
namespace {

std::string CpuFolder(int cpu) {
  return "/sys/devices/system/cpu/cpu" + std::to_string(cpu);
}

struct tFrequencyFile {
  tKernelFrequency Which;
  std::string_view Path;  // below the processor's folder
  double PerMhz;          // units of the file in one MHz
};

constexpr std::array kFrequencyFiles = {
    tFrequencyFile{tKernelFrequency::ScalingCurrent, "/cpufreq/scaling_cur_freq", 1000},
    tFrequencyFile{tKernelFrequency::CpufreqMinimum, "/cpufreq/cpuinfo_min_freq", 1000},
    tFrequencyFile{tKernelFrequency::CpufreqMaximum, "/cpufreq/cpuinfo_max_freq", 1000},
    tFrequencyFile{tKernelFrequency::CpufreqBase, "/cpufreq/base_frequency", 1000},
    tFrequencyFile{tKernelFrequency::AmdPstateMaximum, "/cpufreq/amd_pstate_max_freq", 1000},
    tFrequencyFile{tKernelFrequency::CppcNominal, "/acpi_cppc/nominal_freq", 1},
    tFrequencyFile{tKernelFrequency::CppcLowest, "/acpi_cppc/lowest_freq", 1},
};

struct tPerformanceFile {
  tCppcPerformance Which;
  std::string_view Path;
};

constexpr std::array kPerformanceFiles = {
    tPerformanceFile{tCppcPerformance::Highest, "/acpi_cppc/highest_perf"},
    tPerformanceFile{tCppcPerformance::Nominal, "/acpi_cppc/nominal_perf"},
    tPerformanceFile{tCppcPerformance::Reference, "/acpi_cppc/reference_perf"},
};

// The number after `name` in `text`, which ends at a blank or the end.
std::optional<std::uint64_t> NumberAfter(std::string_view text, std::string_view name) {
  const std::size_t at = text.find(name);
  if (at == std::string_view::npos) return std::nullopt;
  return LeadingNumber(text.substr(at + name.size()));
}

// The lines of `text` one at a time.
template <typename Visit>
void EachLine(std::string_view text, Visit visit) {
  while (!text.empty()) {
    const std::size_t end = std::min(text.find('\n'), text.size());
    if (!visit(text.substr(0, end))) return;
    text.remove_prefix(std::min(end + 1, text.size()));
  }
}

std::string_view Trimmed(std::string_view text) {
  const std::size_t start = text.find_first_not_of(" \t");
  if (start == std::string_view::npos) return {};
  const std::size_t end = text.find_last_not_of(" \t\r");
  return text.substr(start, end - start + 1);
}

// A decimal number with an optional fraction ("2596.000").
std::optional<double> Decimal(std::string_view text) {
  text = Trimmed(text);
  double value = 0;
  const auto [last, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || last != text.data() + text.size() || !(value > 0)) {
    return std::nullopt;
  }
  return value;
}

}  // namespace

std::optional<double> KernelFrequencyMhz(const tSystemFiles& files, int cpu,
                                         tKernelFrequency which) {
  if (cpu < 0) return std::nullopt;
  for (const tFrequencyFile& file : kFrequencyFiles) {
    if (file.Which != which) continue;
    const std::optional<std::uint64_t> value = files.Number(CpuFolder(cpu).append(file.Path));
    if (!value || *value == 0) return std::nullopt;
    return static_cast<double>(*value) / file.PerMhz;
  }
  return std::nullopt;
}

std::optional<std::uint64_t> CppcPerformance(const tSystemFiles& files, int cpu,
                                             tCppcPerformance which) {
  if (cpu < 0) return std::nullopt;
  for (const tPerformanceFile& file : kPerformanceFiles) {
    if (file.Which != which) continue;
    const std::optional<std::uint64_t> value = files.Number(CpuFolder(cpu).append(file.Path));
    if (!value || *value == 0) return std::nullopt;
    return value;
  }
  return std::nullopt;
}

std::optional<tCppcCounters> CppcFeedback(const tSystemFiles& files, int cpu) {
  if (cpu < 0) return std::nullopt;
  const std::optional<std::string> text = files.Read(CpuFolder(cpu) + "/acpi_cppc/feedback_ctrs");
  if (!text) return std::nullopt;
  const std::optional<std::uint64_t> reference = NumberAfter(*text, "ref:");
  const std::optional<std::uint64_t> delivered = NumberAfter(*text, "del:");
  if (!reference || !delivered) return std::nullopt;
  return tCppcCounters{*reference, *delivered};
}

std::map<int, double> CpuinfoMhz(const tSystemFiles& files) {
  std::map<int, double> mhz;
  const std::optional<std::string> text = files.Read("/proc/cpuinfo");
  if (!text) return mhz;
  // The blocks begin with "processor : N"; a figure belongs to the block it is in.
  int processor = -1;  // none yet
  EachLine(*text, [&](std::string_view line) {
    const std::size_t colon = line.find(':');
    if (colon == std::string_view::npos) return true;
    const std::string_view name = Trimmed(line.substr(0, colon));
    const std::string_view value = line.substr(colon + 1);
    if (name == "processor") {
      const std::optional<std::uint64_t> number = LeadingNumber(value);
      processor =
          number && *number <= static_cast<std::uint64_t>(INT_MAX) ? static_cast<int>(*number) : -1;
    } else if (processor >= 0 && name == "cpu MHz") {
      if (const std::optional<double> figure = Decimal(value)) mhz.emplace(processor, *figure);
    }
    return true;
  });
  return mhz;
}

std::optional<std::uint64_t> StolenTicks(const tSystemFiles& files, int cpu) {
  if (cpu < 0) return std::nullopt;
  const std::optional<std::string> text = files.Read("/proc/stat");
  if (!text) return std::nullopt;
  const std::string name = "cpu" + std::to_string(cpu);
  std::optional<std::uint64_t> stolen;
  EachLine(*text, [&](std::string_view line) {
    const std::size_t end = std::min(line.find(' '), line.size());
    if (line.substr(0, end) != name) return true;
    // user nice system idle iowait irq softirq steal
    std::string_view rest = line.substr(end);
    for (int figure = 1; figure <= 8; ++figure) {
      const std::size_t start = rest.find_first_not_of(' ');
      if (start == std::string_view::npos) return false;
      rest.remove_prefix(start);
      const std::size_t stop = std::min(rest.find(' '), rest.size());
      if (figure == 8) stolen = LeadingNumber(rest.substr(0, stop));
      rest.remove_prefix(stop);
    }
    return false;
  });
  return stolen;
}

}  // namespace platform
