#include "engine/naming/ModernNaming.h"

#include <array>
#include <cctype>
#include <tuple>

#include "engine/decode/Caches.h"
#include "engine/decode/Topology.h"
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

struct tKeyName {
  tKeyCheck Check;
  std::string_view Name;
};
constexpr std::array<tKeyName, 10> kKeyNames{{
    {tKeyCheck::Matched, "matched"},
    {tKeyCheck::Maker, "maker"},
    {tKeyCheck::Family, "family"},
    {tKeyCheck::Model, "model"},
    {tKeyCheck::Stepping, "stepping"},
    {tKeyCheck::Brand, "brand pattern"},
    {tKeyCheck::Cores, "cores"},
    {tKeyCheck::Threads, "logical processors"},
    {tKeyCheck::Level2, "level-2 cache size"},
    {tKeyCheck::Level3, "level-3 cache size"},
}};

std::string Hex(std::uint32_t value) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string text;
  do {
    text.insert(text.begin(), kDigits[value & 0xF]);
    value >>= 4;
  } while (value != 0);
  if (text.size() < 2) text.insert(text.begin(), '0');
  return text + "h";
}

void DescribeBounds(std::string& text, std::string_view name, const tBounds& bounds,
                    std::string_view unit) {
  if (!bounds.Given()) return;
  text += ", " + std::string(name) + " " + std::to_string(bounds.First);
  if (bounds.Last != bounds.First) {
    text += bounds.Last == tBounds{}.Last ? " or more" : " to " + std::to_string(bounds.Last);
  }
  text += unit;
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

std::string_view KeyCheckName(tKeyCheck check) {
  for (const tKeyName& key : kKeyNames) {
    if (key.Check == check) return key.Name;
  }
  return {};
}

tKeyCheck CheckRow(const tCodeNameRow& row, tMaker maker, const tDisplaySignature& s,
                   const tNamingEvidence& evidence) {
  const tCodeNameKeys& k = row.Keys;
  if (k.Maker != maker) return tKeyCheck::Maker;
  if (k.Family != s.Family) return tKeyCheck::Family;
  if (s.Model < k.ModelFirst || k.ModelLast < s.Model) return tKeyCheck::Model;
  if (s.Stepping < k.SteppingFirst || k.SteppingLast < s.Stepping) return tKeyCheck::Stepping;
  if (k.Brand != nullptr && !BrandMatches(evidence.Brand, k.Brand)) return tKeyCheck::Brand;
  if (!k.Cores.Holds(evidence.Cores)) return tKeyCheck::Cores;
  if (!k.Threads.Holds(evidence.Threads)) return tKeyCheck::Threads;
  if (!k.Level2KB.Holds(evidence.Level2KB)) return tKeyCheck::Level2;
  if (!k.Level3KB.Holds(evidence.Level3KB)) return tKeyCheck::Level3;
  return tKeyCheck::Matched;
}

std::tuple<bool, bool, int, int> RowSpecificity(const tCodeNameRow& row) {
  const tCodeNameKeys& k = row.Keys;
  const bool stepping = k.SteppingFirst != 0 || k.SteppingLast != 0xFF;
  const int bounds = int{k.Cores.Given()} + int{k.Threads.Given()} + int{k.Level2KB.Given()} +
                     int{k.Level3KB.Given()};
  return std::make_tuple(stepping, k.Brand != nullptr, bounds, -(k.ModelLast - k.ModelFirst));
}

std::string DescribeKeys(const tCodeNameKeys& k) {
  static constexpr std::array<std::string_view, 4> kMakers{"Intel", "AMD", "Hygon", "Centaur"};
  std::string text = std::string(kMakers[static_cast<std::size_t>(k.Maker)]) + " family " +
                     Hex(k.Family) + " model " + Hex(k.ModelFirst);
  if (k.ModelLast != k.ModelFirst) text += " to " + Hex(k.ModelLast);
  if (k.SteppingFirst != 0 || k.SteppingLast != 0xFF) {
    text += ", stepping " + std::to_string(k.SteppingFirst);
    if (k.SteppingLast != k.SteppingFirst) text += " to " + std::to_string(k.SteppingLast);
  }
  if (k.Brand != nullptr) text += ", brand \"" + std::string(k.Brand) + "\"";
  DescribeBounds(text, "cores", k.Cores, "");
  DescribeBounds(text, "logical processors", k.Threads, "");
  DescribeBounds(text, "L2", k.Level2KB, " KB");
  DescribeBounds(text, "L3", k.Level3KB, " KB");
  return text;
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
                                    const tDisplaySignature& signature,
                                    const tNamingEvidence& evidence) {
  const tCodeNameRow* best = nullptr;
  for (const tCodeNameRow& row : rows) {
    if (CheckRow(row, maker, signature, evidence) != tKeyCheck::Matched) continue;
    if (best == nullptr || RowSpecificity(row) > RowSpecificity(*best)) best = &row;
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

tNamingEvidence EvidenceOf(const tCpuidStore& store) {
  tNamingEvidence evidence;
  evidence.Brand = CleanBrand(BrandOf(store));
  const tTopology topology = TopologyOf(store);
  evidence.Cores = topology.PackageCores;
  evidence.Threads = topology.PackageThreads;
  const tCacheReport caches = CachesOf(store);
  if (const tCacheInfo* l2 = caches.Find(2, tCacheType::Unified)) evidence.Level2KB = l2->SizeKB;
  if (const tCacheInfo* l3 = caches.Find(3, tCacheType::Unified)) evidence.Level3KB = l3->SizeKB;
  return evidence;
}

tModernName ModernNameOf(const tCpuidStore& store) {
  tModernName modern;
  const tCPUIDResult leaf0 = store.Get(kLeafStandardBase);
  const std::optional<tMaker> maker = MakerOf(RegsToText(leaf0.EBX, leaf0.EDX, leaf0.ECX, 0));
  if (!maker || !store.Has(kLeafFeatures)) return modern;
  const tDisplaySignature signature = DisplaySignatureOf(store);
  modern.Evidence = EvidenceOf(store);

  modern.Row = MostSpecificRow(CodeNameRows(), *maker, signature, modern.Evidence);
  modern.Covered = modern.Row != nullptr || IsCovered(*maker, signature);
  if (!modern.Covered) return modern;
  if (auto line =
          MarketingLineOf(MarketingLines(), *maker, signature.Family, modern.Evidence.Brand)) {
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
