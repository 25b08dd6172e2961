// A processor's captured answers as the field table reads them: every field of every leaf
// and sub-leaf the processor describes, in leaf, sub-leaf, register and bit order.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/decode/FeatureFlags.h"
#include "engine/decode/FieldTable.h"
#include "engine/store/CpuidStore.h"

struct tFieldValue {
  std::uint32_t Leaf;  // as executed (a second hypervisor range keeps its own numbers)
  std::uint32_t SubLeaf;
  tRegister Register;
  std::uint8_t Hi, Lo;
  std::uint32_t Raw;        // the bits as they stand
  const tFieldRow* Row;     // nullptr: a reserved bit that is set
  const tLeafTitle* Title;  // the leaf's title and source
};

// The makers' bit of the field table for the processor's vendor string.
tFieldVendors MakerOf(const tCpuidStore& store);

// Every field of every leaf and sub-leaf the processor describes: the leaves of its ranges
// that the table names for its maker (or, in a hypervisor range, for the hypervisor's
// interface), their sub-leaves as each leaf enumerates them. A field defined for other makers
// only is left out; a bit no field of this processor holds comes as a reserved bit when set.
std::vector<tFieldValue> DecodeFields(const tCpuidStore& store);

// The value as it reads: a count stored less one comes plus one.
std::uint64_t ShownValue(const tFieldValue& field);
// The short name; "reserved" for a reserved bit.
std::string_view FieldName(const tFieldValue& field);
// "16" for one bit, "31:24" for a range.
std::string FieldBits(const tFieldValue& field);
// "eax" .. "edx".
std::string_view RegisterName(tRegister reg);
// What the field says: its description, with the meaning of an enumeration's value or the
// characters of a text.
std::string FieldMeaning(const tFieldValue& field);
// The value as the text shows it: decimal for flags, counts and sizes; hexadecimal for
// identifiers, enumerations and texts.
std::string FieldValueText(const tFieldValue& field);

// The single-bit flags that are set, by short name, in field order; each name once.
std::vector<std::string_view> SetFlagNames(const std::vector<tFieldValue>& fields);

// The feature list of the reports: the names of the feature registers as FeatureNames gives
// them, then every other set flag of the fields that no earlier name spells.
std::vector<std::string_view> FeatureNamesWithFields(const tFeatureWords& words,
                                                     const std::vector<tFieldValue>& fields);
