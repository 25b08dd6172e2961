#include "engine/store/SubLeafRules.h"

#include <algorithm>

#include "engine/store/MyUtils.h"

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

std::vector<std::uint32_t> DescribedSubLeaves(const tCpuidStore& store, std::uint32_t leaf) {
  std::vector<std::uint32_t> subs;
  const tCPUIDResult* zero = store.Find(leaf, 0);
  if (zero == nullptr) return subs;
  const tLeafRule* rule = RuleOf(leaf);
  if (rule == nullptr) {
    subs.push_back(0);
    return subs;
  }
  const auto keep = [&](std::uint32_t sub) {
    if (store.Has(leaf, sub)) subs.push_back(sub);
  };
  switch (rule->Rule) {
    case tSubLeafRule::Terminated:
      for (std::uint32_t sub = 0; sub < rule->Cap; ++sub) {
        const tCPUIDResult* r = store.Find(leaf, sub);
        if (r == nullptr) break;
        if (sub >= rule->First && GetBits(RegisterOf(*r, rule->Field), rule->Lo, rule->Hi) == 0)
          break;
        subs.push_back(sub);
      }
      break;
    case tSubLeafRule::Counted: {
      const std::uint32_t last = std::min(zero->EAX, rule->Cap - 1);
      for (std::uint32_t sub = 0; sub <= last; ++sub)
        keep(sub);
      break;
    }
    case tSubLeafRule::ByBits: {
      const std::uint32_t bits = RegisterOf(*zero, rule->Field);
      subs.push_back(0);
      for (std::uint32_t sub = 1; sub < rule->Cap; ++sub) {
        if (GetBit(bits, sub) != 0) keep(sub);
      }
      break;
    }
    case tSubLeafRule::XsaveState: {
      subs.push_back(0);
      const tCPUIDResult* one = store.Find(leaf, 1);
      if (one == nullptr) break;
      subs.push_back(1);
      const std::uint64_t mask =
          (std::uint64_t{zero->EDX} << 32 | zero->EAX) | (std::uint64_t{one->EDX} << 32 | one->ECX);
      for (std::uint32_t sub = 2; sub < rule->Cap; ++sub) {
        if (GetBits(mask, sub, sub) != 0) keep(sub);
      }
      break;
    }
  }
  return subs;
}
