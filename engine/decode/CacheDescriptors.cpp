#include "engine/decode/CacheDescriptors.h"

#include <algorithm>
#include <array>
#include <iterator>

#include "engine/store/MyUtils.h"

namespace {

using K = tDescriptorKind;
constexpr std::uint16_t kFull = 255;
constexpr bool L = true;   // decoded into the level records
constexpr bool N = false;  // cache lists only

// Sorted by value; a value with two rows describes two TLBs.
constexpr tDescriptor kDescriptors[] = {
    {0x01, K::InstrTlb4K, 32, 4, 0, L},
    {0x02, K::InstrTlbLarge, 2, kFull, 0, L},
    {0x03, K::DataTlb4K, 64, 4, 0, L},
    {0x04, K::DataTlbLarge, 8, 4, 0, L},
    {0x05, K::DataTlbLarge, 32, 4, 0, N},
    {0x06, K::L1Instr, 8, 4, 32, L},
    {0x08, K::L1Instr, 16, 4, 32, L},
    {0x09, K::L1Instr, 32, 4, 64, N},
    {0x0A, K::L1Data, 8, 2, 32, L},
    {0x0B, K::InstrTlbLarge, 4, 4, 0, N},
    {0x0C, K::L1Data, 16, 4, 32, L},
    {0x0D, K::L1Data, 16, 4, 64, N},
    {0x0E, K::L1Data, 24, 6, 64, N},
    {0x10, K::L1Data, 16, 4, 32, L},
    {0x15, K::L1Instr, 16, 4, 32, L},
    {0x1A, K::L2, 96, 6, 64, L},
    {0x1D, K::L2, 128, 2, 64, N},
    {0x21, K::L2, 256, 8, 64, N},
    {0x22, K::L3Sectored, 512, 4, 64, L},
    {0x23, K::L3Sectored, 1024, 8, 64, L},
    {0x24, K::L2, 1024, 16, 64, N},
    {0x25, K::L3Sectored, 2048, 8, 64, L},
    {0x29, K::L3Sectored, 4096, 8, 64, L},
    {0x2C, K::L1Data, 32, 8, 64, L},
    {0x30, K::L1Instr, 32, 8, 64, L},
    {0x39, K::L2, 128, 4, 64, L},
    {0x3A, K::L2, 192, 6, 64, N},
    {0x3B, K::L2, 128, 2, 64, L},
    {0x3C, K::L2, 256, 4, 64, L},
    {0x3D, K::L2, 384, 6, 64, N},
    {0x3E, K::L2, 512, 4, 64, N},
    {0x40, K::NoFurtherCache, 0, 0, 0, L},
    {0x41, K::L2, 128, 4, 32, L},
    {0x42, K::L2, 256, 4, 32, L},
    {0x43, K::L2, 512, 4, 32, L},
    {0x44, K::L2, 1024, 4, 32, L},
    {0x45, K::L2, 2048, 4, 32, L},
    {0x46, K::L3, 4096, 4, 64, N},
    {0x47, K::L3, 8192, 8, 64, N},
    {0x48, K::L2, 3072, 12, 64, N},
    {0x49, K::L2OrL3, 4096, 16, 64, N},
    {0x4A, K::L3, 6144, 12, 64, N},
    {0x4B, K::L3, 8192, 16, 64, N},
    {0x4C, K::L3, 12288, 12, 64, N},
    {0x4D, K::L3, 16384, 16, 64, N},
    {0x4E, K::L2, 6144, 24, 64, N},
    {0x50, K::InstrTlbBoth, 64, kFull, 0, L},
    {0x51, K::InstrTlbBoth, 128, kFull, 0, L},
    {0x52, K::InstrTlbBoth, 256, kFull, 0, L},
    {0x55, K::InstrTlbLarge, 7, kFull, 0, N},
    {0x56, K::DataTlb0Large, 16, 4, 0, N},
    {0x57, K::DataTlb0_4K, 16, 4, 0, N},
    {0x59, K::DataTlb0_4K, 16, kFull, 0, N},
    {0x5A, K::DataTlb0Large, 32, 4, 0, N},
    {0x5B, K::DataTlbBoth, 64, kFull, 0, L},
    {0x5C, K::DataTlbBoth, 128, kFull, 0, L},
    {0x5D, K::DataTlbBoth, 256, kFull, 0, L},
    {0x60, K::L1Data, 16, 8, 64, L},
    {0x61, K::InstrTlb4K, 48, kFull, 0, N},
    {0x63, K::DataTlbLarge, 32, 4, 0, N},
    {0x63, K::DataTlb1G, 4, 4, 0, N},
    {0x64, K::DataTlb4K, 512, 4, 0, N},
    {0x66, K::L1Data, 8, 4, 64, L},
    {0x67, K::L1Data, 16, 4, 64, L},
    {0x68, K::L1Data, 32, 4, 64, L},
    {0x6A, K::DataTlb0_4K, 64, 8, 0, N},
    {0x6B, K::DataTlb4K, 256, 8, 0, N},
    {0x6C, K::DataTlbLarge, 128, 8, 0, N},
    {0x6D, K::DataTlb1G, 16, kFull, 0, N},
    {0x70, K::Trace, 12, 8, 6, L},
    {0x71, K::Trace, 16, 8, 8, L},
    {0x72, K::Trace, 32, 8, 0, L},
    {0x73, K::Trace, 64, 8, 0, N},
    {0x76, K::InstrTlbLarge, 8, kFull, 0, N},
    {0x77, K::L1Instr, 16, 4, 64, L},
    {0x78, K::L2, 1024, 4, 64, L},
    {0x79, K::L2, 128, 8, 64, L},
    {0x7A, K::L2, 256, 8, 64, L},
    {0x7B, K::L2, 512, 8, 64, L},
    {0x7C, K::L2, 1024, 8, 64, L},
    {0x7D, K::L2, 2048, 8, 64, L},
    {0x7E, K::L2, 256, 8, 128, L},
    {0x7F, K::L2, 512, 2, 64, L},
    {0x80, K::L2, 512, 8, 64, N},
    {0x81, K::L2, 128, 8, 32, L},
    {0x82, K::L2, 256, 8, 32, L},
    {0x83, K::L2, 512, 8, 32, L},
    {0x84, K::L2, 1024, 8, 32, L},
    {0x85, K::L2, 2048, 8, 32, L},
    {0x86, K::L2, 512, 4, 64, L},
    {0x87, K::L2, 1024, 8, 64, L},
    {0x88, K::L3, 2048, 4, 64, L},
    {0x89, K::L3, 4096, 4, 64, L},
    {0x8A, K::L3, 8192, 4, 64, L},
    {0x8D, K::L3, 3072, 12, 128, L},
    {0xA0, K::DataTlb4K, 32, kFull, 0, N},
    {0xB0, K::InstrTlb4K, 128, 4, 0, L},
    {0xB1, K::InstrTlbLarge, 8, 4, 0, N},
    {0xB2, K::InstrTlb4K, 64, 4, 0, N},
    {0xB3, K::DataTlb4K, 128, 4, 0, L},
    {0xB4, K::DataTlb4K, 256, 4, 0, N},
    {0xB5, K::InstrTlb4K, 64, 8, 0, N},
    {0xB6, K::InstrTlb4K, 128, 8, 0, N},
    {0xBA, K::DataTlb4K, 64, 4, 0, N},
    {0xC0, K::DataTlbBoth, 8, 4, 0, N},
    {0xC1, K::SharedTlbBoth, 1024, 8, 0, N},
    {0xC2, K::DataTlbLarge, 16, 4, 0, N},
    {0xC3, K::SharedTlbBoth, 1536, 6, 0, N},
    {0xC3, K::SharedTlb1G, 16, 4, 0, N},
    {0xC4, K::DataTlbLarge, 32, 4, 0, N},
    {0xCA, K::SharedTlb4K, 512, 4, 0, N},
    {0xD0, K::L3, 512, 4, 64, N},
    {0xD1, K::L3, 1024, 4, 64, N},
    {0xD2, K::L3, 2048, 4, 64, N},
    {0xD6, K::L3, 1024, 8, 64, N},
    {0xD7, K::L3, 2048, 8, 64, N},
    {0xD8, K::L3, 4096, 8, 64, N},
    {0xDC, K::L3, 1536, 12, 64, N},
    {0xDD, K::L3, 3072, 12, 64, N},
    {0xDE, K::L3, 6144, 12, 64, N},
    {0xE2, K::L3, 2048, 16, 64, N},
    {0xE3, K::L3, 4096, 16, 64, N},
    {0xE4, K::L3, 8192, 16, 64, N},
    {0xEA, K::L3, 12288, 24, 64, N},
    {0xEB, K::L3, 18432, 24, 64, N},
    {0xEC, K::L3, 24576, 24, 64, N},
};

constexpr bool SortedByValue() {
  for (std::size_t k = 1; k < std::size(kDescriptors); ++k) {
    if (kDescriptors[k].Value < kDescriptors[k - 1].Value) return false;
  }
  return true;
}
static_assert(SortedByValue(), "the rows of a value are found by binary search");

// The low byte of EAX is the repeat count, not a descriptor.
constexpr std::size_t kRepeatCountBytes = 1;

}  // namespace

std::span<const tDescriptor> DescriptorRows(std::uint8_t value) {
  const tDescriptor* first =
      std::lower_bound(std::begin(kDescriptors), std::end(kDescriptors), value,
                       [](const tDescriptor& row, std::uint8_t v) { return row.Value < v; });
  const tDescriptor* last = first;
  while (last != std::end(kDescriptors) && last->Value == value)
    ++last;
  return {first, last};
}

std::array<std::uint8_t, kDescriptorByteCount> DescriptorBytesOf(const tCPUIDResult& leaf2) {
  std::array<std::uint8_t, kDescriptorByteCount> bytes{};
  const std::array<std::uint32_t, 4> registers{leaf2.EAX, leaf2.EBX, leaf2.ECX, leaf2.EDX};
  for (std::size_t k = 0; k < kDescriptorByteCount; ++k) {
    const unsigned lo = static_cast<unsigned>((k + kRepeatCountBytes) % 4) * 8;
    bytes[k] = static_cast<std::uint8_t>(GetBits(registers[DescriptorRegisterOf(k)], lo, lo + 7));
  }
  return bytes;
}

std::size_t DescriptorRegisterOf(std::size_t k) {
  return (k + kRepeatCountBytes) / 4;
}

unsigned LevelWithoutCache(unsigned family) {
  struct tNoFurtherCache {
    unsigned Family;
    unsigned Level;
  };
  constexpr tNoFurtherCache kRows[] = {{6, 2}, {0xF, 3}};
  for (const tNoFurtherCache& row : kRows) {
    if (row.Family == family) return row.Level;
  }
  return 0;
}
