// Names the processors after the generations of the vendor naming tables: the code-name
// table's most specific matching row (never a nearest guess), the marketing line of the
// brand string, and the micro-architecture of the kind of core the processor is.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "engine/decode/CoreType.h"
#include "engine/decode/DisplaySignature.h"
#include "engine/naming/CodeNameTable.h"
#include "engine/store/CommonTypes.h"
#include "engine/store/CpuidStore.h"

struct tModernName {
  // The processor is one the table speaks for (even when no row describes it).
  bool Covered = false;
  // The most specific row that matched; null when none did.
  const tCodeNameRow* Row = nullptr;
  // The marketing line the brand names, "" for none; and that line's logo key.
  std::string CpuName;
  std::uint16_t LogoKey = 0;
  tCoreType CoreType = tCoreType::Unknown;

  std::string_view CodeName() const;
  std::string_view Process() const;
  std::string_view Segment() const;
  // The micro-architecture of this processor's kind of core; both, joined by " + ", where
  // the part has two kinds and the processor does not say which it is.
  std::string Microarchitecture() const;
};

// The maker whose rows describe the vendor string; nothing for other vendors.
std::optional<tMaker> MakerOf(std::string_view vendor);

// The brand string made comparable: "(R)", "(TM)" and their lower-case forms and every byte
// above 0x7F removed, runs of white space made one space, leading and trailing space cut.
std::string CleanBrand(std::string_view brand);

// Whether `pattern` occurs anywhere in `brand`. In a pattern '#' stands for any digit and
// "[...]" for any one of the characters listed; every other character stands for itself.
// Where it occurs, `digits` (when given) receives the characters the '#'s matched.
bool BrandMatches(std::string_view brand, std::string_view pattern, std::string* digits = nullptr);

// The most specific of `rows` that match: a row with a stepping range wins over one
// without, then a row with a brand pattern, then the narrower model range; on equal terms
// the earlier row. Null when no row matches.
const tCodeNameRow* MostSpecificRow(std::span<const tCodeNameRow> rows, tMaker maker,
                                    const tDisplaySignature& signature, std::string_view brand);

// The marketing line of `lines` that the brand names first, among the lines of the maker
// and of the processor's era (NetBurst or not): the line's name with each '#' replaced by
// the next digit its pattern matched, and its logo key.
std::optional<std::pair<std::string, std::uint16_t>> MarketingLineOf(
    std::span<const tMarketingLine> lines, tMaker maker, std::uint32_t family,
    std::string_view brand);

// The name of the processor whose CPUID answers `store` holds.
tModernName ModernNameOf(const tCpuidStore& store);

// Writes what `modern` knows into the name record: code name, marketing name, logo key,
// platform, process, transistor count and die size; fields it does not know stay as they are.
void ApplyModernName(const tModernName& modern, tnameinfo& name);
