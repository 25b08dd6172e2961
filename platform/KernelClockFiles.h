// What the kernel tells of a processor's clocks without privilege: cpufreq's and amd-pstate's
// frequencies, ACPI CPPC's performance levels and feedback counters, /proc/cpuinfo's "cpu MHz"
// and the time the hypervisor stole (/proc/stat). Each is read from its file when asked;
// nothing when the file is not there or holds no number.
#pragma once

#include <cstdint>
#include <map>
#include <optional>

#include "platform/SystemFiles.h"

namespace platform {

// Frequencies of one processor, each from its own file.
enum class tKernelFrequency : std::uint8_t {
  ScalingCurrent,    // cpufreq/scaling_cur_freq: the kernel's latest figure of the running clock
  CpufreqMinimum,    // cpufreq/cpuinfo_min_freq
  CpufreqMaximum,    // cpufreq/cpuinfo_max_freq
  CpufreqBase,       // cpufreq/base_frequency (intel_pstate, amd-pstate of recent kernels)
  AmdPstateMaximum,  // cpufreq/amd_pstate_max_freq
  CppcNominal,       // acpi_cppc/nominal_freq
  CppcLowest,        // acpi_cppc/lowest_freq
};

// The frequency in MHz of processor `cpu` (the system's number); nothing where the file is
// missing or holds 0.
std::optional<double> KernelFrequencyMhz(const tSystemFiles& files, int cpu,
                                         tKernelFrequency which);

// ACPI CPPC's abstract performance levels of processor `cpu`.
enum class tCppcPerformance : std::uint8_t { Highest, Nominal, Reference };
std::optional<std::uint64_t> CppcPerformance(const tSystemFiles& files, int cpu,
                                             tCppcPerformance which);

// ACPI CPPC's feedback counters: the reference counter runs at the reference performance
// level, the delivered one at the performance delivered.
struct tCppcCounters {
  std::uint64_t Reference = 0;
  std::uint64_t Delivered = 0;
};
// From acpi_cppc/feedback_ctrs ("ref:N del:N").
std::optional<tCppcCounters> CppcFeedback(const tSystemFiles& files, int cpu);

// The "cpu MHz" lines of /proc/cpuinfo, by the system's number of each processor; read once
// for every processor, since the kernel writes the file for all of them at each read.
std::map<int, double> CpuinfoMhz(const tSystemFiles& files);

// The time stolen from processor `cpu` by the hypervisor, in the kernel's ticks (the eighth
// figure of its line in /proc/stat); nothing where the kernel does not count it.
std::optional<std::uint64_t> StolenTicks(const tSystemFiles& files, int cpu);

}  // namespace platform
