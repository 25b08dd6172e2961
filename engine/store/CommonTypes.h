// The records the engine keeps per processor slot. Every record is a plain value: zero until
// a decoder writes it, texts as fixed-capacity single-byte (Windows-1252) strings.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "engine/store/Leaves.h"
#include "platform/ProcessorServices.h"
#include "platform/ReplayProcessorServices.h"

// A text of at most Capacity single-byte characters. Longer text is cut at the capacity;
// NUL characters are text like any other.
template <std::size_t Capacity>
class tShortString {
  static_assert(Capacity >= 1 && Capacity <= 255, "the length is one byte");

 public:
  constexpr tShortString() = default;
  tShortString(std::string_view text) { Assign(text); }  // NOLINT: texts assign from literals
  tShortString& operator=(std::string_view text) {
    Assign(text);
    return *this;
  }

  void Assign(std::string_view text) {
    length_ = 0;
    Append(text);
  }
  // Appends as much of `text` as still fits.
  void Append(std::string_view text) {
    const std::size_t room = Capacity - length_;
    const std::size_t taken = text.size() < room ? text.size() : room;
    for (std::size_t k = 0; k < taken; ++k)
      chars_[length_ + k] = text[k];
    length_ = static_cast<std::uint8_t>(length_ + taken);
  }

  std::string_view View() const { return {chars_.data(), length_}; }
  std::size_t Length() const { return length_; }
  bool Empty() const { return length_ == 0; }
  static constexpr std::size_t kCapacity = Capacity;

  friend bool operator==(const tShortString& a, std::string_view b) { return a.View() == b; }
  friend bool operator==(const tShortString& a, const tShortString& b) {
    return a.View() == b.View();
  }

 private:
  std::uint8_t length_ = 0;
  std::array<char, Capacity> chars_{};
};

using tString255 = tShortString<255>;
using tString48 = tShortString<48>;

enum class tVendor : std::uint8_t {
  intel,
  amd,
  umc,
  cyrix,
  nexgen,
  centaur,
  rise,
  sis,
  transmeta,
  national
};

using tCPUIDResult = platform::tCPUIDResult;

// The leaves captured on every processor: five groups of consecutive leaves, in capture
// order.
struct tLeafGroup {
  std::uint32_t First;
  std::size_t Count;
};
inline constexpr std::array<tLeafGroup, 5> kLeafGroups{{
    {kLeafStandardBase, 6},
    {kLeafExtendedBase, 9},
    {kLeafTransmetaBase, 8},
    {kLeafCentaurBase, 2},
    {kLeafHighExtendedBase, 2},
}};
inline constexpr std::size_t kCapturedLeaves = 27;

// The leaf number of row k (0 to 26) in capture order.
std::uint32_t CaptureLeaf(std::size_t k);

// Raw CPUID results of one processor, executed with ECX = 0.
struct tCPUdata {
  std::array<tCPUIDResult, 6> StdLeaf{};      // 0 .. 5
  std::array<tCPUIDResult, 9> ExtLeaf{};      // 0x80000000 .. 0x80000008
  std::array<tCPUIDResult, 8> TmLeaf{};       // 0x80860000 .. 0x80860007
  std::array<tCPUIDResult, 2> CentaurLeaf{};  // 0xC0000000, 0xC0000001
  std::array<tCPUIDResult, 2> SpecialLeaf{};  // 0x8FFFFFFE, 0x8FFFFFFF

  // Row k (0 to 26) in capture order.
  tCPUIDResult& Row(std::size_t k);
  const tCPUIDResult& Row(std::size_t k) const;
};

// The 27 rows of a capture as a recording that replay services can serve.
platform::tCpuidRecording RecordingOf(const tCPUdata& data);

struct tCPUid_m {
  tString255 Vendor;
  std::uint8_t Family = 0;
  std::uint8_t Model = 0;
  std::uint8_t Stepping = 0;
  std::uint8_t CPUType = 0;
  std::uint8_t ExtFamily = 0;
  std::uint8_t ExtModel = 0;
  std::uint8_t BrandID = 0;
  std::uint8_t LogicalCPUs = 0;
  std::uint8_t APICID = 0;
  std::uint8_t XExtFamily = 0;
  std::uint8_t XExtModel = 0;
  std::uint8_t XFamily = 0;
  std::uint8_t XModel = 0;
  std::uint8_t XStepping = 0;
  std::uint16_t XBrandID = 0;
  tString48 BrandString;
  std::uint8_t AA64 = 0;
  std::uint8_t XBrandHigh = 0;
  std::uint8_t XBrandLow = 0;
};

// Feature summary; every field but Cores is a flag.
struct tCPUfeatures {
  std::uint8_t MMX = 0;
  std::uint8_t ExtMMX = 0;
  std::uint8_t SSE = 0;
  std::uint8_t SSE2 = 0;
  std::uint8_t SSE3 = 0;
  std::uint8_t TDNow = 0;
  std::uint8_t TDNowPlus = 0;
  std::uint8_t SpeedStep = 0;
  std::uint8_t IA64 = 0;
  std::uint8_t HTT = 0;
  std::uint8_t AA64 = 0;
  std::uint8_t NX = 0;
  std::uint8_t MP = 0;
  std::uint8_t PowerNow = 0;
  std::uint8_t CoolnQuiet = 0;
  std::uint8_t APIC = 0;
  std::uint8_t Cores = 0;  // cores per package
};

// The 32 bits of one feature register, bit 0 first; Valid once the register was reachable
// and not zero.
struct tFeatureBits {
  std::array<std::uint8_t, 32> Bits{};
  std::uint8_t Valid = 0;
};

struct tFeaturesFlags {
  tFeatureBits StdEDX;  // leaf 1 EDX
  tFeatureBits StdECX;  // leaf 1 ECX
  tFeatureBits ExtEDX;  // leaf 0x80000001 EDX
  tFeatureBits ExtECX;  // leaf 0x80000001 ECX
};

// Power-management capabilities of leaf 0x80000007 EDX.
struct tEPM {
  std::uint8_t STC = 0;  // bit 5
  std::uint8_t TM = 0;   // bit 4
  std::uint8_t TTP = 0;  // bit 3
  std::uint8_t VID = 0;  // bit 2
  std::uint8_t FID = 0;  // bit 1
  std::uint8_t TS = 0;   // bit 0
};

// Clock values in MHz.
struct tClocks {
  double CoreClock = 0;
  double BusClock = 0;
  std::uint8_t BusFactor = 0;  // transfers per bus clock
  float Multiplier = 0;
  double BusSpeed = 0;
};

// Where an effective clock comes from, the first that gives one: the driver's APERF and MPERF,
// ACPI CPPC's feedback counters, cpufreq's current frequency, /proc/cpuinfo's "cpu MHz" (where
// it is not the time-stamp counter's rate), a timed chain of dependent additions.
enum class tEffectiveSource : std::uint8_t { None, AperfMperf, Cppc, Cpufreq, Kernel, TimedLoop };

// The clock the core really ran at over the last measuring window, in MHz, and its source.
// With APERF and MPERF: the time-stamp counter's rate times the ratio of the actual to the
// reference performance counters. 0 (source None) where nothing gives one.
struct tEffectiveClock {
  double CoreClock = 0;
  tEffectiveSource Source = tEffectiveSource::None;
};

// Associativity everywhere: number of ways, 0 for none, 255 for fully associative. Sizes in
// KB (trace cache: thousands of micro-operations), lines in bytes, TLBs in entries.
inline constexpr std::uint16_t kFullyAssociative = 255;

struct tlevel1 {
  std::uint16_t ITLB4KAssoc = 0;
  std::uint16_t ITLB2MAssoc = 0;
  std::uint16_t ITLB4KEntries = 0;
  std::uint16_t ITLB2MEntries = 0;
  std::uint16_t DTLB4KAssoc = 0;
  std::uint16_t DTLB2MAssoc = 0;
  std::uint16_t DTLB4KEntries = 0;
  std::uint16_t DTLB2MEntries = 0;
  std::uint16_t ICacheSize = 0;
  std::uint16_t ICacheAssoc = 0;
  std::uint16_t ICacheLine = 0;
  std::uint16_t ICacheLinesPerTag = 0;
  std::uint8_t TraceCache = 0;  // the instruction cache fields describe a trace cache
  std::uint16_t DCacheSize = 0;
  std::uint16_t DCacheAssoc = 0;
  std::uint16_t DCacheLine = 0;
  std::uint16_t DCacheLinesPerTag = 0;
};

struct tlevel2 {
  std::uint8_t Present = 0;
  std::uint8_t UnitCount = 0;  // level-2 caches in the package
  std::uint16_t ITLB4KAssoc = 0;
  std::uint16_t ITLB2MAssoc = 0;
  std::uint16_t ITLB4KEntries = 0;
  std::uint16_t ITLB2MEntries = 0;
  std::uint16_t DTLB4KAssoc = 0;
  std::uint16_t DTLB2MAssoc = 0;
  std::uint16_t DTLB4KEntries = 0;
  std::uint16_t DTLB2MEntries = 0;
  std::uint16_t Size = 0;
  std::uint16_t Assoc = 0;
  std::uint16_t LineSize = 0;
  std::uint16_t LinesPerTag = 0;
};

struct tlevel3 {
  std::uint32_t Size = 0;  // today's level-3 caches pass 64 MB
  std::uint16_t Assoc = 0;
  std::uint16_t LineSize = 0;
  std::uint16_t LinesPerSector = 0;  // 2 for sectored caches
  std::uint8_t Present = 0;
};

struct tnameinfo {
  tString255 CodeName;
  tString255 CpuName;
  tString255 Rating;
  std::uint16_t LogoKey = 0;
  tString255 Platform;
  tString255 TechProcess;
  tString255 TranQuantity;
  tString255 DieSize;
};
