#include "engine/decode/Caches.h"

#include <algorithm>
#include <array>
#include <limits>
#include <optional>
#include <span>
#include <tuple>

#include "engine/decode/CacheDescriptors.h"
#include "engine/decode/DisplaySignature.h"
#include "engine/store/Leaves.h"
#include "engine/store/MyUtils.h"
#include "engine/store/VendorStrings.h"

namespace {

constexpr std::uint32_t kFullByte = 0xFF;  // fully associative, in 0x80000005
constexpr std::uint16_t kLegacyFull = kFullyAssociative;

// ---- Associativity codes of 0x80000006 and 0x80000019 ------------------------------------

constexpr unsigned kCodeOff = 0x0;
constexpr unsigned kCodeSeeCacheLeaf = 0x9;
constexpr unsigned kCodeFull = 0xF;

// The ways of each four-bit code (the lowest count of a range); 0 for codes without a count.
// The level records know the codes marked L only.
struct tAssocCode {
  std::uint16_t Ways;
  bool InLevelRecords;
};
constexpr bool L = true;
constexpr bool N = false;
constexpr std::array<tAssocCode, 16> kAssocCodes{{
    {0, L},    // 0: off
    {1, L},    // 1: direct mapped
    {2, L},    // 2
    {3, N},    // 3
    {4, L},    // 4: 4 to 5 ways
    {6, N},    // 5: 6 to 7
    {8, L},    // 6: 8 to 15
    {0, N},    // 7: reserved
    {16, L},   // 8: 16 to 31
    {0, N},    // 9: given by leaf 0x8000001D
    {32, N},   // A: 32 to 47
    {48, N},   // B: 48 to 63
    {64, N},   // C: 64 to 95
    {96, N},   // D: 96 to 127
    {128, N},  // E: 128 up to fully associative
    {0, L},    // F: fully associative
}};

std::uint16_t WaysOfCode(std::uint32_t code) {
  return kAssocCodes[code & 0xF].Ways;
}

// ---- Leaf 4 and leaf 0x8000001D ----------------------------------------------------------

std::optional<tCacheType> TypeOfCode(std::uint32_t code) {
  switch (code) {
    case 1:
      return tCacheType::Data;
    case 2:
      return tCacheType::Instruction;
    case 3:
      return tCacheType::Unified;
    default:
      return std::nullopt;
  }
}

std::uint32_t KilobytesOf(std::uint64_t perSet, std::uint64_t sets) {
  constexpr std::uint64_t kMaxKB = std::numeric_limits<std::uint32_t>::max();
  if (sets != 0 && perSet > (kMaxKB * 1024) / sets) return static_cast<std::uint32_t>(kMaxKB);
  return static_cast<std::uint32_t>(perSet * sets / 1024);
}

template <typename T>
T Narrow(std::uint64_t value) {
  constexpr std::uint64_t kMax = std::numeric_limits<T>::max();
  return static_cast<T>(value < kMax ? value : kMax);
}

// The caches of leaf 4 or leaf 0x8000001D: one sub-leaf each, up to the first of type 0.
std::vector<tCacheInfo> DeterministicCaches(std::span<const tCpuidEntry> subLeaves) {
  std::vector<tCacheInfo> caches;
  for (const tCpuidEntry& entry : subLeaves) {
    const tCPUIDResult& r = entry.Result;
    const std::uint32_t typeCode = GetBits(r.EAX, 0, 4);
    if (typeCode == 0) break;
    const std::optional<tCacheType> type = TypeOfCode(typeCode);
    const std::uint32_t level = GetBits(r.EAX, 5, 7);
    if (!type || level == 0) continue;
    const std::uint64_t line = GetBits(r.EBX, 0, 11) + 1ull;
    const std::uint64_t partitions = GetBits(r.EBX, 12, 21) + 1ull;
    const std::uint64_t ways = GetBits(r.EBX, 22, 31) + 1ull;
    const std::uint64_t sets = r.ECX + 1ull;
    tCacheInfo cache;
    cache.Level = static_cast<std::uint8_t>(level);
    cache.Type = *type;
    cache.SizeKB = KilobytesOf(ways * partitions * line, sets);
    cache.FullyAssociative = GetBit(r.EAX, 9) != 0;
    cache.Ways = cache.FullyAssociative ? 0 : static_cast<std::uint16_t>(ways);
    cache.LineBytes = static_cast<std::uint16_t>(line);
    cache.Sets = Narrow<std::uint32_t>(sets);
    cache.SharedBy = static_cast<std::uint16_t>(GetBits(r.EAX, 14, 25) + 1);
    caches.push_back(cache);
  }
  return caches;
}

bool HasAmdCacheLeaf(const tCpuidStore& store) {
  const tCPUIDResult* features = ReportedLeaf(store, kLeafExtendedFeatures);
  return features != nullptr && GetBit(features->ECX, kTopologyExtensionsBit) != 0 &&
         ReportedLeaf(store, kLeafCacheTopology) != nullptr;
}

// ---- Size leaves ---------------------------------------------------------------------------

// The ways of a level-2 or level-3 cache of 0x80000006 from its code; code 9 takes them from
// leaf 0x8000001D where it was captured, and leaves them unknown where it was not.
void SetWaysOfCode(const tCpuidStore& store, std::uint32_t code, tCacheInfo& cache) {
  cache.FullyAssociative = code == kCodeFull;
  cache.Ways = WaysOfCode(code);
  if (code != kCodeSeeCacheLeaf) return;
  for (const tCacheInfo& described : DeterministicCaches(store.SubLeaves(kLeafCacheTopology))) {
    if (described.Level == cache.Level) {
      cache.FullyAssociative = described.FullyAssociative;
      cache.Ways = described.Ways;
    }
  }
}

// A level-1 cache of 0x80000005 (ECX data, EDX instruction): size, ways, lines per tag, line.
std::optional<tCacheInfo> Level1Cache(std::uint32_t reg, tCacheType type) {
  const tSizeLeafCache given = SizeLeafLevel1(reg);
  if (given.SizeKB == 0) return std::nullopt;
  tCacheInfo cache;
  cache.Level = 1;
  cache.Type = type;
  cache.SizeKB = given.SizeKB;
  cache.FullyAssociative = given.Assoc == kFullByte;
  cache.Ways = cache.FullyAssociative ? 0 : static_cast<std::uint16_t>(given.Assoc);
  cache.LinesPerTag = static_cast<std::uint16_t>(given.LinesPerTag);
  cache.LineBytes = static_cast<std::uint16_t>(given.LineBytes);
  return cache;
}

std::optional<tCacheInfo> Level2Cache(const tCpuidStore& store, std::uint32_t ecx) {
  const tDisplaySignature signature = DisplaySignatureOf(store);
  const std::string vendor = VendorStringOf(store);
  const tSizeLeafLevel2 given =
      SizeLeafLevel2({vendor, signature.Family, signature.Model, signature.Stepping}, ecx);
  tCacheInfo cache;
  cache.Level = 2;
  cache.Type = tCacheType::Unified;
  cache.LineBytes = static_cast<std::uint16_t>(given.LineBytes);
  cache.SizeKB = given.SizeKB;
  cache.LinesPerTag = static_cast<std::uint16_t>(given.LinesPerTag);
  if (given.Level1Layout) {
    cache.Ways = static_cast<std::uint16_t>(given.Assoc);
    if (cache.SizeKB == 0) return std::nullopt;
    return cache;
  }
  if (cache.SizeKB == 0 || given.Assoc == kCodeOff) return std::nullopt;
  SetWaysOfCode(store, given.Assoc, cache);
  return cache;
}

// Processors of more than one node in a package whose 0x80000006 gives the level-3 cache of
// the whole package; each node has its own share of it, in size and in ways.
struct tMultiNodeLevel3 {
  std::string_view Vendor;
  unsigned Family;
  unsigned Model;
  std::uint32_t Nodes;
};
constexpr std::array<tMultiNodeLevel3, 1> kMultiNodeLevel3{{
    // Magny-Cours (Opteron 6100): two six-core nodes, each with its own L3 (AMD's family 10h
    // BKDG, Fn8000_0006_EDX; the Linux kernel halves size and ways on these parts).
    {kVendorAmd, 0x10, 0x09, 2},
}};

std::uint32_t NodesSharingLevel3(const tCpuidStore& store) {
  const tDisplaySignature signature = DisplaySignatureOf(store);
  const std::string vendor = VendorStringOf(store);
  for (const tMultiNodeLevel3& row : kMultiNodeLevel3) {
    if (row.Vendor == vendor && row.Family == signature.Family && row.Model == signature.Model)
      return row.Nodes;
  }
  return 1;
}

std::optional<tCacheInfo> Level3Cache(const tCpuidStore& store, std::uint32_t edx) {
  const std::uint32_t code = GetBits(edx, 12, 15);
  const std::uint32_t units = GetBits(edx, 18, 31);  // of 512 KB
  if (units == 0 || code == kCodeOff) return std::nullopt;
  tCacheInfo cache;
  cache.Level = 3;
  cache.Type = tCacheType::Unified;
  cache.SizeKB = units * 512;
  SetWaysOfCode(store, code, cache);
  const std::uint32_t nodes = NodesSharingLevel3(store);
  cache.SizeKB /= nodes;
  cache.Ways = static_cast<std::uint16_t>(cache.Ways / nodes);
  cache.LinesPerTag = static_cast<std::uint16_t>(GetBits(edx, 8, 11));
  cache.LineBytes = static_cast<std::uint16_t>(GetBits(edx, 0, 7));
  return cache;
}

std::vector<tCacheInfo> SizeLeafCaches(const tCpuidStore& store) {
  std::vector<tCacheInfo> caches;
  if (const tCPUIDResult* l1 = ReportedLeaf(store, kLeafL1CacheTlb)) {
    for (const auto& cache :
         {Level1Cache(l1->ECX, tCacheType::Data), Level1Cache(l1->EDX, tCacheType::Instruction)}) {
      if (cache) caches.push_back(*cache);
    }
  }
  if (const tCPUIDResult* l2 = ReportedLeaf(store, kLeafL2CacheTlb)) {
    for (const auto& cache : {Level2Cache(store, l2->ECX), Level3Cache(store, l2->EDX)}) {
      if (cache) caches.push_back(*cache);
    }
  }
  return caches;
}

// A TLB of the size leaves, the data one or the instruction one of `reg`, with the ways of a
// code (level 2 and the 1 GB TLBs) or as they stand (level 1, 0xFF fully associative). None
// when it has no entries.
void AddTlb(std::vector<tTlbInfo>& tlbs, std::uint8_t level, tTlbType type, std::uint8_t pages,
            std::uint32_t reg, bool coded) {
  const tSizeLeafTlb given = SizeLeafTlb(reg, coded, type == tTlbType::Data);
  const std::uint32_t assoc = given.Assoc;
  if (given.Entries == 0 || (coded && assoc == kCodeOff)) return;
  std::uint16_t ways = static_cast<std::uint16_t>(assoc);
  if (coded) ways = assoc == kCodeFull ? 0 : WaysOfCode(assoc);
  if (!coded && assoc == kFullByte) ways = 0;
  tlbs.push_back({level, type, pages, static_cast<std::uint16_t>(given.Entries), ways});
}

std::vector<tTlbInfo> SizeLeafTlbs(const tCpuidStore& store) {
  std::vector<tTlbInfo> tlbs;
  constexpr std::uint8_t kLarge = kPage2M | kPage4M;
  constexpr auto D = tTlbType::Data;
  constexpr auto I = tTlbType::Instruction;
  if (const tCPUIDResult* l1 = ReportedLeaf(store, kLeafL1CacheTlb)) {
    AddTlb(tlbs, 1, D, kPage4K, l1->EBX, false);
    AddTlb(tlbs, 1, I, kPage4K, l1->EBX, false);
    AddTlb(tlbs, 1, D, kLarge, l1->EAX, false);
    AddTlb(tlbs, 1, I, kLarge, l1->EAX, false);
  }
  const tCPUIDResult* giga = ReportedLeaf(store, kLeafGigaPageTlb);
  if (giga != nullptr) {
    AddTlb(tlbs, 1, D, kPage1G, giga->EAX, true);
    AddTlb(tlbs, 1, I, kPage1G, giga->EAX, true);
  }
  if (const tCPUIDResult* l2 = ReportedLeaf(store, kLeafL2CacheTlb)) {
    AddTlb(tlbs, 2, D, kPage4K, l2->EBX, true);
    AddTlb(tlbs, 2, I, kPage4K, l2->EBX, true);
    AddTlb(tlbs, 2, D, kLarge, l2->EAX, true);
    AddTlb(tlbs, 2, I, kLarge, l2->EAX, true);
  }
  if (giga != nullptr) {
    AddTlb(tlbs, 2, D, kPage1G, giga->EBX, true);
    AddTlb(tlbs, 2, I, kPage1G, giga->EBX, true);
  }
  return tlbs;
}

// ---- Leaf 0x18 -----------------------------------------------------------------------------

std::optional<tTlbType> TlbTypeOfCode(std::uint32_t code) {
  switch (code) {
    case 1:
      return tTlbType::Data;
    case 2:
      return tTlbType::Instruction;
    case 3:
      return tTlbType::Unified;
    case 4:
      return tTlbType::LoadOnly;
    case 5:
      return tTlbType::StoreOnly;
    default:
      return std::nullopt;
  }
}

std::vector<tTlbInfo> TranslationLeafTlbs(const tCpuidStore& store) {
  std::vector<tTlbInfo> tlbs;
  const tCPUIDResult* head = ReportedLeaf(store, kLeafAddressTranslation);
  if (head == nullptr) return tlbs;
  for (const tCpuidEntry& entry : store.SubLeaves(kLeafAddressTranslation)) {
    if (entry.SubLeaf > head->EAX) break;
    const tCPUIDResult& r = entry.Result;
    const std::optional<tTlbType> type = TlbTypeOfCode(GetBits(r.EDX, 0, 4));
    const std::uint32_t ways = GetBits(r.EBX, 16, 31);
    if (!type || ways == 0) continue;
    tTlbInfo tlb;
    tlb.Level = static_cast<std::uint8_t>(GetBits(r.EDX, 5, 7));
    tlb.Type = *type;
    tlb.Pages = static_cast<std::uint8_t>(GetBits(r.EBX, 0, 3));
    tlb.Entries = Narrow<std::uint16_t>(static_cast<std::uint64_t>(ways) * r.ECX);
    tlb.Ways = GetBit(r.EDX, 8) != 0 ? 0 : static_cast<std::uint16_t>(ways);
    tlbs.push_back(tlb);
  }
  return tlbs;
}

// ---- Leaf-2 descriptors --------------------------------------------------------------------

struct tTlbShape {
  std::uint8_t Level;
  tTlbType Type;
  std::uint8_t Pages;
};

std::optional<tTlbShape> TlbShapeOf(tDescriptorKind kind) {
  using K = tDescriptorKind;
  constexpr std::uint8_t kLarge = kPage2M | kPage4M;
  constexpr auto D = tTlbType::Data;
  constexpr auto I = tTlbType::Instruction;
  constexpr auto U = tTlbType::Unified;
  switch (kind) {
    case K::InstrTlb4K:
      return tTlbShape{1, I, kPage4K};
    case K::InstrTlbLarge:
      return tTlbShape{1, I, kLarge};
    case K::InstrTlbBoth:
      return tTlbShape{1, I, kPage4K | kLarge};
    case K::DataTlb4K:
      return tTlbShape{1, D, kPage4K};
    case K::DataTlbLarge:
      return tTlbShape{1, D, kLarge};
    case K::DataTlbBoth:
      return tTlbShape{1, D, kPage4K | kLarge};
    case K::DataTlb1G:
      return tTlbShape{1, D, kPage1G};
    case K::DataTlb0_4K:
      return tTlbShape{0, D, kPage4K};
    case K::DataTlb0Large:
      return tTlbShape{0, D, kLarge};
    case K::SharedTlb4K:
      return tTlbShape{2, U, kPage4K};
    case K::SharedTlbBoth:
      return tTlbShape{2, U, kPage4K | kPage2M};
    case K::SharedTlb1G:
      return tTlbShape{2, U, kPage1G};
    default:
      return std::nullopt;
  }
}

std::optional<tCacheInfo> DescriptorCache(const tDescriptor& d, const tDisplaySignature& s) {
  using K = tDescriptorKind;
  tCacheInfo cache;
  switch (d.Kind) {
    case K::L1Instr:
      cache.Level = 1;
      cache.Type = tCacheType::Instruction;
      break;
    case K::L1Data:
      cache.Level = 1;
      cache.Type = tCacheType::Data;
      break;
    case K::Trace:
      cache.Level = 1;
      cache.Type = tCacheType::Trace;
      break;
    case K::L2:
      cache.Level = 2;
      break;
    case K::L3:
    case K::L3Sectored:
      cache.Level = 3;
      break;
    case K::L2OrL3:
      cache.Level = s.Family == 0xF && s.Model == 6 ? 3 : 2;
      break;
    default:
      return std::nullopt;
  }
  cache.SizeKB = d.Size;
  cache.FullyAssociative = d.Assoc == kLegacyFull;
  cache.Ways = cache.FullyAssociative ? 0 : d.Assoc;
  // A trace cache has no lines of bytes.
  cache.LineBytes = cache.Type == tCacheType::Trace ? 0 : d.Line;
  if (cache.Ways != 0 && cache.LineBytes != 0)
    cache.Sets = cache.SizeKB * 1024u / (cache.Ways * cache.LineBytes);
  return cache;
}

// The descriptor bytes of leaf 2 that are valid: a register whose bit 31 is set holds none.
std::vector<std::uint8_t> DescriptorBytes(const tCPUIDResult& leaf2) {
  std::vector<std::uint8_t> bytes;
  const std::array<std::uint32_t, 4> registers{leaf2.EAX, leaf2.EBX, leaf2.ECX, leaf2.EDX};
  const auto all = DescriptorBytesOf(leaf2);
  for (std::size_t k = 0; k < all.size(); ++k) {
    if (GetBit(registers[DescriptorRegisterOf(k)], 31) == 0) bytes.push_back(all[k]);
  }
  return bytes;
}

void AddDescriptors(const tCpuidStore& store, std::vector<tCacheInfo>& caches,
                    std::vector<tTlbInfo>& tlbs) {
  if (VendorStringOf(store) != kVendorIntel) return;
  const tCPUIDResult* leaf2 = ReportedLeaf(store, kLeafCacheDescriptors);
  if (leaf2 == nullptr) return;
  const tDisplaySignature signature = DisplaySignatureOf(store);
  unsigned absentLevel = 0;
  for (const std::uint8_t value : DescriptorBytes(*leaf2)) {
    for (const tDescriptor& row : DescriptorRows(value)) {
      if (const auto cache = DescriptorCache(row, signature)) caches.push_back(*cache);
      if (const auto shape = TlbShapeOf(row.Kind)) {
        const std::uint16_t ways = row.Assoc == kLegacyFull ? 0 : row.Assoc;
        tlbs.push_back({shape->Level, shape->Type, shape->Pages, row.Size, ways});
      }
      if (row.Kind == tDescriptorKind::NoFurtherCache)
        absentLevel = LevelWithoutCache(signature.Family);
    }
  }
  std::erase_if(caches, [absentLevel](const tCacheInfo& c) { return c.Level == absentLevel; });
}

}  // namespace

const tCacheInfo* tCacheReport::Find(unsigned level, tCacheType type) const {
  for (const tCacheInfo& cache : Caches) {
    if (cache.Level == level && cache.Type == type) return &cache;
  }
  return nullptr;
}

tCacheReport CachesOf(const tCpuidStore& store) {
  tCacheReport report;
  std::vector<tCacheInfo> descriptorCaches;
  std::vector<tTlbInfo> descriptorTlbs;
  AddDescriptors(store, descriptorCaches, descriptorTlbs);

  if (ReportedLeaf(store, kLeafCacheParameters) != nullptr)
    report.Caches = DeterministicCaches(store.SubLeaves(kLeafCacheParameters));
  if (!report.Caches.empty()) {
    report.Source = tCacheSource::DeterministicLeaf;
  } else if (HasAmdCacheLeaf(store) &&
             !(report.Caches = DeterministicCaches(store.SubLeaves(kLeafCacheTopology))).empty()) {
    report.Source = tCacheSource::AmdCacheTopology;
  } else if (!(report.Caches = SizeLeafCaches(store)).empty()) {
    report.Source = tCacheSource::SizeLeaves;
  } else if (!descriptorCaches.empty()) {
    report.Caches = std::move(descriptorCaches);
    report.Source = tCacheSource::Descriptors;
  }
  std::stable_sort(report.Caches.begin(), report.Caches.end(),
                   [](const tCacheInfo& a, const tCacheInfo& b) {
                     return std::tie(a.Level, a.Type) < std::tie(b.Level, b.Type);
                   });

  report.Tlbs = TranslationLeafTlbs(store);
  if (report.Tlbs.empty()) report.Tlbs = std::move(descriptorTlbs);
  if (report.Tlbs.empty()) report.Tlbs = SizeLeafTlbs(store);
  std::stable_sort(report.Tlbs.begin(), report.Tlbs.end(),
                   [](const tTlbInfo& a, const tTlbInfo& b) { return a.Level < b.Level; });
  return report;
}

std::string_view CacheSourceName(tCacheSource source) {
  switch (source) {
    case tCacheSource::DeterministicLeaf:
      return "leaf 4";
    case tCacheSource::AmdCacheTopology:
      return "leaf 0x8000001D";
    case tCacheSource::SizeLeaves:
      return "leaves 0x80000005 and 0x80000006";
    case tCacheSource::Descriptors:
      return "the descriptors of leaf 2";
    default:
      return "";
  }
}

std::string_view CacheTypeName(tCacheType type) {
  switch (type) {
    case tCacheType::Data:
      return "data";
    case tCacheType::Instruction:
      return "instruction";
    case tCacheType::Trace:
      return "trace";
    default:
      return "unified";
  }
}

std::string_view TlbTypeName(tTlbType type) {
  switch (type) {
    case tTlbType::Data:
      return "data";
    case tTlbType::Instruction:
      return "instruction";
    case tTlbType::LoadOnly:
      return "load";
    case tTlbType::StoreOnly:
      return "store";
    default:
      return "unified";
  }
}

// ---- The level records ---------------------------------------------------------------------

namespace {

template <typename Field, typename Value>
void FillIfZero(Field& field, Value value) {
  if (field == 0) field = Narrow<Field>(value);
}

// The level records' associativity: the ways, 255 for fully associative; 0 (nothing to
// fill) where the ways are not known.
std::uint16_t LegacyWays(bool fully, std::uint16_t ways) {
  return fully ? kLegacyFull : std::min<std::uint16_t>(ways, kLegacyFull - 1);
}

struct tCacheFields {
  std::uint16_t& Size;
  std::uint16_t& Assoc;
  std::uint16_t& Line;
  std::uint16_t& LinesPerTag;
};

void FillCache(const tCacheInfo* cache, tCacheFields fields) {
  if (cache == nullptr) return;
  FillIfZero(fields.Size, cache->SizeKB);
  FillIfZero(fields.Assoc, LegacyWays(cache->FullyAssociative, cache->Ways));
  FillIfZero(fields.Line, cache->LineBytes);
  FillIfZero(fields.LinesPerTag, cache->LinesPerTag);
}

bool ServesData(tTlbType type) {
  return type == tTlbType::Data || type == tTlbType::LoadOnly || type == tTlbType::Unified;
}
bool ServesCode(tTlbType type) {
  return type == tTlbType::Instruction || type == tTlbType::Unified;
}

// The first TLB of `level` for data or code that holds one of `pages`.
const tTlbInfo* FindTlb(const std::vector<tTlbInfo>& tlbs, unsigned level, bool data,
                        std::uint8_t pages) {
  for (const tTlbInfo& tlb : tlbs) {
    if (tlb.Level != level || (tlb.Pages & pages) == 0) continue;
    if (data ? ServesData(tlb.Type) : ServesCode(tlb.Type)) return &tlb;
  }
  return nullptr;
}

template <typename Record>
void FillTlbs(const std::vector<tTlbInfo>& tlbs, unsigned level, Record& r) {
  struct tTlbFields {
    std::uint16_t& Assoc;
    std::uint16_t& Entries;
    bool Data;
    std::uint8_t Pages;
  };
  constexpr std::uint8_t kLarge = kPage2M | kPage4M;
  for (const tTlbFields& f : {tTlbFields{r.ITLB4KAssoc, r.ITLB4KEntries, false, kPage4K},
                              tTlbFields{r.ITLB2MAssoc, r.ITLB2MEntries, false, kLarge},
                              tTlbFields{r.DTLB4KAssoc, r.DTLB4KEntries, true, kPage4K},
                              tTlbFields{r.DTLB2MAssoc, r.DTLB2MEntries, true, kLarge}}) {
    if (const tTlbInfo* tlb = FindTlb(tlbs, level, f.Data, f.Pages)) {
      FillIfZero(f.Assoc, LegacyWays(tlb->Ways == 0, tlb->Ways));
      FillIfZero(f.Entries, tlb->Entries);
    }
  }
}

}  // namespace

void CompleteLevelRecords(const tCacheReport& report, tlevel1& l1, tlevel2& l2, tlevel3& l3) {
  const tCacheInfo* data = report.Find(1, tCacheType::Data);
  FillCache(data != nullptr ? data : report.Find(1, tCacheType::Unified),
            {l1.DCacheSize, l1.DCacheAssoc, l1.DCacheLine, l1.DCacheLinesPerTag});
  // A trace cache holds the instruction fields already.
  if (l1.TraceCache == 0) {
    FillCache(report.Find(1, tCacheType::Instruction),
              {l1.ICacheSize, l1.ICacheAssoc, l1.ICacheLine, l1.ICacheLinesPerTag});
  }
  const tCacheInfo* level2 = report.Find(2, tCacheType::Unified);
  FillCache(level2 != nullptr ? level2 : report.Find(2, tCacheType::Data),
            {l2.Size, l2.Assoc, l2.LineSize, l2.LinesPerTag});
  const tCacheInfo* level3 = report.Find(3, tCacheType::Unified);
  if (level3 == nullptr) level3 = report.Find(3, tCacheType::Data);
  if (level3 != nullptr) {
    l3.Present = 1;
    FillIfZero(l3.Size, level3->SizeKB);
    FillIfZero(l3.Assoc, LegacyWays(level3->FullyAssociative, level3->Ways));
    FillIfZero(l3.LineSize, level3->LineBytes);
  }
  FillTlbs(report.Tlbs, 1, l1);
  FillTlbs(report.Tlbs, 2, l2);
}

// ---- The size leaves, field by field -------------------------------------------------------

tSizeLeafCache SizeLeafLevel1(std::uint32_t reg) {
  return {GetBits(reg, 24, 31), GetBits(reg, 16, 23), GetBits(reg, 8, 15), GetBits(reg, 0, 7)};
}

tSizeLeafTlb SizeLeafTlb(std::uint32_t reg, bool coded, bool data) {
  const unsigned lo = data ? 16 : 0;
  if (coded) return {GetBits(reg, lo, lo + 11), GetBits(reg, lo + 12, lo + 15)};
  return {GetBits(reg, lo, lo + 7), GetBits(reg, lo + 8, lo + 15)};
}

tSizeLeafLevel2 SizeLeafLevel2(const tSizeLeafIdentity& id, std::uint32_t ecx) {
  tSizeLeafLevel2 l2;
  l2.LineBytes = GetBits(ecx, 0, 7);
  if (id.Vendor == kVendorCentaur && id.Family == 6 && (id.Model == 7 || id.Model == 8)) {
    l2.Level1Layout = true;
    l2.SizeKB = GetBits(ecx, 24, 31);
    l2.Assoc = GetBits(ecx, 16, 23);
    l2.LinesPerTag = GetBits(ecx, 8, 15);
    return l2;
  }
  l2.SizeKB = GetBits(ecx, 16, 31);
  // An erratum of the first Duron: 1 KB reported for its 64 KB.
  if (id.Vendor == kVendorAmd && id.Family == 6 && id.Model == 3 && id.Stepping == 0 &&
      l2.SizeKB == 1) {
    l2.SizeKB = 64;
  }
  l2.Assoc = GetBits(ecx, 12, 15);
  l2.LinesPerTag = GetBits(ecx, 8, 11);
  return l2;
}

std::optional<std::uint16_t> LevelRecordWays(std::uint32_t code) {
  const tAssocCode& row = kAssocCodes[code & 0xF];
  if (code > 0xF || !row.InLevelRecords) return std::nullopt;
  return LegacyWays(code == kCodeFull, row.Ways);
}
