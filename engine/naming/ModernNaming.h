// Names the processors after the generations of the vendor naming tables: the code-name
// table's most specific matching row (never a nearest guess), the marketing line of the
// brand string, and the micro-architecture of the kind of core the processor is.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <tuple>

#include "engine/decode/CoreType.h"
#include "engine/decode/DisplaySignature.h"
#include "engine/naming/CodeNameTable.h"
#include "engine/store/CommonTypes.h"
#include "engine/store/CpuidStore.h"

// What the rows are matched against besides the signature: the cleaned brand string, the
// counts one package's leaves report (0 where they report none) and the cache sizes in KB
// (0 where there is no such cache).
struct tNamingEvidence {
  std::string Brand;
  std::uint32_t Cores = 0;
  std::uint32_t Threads = 0;
  std::uint32_t Level2KB = 0;
  std::uint32_t Level3KB = 0;
};

// The first key of a row that the processor fails, in the order the keys are tried; Matched
// where it fails none.
enum class tKeyCheck : std::uint8_t {
  Matched,
  Maker,
  Family,
  Model,
  Stepping,
  Brand,
  Cores,
  Threads,
  Level2,
  Level3,
};

// "matched", "maker", ..., "level-3 cache size": the key's name as the explanation shows it.
std::string_view KeyCheckName(tKeyCheck check);

struct tModernName {
  // The processor is one the table speaks for (even when no row describes it).
  bool Covered = false;
  // The most specific row that matched; null when none did.
  const tCodeNameRow* Row = nullptr;
  // The marketing line the brand names, "" for none; and that line's logo key.
  std::string CpuName;
  std::uint16_t LogoKey = 0;
  tCoreType CoreType = tCoreType::Unknown;
  tNamingEvidence Evidence;

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

// The first key of `row` that the processor fails, or Matched.
tKeyCheck CheckRow(const tCodeNameRow& row, tMaker maker, const tDisplaySignature& signature,
                   const tNamingEvidence& evidence);

// The rank of a row among those that match: a row with a stepping range wins over one
// without, then a row with a brand pattern, then the row with more counts and sizes given,
// then the narrower model range. Greater is more specific.
std::tuple<bool, bool, int, int> RowSpecificity(const tCodeNameRow& row);

// The most specific of `rows` that match; on equal terms the earlier row. Null when no row
// matches.
const tCodeNameRow* MostSpecificRow(std::span<const tCodeNameRow> rows, tMaker maker,
                                    const tDisplaySignature& signature,
                                    const tNamingEvidence& evidence);

// The keys of a row in one line: "Intel family 6 model 0Fh, brand " E6###", cores 4".
std::string DescribeKeys(const tCodeNameKeys& keys);

// The marketing line of `lines` that the brand names first, among the lines of the maker
// and of the processor's era (NetBurst or not): the line's name with each '#' replaced by
// the next digit its pattern matched, and its logo key.
std::optional<std::pair<std::string, std::uint16_t>> MarketingLineOf(
    std::span<const tMarketingLine> lines, tMaker maker, std::uint32_t family,
    std::string_view brand);

// The evidence of the processor whose CPUID answers `store` holds.
tNamingEvidence EvidenceOf(const tCpuidStore& store);

// The name of the processor whose CPUID answers `store` holds.
tModernName ModernNameOf(const tCpuidStore& store);

// Writes what `modern` knows into the name record: code name, marketing name, logo key,
// platform, process, transistor count and die size; fields it does not know stay as they are.
void ApplyModernName(const tModernName& modern, tnameinfo& name);
