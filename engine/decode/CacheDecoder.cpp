// Caches and TLBs: from the size leaves 0x80000005 and 0x80000006, or from the descriptor
// bytes of leaf 2 on Intel processors.
#include <array>
#include <cstdint>
#include <iterator>
#include <optional>

#include "engine/CPUid.h"
#include "engine/decode/CacheDescriptors.h"
#include "engine/store/Leaves.h"
#include "engine/store/MyUtils.h"

namespace {

// ---- Size leaves ----------------------------------------------------------------------

using tRegister = std::uint32_t tCPUIDResult::*;

// A field that takes a bit range of a register as it stands.
template <typename Record>
struct tBitField {
  std::uint16_t Record::*Field;
  tRegister Register;
  unsigned Lo;
  unsigned Hi;
};

// Leaf 0x80000005: the level-1 caches and TLBs; associativity is already a number of ways.
constexpr std::array<tBitField<tlevel1>, 16> kLevel1Fields{{
    {&tlevel1::ITLB4KAssoc, &tCPUIDResult::EBX, 8, 15},
    {&tlevel1::ITLB2MAssoc, &tCPUIDResult::EAX, 8, 15},
    {&tlevel1::ITLB4KEntries, &tCPUIDResult::EBX, 0, 7},
    {&tlevel1::ITLB2MEntries, &tCPUIDResult::EAX, 0, 7},
    {&tlevel1::DTLB4KAssoc, &tCPUIDResult::EBX, 24, 31},
    {&tlevel1::DTLB2MAssoc, &tCPUIDResult::EAX, 24, 31},
    {&tlevel1::DTLB4KEntries, &tCPUIDResult::EBX, 16, 23},
    {&tlevel1::DTLB2MEntries, &tCPUIDResult::EAX, 16, 23},
    {&tlevel1::ICacheSize, &tCPUIDResult::EDX, 24, 31},
    {&tlevel1::ICacheAssoc, &tCPUIDResult::EDX, 16, 23},
    {&tlevel1::ICacheLine, &tCPUIDResult::EDX, 0, 7},
    {&tlevel1::ICacheLinesPerTag, &tCPUIDResult::EDX, 8, 15},
    {&tlevel1::DCacheSize, &tCPUIDResult::ECX, 24, 31},
    {&tlevel1::DCacheAssoc, &tCPUIDResult::ECX, 16, 23},
    {&tlevel1::DCacheLine, &tCPUIDResult::ECX, 0, 7},
    {&tlevel1::DCacheLinesPerTag, &tCPUIDResult::ECX, 8, 15},
}};

// Leaf 0x80000006: the level-2 TLB sizes and the cache line.
constexpr std::array<tBitField<tlevel2>, 5> kLevel2Fields{{
    {&tlevel2::ITLB4KEntries, &tCPUIDResult::EBX, 0, 11},
    {&tlevel2::ITLB2MEntries, &tCPUIDResult::EAX, 0, 11},
    {&tlevel2::DTLB4KEntries, &tCPUIDResult::EBX, 16, 27},
    {&tlevel2::DTLB2MEntries, &tCPUIDResult::EAX, 16, 27},
    {&tlevel2::LineSize, &tCPUIDResult::ECX, 0, 7},
}};

// Leaf 0x80000006: the level-2 TLB associativities, as four-bit codes.
constexpr std::array<tBitField<tlevel2>, 4> kLevel2AssocCodes{{
    {&tlevel2::DTLB2MAssoc, &tCPUIDResult::EAX, 28, 31},
    {&tlevel2::ITLB2MAssoc, &tCPUIDResult::EAX, 12, 15},
    {&tlevel2::DTLB4KAssoc, &tCPUIDResult::EBX, 28, 31},
    {&tlevel2::ITLB4KAssoc, &tCPUIDResult::EBX, 12, 15},
}};

// The number of ways of each four-bit level-2 associativity code; codes without a row
// store nothing.
struct tAssocCode {
  std::uint8_t Code;
  std::uint16_t Ways;
};
constexpr std::array<tAssocCode, 7> kAssocCodes{{
    {0, 0},
    {1, 1},
    {2, 2},
    {4, 4},
    {6, 8},
    {8, 16},
    {15, kFullyAssociative},
}};

std::optional<std::uint16_t> WaysOfCode(std::uint32_t code) {
  for (const tAssocCode& row : kAssocCodes) {
    if (row.Code == code) return row.Ways;
  }
  return std::nullopt;
}

template <typename Record, std::size_t N>
void ApplyBitFields(const std::array<tBitField<Record>, N>& fields, const tCPUIDResult& leaf,
                    Record& record) {
  for (const tBitField<Record>& f : fields) {
    record.*f.Field = static_cast<std::uint16_t>(GetBits(leaf.*f.Register, f.Lo, f.Hi));
  }
}

// ---- Leaf-2 descriptors ---------------------------------------------------------------

struct tCacheRecords {
  tlevel1& l1;
  tlevel2& l2;
  tlevel3& l3;
  unsigned family;  // leaf 1 EAX bits 11..8
};

void ApplyDescriptor(const tDescriptor& d, tCacheRecords& r) {
  using tKind = tDescriptorKind;
  switch (d.Kind) {
    case tKind::InstrTlb4K:
      r.l1.ITLB4KAssoc = d.Assoc;
      r.l1.ITLB4KEntries = d.Size;
      break;
    case tKind::InstrTlbLarge:
      r.l1.ITLB2MAssoc = d.Assoc;
      r.l1.ITLB2MEntries = d.Size;
      break;
    case tKind::InstrTlbBoth:
      r.l1.ITLB4KAssoc = r.l1.ITLB2MAssoc = d.Assoc;
      r.l1.ITLB4KEntries = r.l1.ITLB2MEntries = d.Size;
      break;
    case tKind::DataTlb4K:
      r.l1.DTLB4KAssoc = d.Assoc;
      r.l1.DTLB4KEntries = d.Size;
      break;
    case tKind::DataTlbLarge:
      r.l1.DTLB2MAssoc = d.Assoc;
      r.l1.DTLB2MEntries = d.Size;
      break;
    case tKind::DataTlbBoth:
      r.l1.DTLB4KAssoc = r.l1.DTLB2MAssoc = d.Assoc;
      r.l1.DTLB4KEntries = r.l1.DTLB2MEntries = d.Size;
      break;
    case tKind::L1Instr:
      r.l1.ICacheSize = d.Size;
      r.l1.ICacheAssoc = d.Assoc;
      r.l1.ICacheLine = d.Line;
      break;
    case tKind::L1Data:
      r.l1.DCacheSize = d.Size;
      r.l1.DCacheAssoc = d.Assoc;
      r.l1.DCacheLine = d.Line;
      break;
    case tKind::Trace:
      r.l1.TraceCache = 1;
      r.l1.ICacheSize = d.Size;
      r.l1.ICacheAssoc = d.Assoc;
      if (d.Line != 0) r.l1.ICacheLine = d.Line;
      break;
    case tKind::L2:
      r.l2.Size = d.Size;
      r.l2.Assoc = d.Assoc;
      r.l2.LineSize = d.Line;
      break;
    case tKind::L3Sectored:
      r.l3.LinesPerSector = 2;
      [[fallthrough]];
    case tKind::L3:
      r.l3.Present = 1;
      r.l3.Size = d.Size;
      r.l3.Assoc = d.Assoc;
      r.l3.LineSize = d.Line;
      break;
    case tKind::NoFurtherCache:
      if (r.family == 6) r.l2.Present = 0;
      if (r.family == 15) r.l3.Present = 0;
      break;
    default:  // kinds of the cache lists only
      break;
  }
}

}  // namespace

bool cCPUid::DecodeCaches() {
  try {
    for (unsigned i = 0; i < SlotCount(); ++i) {
      level1[i].TraceCache = 0;
      level2[i].Present = 1;
      const std::uint32_t maxStd = CPUdata[i].StdLeaf[kLeafStandardBase].EAX;
      const std::uint32_t maxExt = CPUdata[i].ExtLeaf[ExtendedIndex(kLeafExtendedBase)].EAX;
      if (maxExt >= kLeafL2CacheTlb && maxStd < kLeafCacheDescriptors) {
        DecodeSizeLeaves(i);
      } else if (maxStd >= kLeafCacheDescriptors && CPUid_m[i].Vendor == "GenuineIntel") {
        DecodeDescriptors(i);
      }
    }
  } catch (...) {
    return false;
  }
  return true;
}

void cCPUid::DecodeSizeLeaves(unsigned i) {
  const tCPUIDResult& leaf5 = CPUdata[i].ExtLeaf[ExtendedIndex(kLeafL1CacheTlb)];
  const tCPUIDResult& leaf6 = CPUdata[i].ExtLeaf[ExtendedIndex(kLeafL2CacheTlb)];
  const tCPUid_m& id = CPUid_m[i];
  tlevel2& l2 = level2[i];

  ApplyBitFields(kLevel1Fields, leaf5, level1[i]);
  ApplyBitFields(kLevel2Fields, leaf6, l2);
  for (const tBitField<tlevel2>& f : kLevel2AssocCodes) {
    if (const auto ways = WaysOfCode(GetBits(leaf6.*f.Register, f.Lo, f.Hi))) l2.*f.Field = *ways;
  }

  const std::uint32_t ecx = leaf6.ECX;
  const bool centaur = id.Vendor == "CentaurHauls" && id.Family == 6;
  if (centaur && (id.Model == 7 || id.Model == 8)) {
    // These report their level-2 cache in the level-1 layout.
    l2.Size = static_cast<std::uint16_t>(GetBits(ecx, 24, 31));
    l2.Assoc = static_cast<std::uint16_t>(GetBits(ecx, 16, 23));
    l2.LinesPerTag = static_cast<std::uint16_t>(GetBits(ecx, 8, 15));
    return;
  }
  const std::uint32_t size = GetBits(ecx, 16, 31);
  const bool duronErratum =
      id.Vendor == "AuthenticAMD" && id.Family == 6 && id.Model == 3 && id.Stepping == 0;
  l2.Size = static_cast<std::uint16_t>(duronErratum && size == 1 ? 64 : size);
  const std::uint32_t code = GetBits(ecx, 12, 15);
  if (const auto ways = WaysOfCode(code)) l2.Assoc = *ways;
  if (centaur && id.Model == 9 && id.Stepping == 1 && code == 0) l2.Assoc = 16;
  l2.LinesPerTag = static_cast<std::uint16_t>(GetBits(ecx, 8, 11));
}

void cCPUid::DecodeDescriptors(unsigned i) {
  const tCPUIDResult& leaf2 = CPUdata[i].StdLeaf[kLeafCacheDescriptors];
  std::array<std::uint16_t, 16>& bytes = CacheDescriptors[i];
  std::size_t word = 0;
  // The low byte of EAX is the repeat count, not a descriptor.
  for (unsigned shift = 8; shift < 32; shift += 8) {
    bytes[word++] = static_cast<std::uint16_t>(GetBits(leaf2.EAX, shift, shift + 7));
  }
  for (const std::uint32_t reg : {leaf2.EBX, leaf2.ECX, leaf2.EDX}) {
    for (unsigned shift = 0; shift < 32; shift += 8) {
      bytes[word++] = static_cast<std::uint16_t>(GetBits(reg, shift, shift + 7));
    }
  }

  tCacheRecords records{level1[i], level2[i], level3[i],
                        GetBits(CPUdata[i].StdLeaf[kLeafFeatures].EAX, 8, 11)};
  for (std::size_t k = 0; k < 15; ++k) {
    for (const tDescriptor& row : DescriptorRows(static_cast<std::uint8_t>(bytes[k]))) {
      if (row.Legacy) ApplyDescriptor(row, records);
    }
  }
}
