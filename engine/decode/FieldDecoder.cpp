#include "engine/decode/FieldDecoder.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <optional>
#include <unordered_set>

#include "engine/decode/Hypervisor.h"
#include "engine/store/Leaves.h"
#include "engine/store/MyUtils.h"
#include "engine/store/SubLeafRules.h"
#include "engine/store/VendorStrings.h"

namespace {

struct tMakerRow {
  std::string_view Vendor;
  tFieldVendors Bit;
};

constexpr std::array<tMakerRow, 5> kMakers{{
    {kVendorIntel, kForIntel},
    {kVendorAmd, kForAmd},
    {kVendorHygon, kForAmd},
    {kVendorCentaur, kForCentaur},
    {kVendorZhaoxin, kForCentaur},
}};

tFieldVendors InterfaceBit(tHypervisorInterface interface) {
  switch (interface) {
    case tHypervisorInterface::Kvm:
      return kForKvm;
    case tHypervisorInterface::HyperV:
      return kForHyperV;
    case tHypervisorInterface::Xen:
      return kForXen;
    case tHypervisorInterface::Vmware:
      return kForVmware;
    case tHypervisorInterface::Bhyve:
      return kForBhyve;
    default:
      return kForOtherHypervisor;
  }
}

constexpr std::array<tRegister, 4> kRegisters{tRegister::EAX, tRegister::EBX, tRegister::ECX,
                                              tRegister::EDX};

std::uint32_t Mask(unsigned hi, unsigned lo) {
  const std::uint32_t upper = hi >= 31 ? 0xFFFFFFFFu : (1u << (hi + 1)) - 1;
  return upper & ~((1u << lo) - 1);
}

// One range of leaves: its first leaf, how its leaves are numbered in the table and for whom
// they are read.
struct tRange {
  std::uint32_t Head;
  std::uint32_t Last;
  std::uint32_t TableBase;  // the table's number of the range's first leaf
  tFieldVendors Vendors;
};

std::vector<tRange> RangesOf(const tCpuidStore& store, tFieldVendors maker) {
  std::vector<tRange> ranges;
  if (const tCPUIDResult* zero = store.Find(kLeafStandardBase))
    ranges.push_back(
        {kLeafStandardBase, std::min(zero->EAX, kLeafStandardCap), kLeafStandardBase, maker});
  for (const std::uint32_t base : {kLeafHypervisorBase, kLeafHypervisorSecondBase}) {
    const std::optional<tHypervisorInterface> interface = HypervisorInterfaceAt(store, base);
    if (!interface) continue;
    const std::uint32_t last = store.Get(base).EAX;
    // A range that names no leaf of its own is its first leaf alone.
    const bool inSpan = last > base && last - base <= kLeafRangeSpan;
    ranges.push_back({base, inSpan ? last : base, kLeafHypervisorBase, InterfaceBit(*interface)});
  }
  for (const std::uint32_t base : {kLeafExtendedBase, kLeafTransmetaBase, kLeafCentaurBase}) {
    const tCPUIDResult* head = store.Find(base);
    if (head == nullptr || head->EAX < base || head->EAX - base > kLeafRangeSpan) continue;
    ranges.push_back({base, head->EAX, base, maker});
  }
  return ranges;
}

struct tPiece {
  std::uint8_t Hi, Lo;
  const tFieldRow* Row;
};

void DecodeRegister(std::uint32_t leaf, std::uint32_t sub, std::uint32_t tableLeaf, tRegister reg,
                    std::uint32_t value, tFieldVendors vendors, const tLeafTitle* title,
                    std::vector<tFieldValue>& out) {
  std::array<tPiece, 33> pieces{};
  std::size_t count = 0;
  std::uint32_t covered = 0;
  for (const tFieldRow& row : FieldRowsOf(tableLeaf)) {
    if (row.Register != reg || sub < row.SubFirst || sub > row.SubLast ||
        (row.Vendors & vendors) == 0)
      continue;
    const std::uint32_t mask = Mask(row.Hi, row.Lo);
    if ((covered & mask) != 0 || count == pieces.size()) continue;  // the table's checks hold
    covered |= mask;
    pieces[count++] = {row.Hi, row.Lo, &row};
  }
  std::uint32_t reserved = value & ~covered;
  while (reserved != 0 && count < pieces.size()) {
    const auto bit = static_cast<std::uint8_t>(__builtin_ctz(reserved));
    reserved &= reserved - 1;
    pieces[count++] = {bit, bit, nullptr};
  }
  std::sort(pieces.begin(), pieces.begin() + static_cast<std::ptrdiff_t>(count),
            [](const tPiece& a, const tPiece& b) { return a.Lo < b.Lo; });
  for (std::size_t k = 0; k < count; ++k) {
    const tPiece& p = pieces[k];
    out.push_back({leaf, sub, reg, p.Hi, p.Lo, GetBits(value, p.Lo, p.Hi), p.Row, title});
  }
}

}  // namespace

tFieldVendors MakerOf(const tCpuidStore& store) {
  const std::string vendor = VendorStringOf(store);
  for (const tMakerRow& row : kMakers) {
    if (row.Vendor == vendor) return row.Bit;
  }
  return vendor == kVendorTransmeta ? kForTransmeta : kForOther;
}

std::vector<tFieldValue> DecodeFields(const tCpuidStore& store) {
  std::vector<tFieldValue> fields;
  const tFieldVendors maker = MakerOf(store);
  const std::span<const tCpuidEntry> entries = store.Entries();
  for (const tRange& range : RangesOf(store, maker)) {
    // The store keeps its answers by leaf: start at the range's first leaf.
    auto at =
        std::lower_bound(entries.begin(), entries.end(), range.Head,
                         [](const tCpuidEntry& e, std::uint32_t leaf) { return e.Leaf < leaf; });
    while (at != entries.end() && at->Leaf <= range.Last) {
      const std::uint32_t leaf = at->Leaf;
      while (at != entries.end() && at->Leaf == leaf)
        ++at;
      const std::uint32_t tableLeaf = leaf - range.Head + range.TableBase;
      const tLeafTitle* title = LeafTitleOf(tableLeaf, range.Vendors);
      if (title == nullptr) continue;
      for (const std::uint32_t sub : DescribedSubLeaves(store, leaf)) {
        const tCPUIDResult* answer = store.Find(leaf, sub);
        for (const tRegister reg : kRegisters)
          DecodeRegister(leaf, sub, tableLeaf, reg, RegisterOf(*answer, reg), range.Vendors, title,
                         fields);
      }
    }
  }
  return fields;
}

std::uint64_t ShownValue(const tFieldValue& field) {
  const bool minusOne = field.Row != nullptr && field.Row->Kind == tFieldKind::NumberMinusOne;
  return std::uint64_t{field.Raw} + (minusOne ? 1 : 0);
}

std::string_view FieldName(const tFieldValue& field) {
  return field.Row != nullptr ? field.Row->Name : std::string_view("reserved");
}

std::string FieldBits(const tFieldValue& field) {
  std::string bits = std::to_string(field.Hi);
  if (field.Hi != field.Lo) bits.append(":").append(std::to_string(field.Lo));
  return bits;
}

std::string_view RegisterName(tRegister reg) {
  static constexpr std::array<std::string_view, 4> kNames{"eax", "ebx", "ecx", "edx"};
  return kNames[static_cast<std::size_t>(reg)];
}

std::string FieldMeaning(const tFieldValue& field) {
  if (field.Row == nullptr) return "Reserved bit, set";
  const tFieldRow& row = *field.Row;
  std::string meaning(row.Meaning);
  if (row.Kind == tFieldKind::Enumeration) {
    const auto value = std::find_if(row.Values.begin(), row.Values.end(),
                                    [&](const tEnumValue& v) { return v.Value == field.Raw; });
    meaning.append(": ").append(value != row.Values.end() ? value->Meaning : "unknown value");
  } else if (row.Kind == tFieldKind::Text) {
    meaning.append(": \"");
    for (unsigned k = 0; k < 4; ++k) {
      const auto c = static_cast<char>((field.Raw >> (8 * k)) & 0xFF);
      // Only printable ASCII is shown as it is; anything else as a dot.
      meaning.push_back(c >= 0x20 && c <= 0x7E ? c : '.');
    }
    meaning.push_back('"');
  }
  return meaning;
}

std::string FieldValueText(const tFieldValue& field) {
  const tFieldKind kind = field.Row != nullptr ? field.Row->Kind : tFieldKind::Flag;
  char text[24];
  if (kind == tFieldKind::Identifier || kind == tFieldKind::Enumeration || kind == tFieldKind::Text)
    std::snprintf(text, sizeof text, "0x%X", field.Raw);
  else
    std::snprintf(text, sizeof text, "%llu", static_cast<unsigned long long>(ShownValue(field)));
  return text;
}

std::vector<std::string_view> SetFlagNames(const std::vector<tFieldValue>& fields) {
  std::vector<std::string_view> names;
  std::unordered_set<std::string_view> seen;
  for (const tFieldValue& field : fields) {
    if (field.Row == nullptr || field.Row->Kind != tFieldKind::Flag || field.Raw == 0) continue;
    if (seen.insert(field.Row->Name).second) names.push_back(field.Row->Name);
  }
  return names;
}

std::vector<std::string_view> FeatureNamesWithFields(const tFeatureWords& words,
                                                     const std::vector<tFieldValue>& fields) {
  std::vector<std::string_view> names = FeatureNames(words);
  std::unordered_set<std::string_view> seen(names.begin(), names.end());
  for (const std::string_view name : SetFlagNames(fields)) {
    if (seen.insert(name).second) names.push_back(name);
  }
  return names;
}
