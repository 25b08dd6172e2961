#include "engine/naming/ModernNaming.h"

#include <array>
#include <cctype>
#include <tuple>

#include "engine/store/Leaves.h"
#include "engine/store/MyUtils.h"
#include "engine/store/VendorStrings.h"

namespace {

struct tVendorMaker {
  std::string_view Vendor;
  tMaker Maker;
};

constexpr std::array<tVendorMaker, 5> kVendorMakers{{
    {kVendorIntel, tMaker::Intel},
    {kVendorAmd, tMaker::Amd},
    {kVendorHygon, tMaker::Hygon},
    {kVendorCentaur, tMaker::Centaur},
    {kVendorZhaoxin, tMaker::Centaur},
}};

// The families and models the table speaks for, whether or not a row names them; the
// generations before them belong to the vendor tables.
struct tCoverage {
  tMaker Maker;
  std::uint32_t FamilyFirst, FamilyLast;
  std::uint32_t ModelFirst;
};

constexpr std::array<tCoverage, 6> kCoverage{{
    {tMaker::Intel, 6, 6, 0x0F},
    {tMaker::Intel, 0x12, 0xFFFF, 0},
    {tMaker::Amd, 0x10, 0xFFFF, 0},
    {tMaker::Hygon, 0, 0xFFFF, 0},
    {tMaker::Centaur, 6, 6, 0x0F},
    {tMaker::Centaur, 7, 0xFFFF, 0},
}};

constexpr std::array<std::string_view, 4> kMarks{"(R)", "(r)", "(TM)", "(tm)"};

constexpr std::uint32_t kNetBurstFamily = 15;

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// Matches `pattern` at the start of `text`, appending the digits its '#'s matched.
bool MatchesAt(std::string_view text, std::string_view pattern, std::string& digits) {
  std::size_t t = 0;
  for (std::size_t p = 0; p < pattern.size(); ++p, ++t) {
    if (t >= text.size()) return false;
    const char c = text[t];
    if (pattern[p] == '#') {
      if (!IsDigit(c)) return false;
      digits += c;
    } else if (pattern[p] == '[') {
      const std::size_t close = pattern.find(']', p);
      if (close == std::string_view::npos) return false;
      if (pattern.substr(p + 1, close - p - 1).find(c) == std::string_view::npos) return false;
      p = close;
    } else if (pattern[p] != c) {
      return false;
    }
  }
  return true;
}

// The rank of a matching row: the greater, the more specific.
auto Specificity(const tCodeNameRow& row) {
  const tCodeNameKeys& k = row.Keys;
  const bool stepping = k.SteppingFirst != 0 || k.SteppingLast != 0xFF;
  return std::make_tuple(stepping, k.Brand != nullptr, -(k.ModelLast - k.ModelFirst));
}

bool RowMatches(const tCodeNameKeys& k, tMaker maker, const tDisplaySignature& s,
                std::string_view brand) {
  return k.Maker == maker && k.Family == s.Family && k.ModelFirst <= s.Model &&
         s.Model <= k.ModelLast && k.SteppingFirst <= s.Stepping && s.Stepping <= k.SteppingLast &&
         (k.Brand == nullptr || BrandMatches(brand, k.Brand));
}

bool IsCovered(tMaker maker, const tDisplaySignature& s) {
  for (const tCoverage& c : kCoverage) {
    if (c.Maker == maker && c.FamilyFirst <= s.Family && s.Family <= c.FamilyLast &&
        s.Model >= c.ModelFirst)
      return true;
  }
  return false;
}

std::string BrandOf(const tCpuidStore& store) {
  if (store.Get(kLeafExtendedBase).EAX < kLeafExtendedBrand3) return {};
  std::string brand;
  for (std::uint32_t leaf = kLeafExtendedBrand1; leaf <= kLeafExtendedBrand3; ++leaf) {
    const tCPUIDResult r = store.Get(leaf);
    brand += RegsToText(r.EAX, r.EBX, r.ECX, r.EDX);
  }
  return brand.substr(0, brand.find('\0'));
}

std::string_view TextOf(const char* text) {
  return text != nullptr ? std::string_view(text) : std::string_view();
}

void AssignIfKnown(tString255& field, const char* text) {
  if (text != nullptr) field = text;
}

}  // namespace

std::string_view tModernName::CodeName() const {
  return Row != nullptr ? TextOf(Row->Facts.CodeName) : std::string_view();
}

std::string_view tModernName::Process() const {
  return Row != nullptr ? TextOf(Row->Facts.Process) : std::string_view();
}

std::string_view tModernName::Segment() const {
  return Row != nullptr ? TextOf(Row->Facts.Segment) : std::string_view();
}

std::string tModernName::Microarchitecture() const {
  if (Row == nullptr) return {};
  const std::string_view performance = TextOf(Row->Facts.Microarchitecture);
  const std::string_view efficiency = TextOf(Row->Facts.EfficiencyMicroarchitecture);
  if (performance.empty() || efficiency.empty())
    return std::string(performance.empty() ? efficiency : performance);
  switch (CoreType) {
    case tCoreType::Performance:
      return std::string(performance);
    case tCoreType::Efficiency:
      return std::string(efficiency);
    default:
      return std::string(performance) + " + " + std::string(efficiency);
  }
}

std::optional<tMaker> MakerOf(std::string_view vendor) {
  for (const tVendorMaker& row : kVendorMakers) {
    if (vendor == row.Vendor) return row.Maker;
  }
  return std::nullopt;
}

std::string CleanBrand(std::string_view brand) {
  std::string kept;
  kept.reserve(brand.size());
  for (std::size_t k = 0; k < brand.size();) {
    bool mark = false;
    for (const std::string_view m : kMarks) {
      if (brand.substr(k).starts_with(m)) {
        k += m.size();
        mark = true;
        break;
      }
    }
    if (mark) continue;
    const auto c = static_cast<unsigned char>(brand[k++]);
    if (c > 0x7F) continue;
    if (std::isspace(c) != 0 || c == '\0') {
      if (!kept.empty() && kept.back() != ' ') kept += ' ';
    } else {
      kept += static_cast<char>(c);
    }
  }
  if (!kept.empty() && kept.back() == ' ') kept.pop_back();
  return kept;
}

bool BrandMatches(std::string_view brand, std::string_view pattern, std::string* digits) {
  std::string matched;
  for (std::size_t start = 0; start + (pattern.empty() ? 0 : 1) <= brand.size(); ++start) {
    matched.clear();
    if (MatchesAt(brand.substr(start), pattern, matched)) {
      if (digits != nullptr) *digits = matched;
      return true;
    }
  }
  return false;
}

const tCodeNameRow* MostSpecificRow(std::span<const tCodeNameRow> rows, tMaker maker,
                                    const tDisplaySignature& signature, std::string_view brand) {
  const tCodeNameRow* best = nullptr;
  for (const tCodeNameRow& row : rows) {
    if (!RowMatches(row.Keys, maker, signature, brand)) continue;
    if (best == nullptr || Specificity(row) > Specificity(*best)) best = &row;
  }
  return best;
}

std::optional<std::pair<std::string, std::uint16_t>> MarketingLineOf(
    std::span<const tMarketingLine> lines, tMaker maker, std::uint32_t family,
    std::string_view brand) {
  const bool netBurst = maker == tMaker::Intel && family == kNetBurstFamily;
  for (const tMarketingLine& line : lines) {
    std::string digits;
    if (line.Maker != maker || line.NetBurst != netBurst) continue;
    if (!BrandMatches(brand, line.Brand, &digits)) continue;
    std::string name;
    std::size_t next = 0;
    for (const char c : std::string_view(line.Name)) {
      name += c == '#' && next < digits.size() ? digits[next++] : c;
    }
    return std::make_pair(std::move(name), line.LogoKey);
  }
  return std::nullopt;
}

tModernName ModernNameOf(const tCpuidStore& store) {
  tModernName modern;
  const tCPUIDResult leaf0 = store.Get(kLeafStandardBase);
  const std::optional<tMaker> maker = MakerOf(RegsToText(leaf0.EBX, leaf0.EDX, leaf0.ECX, 0));
  if (!maker || !store.Has(kLeafFeatures)) return modern;
  const tDisplaySignature signature = DisplaySignatureOf(store);
  const std::string brand = CleanBrand(BrandOf(store));

  modern.Row = MostSpecificRow(CodeNameRows(), *maker, signature, brand);
  modern.Covered = modern.Row != nullptr || IsCovered(*maker, signature);
  if (!modern.Covered) return modern;
  if (auto line = MarketingLineOf(MarketingLines(), *maker, signature.Family, brand)) {
    modern.CpuName = std::move(line->first);
    modern.LogoKey = line->second;
  }
  modern.CoreType = CoreTypeOf(store);
  return modern;
}

void ApplyModernName(const tModernName& modern, tnameinfo& name) {
  if (!modern.Covered) return;
  if (!modern.CpuName.empty()) name.CpuName = modern.CpuName;
  if (modern.LogoKey != 0) name.LogoKey = modern.LogoKey;
  if (modern.Row == nullptr) return;
  AssignIfKnown(name.CodeName, modern.Row->Facts.CodeName);
  AssignIfKnown(name.TechProcess, modern.Row->Facts.Process);
  AssignIfKnown(name.Platform, modern.Row->Package.Platform);
  AssignIfKnown(name.TranQuantity, modern.Row->Package.Transistors);
  AssignIfKnown(name.DieSize, modern.Row->Package.DieSize);
}
