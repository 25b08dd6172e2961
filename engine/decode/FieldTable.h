// Every CPUID field the program names: where it lies (leaf, sub-leaves, register, bits), for
// which makers it is defined, its short name (the Linux /proc/cpuinfo spelling where there is
// one, else the manual's mnemonic in lower case with underscores), what it means and how its
// value reads. Each leaf has a title and the document that defines it.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "engine/store/SubLeafRules.h"

enum class tFieldKind : std::uint8_t {
  Flag,            // one bit: the feature is there
  Number,          // a count, a width, a ratio
  NumberMinusOne,  // a count stored as the count less one: shown plus one
  Bytes,           // a size in bytes
  Enumeration,     // one of the listed values
  Identifier,      // a number that names something: shown in hexadecimal
  Text,            // four characters of a text, the first in the low byte
};

// The makers and hypervisor interfaces a field is defined for.
using tFieldVendors = std::uint16_t;
inline constexpr tFieldVendors kForIntel = 1u << 0;
inline constexpr tFieldVendors kForAmd = 1u << 1;      // and Hygon
inline constexpr tFieldVendors kForCentaur = 1u << 2;  // and Zhaoxin
inline constexpr tFieldVendors kForTransmeta = 1u << 3;
inline constexpr tFieldVendors kForOther = 1u << 4;  // every maker not named above
inline constexpr tFieldVendors kForKvm = 1u << 5;
inline constexpr tFieldVendors kForHyperV = 1u << 6;
inline constexpr tFieldVendors kForXen = 1u << 7;
inline constexpr tFieldVendors kForVmware = 1u << 8;
inline constexpr tFieldVendors kForBhyve = 1u << 9;
inline constexpr tFieldVendors kForOtherHypervisor = 1u << 10;  // an unknown signature
inline constexpr tFieldVendors kForEveryMaker =
    kForIntel | kForAmd | kForCentaur | kForTransmeta | kForOther;
inline constexpr tFieldVendors kForX86 = kForIntel | kForAmd;
inline constexpr tFieldVendors kForAnyHypervisor =
    kForKvm | kForHyperV | kForXen | kForVmware | kForBhyve | kForOtherHypervisor;

struct tEnumValue {
  std::uint32_t Value;
  std::string_view Meaning;
};

struct tFieldRow {
  std::uint32_t Leaf;
  std::uint32_t SubFirst, SubLast;  // the sub-leaves the field is defined in
  tRegister Register;
  std::uint8_t Hi, Lo;  // bits, inclusive
  tFieldVendors Vendors;
  tFieldKind Kind;
  std::string_view Name;
  std::string_view Meaning;
  std::span<const tEnumValue> Values = {};  // an enumeration's values
  bool OwnId = false;  // an identifier of the logical processor itself (an APIC ID)
};

struct tLeafTitle {
  std::uint32_t Leaf;
  tFieldVendors Vendors;
  std::string_view Title;
  std::string_view Source;  // the document that defines the leaf
};

// Every field, in leaf, register, first bit, first sub-leaf order. The single-bit features of
// the feature registers (FeatureFlags.h) are among them under their names and captions.
std::span<const tFieldRow> FieldRows();

// Every leaf the table describes, by leaf; a leaf whose meaning depends on the maker or the
// hypervisor has a row for each.
std::span<const tLeafTitle> LeafTitles();

// The title row of `leaf` for `vendors`; nullptr for a leaf the table does not describe.
const tLeafTitle* LeafTitleOf(std::uint32_t leaf, tFieldVendors vendors);

// The fields of `leaf` in the table's order.
std::span<const tFieldRow> FieldRowsOf(std::uint32_t leaf);
