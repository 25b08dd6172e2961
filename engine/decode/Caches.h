// The caches and TLBs of one logical processor as today's processors describe them, from the
// first source the processor offers: leaf 4 (Intel, Zhaoxin), leaf 0x8000001D (AMD and Hygon
// with topology extensions), the size leaves 0x80000005 and 0x80000006 (AMD, VIA; the level-3
// cache from 0x80000006 EDX), or the descriptors of leaf 2 (Intel before leaf 4). TLBs come
// from leaf 0x18 where leaf 2 sends there, from the descriptors, or from the size leaves with
// the 1 GB TLBs of 0x80000019.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "engine/store/CommonTypes.h"
#include "engine/store/CpuidStore.h"

// In the order a level's caches are listed. A trace cache (NetBurst) holds decoded
// micro-operations: its size counts thousands of them.
enum class tCacheType : std::uint8_t { Data, Instruction, Trace, Unified };

struct tCacheInfo {
  std::uint8_t Level = 0;
  tCacheType Type = tCacheType::Unified;
  std::uint32_t SizeKB = 0;
  bool FullyAssociative = false;
  std::uint16_t Ways = 0;  // 0 where the source does not say (or fully associative)
  std::uint16_t LineBytes = 0;
  std::uint16_t LinesPerTag = 0;  // the size leaves only
  std::uint32_t Sets = 0;         // 0 where the source does not say
  std::uint16_t SharedBy = 0;     // logical processors sharing one instance; 0: not said

  friend bool operator==(const tCacheInfo&, const tCacheInfo&) = default;
};

enum class tTlbType : std::uint8_t { Data, Instruction, Unified, LoadOnly, StoreOnly };

// Page sizes a TLB holds, as bits.
inline constexpr std::uint8_t kPage4K = 1;
inline constexpr std::uint8_t kPage2M = 2;
inline constexpr std::uint8_t kPage4M = 4;
inline constexpr std::uint8_t kPage1G = 8;

struct tTlbInfo {
  std::uint8_t Level = 0;  // 0: the small data TLB in front of level 1
  tTlbType Type = tTlbType::Unified;
  std::uint8_t Pages = 0;
  std::uint16_t Entries = 0;
  std::uint16_t Ways = 0;  // 0: fully associative

  friend bool operator==(const tTlbInfo&, const tTlbInfo&) = default;
};

enum class tCacheSource : std::uint8_t {
  None,
  DeterministicLeaf,  // leaf 4
  AmdCacheTopology,   // leaf 0x8000001D
  SizeLeaves,         // 0x80000005 and 0x80000006
  Descriptors,        // leaf 2
};

struct tCacheReport {
  tCacheSource Source = tCacheSource::None;
  // By level, data before instruction before unified.
  std::vector<tCacheInfo> Caches;
  // By level, then in the order the source gives them.
  std::vector<tTlbInfo> Tlbs;

  // The first cache of `level` and `type`; nullptr when there is none.
  const tCacheInfo* Find(unsigned level, tCacheType type) const;

  friend bool operator==(const tCacheReport&, const tCacheReport&) = default;
};

tCacheReport CachesOf(const tCpuidStore& store);

// ---- The size leaves 0x80000005 and 0x80000006, field by field -----------------------------
// Both the cache lists above and the level records read the size leaves through these.

// A level-1 cache of 0x80000005 (ECX data, EDX instruction), as the leaf gives it: the ways as
// a number, 0xFF fully associative.
struct tSizeLeafCache {
  std::uint32_t SizeKB = 0;
  std::uint32_t Assoc = 0;
  std::uint32_t LinesPerTag = 0;
  std::uint32_t LineBytes = 0;
};
tSizeLeafCache SizeLeafLevel1(std::uint32_t reg);

// A TLB of the size leaves. 0x80000005 EAX (large pages) and EBX (4 KB pages) hold a data TLB
// in the upper half and an instruction TLB in the lower half, 8-bit entries and the ways as a
// number; 0x80000006 and 0x80000019 (1 GB pages) the same with 12-bit entries and the ways as a
// four-bit code (`coded`).
struct tSizeLeafTlb {
  std::uint32_t Entries = 0;
  std::uint32_t Assoc = 0;
};
tSizeLeafTlb SizeLeafTlb(std::uint32_t reg, bool coded, bool data);

// Who reports the size leaves: their vendor string and signature decide the quirks below.
struct tSizeLeafIdentity {
  std::string_view Vendor;
  unsigned Family = 0;
  unsigned Model = 0;
  unsigned Stepping = 0;
};

// The level-2 cache of 0x80000006 ECX. VIA's family 6 models 7 and 8 give it in the level-1
// layout, the ways as a number (Level1Layout); everyone else gives the ways as a four-bit code.
// The first Duron's 1 KB is read as its 64 KB.
struct tSizeLeafLevel2 : tSizeLeafCache {
  bool Level1Layout = false;
};
tSizeLeafLevel2 SizeLeafLevel2(const tSizeLeafIdentity& id, std::uint32_t ecx);

// The ways the level records store for a four-bit associativity code (255 fully associative);
// none for the codes the level records do not know.
std::optional<std::uint16_t> LevelRecordWays(std::uint32_t code);

// The name of a source, as the explanation shows it: "leaf 4", ...; "" for none.
std::string_view CacheSourceName(tCacheSource source);

// "data", "instruction", "trace", "unified".
std::string_view CacheTypeName(tCacheType type);
// "data", "instruction", "unified", "load", "store".
std::string_view TlbTypeName(tTlbType type);

// Fills every cache and TLB field of the level records that holds 0 from the report, and marks
// the level-3 cache present when the report has one. Fields that hold a value keep it.
void CompleteLevelRecords(const tCacheReport& report, tlevel1& l1, tlevel2& l2, tlevel3& l3);
