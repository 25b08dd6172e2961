// Caches and TLBs: from the size leaves 0x80000005 and 0x80000006, or from the descriptor
// bytes of leaf 2 on Intel processors.
#include <algorithm>
#include <array>
#include <cstdint>

#include "engine/CPUid.h"
#include "engine/decode/CacheDescriptors.h"
#include "engine/decode/Caches.h"
#include "engine/store/Leaves.h"
#include "engine/store/MyUtils.h"
#include "engine/store/VendorStrings.h"

namespace {

// ---- Size leaves ----------------------------------------------------------------------

using tRegister = std::uint32_t tCPUIDResult::*;

// The TLB fields of a level record, with the register of the size leaf that describes each.
template <typename Record>
struct tTlbFields {
  std::uint16_t Record::*Entries;
  std::uint16_t Record::*Assoc;
  tRegister Register;
  bool Data;
};
template <typename Record>
constexpr std::array<tTlbFields<Record>, 4> kTlbFields{{
    {&Record::ITLB4KEntries, &Record::ITLB4KAssoc, &tCPUIDResult::EBX, false},
    {&Record::ITLB2MEntries, &Record::ITLB2MAssoc, &tCPUIDResult::EAX, false},
    {&Record::DTLB4KEntries, &Record::DTLB4KAssoc, &tCPUIDResult::EBX, true},
    {&Record::DTLB2MEntries, &Record::DTLB2MAssoc, &tCPUIDResult::EAX, true},
}};

// The level-1 cache fields, with the register of 0x80000005 that describes each cache.
struct tLevel1CacheFields {
  std::uint16_t tlevel1::*Size;
  std::uint16_t tlevel1::*Assoc;
  std::uint16_t tlevel1::*Line;
  std::uint16_t tlevel1::*LinesPerTag;
  tRegister Register;
};
constexpr std::array<tLevel1CacheFields, 2> kLevel1Caches{{
    {&tlevel1::ICacheSize, &tlevel1::ICacheAssoc, &tlevel1::ICacheLine, &tlevel1::ICacheLinesPerTag,
     &tCPUIDResult::EDX},
    {&tlevel1::DCacheSize, &tlevel1::DCacheAssoc, &tlevel1::DCacheLine, &tlevel1::DCacheLinesPerTag,
     &tCPUIDResult::ECX},
}};

std::uint16_t Word(std::uint32_t value) {
  return static_cast<std::uint16_t>(value);
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
      if (LevelWithoutCache(r.family) == 2) r.l2.Present = 0;
      if (LevelWithoutCache(r.family) == 3) r.l3.Present = 0;
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
      } else if (maxStd >= kLeafCacheDescriptors && CPUid_m[i].Vendor == kVendorIntel) {
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
  tlevel1& l1 = level1[i];
  tlevel2& l2 = level2[i];

  // Level 1: the ways as they stand.
  for (const tTlbFields<tlevel1>& f : kTlbFields<tlevel1>) {
    const tSizeLeafTlb tlb = SizeLeafTlb(leaf5.*f.Register, false, f.Data);
    l1.*f.Entries = Word(tlb.Entries);
    l1.*f.Assoc = Word(tlb.Assoc);
  }
  for (const tLevel1CacheFields& f : kLevel1Caches) {
    const tSizeLeafCache cache = SizeLeafLevel1(leaf5.*f.Register);
    l1.*f.Size = Word(cache.SizeKB);
    l1.*f.Assoc = Word(cache.Assoc);
    l1.*f.Line = Word(cache.LineBytes);
    l1.*f.LinesPerTag = Word(cache.LinesPerTag);
  }

  // Level 2: the ways as codes; a code the records do not know stores nothing.
  for (const tTlbFields<tlevel2>& f : kTlbFields<tlevel2>) {
    const tSizeLeafTlb tlb = SizeLeafTlb(leaf6.*f.Register, true, f.Data);
    l2.*f.Entries = Word(tlb.Entries);
    if (const auto ways = LevelRecordWays(tlb.Assoc)) l2.*f.Assoc = *ways;
  }
  const tSizeLeafLevel2 cache =
      SizeLeafLevel2({id.Vendor.View(), id.Family, id.Model, id.Stepping}, leaf6.ECX);
  l2.LineSize = Word(cache.LineBytes);
  l2.Size = Word(cache.SizeKB);
  l2.LinesPerTag = Word(cache.LinesPerTag);
  if (cache.Level1Layout) {
    l2.Assoc = Word(cache.Assoc);
    return;
  }
  if (const auto ways = LevelRecordWays(cache.Assoc)) l2.Assoc = *ways;
  // VIA's family 6 model 9 stepping 1 reports its 16-way cache as off.
  if (id.Vendor == kVendorCentaur && id.Family == 6 && id.Model == 9 && id.Stepping == 1 &&
      cache.Assoc == 0)
    l2.Assoc = 16;
}

void cCPUid::DecodeDescriptors(unsigned i) {
  const auto bytes = DescriptorBytesOf(CPUdata[i].StdLeaf[kLeafCacheDescriptors]);
  std::copy(bytes.begin(), bytes.end(), CacheDescriptors[i].begin());

  tCacheRecords records{level1[i], level2[i], level3[i],
                        GetBits(CPUdata[i].StdLeaf[kLeafFeatures].EAX, 8, 11)};
  for (std::size_t k = 0; k < kDescriptorByteCount; ++k) {
    for (const tDescriptor& row : DescriptorRows(bytes[k])) {
      if (row.Legacy) ApplyDescriptor(row, records);
    }
  }
}
