// The one-byte cache and TLB descriptors of CPUID leaf 2 (Intel), as a table. The level-1,
// -2 and -3 records of the cache decoder take the rows marked Legacy; the cache lists take
// every row.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "engine/store/CommonTypes.h"

enum class tDescriptorKind : std::uint8_t {
  InstrTlb4K,     // level-1 instruction TLB; Size = entries
  InstrTlbLarge,  // 2 MB and 4 MB pages
  InstrTlbBoth,   // 4 KB, 2 MB and 4 MB pages
  DataTlb4K,
  DataTlbLarge,
  DataTlbBoth,
  DataTlb1G,
  DataTlb0_4K,    // the small data TLB in front of the level-1 one
  DataTlb0Large,  // the same, 2 MB and 4 MB pages
  SharedTlb4K,    // level-2 TLB of code and data
  SharedTlbBoth,  // the same, 4 KB and 2 MB pages
  SharedTlb1G,    // the same, 1 GB pages
  L1Instr,        // Size in KB
  L1Data,
  Trace,  // Size in thousands of micro-operations; Line 0: the line field is not written
  L2,
  L3,
  L3Sectored,
  L2OrL3,  // a level-3 cache on family 15 model 6, a level-2 cache everywhere else
  NoFurtherCache,
};

struct tDescriptor {
  std::uint8_t Value;
  tDescriptorKind Kind;
  std::uint16_t Size;
  std::uint16_t Assoc;  // ways; 255 fully associative
  std::uint16_t Line;
  bool Legacy;  // one of the descriptors the level-1, -2 and -3 records are decoded from
};

// The rows of a descriptor value, in table order: none for an unknown value, two for a value
// that describes two TLBs.
std::span<const tDescriptor> DescriptorRows(std::uint8_t value);

// The fifteen descriptor bytes of leaf 2 in order: EAX bits 15..8, 23..16 and 31..24 (its low
// byte is the repeat count), then EBX, ECX and EDX, each from its low byte up.
inline constexpr std::size_t kDescriptorByteCount = 15;
std::array<std::uint8_t, kDescriptorByteCount> DescriptorBytesOf(const tCPUIDResult& leaf2);
// The register byte k of them comes from: 0 EAX, 1 EBX, 2 ECX, 3 EDX.
std::size_t DescriptorRegisterOf(std::size_t k);

// The level that descriptor 0x40 ("no further cache") says has no cache on a processor of
// `family`: level 2 on family 6, level 3 on family 15; 0 (none) elsewhere.
unsigned LevelWithoutCache(unsigned family);
