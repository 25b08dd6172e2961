#include "engine/capture/CpuidCapture.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>

#include "engine/store/Leaves.h"
#include "engine/store/MyUtils.h"
#include "engine/store/SubLeafRules.h"

namespace {

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
    if (last <= first || last - first > kLeafRangeSpan) return true;
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
      if (GetBit(bits, sub) != 0 && !ExecCPUID(rule.Leaf, sub)) return false;
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
      if (GetBits(mask, sub, sub) != 0 && !ExecCPUID(rule.Leaf, sub)) return false;
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
  const std::uint32_t maxStandard = std::min(store.Get(kLeafStandardBase).EAX, kLeafStandardCap);
  return capture.Range(kLeafStandardBase, maxStandard) &&
         capture.ReportedRange(kLeafExtendedBase) && capture.ReportedRange(kLeafHypervisorBase) &&
         capture.ReportedRange(kLeafHypervisorSecondBase) &&
         capture.ReportedRange(kLeafCentaurBase) && capture.ReportedRange(kLeafTransmetaBase);
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
