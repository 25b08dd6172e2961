#include "app/PrometheusReport.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <memory>
#include <tuple>
#include <utility>
#include <vector>

#include "app/Utf8Text.h"
#include "engine/CPUid.h"
#include "engine/decode/CoreType.h"
#include "engine/decode/DisplaySignature.h"
#include "engine/decode/X86Level.h"

namespace {

using tLabels = std::vector<std::pair<std::string_view, std::string>>;

// One metric: its HELP and TYPE lines once, then its samples.
class tMetric {
 public:
  tMetric(std::string& out, std::string_view name, std::string_view help) : out_(out), name_(name) {
    out_.append("# HELP ").append(name).append(" ").append(help).append("\n");
    out_.append("# TYPE ").append(name).append(" gauge\n");
  }

  void Sample(const tLabels& labels, double value) {
    out_.append(name_);
    if (!labels.empty()) {
      out_.push_back('{');
      for (std::size_t k = 0; k < labels.size(); ++k) {
        if (k > 0) out_.push_back(',');
        out_.append(labels[k].first).append("=\"");
        out_.append(PrometheusLabelValue(labels[k].second)).push_back('"');
      }
      out_.push_back('}');
    }
    std::array<char, 32> number{};
    const auto end = std::to_chars(number.data(), number.data() + number.size(), value).ptr;
    out_.push_back(' ');
    out_.append(number.data(), end).push_back('\n');
  }

 private:
  std::string& out_;
  std::string_view name_;
};

// The operating system's number of a processor of this machine; the slot's of a loaded one.
std::string CpuLabel(const tCpuidStore& store, unsigned slot) {
  return std::to_string(store.OsCpu >= 0 ? store.OsCpu : static_cast<int>(slot));
}

constexpr double kHertzPerMegahertz = 1e6;
constexpr double kBytesPerKilobyte = 1024;

}  // namespace

std::string PrometheusLabelValue(std::string_view utf8) {
  std::string value;
  for (const char c : utf8) {
    if (c == '\\') {
      value.append("\\\\");
    } else if (c == '"') {
      value.append("\\\"");
    } else if (c == '\n') {
      value.append("\\n");
    } else if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
      value.append("\xEF\xBF\xBD");
    } else {
      value.push_back(c);
    }
  }
  return value;
}

std::string PrometheusReport(const cCPUid& engine, bool driverLoaded,
                             tMicrocodeSource microcodeOf) {
  const std::shared_ptr<const tProcessorRecords> records = engine.Records();
  const unsigned count =
      static_cast<unsigned>(std::min<std::size_t>(engine.CPUCount, records->SlotCount()));
  const tProcessorRecords& e = *records;
  std::string out;

  tMetric info(out, "lumarian_cpu_info",
               "The identification of a logical processor, in its labels; always 1.");
  for (unsigned i = 0; i < count; ++i) {
    const tCpuidStore& store = e.CPUstore[i];
    const tDisplaySignature signature = DisplaySignatureOf(store);
    const std::string microcode =
        store.OsCpu >= 0 && microcodeOf != nullptr ? microcodeOf(store.OsCpu) : "";
    info.Sample({{"cpu", CpuLabel(store, i)},
                 {"vendor", TrimmedUtf8Of1252(e.CPUid_m[i].Vendor.View())},
                 {"family", std::to_string(signature.Family)},
                 {"model", std::to_string(signature.Model)},
                 {"stepping", std::to_string(signature.Stepping)},
                 {"brand", TrimmedUtf8Of1252(e.CPUid_m[i].BrandString.View())},
                 {"code_name", TrimmedUtf8Of1252(e.nameinfo[i].CodeName.View())},
                 {"microarchitecture", e.ModernNames[i].Microarchitecture()},
                 {"core_type", std::string(CoreTypeName(e.CoreTypes[i]))},
                 {"microcode", microcode},
                 {"x86_64_level", std::string(X86LevelName(X86LevelOf(store)))}},
                1);
  }

  // Clocks nobody measured or reported are left out rather than written as 0.
  tMetric clocks(out, "lumarian_cpu_frequency_hertz",
                 "Clocks of a logical processor: tsc measured against the system's clock, "
                 "effective from APERF/MPERF, bus from the multiplier's registers, and base, "
                 "max, bus_reported and tsc_reported as its CPUID leaves report them.");
  for (unsigned i = 0; i < count; ++i) {
    const tClocks measured = engine.ClocksOf(i);
    const tFrequencies& f = e.Frequencies[i];
    const std::pair<std::string_view, double> rows[] = {
        {"tsc", measured.CoreClock}, {"effective", engine.EffectiveClockOf(i).CoreClock},
        {"bus", measured.BusClock},  {"base", f.BaseMHz},
        {"max", f.MaxMHz},           {"bus_reported", f.BusMHz},
        {"tsc_reported", f.TscMHz},
    };
    for (const auto& [kind, mhz] : rows)
      if (mhz > 0)
        clocks.Sample({{"cpu", CpuLabel(e.CPUstore[i], i)}, {"kind", std::string(kind)}},
                      mhz * kHertzPerMegahertz);
  }

  tMetric multiplier(out, "lumarian_cpu_multiplier",
                     "The ratio of the core clock to the bus clock, where it was read.");
  for (unsigned i = 0; i < count; ++i) {
    const double ratio = engine.ClocksOf(i).Multiplier;
    if (ratio > 0) multiplier.Sample({{"cpu", CpuLabel(e.CPUstore[i], i)}}, ratio);
  }

  // A trace cache counts micro-operations, not bytes: it has no place here.
  tMetric caches(out, "lumarian_cpu_cache_bytes",
                 "The size of each cache a logical processor reports, by level and type.");
  for (unsigned i = 0; i < count; ++i) {
    for (const tCacheInfo& c : e.CacheReports[i].Caches) {
      if (c.Type == tCacheType::Trace) continue;
      caches.Sample({{"cpu", CpuLabel(e.CPUstore[i], i)},
                     {"level", std::to_string(c.Level)},
                     {"type", std::string(CacheTypeName(c.Type))}},
                    c.SizeKB * kBytesPerKilobyte);
    }
  }

  const tMachineTopology machine = e.Machine(count);
  const std::tuple<std::string_view, std::string_view, unsigned> counts[] = {
      {"lumarian_machine_processors", "Logical processors identified.", count},
      {"lumarian_machine_packages", "Physical packages, counted over the processors.",
       machine.Packages},
      {"lumarian_machine_dies", "Dies, counted over the processors.", machine.Dies},
      {"lumarian_machine_cores", "Cores, counted over the processors.", machine.Cores},
      {"lumarian_machine_threads", "Hardware threads, counted over the processors.",
       machine.Threads},
  };
  for (const auto& [name, help, value] : counts)
    tMetric(out, name, help).Sample({}, value);
  tMetric kinds(out, "lumarian_machine_cores_by_type",
                "Cores of each kind on parts with two kinds; none where no processor says.");
  if (machine.PerformanceCores + machine.EfficiencyCores > 0) {
    kinds.Sample({{"type", "performance"}}, machine.PerformanceCores);
    kinds.Sample({{"type", "efficiency"}}, machine.EfficiencyCores);
  }
  tMetric(out, "lumarian_driver_loaded",
          "1 when the driver that reads the processor's registers answered, else 0.")
      .Sample({}, driverLoaded ? 1 : 0);
  return out;
}
