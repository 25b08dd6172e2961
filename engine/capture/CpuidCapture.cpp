#include "engine/capture/CpuidCapture.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>

#include "engine/store/MyUtils.h"

namespace {

// How the sub-leaves of a leaf are enumerated.
enum class tSubLeafRule : std::uint8_t {
  Terminated,  // 0, 1, ... up to and including the first whose type field is 0
  Counted,     // 0 .. EAX of sub-leaf 0
  ByBits,      // 0, then n for each bit n >= 1 set in a register of sub-leaf 0
  XsaveState,  // 0, 1, then n for each bit n >= 2 of the XCR0 and IA32_XSS masks
};

enum class tRegister : std::uint8_t { EAX, EBX, ECX, EDX };

struct tLeafRule {
  std::uint32_t Leaf;
  tSubLeafRule Rule;
  tRegister Field;      // Terminated: the type field; ByBits: the register of bits
  unsigned Lo, Hi;      // Terminated: bits of the type field
  std::uint32_t First;  // Terminated: the first sub-leaf whose type field is looked at
  std::uint32_t Cap;    // sub-leaves at most
};

constexpr auto T = tSubLeafRule::Terminated;
constexpr auto C = tSubLeafRule::Counted;
constexpr auto B = tSubLeafRule::ByBits;
constexpr auto X = tSubLeafRule::XsaveState;
constexpr auto EAX = tRegister::EAX;
constexpr auto EBX = tRegister::EBX;
constexpr auto ECX = tRegister::ECX;
constexpr auto EDX = tRegister::EDX;

// Leaves with more than one sub-leaf; every other leaf is executed with sub-leaf 0 only.
constexpr std::array<tLeafRule, 19> kLeafRules{{
    {0x00000004, T, EAX, 0, 4, 0, 16},  // deterministic cache parameters, cache type
    {0x00000007, C, EAX, 0, 0, 0, 8},   // structured extended features
    {0x0000000B, T, ECX, 8, 15, 0, 8},  // extended topology, level type
    {0x0000000D, X, EAX, 0, 0, 0, 64},  // XSAVE state components
    {0x0000000F, B, EDX, 0, 0, 0, 32},  // resource monitoring: monitored resources
    {0x00000010, B, EBX, 0, 0, 0, 32},  // resource allocation: allocatable resources
    {0x00000012, T, EAX, 0, 3, 2, 34},  // SGX: 0 and 1, then EPC sections until type 0
    {0x00000014, C, EAX, 0, 0, 0, 8},   // processor trace
    {0x00000017, C, EAX, 0, 0, 0, 8},   // SoC vendor attributes
    {0x00000018, C, EAX, 0, 0, 0, 32},  // deterministic address translation
    {0x0000001B, T, EAX, 0, 11, 0, 8},  // PCONFIG targets, sub-leaf type
    {0x0000001D, C, EAX, 0, 0, 0, 8},   // tile palettes
    {0x0000001F, T, ECX, 8, 15, 0, 8},  // extended topology v2, level type
    {0x00000020, C, EAX, 0, 0, 0, 8},   // history reset
    {0x00000023, B, EAX, 0, 0, 0, 32},  // architectural performance monitoring extension
    {0x00000024, C, EAX, 0, 0, 0, 8},   // converged vector ISA (AVX10)
    {0x8000001D, T, EAX, 0, 4, 0, 16},  // cache topology, cache type
    {0x80000020, B, EBX, 0, 0, 0, 32},  // platform QoS
    {0x80000026, T, ECX, 8, 15, 0, 8},  // extended topology, level type
}};

constexpr std::uint32_t kStandardCap = 0x3F;
constexpr std::uint32_t kRangeSpan = 0xFF;  // leaves a range holds beyond its first leaf

std::uint32_t RegisterOf(const tCPUIDResult& r, tRegister which) {
  switch (which) {
    case tRegister::EAX:
      return r.EAX;
    case tRegister::EBX:
      return r.EBX;
    case tRegister::ECX:
      return r.ECX;
    default:
      return r.EDX;
  }
}

const tLeafRule* RuleOf(std::uint32_t leaf) {
  for (const tLeafRule& rule : kLeafRules) {
    if (rule.Leaf == leaf) return &rule;
  }
  return nullptr;
}

class tCapture {
 public:
  tCapture(platform::IProcessorServices& services, tCpuidStore& store)
      : services_(services), store_(store) {}

  // One execution, unless the pair is already in the store. Nothing on a fault.
  std::optional<tCPUIDResult> ExecCPUID(std::uint32_t leaf, std::uint32_t subLeaf) {
    if (const tCPUIDResult* known = store_.Find(leaf, subLeaf)) return *known;
    tCPUIDResult result;
    if (!services_.Cpuid(leaf, subLeaf, result)) return std::nullopt;
    store_.Put(leaf, subLeaf, result);
    return result;
  }

  bool Legacy() {
    for (std::size_t k = 0; k < kCapturedLeaves; ++k) {
      if (!ExecCPUID(CaptureLeaf(k), 0)) return false;
    }
    return true;
  }

  // Every leaf first .. last with its sub-leaves.
  bool Range(std::uint32_t first, std::uint32_t last) {
    for (std::uint32_t leaf = first;; ++leaf) {
      if (!Leaf(leaf)) return false;
      if (leaf == last) return true;
    }
  }

  // The range of `first` up to the maximum its own answer reports, when that maximum lies
  // within the range's span; a maximum outside it is no range at all.
  bool ReportedRange(std::uint32_t first) {
    const auto head = ExecCPUID(first, 0);
    if (!head) return false;
    const std::uint32_t last = head->EAX;
    if (last <= first || last - first > kRangeSpan) return true;
    return Range(first + 1, last);
  }

  bool Leaf(std::uint32_t leaf) {
    const auto zero = ExecCPUID(leaf, 0);
    if (!zero) return false;
    const tLeafRule* rule = RuleOf(leaf);
    if (rule == nullptr) return true;
    switch (rule->Rule) {
      case tSubLeafRule::Terminated:
        return Terminated(*rule);
      case tSubLeafRule::Counted:
        return Counted(*rule, zero->EAX);
      case tSubLeafRule::ByBits:
        return ByBits(*rule, RegisterOf(*zero, rule->Field));
      default:
        return XsaveState(*rule);
    }
  }

 private:
  bool Terminated(const tLeafRule& rule) {
    for (std::uint32_t sub = 0; sub < rule.Cap; ++sub) {
      const auto r = ExecCPUID(rule.Leaf, sub);
      if (!r) return false;
      if (sub >= rule.First && GetBits(RegisterOf(*r, rule.Field), rule.Lo, rule.Hi) == 0) break;
    }
    return true;
  }

  bool Counted(const tLeafRule& rule, std::uint32_t lastSubLeaf) {
    const std::uint32_t last = std::min(lastSubLeaf, rule.Cap - 1);
    for (std::uint32_t sub = 1; sub <= last; ++sub) {
      if (!ExecCPUID(rule.Leaf, sub)) return false;
    }
    return true;
  }

  bool ByBits(const tLeafRule& rule, std::uint32_t bits) {
    for (std::uint32_t sub = 1; sub < rule.Cap; ++sub) {
      if (((bits >> sub) & 1u) != 0 && !ExecCPUID(rule.Leaf, sub)) return false;
    }
    return true;
  }

  bool XsaveState(const tLeafRule& rule) {
    const auto zero = ExecCPUID(rule.Leaf, 0);
    const auto one = zero ? ExecCPUID(rule.Leaf, 1) : std::nullopt;
    if (!one) return false;
    // Sub-leaf 0 EDX:EAX is the XCR0 mask, sub-leaf 1 EDX:ECX the IA32_XSS mask.
    const std::uint64_t mask =
        (std::uint64_t{zero->EDX} << 32 | zero->EAX) | (std::uint64_t{one->EDX} << 32 | one->ECX);
    for (std::uint32_t sub = 2; sub < rule.Cap; ++sub) {
      if (((mask >> sub) & 1u) != 0 && !ExecCPUID(rule.Leaf, sub)) return false;
    }
    return true;
  }

  platform::IProcessorServices& services_;
  tCpuidStore& store_;
};

}  // namespace

bool CaptureCpuid(platform::IProcessorServices& services, tCpuidStore& store) {
  tCapture capture(services, store);
  if (!capture.Legacy()) return false;
  const std::uint32_t maxStandard = std::min(store.Get(0).EAX, kStandardCap);
  return capture.Range(0, maxStandard) && capture.ReportedRange(0x80000000) &&
         capture.ReportedRange(0x40000000) && capture.ReportedRange(0x40000100) &&
         capture.ReportedRange(0xC0000000) && capture.ReportedRange(0x80860000);
}

std::vector<tCpuidStore> CaptureEveryProcessor(platform::IProcessorServices& services) {
  std::vector<tCpuidStore> processors;
  const unsigned count = services.ProcessorCount();
  for (unsigned slot = 0; slot < count; ++slot) {
    if (!services.PinThread(slot)) continue;
    tCpuidStore store;
    CaptureCpuid(services, store);
    store.OsCpu = services.OsCpuOf(slot);
    processors.push_back(std::move(store));
  }
  services.RestoreThread();
  return processors;
}
