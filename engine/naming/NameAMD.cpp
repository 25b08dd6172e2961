// Names AMD processors: the Am386 and Am486 lines, the K5 and K6 lines (families 3 to 5), the
// K7 line (family 6) and the 64-bit line (family 15 of the first generation), from the
// signature, the level-2 size, the feature flags and the extended brand ID.
#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <utility>

#include "engine/CPUid.h"
#include "engine/naming/Naming.h"
#include "engine/store/MyUtils.h"

namespace {

// A key byte that matches every value.
constexpr std::uint8_t kAny = 0xFF;

constexpr const char* kCmos080 = "CMOS 0,80\xB5m";
constexpr const char* kCmos035 = "CMOS 0,35\xB5m";
constexpr const char* kCmos025 = "CMOS 0,25\xB5m";
constexpr const char* kCmos018 = "CMOS 0,18\xB5m";
constexpr const char* kCmosAl018 = "CMOS Al 0,18\xB5m";
constexpr const char* kCmosCu018 = "CMOS Cu 0,18\xB5m";
constexpr const char* kCmosCu013 = "CMOS Cu 0,13\xB5m";
constexpr const char* kSOI13 = "CMOS Cu 0,13\xB5m SOI";
constexpr const char* kSOI09 = "CMOS Cu 0,09\xB5m SOI";
constexpr const char* kDSL = "CMOS Cu 0,09\xB5m DSL SOI";

constexpr const char* kK5Name = "AMD K5(tm) Processor";

// ---- Families 3, 4 and 5 ---------------------------------------------------------------

struct tModelKey {
  std::uint8_t Model;
  std::uint16_t L2;  // KB the row needs; 0: any size
};

// What a row writes into the cache records besides the name.
struct tCachePreset {
  std::uint16_t ICacheKB = 0;  // level-1 instruction cache; 0: leave it
  bool NoLevel2 = false;       // the processor has no level-2 cache
  bool K5Level1 = false;       // the first K5 reports no caches: preset them
};

struct tModelRow {
  tModelKey Key;
  tNameRow Name;
  tCachePreset Cache{};
};

struct tFamilyTable {
  tNameRow FamilyWide;  // applied to every model of the family first
  std::span<const tModelRow> Rows;
};

constexpr std::array<tModelRow, 2> kFamily3{{
    {{0, 0}, {"P9 (0,80\xB5m)", "Am80386DX Processor", 105, "PGA, 132-pin", kCmos080, "250K"}},
    {{2, 0}, {"P9 (0,80\xB5m)", "Am80386SX Processor", 105, "PGA, 132-pin", kCmos080, "250K"}},
}};

constexpr std::array<tModelRow, 7> kFamily4{{
    {{0, 0}, {"P4", "Am80486DX Processor", 110, nullptr, kCmos080, "1.25M", ""}, {8}},
    {{3, 0}, {"P24", "Am80486DX2 Processor", 110, nullptr, kCmos080, "1.25M", ""}, {8}},
    {{7, 0}, {"P24", "Am80486DX2WB Processor", 110, nullptr, kCmos080, "1.25M", ""}, {8}},
    {{8, 0}, {"P24C", "Am80486DX4 Processor", 110, nullptr, kCmos080, "1.25M", ""}, {8}},
    {{9, 0}, {"P24C", "Am80486DX4WB Processor", 110, nullptr, kCmos080, "1.25M", ""}, {8}},
    {{14, 0}, {"X5", "Am5x86 Processor", 115, nullptr, kCmos080, "1.6M", ""}, {16}},
    {{15, 0}, {"X5", "Am5x86WB Processor", 115, nullptr, kCmos080, "1.6M", ""}, {16}},
}};

constexpr tCachePreset kFirstK5{0, true, true};
constexpr tCachePreset kK5{0, true};

constexpr std::array<tModelRow, 10> kFamily5{{
    {{0, 0}, {"SSA5", kK5Name, 120, "Socket 5", kCmos080, "4.3M", "251 sqr. mm"}, kFirstK5},
    {{1, 0}, {"5k86", kK5Name, 120, nullptr, kCmos035, "4.3M", "181 sqr. mm"}, kK5},
    {{2, 0}, {"5k86", kK5Name, 120, nullptr, kCmos035, "4.3M", "181 sqr. mm"}, kK5},
    {{3, 0}, {"5k86", kK5Name, 120, nullptr, kCmos035, "4.3M", "181 sqr. mm"}, kK5},
    {{6, 0}, {"K6", "AMD K6(tm) Processor", 125, nullptr, "CMOS 0,30\xB5m", "8.8M", "162 sqr. mm"}},
    {{7, 0}, {"Little Foot", "AMD K6(tm) Processor", 125, nullptr, kCmos025, "8.8M", "68 sqr. mm"}},
    {{8, 0}, {"Chomper", "AMD K6(tm)-2 Processor", 130, nullptr, kCmos025, "9.3M", "81 sqr. mm"}},
    {{9, 0},
     {"Sharptooth", "AMD K6(tm)-III Processor", 135, nullptr, kCmos025, "21.3M", "118 sqr. mm"}},
    {{13, 128}, {"", "AMD K6(tm)-2+ Processor", 140, nullptr, kCmos018, "", ""}},
    {{13, 0}, {"", "AMD K6(tm)-III+ Processor", 145, nullptr, kCmos018, "22M", ""}},
}};

constexpr tFamilyTable kFamily3Table{{}, kFamily3};
constexpr tFamilyTable kFamily4Table{{.Platform = ""}, kFamily4};
constexpr tFamilyTable kFamily5Table{{.Platform = "Socket 7"}, kFamily5};

// The level-1 caches and TLBs of the first K5, which has no cache leaves.
constexpr std::array<std::pair<std::uint16_t tlevel1::*, std::uint16_t>, 14> kK5Level1{{
    {&tlevel1::ICacheSize, 16},
    {&tlevel1::ICacheAssoc, 4},
    {&tlevel1::ICacheLine, 32},
    {&tlevel1::DCacheSize, 8},
    {&tlevel1::DCacheAssoc, 4},
    {&tlevel1::DCacheLine, 32},
    {&tlevel1::ITLB4KEntries, 128},
    {&tlevel1::ITLB4KAssoc, 4},
    {&tlevel1::ITLB2MEntries, 255},
    {&tlevel1::ITLB2MAssoc, 4},
    {&tlevel1::DTLB4KEntries, 128},
    {&tlevel1::DTLB4KAssoc, 4},
    {&tlevel1::DTLB2MEntries, 255},
    {&tlevel1::DTLB2MAssoc, 2},
}};

void NameByModel(const tFamilyTable& table, const tCPUid_m& id, tnameinfo& name, tlevel1& l1,
                 tlevel2& l2) {
  ApplyNameRow(name, table.FamilyWide);
  for (const tModelRow& row : table.Rows) {
    if (row.Key.Model != id.Model || (row.Key.L2 != 0 && row.Key.L2 != l2.Size)) continue;
    ApplyNameRow(name, row.Name);
    if (row.Cache.ICacheKB != 0) l1.ICacheSize = row.Cache.ICacheKB;
    if (row.Cache.NoLevel2) l2.Present = 0;
    if (row.Cache.K5Level1) {
      for (const auto& [field, value] : kK5Level1)
        l1.*field = value;
    }
    return;
  }
}

// ---- Family 6: the K7 line -------------------------------------------------------------

struct tVariant {
  const char* CpuName;
  std::uint16_t LogoKey;
  bool Rated;  // the performance rating is looked up
};

constexpr tVariant kMobile{"AMD Athlon(tm) XP Mobile Processor", 180, false};
constexpr tVariant kPalominoMobile{"AMD Athlon(tm) 4 Mobile Processor", 165, false};
constexpr tVariant kMultiprocessor{"AMD Athlon(tm) MP Processor", 170, false};
constexpr tVariant kSempron{"AMD Sempron(tm) Processor", 185, false};
constexpr tVariant kXP{"AMD Athlon(tm) XP Processor", 160, true};

// How a row chooses its marketing variant from the mobile mark (PowerNow), the MP flag and
// the processor count.
enum class tSelection : std::uint8_t { None, A, B, C };

struct tK7Key {
  std::uint8_t Model;
  std::uint16_t L2;  // KB; 0: any size
  std::uint8_t Stepping;
  bool NeedsPowerNow;
};

struct tK7Row {
  tK7Key Key;
  tNameRow Name;
  tSelection Selection = tSelection::None;
  tVariant Mobile{};  // the mobile variant of selections A and B
};

constexpr const char* kDuron = "AMD Duron(tm) Processor";

constexpr std::array<tK7Row, 16> kFamily6{{
    {{0, 0, kAny, false},
     {"Argon", "AMD K7(tm) Processor", 150, "Slot A", "CMOS Al 0,25\xB5m", "22M", "184 sqr. mm"}},
    {{1, 0, kAny, false},
     {"Pluto", "AMD K7(tm) Processor", 150, "Slot A", kCmosAl018, "22M", "102 sqr. mm"}},
    {{2, 0, kAny, false},
     {"Orion", "AMD Athlon(tm) Processor", 150, "Slot A", kCmosAl018, "22M", "102 sqr. mm"}},
    {{3, 0, kAny, false}, {"Spitfire", kDuron, 155, "Socket A", kCmosAl018, "25M", "100 sqr. mm"}},
    {{4, 0, kAny, false},
     {"Thunderbird", "AMD Athlon(tm) Processor", 150, "Socket A", kCmos018, "37M", "120 sqr. mm"}},
    {{6, 0, kAny, false},
     {"Palomino", nullptr, 0, "Socket A", kCmosCu018, "37M", "129.6 sqr. mm"},
     tSelection::A,
     kPalominoMobile},
    {{7, 0, kAny, true},
     {"Morgan", "AMD Duron(tm) Mobile Processor", 175, "Socket A", kCmosCu018, "25M",
      "105.7 sqr. mm"}},
    {{7, 0, kAny, false}, {"Morgan", kDuron, 155, "Socket A", kCmosCu018, "25M", "105.7 sqr. mm"}},
    {{8, 64, kAny, false},
     {"Applebred", kDuron, 155, "Socket A", kCmosCu013, "37.6M", "80.9 sqr. mm"}},
    {{8, 256, 0, false},
     {"Thoroughbred A", nullptr, 0, "Socket A", kCmosCu013, "37.2M", "80.9 sqr. mm"},
     tSelection::A,
     kMobile},
    {{8, 256, 1, false},
     {"Thoroughbred B", nullptr, 0, "Socket A", kCmosCu013, "37.6M", "84.7 sqr. mm"},
     tSelection::B,
     kMobile},
    {{8, 256, 2, false},
     {"Thoroughbred", nullptr, 0, "Socket A", kCmosCu013, "37.6M", "87 sqr. mm"},
     tSelection::B,
     kMobile},
    {{8, 0, kAny, false}, {.Platform = "Socket A"}},
    {{10, 512, kAny, false},
     {"Barton", nullptr, 0, "Socket A", kCmosCu013, "54.3M", "101 sqr. mm"},
     tSelection::B,
     kMobile},
    {{10, 256, kAny, false},
     {"Thorton", nullptr, 0, "Socket A", kCmosCu013, "54.3M", "101 sqr. mm"},
     tSelection::C},
    {{10, 0, kAny, false}, {.Platform = "Socket A"}},
}};

constexpr std::string_view kMobileMark = " (Mobile)";

struct tK7Inputs {
  std::uint8_t Model;
  std::uint8_t Stepping;
  std::uint16_t L2;
  bool PowerNow;
  bool MP;
};

const tK7Row* FindK7Row(const tK7Inputs& k) {
  for (const tK7Row& row : kFamily6) {
    const tK7Key& key = row.Key;
    if (key.Model != k.Model) continue;
    if (key.L2 != 0 && key.L2 != k.L2) continue;
    if (key.Stepping != kAny && key.Stepping != k.Stepping) continue;
    if (key.NeedsPowerNow && !k.PowerNow) continue;
    return &row;
  }
  return nullptr;
}

// The processor count is asked for only where a selection reaches it.
template <typename CountProcessors>
const tVariant& ChooseVariant(const tK7Row& row, const tK7Inputs& k, CountProcessors&& processors) {
  switch (row.Selection) {
    case tSelection::A:
      if (k.PowerNow) return row.Mobile;
      if (k.MP && processors() >= 2) return kMultiprocessor;
      return kXP;
    case tSelection::B:
      if (k.PowerNow) return row.Mobile;
      if (k.MP) return processors() > 1 ? kMultiprocessor : kSempron;
      return kXP;
    case tSelection::C:
    case tSelection::None:
      break;
  }
  // Selection C (rows without a selection never choose a variant).
  return k.MP ? kSempron : kXP;
}

// Names a K7 processor; true when the chosen variant wants the performance rating. The row's
// texts are written before the variant is chosen.
template <typename CountProcessors>
bool NameK7(const tK7Inputs& k, CountProcessors&& processors, tnameinfo& name) {
  bool rated = false;
  if (const tK7Row* row = FindK7Row(k)) {
    ApplyNameRow(name, row->Name);
    if (row->Selection != tSelection::None) {
      const tVariant& variant = ChooseVariant(*row, k, processors);
      name.CpuName = variant.CpuName;
      name.LogoKey = variant.LogoKey;
      rated = variant.Rated;
    }
  }
  // The models outside 6 to 9 carry the mobile mark in the name. A model whose path assigns
  // no name keeps the marked name of the previous pass: it is not marked twice.
  const bool marked = k.Model < 6 || k.Model > 9;
  if (k.PowerNow && marked && !name.CpuName.View().ends_with(kMobileMark))
    name.CpuName.Append(kMobileMark);
  return rated;
}

// ---- Family 15: the 64-bit line --------------------------------------------------------

struct tK8Inputs {
  std::uint8_t Group;     // brand ID bits 11..8
  std::uint8_t SubIndex;  // brand ID bits 7..6
  std::uint8_t NN;        // brand ID bits 7..0
  std::uint8_t Ext;       // extended model
  std::uint8_t Model;
  std::uint16_t L2;
  std::uint8_t Cores;
};

struct tK8Key {
  std::uint8_t Group = kAny;
  std::uint8_t SubIndex = kAny;
  std::uint8_t ExtMin = 0;
  std::uint8_t ExtMax = kAny;
  std::uint8_t ModelMin = 0;
  std::uint8_t ModelMax = kAny;
  std::uint16_t L2 = 0;    // KB; 0: any size
  std::uint8_t Cores = 0;  // 0: any count

  bool Matches(const tK8Inputs& k) const {
    return (Group == kAny || Group == k.Group) && (SubIndex == kAny || SubIndex == k.SubIndex) &&
           k.Ext >= ExtMin && k.Ext <= ExtMax && k.Model >= ModelMin && k.Model <= ModelMax &&
           (L2 == 0 || L2 == k.L2) && (Cores == 0 || Cores == k.Cores);
  }
};

// The cores of the first Athlon 64 generation (extended model 0).
constexpr tNameRow kClawHammer{
    .CodeName = "ClawHammer", .TranQuantity = "105.9M", .DieSize = "193 sqr. mm"};
constexpr tNameRow kClawHammer512{
    .CodeName = "ClawHammer/512K", .TranQuantity = "105.9M", .DieSize = "193 sqr. mm"};
constexpr tNameRow kSledgeHammer{
    .CodeName = "SledgeHammer", .TranQuantity = "105.9M", .DieSize = "193 sqr. mm"};
constexpr tNameRow kNewCastle{
    .CodeName = "NewCastle", .TranQuantity = "68.5M", .DieSize = "144 sqr. mm"};
constexpr tNameRow kNewCastle256{
    .CodeName = "NewCastle/256K", .TranQuantity = "68.5M", .DieSize = "144 sqr. mm"};

// The core of an extended-model-0 Athlon 64 by model and level-2 size.
struct tK8CoreRow {
  std::uint8_t Model;
  const tNameRow* L2Of256;
  const tNameRow* L2Of512;
  const tNameRow* OtherL2;
};

constexpr std::array<tK8CoreRow, 7> kAthlon64Cores{{
    {4, &kClawHammer, &kClawHammer512, &kClawHammer},
    {7, &kSledgeHammer, &kClawHammer512, &kSledgeHammer},
    {8, &kSledgeHammer, &kNewCastle, &kSledgeHammer},
    {11, &kSledgeHammer, &kNewCastle, &kSledgeHammer},
    {12, &kNewCastle256, &kNewCastle, &kClawHammer},
    {14, &kClawHammer, &kNewCastle, &kClawHammer},
    {15, &kSledgeHammer, &kNewCastle, &kSledgeHammer},
}};

void ApplyAthlon64Core(const tK8Inputs& k, tnameinfo& name) {
  for (const tK8CoreRow& row : kAthlon64Cores) {
    if (row.Model != k.Model) continue;
    ApplyNameRow(name, k.L2 == 256 ? *row.L2Of256 : k.L2 == 512 ? *row.L2Of512 : *row.OtherL2);
    return;
  }
}

struct tK8Row {
  tK8Key Key;
  tNameRow Name;
  std::uint8_t UnitCount = 0;  // level-2 caches in the package; 0: leave it
  bool Athlon64Cores = false;  // the core follows from model and level-2 size
};

constexpr const char* kAthlon64 = "AMD Athlon(tm) 64 Processor";
constexpr const char* kAthlon64X2 = "AMD Athlon 64 X2 Processor";
constexpr const char* kAthlon64MobileLV = "AMD Athlon 64 Mobile Low Voltage Processor";

constexpr std::array<tK8Row, 9> kGroup1{{
    {{.L2 = 512, .Cores = 2}, {"Toledo/512K", kAthlon64X2, 200, "Socket 939", kDSL, "", ""}, 2},
    {{.L2 = 1024, .Cores = 2},
     {"Toledo", kAthlon64X2, 200, "Socket 939", kDSL, "114M", "199 sqr. mm"},
     2},
    {{.Cores = 2}, {nullptr, kAthlon64X2, 200, "Socket 939", kDSL, nullptr, nullptr}, 2},
    {{.ExtMax = 0}, {nullptr, kAthlon64, 195, nullptr, kSOI13, nullptr, nullptr}, 0, true},
    {{.ExtMin = 1, .ExtMax = 1},
     {"Winchester", kAthlon64, 195, "Socket 939", kDSL, "68.5M", "83 sqr. mm"}},
    {{.ExtMin = 2, .ExtMax = 2, .L2 = 512},
     {"Venice (rev. E3)", kAthlon64, 195, "Socket 939", kDSL, "", "84 sqr. mm"}},
    {{.ExtMin = 2, .ExtMax = 2, .L2 = 1024},
     {"San Diego (rev. E4)", kAthlon64, 195, "Socket 939", kDSL, "", "115 sqr. mm"}},
    {{.ExtMin = 2, .ExtMax = 2}, {nullptr, kAthlon64, 195, nullptr, kDSL, nullptr, nullptr}},
    {{.ExtMin = 3}, {"San Diego (rev. E4)", kAthlon64, 195, "Socket 939", kDSL, "", "115 sqr. mm"}},
}};

constexpr std::array<tK8Row, 7> kGroup2{{
    {{.SubIndex = 0, .ExtMin = 1}, {.CodeName = "Newark (rev. E3)", .TechProcess = kDSL}},
    {{.SubIndex = 0, .ModelMin = 4, .ModelMax = 4}, kClawHammer},
    {{.SubIndex = 0}, kNewCastle},
    {{.SubIndex = 1, .ExtMin = 1, .L2 = 1024},
     {"Lancaster (rev. E3)", kAthlon64MobileLV, 0, nullptr, kDSL, "", ""}},
    {{.SubIndex = 1, .ExtMin = 1}, {"Oakville", kAthlon64MobileLV, 0, nullptr, nullptr, "", ""}},
    {{.SubIndex = 1, .ModelMin = 4, .ModelMax = 4},
     {"ClawHammer", kAthlon64MobileLV, 0, nullptr, nullptr, "105.9M", "193 sqr. mm"}},
    {{.SubIndex = 1},
     {"NewCastle", kAthlon64MobileLV, 0, nullptr, nullptr, "68.5M", "144 sqr. mm"}},
}};

// Opteron, groups 3 (UP), 4 (DP) and 5 (MP).
constexpr std::array<tK8Row, 7> kOpteron{{
    {{.Group = 3, .ExtMin = 2, .ExtMax = 2}, {"Denmark", nullptr, 0, nullptr, kDSL, "", ""}},
    {{.Group = 4, .ExtMin = 2, .ExtMax = 2},
     {"Italy (rev. E6)", nullptr, 0, nullptr, kDSL, "", "~200 sqr. mm"}},
    {{.Group = 5, .ExtMin = 2, .ExtMax = 2}, {"Egypt", nullptr, 0, nullptr, kDSL, "", ""}},
    {{.ModelMax = 7}, {"SledgeHammer", nullptr, 0, nullptr, kSOI13, "105.9M", "193 sqr. mm"}},
    {{.Group = 3, .ModelMin = 8}, {"Venus", nullptr, 0, nullptr, kDSL, "", ""}},
    {{.Group = 4, .ModelMin = 8}, {"Troy (rev. E4)", nullptr, 0, nullptr, kDSL, "", ""}},
    {{.Group = 5, .ModelMin = 8}, {"Athens", nullptr, 0, nullptr, kDSL, "", ""}},
}};

constexpr std::array<tK8Row, 2> kGroup7{{
    {{.SubIndex = 1}, {"Dublin", nullptr, 0, nullptr, kSOI13, "", ""}},
    {{.SubIndex = 2},
     {"Dublin", "AMD Athlon(tm) XP Mobile Low Voltage Processor", 0, nullptr, kSOI13, "", ""}},
}};

constexpr std::array<tK8Row, 8> kGroup8{{
    {{.SubIndex = 0, .ExtMin = 1},
     {"Palermo", "AMD Athlon(tm) XP Mobile Processor", 180, nullptr, kSOI09, "", "84 sqr. mm"}},
    {{.SubIndex = 0},
     {"Paris", "AMD Athlon(tm) XP Mobile Processor", 180, nullptr, kSOI13, "68.5M", "144 sqr. mm"}},
    {{.SubIndex = 1, .ExtMin = 1},
     {"Georgetown", "AMD Sempron Mobile Processor", 225, nullptr, kDSL, "", ""}},
    {{.SubIndex = 1}, {"Dublin", "AMD Sempron Mobile Processor", 225, nullptr, kSOI13, "", ""}},
    {{.SubIndex = 2, .ExtMin = 1},
     {"Palermo", "AMD Sempron(tm) Processor", 205, nullptr, kSOI09, "", "84 sqr. mm"}},
    {{.SubIndex = 2},
     {"Paris", "AMD Sempron(tm) Processor", 205, nullptr, kSOI13, "68.5M", "144 sqr. mm"}},
    {{.SubIndex = 3, .ExtMin = 1},
     {"Sonora", "AMD Sempron Mobile Low Voltage Processor", 225, nullptr, kSOI09, "", ""}},
    {{.SubIndex = 3},
     {"Dublin", "AMD Sempron Mobile Low Voltage Processor", 225, nullptr, kSOI13, "", ""}},
}};

constexpr std::array<tK8Row, 2> kGroup9{{
    {{.ExtMin = 1},
     {"San Diego (rev. E4)", nullptr, 0, "Socket 939", kDSL, nullptr, "115 sqr. mm"}},
    {{}, {"SledgeHammer", nullptr, 0, nullptr, kSOI13, "105.9M", "193 sqr. mm"}},
}};

// A text around a number computed from NN: Prefix, then Scale * NN + Offset in decimal,
// then Suffix. No prefix: the group has no such text.
struct tComputedText {
  const char* Prefix = nullptr;
  unsigned Scale = 1;
  unsigned Offset = 0;
  const char* Suffix = "";
};

constexpr tComputedText kModelNumberRating{"", 1, 22, "00+"};

struct tBrandGroup {
  std::uint8_t Group;
  tNameRow Name;
  tComputedText CpuName{};
  tComputedText Rating{};
  bool Athlon64Socket = false;
  std::span<const tK8Row> Detail{};
};

constexpr tNameRow kOpteronBase{.LogoKey = 190, .Platform = "Socket 940"};

constexpr std::array<tBrandGroup, 10> kBrandGroups{{
    {0, {.LogoKey = 210}, {"K8 Family Engineering Sample ", 1, 0, ""}},
    {1, {.CpuName = kAthlon64, .LogoKey = 195}, {}, kModelNumberRating, true, kGroup1},
    {2,
     {.CpuName = "AMD Athlon(tm) 64 Mobile Processor",
      .LogoKey = 230,
      .Platform = "Socket 754",
      .TechProcess = kSOI13},
     {},
     kModelNumberRating,
     false,
     kGroup2},
    {3, kOpteronBase, {"AMD Opteron(tm) UP 1", 2, 38, " Processor"}, {}, false, kOpteron},
    {4, kOpteronBase, {"AMD Opteron(tm) DP 2", 2, 38, " Processor"}, {}, false, kOpteron},
    {5, kOpteronBase, {"AMD Opteron(tm) MP 8", 2, 38, " Processor"}, {}, false, kOpteron},
    {7,
     {.CpuName = "AMD Athlon(tm) XP Mobile Processor", .LogoKey = 180, .Platform = "Socket 745"},
     {},
     {},
     false,
     kGroup7},
    {8, {.Platform = "Socket 745"}, {}, {}, false, kGroup8},
    {9,
     {.LogoKey = 215, .Platform = "Socket 940"},
     {"AMD Athlon(tm) 64 FX-", 1, 24, " Processor"},
     {},
     false,
     kGroup9},
    {10, {"Lancaster (rev. E3)", "AMD Turion 64 Processor", 220, "Socket 754", kDSL, "", ""}},
}};

void AssignComputed(tString255& field, const tComputedText& text, unsigned nn) {
  if (text.Prefix == nullptr) return;
  field = std::string(text.Prefix) + std::to_string(text.Scale * nn + text.Offset) + text.Suffix;
}

// Athlon 64: socket 939 from extended model 1 on; before, by model.
const char* Athlon64Socket(const tK8Inputs& k) {
  if (k.Ext > 0) return "Socket 939";
  return k.Model == 4 || k.Model == 12 || k.Model == 14 ? "Socket 754" : "Socket 939";
}

void NameK8(const tK8Inputs& k, tnameinfo& name, tlevel2& l2) {
  for (const tBrandGroup& group : kBrandGroups) {
    if (group.Group != k.Group) continue;
    ApplyNameRow(name, group.Name);
    AssignComputed(name.CpuName, group.CpuName, k.NN);
    AssignComputed(name.Rating, group.Rating, k.NN);
    if (group.Athlon64Socket) name.Platform = Athlon64Socket(k);
    for (const tK8Row& row : group.Detail) {
      if (!row.Key.Matches(k)) continue;
      ApplyNameRow(name, row.Name);
      if (row.UnitCount != 0) l2.UnitCount = row.UnitCount;
      if (row.Athlon64Cores) ApplyAthlon64Core(k, name);
      break;
    }
    return;
  }
}

}  // namespace

void cCPUid::NameAMD(unsigned i) {
  tlevel2& l2 = level2[i];
  l2.UnitCount = 1;
  tCPUid_m& id = CPUid_m[i];
  tCPUfeatures& features = CPUfeatures[i];
  tnameinfo& name = nameinfo[i];

  switch (id.Family) {
    case 3:
      NameByModel(kFamily3Table, id, name, level1[i], l2);
      break;
    case 4:
      NameByModel(kFamily4Table, id, name, level1[i], l2);
      break;
    case 5:
      NameByModel(kFamily5Table, id, name, level1[i], l2);
      break;
    case 6: {
      MultiplierMethod[i] = 1;
      Clocks[i].BusFactor = 2;
      MeasureClocks(i);
      const tK7Inputs inputs{.Model = id.Model,
                             .Stepping = id.Stepping,
                             .L2 = l2.Size,
                             .PowerNow = features.PowerNow == 1,
                             .MP = features.MP == 1};
      if (NameK7(
              inputs, [this] { return ProcessorCount(); }, name))
        LookupRating(i);
      break;
    }
    case 15: {
      // Only the first generation of the 64-bit line: later generations report family 15
      // with an extended family, and this table does not describe them.
      if (id.ExtFamily != 0) break;
      if (features.PowerNow == 1) {
        features.CoolnQuiet = 1;
        features.PowerNow = 0;
      }
      MultiplierMethod[i] = 2;
      MeasureClocks(i);
      id.BrandID = id.XBrandHigh;
      const tK8Inputs inputs{
          .Group = id.XBrandHigh,
          .SubIndex = id.XBrandLow,
          .NN = static_cast<std::uint8_t>(GetBits(std::uint32_t{id.XBrandID}, 0, 7)),
          .Ext = id.XExtModel,
          .Model = id.Model,
          .L2 = l2.Size,
          .Cores = features.Cores};
      NameK8(inputs, name, l2);
      break;
    }
    default:
      break;
  }
}
