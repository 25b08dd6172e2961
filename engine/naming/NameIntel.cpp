// The Intel processor table: 80386 to Pentium 4, Pentium D, Pentium M, Celeron, Xeon and
// Itanium. Rows are data; the selection around them is the code at the end of this file.
#include <cstdint>
#include <functional>
#include <span>

#include "engine/CPUid.h"
#include "engine/naming/Naming.h"

namespace {

// ---- Keys a row tests ------------------------------------------------------------------

constexpr int kAny = -1;
constexpr int kSameAsLo = -2;

// An inclusive range of values: {} matches everything, {v} only v, {lo, hi} lo to hi.
struct tRange {
  int Lo = kAny;
  int Hi = kSameAsLo;

  constexpr bool Holds(int value) const {
    if (Lo == kAny) return true;
    return Lo <= value && value <= (Hi == kSameAsLo ? Lo : Hi);
  }
};

// {} matches everything, {a} only a, {a, b} either.
struct tEither {
  int A = kAny;
  int B = kAny;

  constexpr bool Holds(int value) const { return A == kAny || value == A || value == B; }
};

// A flag key; a flag counts as set only when it holds 1.
enum class tFlag : std::uint8_t { Any, Clear, Set };

constexpr bool FlagHolds(tFlag key, std::uint8_t flag) {
  switch (key) {
    case tFlag::Clear:
      return flag != 1;
    case tFlag::Set:
      return flag == 1;
    case tFlag::Any:
      break;
  }
  return true;
}

struct tKeys {
  tRange Family{};
  tRange ExtFamily{};
  tRange ExtModel{};
  tFlag IA64 = tFlag::Any;
  tRange Model{};
  tRange Stepping{};
  tRange CPUType{};
  tRange L2Size{};  // KB
  tEither BrandID{};
  tFlag L3 = tFlag::Any;  // level-3 cache present
  tFlag AA64 = tFlag::Any;
  tFlag NX = tFlag::Any;
  tFlag HTT = tFlag::Any;
  tFlag SpeedStep = tFlag::Any;
  tEither LogoKey{};  // the key the record holds at that moment
};

// ---- What a row does -------------------------------------------------------------------

// Hints for the clock measurement; 0 leaves a value as it is.
struct tHints {
  std::uint8_t MultiplierMethod = 0;
  std::uint8_t BusFactor = 0;
  bool Measure = false;  // measure the clocks again at once
};

constexpr tHints kBus1{0, 1, false};
constexpr tHints kMethod3Bus1{3, 1, true};
constexpr tHints kMethod4Bus1{4, 1, true};
constexpr tHints kMethod5Bus4{5, 4, true};
constexpr tHints kMethod6Bus4{6, 4, true};
constexpr tHints kMethod7Bus4{7, 4, true};

// One level-1 field of a preset for processors without cache descriptors.
struct tLevel1Value {
  std::uint16_t tlevel1::*Field;
  std::uint16_t Value;
};

// A refinement applied after its row, or after a whole family: every row whose keys match,
// in order. Hints come before the texts.
struct tThenRow {
  tKeys Keys{};
  tHints Hints{};
  tNameRow Name{};
  const char* AppendCodeName = nullptr;
};

// A row of a family table; the first whose keys match is applied, then its refinements.
struct tRow {
  tKeys Keys{};
  tNameRow Name{};
  bool SetsSpeedStep = false;
  std::span<const tLevel1Value> Level1{};
  bool NoLevel2 = false;  // the processor has no level-2 cache
  std::span<const tThenRow> Then{};
};

// A row of a processor without a level-2 cache, whose level-1 caches are known by model.
constexpr tRow CacheLessRow(tKeys keys, tNameRow name, std::span<const tLevel1Value> level1) {
  return {.Keys = keys, .Name = name, .Level1 = level1, .NoLevel2 = true};
}

// What a model gets before its rows are selected: texts, clock hints, more texts.
struct tLead {
  tKeys Keys{};
  tNameRow BeforeHints{};
  tHints Hints{};
  tNameRow AfterHints{};
};

struct tFamily {
  tKeys Keys{};
  tNameRow Preset{};  // family-wide texts, written first
  std::span<const tLead> Leads{};
  std::span<const tRow> Rows{};
  std::span<const tThenRow> Then{};
};

// ---- Texts used by many rows -----------------------------------------------------------

constexpr const char* kPentium = "Intel Pentium Processor";
constexpr const char* kCeleron = "Intel Celeron Processor";
constexpr const char* kPentium4 = "Intel Pentium-IV Processor";
constexpr std::uint16_t kPentium4Logo = 470;
constexpr const char* kXeon = "Intel Xeon Processor";
constexpr const char* kXeonMP = "Intel Xeon MP Processor";
constexpr const char* kCeleronD = "Intel Celeron D Processor";
constexpr const char* kAl018 = "CMOS Al 0,18\xB5m";
constexpr const char* kCu013 = "CMOS Cu 0,13\xB5m";
constexpr const char* kCu009CDO = "CMOS Cu 0,09\xB5m CDO";
constexpr const char* kLGA775 = "LGA 775";
constexpr const char* kSocket478 = "Socket 478";
constexpr const char* kSocket604 = "Socket 604";
constexpr const char* kFCPGA = "Socket 370 (FCPGA)";

// Name columns below: CodeName, CpuName, LogoKey, Platform, TechProcess, TranQuantity,
// DieSize. nullptr leaves a field, "" empties it, LogoKey 0 leaves the key.

// ---- Families 3 and 4 ------------------------------------------------------------------

constexpr tRow kFamily3[] = {
    {.Keys = {.Model = {0}}, .Name = {"P9 (0,80\xB5m)", "i80386DX", 400}},
    {.Keys = {.Model = {2}}, .Name = {"P9 (0,80\xB5m)", "i80386SX", 400}},
};

constexpr tLevel1Value kCode8K[] = {{&tlevel1::ICacheSize, 8}};
constexpr tLevel1Value kCode16K[] = {{&tlevel1::ICacheSize, 16}};

constexpr tRow kFamily4[] = {
    CacheLessRow({.Model = {0, 1}}, {"P4", "i80486DX", 405}, kCode8K),
    CacheLessRow({.Model = {2}}, {"P24", "i80486SX", 405}, kCode8K),
    CacheLessRow({.Model = {3}}, {"P24", "i80486DX2", 405}, kCode8K),
    CacheLessRow({.Model = {4}}, {"P24", "i80486SL", 405}, kCode8K),
    CacheLessRow({.Model = {5}}, {"P24", "i80486SX2", 405}, kCode8K),
    CacheLessRow({.Model = {7}}, {"P24", "i80486DX2WB", 405}, kCode8K),
    CacheLessRow({.Model = {8}}, {"P24C", "i80486DX4", 405}, kCode16K),
    CacheLessRow({.Model = {9}}, {"P24C", "i80486DX4WB", 405}, kCode16K),
};

// ---- Family 5 --------------------------------------------------------------------------

// Pentium: 8 KB code and data caches; no large-page code TLB.
constexpr tLevel1Value kP5Preset[] = {
    {&tlevel1::ICacheSize, 8},     {&tlevel1::ICacheAssoc, 2},   {&tlevel1::ICacheLine, 32},
    {&tlevel1::DCacheSize, 8},     {&tlevel1::DCacheAssoc, 2},   {&tlevel1::DCacheLine, 32},
    {&tlevel1::ITLB4KEntries, 32}, {&tlevel1::ITLB4KAssoc, 4},   {&tlevel1::DTLB4KEntries, 64},
    {&tlevel1::DTLB4KAssoc, 4},    {&tlevel1::DTLB2MEntries, 8}, {&tlevel1::DTLB2MAssoc, 4},
};

// Pentium MMX: 16 KB code and data caches, fully associative TLBs.
constexpr tLevel1Value kMMXPreset[] = {
    {&tlevel1::ICacheSize, 16},    {&tlevel1::ICacheAssoc, 4},
    {&tlevel1::ICacheLine, 32},    {&tlevel1::DCacheSize, 16},
    {&tlevel1::DCacheAssoc, 4},    {&tlevel1::DCacheLine, 32},
    {&tlevel1::ITLB4KEntries, 32}, {&tlevel1::ITLB4KAssoc, kFullyAssociative},
    {&tlevel1::ITLB2MEntries, 32}, {&tlevel1::ITLB2MAssoc, kFullyAssociative},
    {&tlevel1::DTLB4KEntries, 64}, {&tlevel1::DTLB4KAssoc, kFullyAssociative},
    {&tlevel1::DTLB2MEntries, 64}, {&tlevel1::DTLB2MAssoc, kFullyAssociative},
};

constexpr tRow kFamily5[] = {
    CacheLessRow({.Model = {0}},
                 {"P5 A", kPentium, 410, "Socket 4", "BiCMOS 0,80\xB5m", "3.1M", "294 sqr. mm"},
                 kP5Preset),
    CacheLessRow({.Model = {1}},
                 {"P5", kPentium, 410, "Socket 4", "BiCMOS 0,80\xB5m", "3.1M", "294 sqr. mm"},
                 kP5Preset),
    CacheLessRow({.Model = {2}},
                 {"P54", kPentium, 410, nullptr, "BiCMOS 0,50\xB5m", "3.2M", "148 sqr. mm"},
                 kP5Preset),
    CacheLessRow({.Model = {3}},
                 {"P54T", "Intel Pentium Overdrive Processor", 410, "Socket 4", "BiCMOS 0,35\xB5m",
                  "3.3M", "91 sqr. mm"},
                 kP5Preset),
    CacheLessRow({.Model = {4}},
                 {"P55C", "Intel Pentium MMX Processor", 415, nullptr, "CMOS 0,28\xB5m", "4.5M",
                  "128 sqr. mm"},
                 kMMXPreset),
    CacheLessRow({.Model = {7}},
                 {"P54C", kPentium, 410, nullptr, "BiCMOS 0,28\xB5m", "3.3M", "83 sqr. mm"},
                 kP5Preset),
    CacheLessRow({.Model = {8}},
                 {"Tillamook", "Intel Pentium MMX Mobile Processor", 415, "Mobile",
                  "CMOS 0,25\xB5m", "4.5M", "90 sqr. mm"},
                 kMMXPreset),
};

// ---- Family 6 --------------------------------------------------------------------------

constexpr tLead kFamily6Leads[] = {
    {.Keys = {.Model = {8}}, .Hints = kMethod3Bus1},
    {.Keys = {.Model = {9}}, .Hints = kBus1},
    {.Keys = {.Model = {10}}, .Hints = kMethod3Bus1},
    {.Keys = {.Model = {11}}, .Hints = kMethod4Bus1},
    {.Keys = {.Model = {12, 14}}, .Hints = kMethod7Bus4},
};

constexpr tThenRow kMendocinoPlatforms[] = {
    {.Keys = {.Stepping = {0, 4}}, .Name = {.Platform = "Slot 1 (SECC)"}},
    {.Keys = {.Stepping = {5, 9}}, .Name = {.Platform = "Socket 370 (PGA)"}},
};

constexpr tThenRow kCoppermineSteppings[] = {
    {.Keys = {.Stepping = {1}}, .Name = {.Platform = "Slot 1"}},
    {.Keys = {.Stepping = {3, 6}}, .Name = {.Platform = kFCPGA}},
    {.Keys = {.Stepping = {3}}, .Name = {.Platform = kFCPGA}, .AppendCodeName = " (rev. B0)"},
};

constexpr tThenRow kBaniasBrands[] = {
    {.Keys = {.BrandID = {0x12}},
     .Hints = kMethod7Bus4,
     .Name = {"Banias", "Intel Celeron M Processor", 455, "Socket 479", kCu013, "", ""}},
    {.Keys = {.BrandID = {0x16}},
     .Hints = kMethod7Bus4,
     .Name = {"Banias", "Intel Pentium M Processor", 450, "Socket 479", kCu013, "", ""}},
};

constexpr tNameRow kCeleronM{.CpuName = "Intel Celeron M Processor",
                             .LogoKey = 455,
                             .TranQuantity = "140M",
                             .DieSize = "88 sqr. mm"};
constexpr tNameRow kPentiumM{
    .CpuName = "Intel Pentium M Processor", .LogoKey = 450, .TranQuantity = "", .DieSize = ""};

// The level-2 size overrides the brand ID.
constexpr tThenRow kDothanBrands[] = {
    {.Keys = {.BrandID = {0x12}}, .Name = kCeleronM},
    {.Keys = {.BrandID = {0x16}}, .Name = kPentiumM},
    {.Keys = {.L2Size = {1024}}, .Name = kCeleronM},
    {.Keys = {.L2Size = {2048}}, .Name = kPentiumM},
};

constexpr tRow kFamily6[] = {
    {.Keys = {.Model = {0}},
     .Name = {"P6", "Intel Pentium Pro Processor", 420, "Socket 8", "BiCMOS 0,50\xB5m", "5.5M",
              "306 sqr. mm"}},
    {.Keys = {.Model = {1}},
     .Name = {"P6", "Intel Pentium Pro Processor", 420, "Socket 8", "BiCMOS 0,35\xB5m", "5.5M",
              "196 sqr. mm"}},
    {.Keys = {.Model = {3}, .CPUType = {1}},
     .Name = {"POPD66X", "Intel Pentium-II Overdrive Processor", 425, "Socket 8", "CMOS 0,25\xB5m",
              "7.5M", "131 sqr. mm"}},
    {.Keys = {.Model = {3}},
     .Name = {"Klamath", "Intel Pentium-II Processor", 425, "Slot 1", "CMOS 0,28\xB5m", "7.5M",
              "203 sqr. mm"}},
    {.Keys = {.Model = {5}, .L2Size = {0}},
     .Name = {"Covington", kCeleron, 430, "Slot 1 (SECC)", "CMOS 0,25\xB5m", "7.5M",
              "118 sqr. mm"}},
    {.Keys = {.Model = {5}},
     .Name = {"Deschutes", "Intel Pentium-II Processor", 425, "Slot 1", "CMOS 0,25\xB5m", "7.5M",
              "131 sqr. mm"}},
    {.Keys = {.Model = {6}, .L2Size = {128}},
     .Name = {"Mendocino", "Intel Celeron A Processor", 430, nullptr, "CMOS 0,25\xB5m", "19M",
              "154 sqr. mm"},
     .Then = kMendocinoPlatforms},
    {.Keys = {.Model = {6}},
     .Name = {"Dixon", "Intel Pentium-II Mobile Processor", 425, "Mobile Module Connector",
              "CMOS 0,25\xB5m", "27.4M", "180 sqr. mm"}},
    {.Keys = {.Model = {7}, .L2Size = {1024}},
     .Name = {"Tanner", "Intel Pentium-III Xeon Processor", 445, "Slot 2"}},
    {.Keys = {.Model = {7}},
     .Name = {"Katmai", "Intel Pentium-III Processor", 435, "Slot 1", "CMOS 0,25\xB5m", "9.5M",
              "128 sqr. mm"}},
    {.Keys = {.Model = {8}, .L2Size = {128}},
     .Name = {"Coppermine/128K", kCeleron, 430, kFCPGA, kAl018, "28.1M", "90 sqr. mm"}},
    {.Keys = {.Model = {8}},
     .Name = {"Coppermine", "Intel Pentium-III Processor", 435, nullptr, kAl018, "28.1M",
              "90 sqr. mm"},
     .Then = kCoppermineSteppings},
    {.Keys = {.Model = {9}},
     .Name = {"Geyserville", "Intel Pentium-III Mobile Processor", 440, "Mobile Module Connector 2",
              kCu013, "", ""},
     .SetsSpeedStep = true,
     .Then = kBaniasBrands},
    {.Keys = {.Model = {10}},
     .Name = {"Cascades", "Intel Pentium-III Xeon Processor", 445, "Slot 2", kAl018, "140M",
              "385 sqr. mm"}},
    {.Keys = {.Model = {11}, .L2Size = {256}},
     .Name = {"Tualatin-256", kCeleron, 430, "Socket 370 (FCPGA2)", kCu013, "44M", "80 sqr. mm"}},
    {.Keys = {.Model = {11}},
     .Name = {"Tualatin", "Intel Pentium-IIIS Processor", 435, "Socket 370 (FCPGA2)", kCu013, "44M",
              "80 sqr. mm"}},
    {.Keys = {.Model = {12, 13}},
     .Name = {.CodeName = "Dothan",
              .Platform = "Socket 479 uFCBGA",
              .TechProcess = "CMOS Cu 0,09\xB5m Low-F IL"},
     .SetsSpeedStep = true,
     .Then = kDothanBrands},
    {.Keys = {.Model = {14}},
     .Name = {"Yonah", "Intel Pentium M Processor", 450, "Socket 479", "CMOS Cu 0.065\xB5m"}},
};

constexpr tThenRow kFamily6Then[] = {
    {.Keys = {.Model = {8}, .Stepping = {10}},
     .Name = {"Coppermine-T", "Intel CeleronB Processor", 430, "BGA/Micro-PGA", kAl018, "28.1M",
              "90 sqr. mm"}},
};

// ---- Family 15, Pentium 4 line ---------------------------------------------------------

constexpr tLead kPentium4Leads[] = {
    {.Keys = {.Model = {0}}, .BeforeHints = {.Platform = "Socket 423"}, .Hints = kMethod5Bus4},
    {.Keys = {.Model = {1}}, .BeforeHints = {.Platform = kSocket478}, .Hints = kMethod5Bus4},
    {.Keys = {.Model = {2}},
     .BeforeHints = {nullptr, nullptr, 0, kSocket478, kCu013, "55M", "131 sqr. mm"},
     .Hints = kMethod6Bus4},
    {.Keys = {.Model = {3}},
     .Hints = kMethod6Bus4,
     .AfterHints = {"Prescott", kPentium4, kPentium4Logo, kSocket478, kCu009CDO, "125M",
                    "112 sqr. mm"}},
    {.Keys = {.Model = {4}}, .Hints = kMethod6Bus4},
};

constexpr tThenRow kPrescottE0[] = {
    {.Keys = {.L2Size = {1024}, .NX = tFlag::Clear, .HTT = tFlag::Clear},
     .Name = {"Prescott (E0)", kPentium4, kPentium4Logo, kSocket478, kCu009CDO}},
    {.Keys = {.BrandID = {0x0C, 0x0B}}, .Name = {"Nocona (E0)", kXeon, 500, kSocket604, kCu009CDO}},
};

constexpr tThenRow kPrescottN0[] = {
    {.Keys = {.SpeedStep = tFlag::Set}, .Name = {nullptr, "Intel Pentium-IV EE Processor", 480}},
};

constexpr tThenRow kSmithfield[] = {
    {.Keys = {.L2Size = {1024}, .HTT = tFlag::Set},
     .Name = {nullptr, "Intel Pentium Extreme Edition Processor", 485}},
};

constexpr tRow kPentium4Rows[] = {
    // Model 0.
    {.Keys = {.Model = {0}, .BrandID = {0x0C}}, .Name = {"Foster", kXeonMP, 505, nullptr, kAl018}},
    {.Keys = {.Model = {0}, .BrandID = {0x0B, 0x0E}},
     .Name = {"Foster", kXeon, 500, nullptr, kAl018}},
    {.Keys = {.Model = {0}, .Stepping = {7}},
     .Name = {"Willamette B2", kPentium4, kPentium4Logo, nullptr, kAl018, "42M", "217 sqr. mm"}},
    {.Keys = {.Model = {0}, .Stepping = {10}},
     .Name = {"Willamette C1", kPentium4, kPentium4Logo, nullptr, kAl018, "42M", "217 sqr. mm"}},
    // Model 1.
    {.Keys = {.Model = {1}, .Stepping = {2}},
     .Name = {"Willamette D0", kPentium4, kPentium4Logo, nullptr, kAl018, "42M", "217 sqr. mm"}},
    {.Keys = {.Model = {1}, .Stepping = {3}, .L2Size = {128}},
     .Name = {"Willamette-128 E0", kCeleron, 430, nullptr, kAl018, "42M", "217 sqr. mm"}},
    {.Keys = {.Model = {1}, .Stepping = {3}, .L2Size = {256}},
     .Name = {"Willamette E0", kPentium4, kPentium4Logo, nullptr, kAl018, "42M", "217 sqr. mm"}},
    {.Keys = {.Model = {1}, .Stepping = {3}},
     .Name = {nullptr, nullptr, 0, nullptr, kAl018, "42M", "217 sqr. mm"}},
    // Model 2.
    {.Keys = {.Model = {2}, .BrandID = {0x0B}},
     .Name = {"Prestonia", kXeon, 500, "Socket 603/604", nullptr, "", ""}},
    {.Keys = {.Model = {2}, .BrandID = {0x0C}},
     .Name = {"Gallatin", kXeonMP, 505, "Socket 603/604", nullptr, "", ""}},
    {.Keys = {.Model = {2}, .Stepping = {4}}, .Name = {"Northwood B0", kPentium4, kPentium4Logo}},
    {.Keys = {.Model = {2}, .Stepping = {5}, .L3 = tFlag::Set},
     .Name = {"Gallatin", "Intel Pentium-IV EE Processor", 480, kSocket478}},
    {.Keys = {.Model = {2}, .Stepping = {5}, .L3 = tFlag::Clear},
     .Name = {"Northwood M0", kPentium4, kPentium4Logo, kSocket478}},
    {.Keys = {.Model = {2}, .Stepping = {7}, .L2Size = {128}},
     .Name = {"Northwood-128 C1", "Intel Celeron Processor;", 430}},
    {.Keys = {.Model = {2}, .Stepping = {7}, .L2Size = {512}},
     .Name = {"Northwood C1", kPentium4, kPentium4Logo}},
    {.Keys = {.Model = {2}, .Stepping = {9}, .L2Size = {128}},
     .Name = {"Northwood/128K D1", kCeleron, 430}},
    {.Keys = {.Model = {2}, .Stepping = {9}, .L2Size = {256}},
     .Name = {"Northwood/256K D1", kCeleron, 430}},
    {.Keys = {.Model = {2}, .Stepping = {9}, .L2Size = {512}},
     .Name = {"Northwood D1", kPentium4, kPentium4Logo}},
    // Model 3.
    {.Keys = {.Model = {3}, .BrandID = {0x0C}, .L3 = tFlag::Set, .AA64 = tFlag::Set},
     .Name = {"Potomac", kXeonMP, 505, kSocket604, kCu009CDO}},
    {.Keys = {.Model = {3}, .BrandID = {0x0C}, .L3 = tFlag::Clear, .AA64 = tFlag::Set},
     .Name = {"Cranford", kXeonMP, 505, kSocket604, kCu009CDO}},
    {.Keys = {.Model = {3}, .Stepping = {2}},
     .Name = {"Prescott", kPentium4, kPentium4Logo, kLGA775, kCu009CDO}},
    {.Keys = {.Model = {3}, .Stepping = {3}, .L2Size = {256}},
     .Name = {"Prescott (rev. C0)", kCeleronD, 495, kSocket478, kCu009CDO}},
    {.Keys = {.Model = {3}, .Stepping = {3}, .L2Size = {1024}},
     .Name = {"Prescott (rev. C0)", kPentium4, kPentium4Logo, kLGA775, kCu009CDO}},
    {.Keys = {.Model = {3}, .Stepping = {3}},
     .Name = {"Prescott (rev. C0)", nullptr, kPentium4Logo, nullptr, kCu009CDO}},
    {.Keys = {.Model = {3}, .Stepping = {4}, .BrandID = {0x0C, 0x0B}},
     .Name = {"Nocona (rev. D0)", kXeon, 500, kSocket604, kCu009CDO}},
    {.Keys = {.Model = {3}, .Stepping = {4}, .L2Size = {256}},
     .Name = {"Prescott (rev. D0)", kCeleronD, 495, kSocket478, kCu009CDO}},
    {.Keys = {.Model = {3}, .Stepping = {4}, .L2Size = {1024}},
     .Name = {"Prescott (rev. D0)", kPentium4, kPentium4Logo, kLGA775, kCu009CDO}},
    {.Keys = {.Model = {3}, .Stepping = {4}},
     .Name = {"Prescott (rev. D0)", nullptr, kPentium4Logo, nullptr, kCu009CDO}},
    {.Keys = {.Model = {3}, .Stepping = {7}},
     .Name = {"Nocona", kXeon, 500, kSocket604, kCu009CDO}},
    // Model 4.
    {.Keys = {.Model = {4}, .BrandID = {0x0C}, .L3 = tFlag::Set, .AA64 = tFlag::Set},
     .Name = {"Potomac", kXeonMP, 505, kSocket604, kCu009CDO}},
    {.Keys = {.Model = {4}, .BrandID = {0x0C}, .L3 = tFlag::Clear, .AA64 = tFlag::Set},
     .Name = {"Cranford", kXeonMP, 505, kSocket604, kCu009CDO}},
    {.Keys = {.Model = {4}, .Stepping = {1}},
     .Name = {"Prescott (rev. E0)", kPentium4, kPentium4Logo, kLGA775, kCu009CDO},
     .Then = kPrescottE0},
    {.Keys = {.Model = {4}, .Stepping = {3}},
     .Name = {"Prescott (N0)", kPentium4, kPentium4Logo, kLGA775, kCu009CDO, "125M", "112 sqr. mm"},
     .Then = kPrescottN0},
    {.Keys = {.Model = {4}, .Stepping = {4}},
     .Name = {"Smithfield", "Intel Pentium D Processor", 490, kLGA775, kCu009CDO, "230M",
              "206 sqr. mm"},
     .Then = kSmithfield},
};

// Mobile parts of model 2, told by their brand IDs.
constexpr tThenRow kPentium4Then[] = {
    {.Keys = {.Model = {2}, .BrandID = {0x0E, 0x0F}, .LogoKey = {kPentium4Logo}},
     .Name = {nullptr, "Intel Pentium-IV Mobile Processor", 460}},
    {.Keys = {.Model = {2}, .BrandID = {0x08, 0x0F}, .LogoKey = {430}},
     .Name = {nullptr, "Intel Celeron Mobile Processor", 465}},
};

// ---- All families ----------------------------------------------------------------------

// The family-6 rows describe processors up to Pentium M only: extended model 0. Family 15
// with a non-zero extended family is an Itanium 2 only where the IA64 flag says so.
constexpr tFamily kFamilies[] = {
    {.Keys = {.Family = {3}}, .Preset = {.Platform = ""}, .Rows = kFamily3},
    {.Keys = {.Family = {4}}, .Preset = {.Platform = ""}, .Rows = kFamily4},
    {.Keys = {.Family = {5}}, .Preset = {.Platform = "Socket 7"}, .Rows = kFamily5},
    {.Keys = {.Family = {6}, .ExtModel = {0}},
     .Leads = kFamily6Leads,
     .Rows = kFamily6,
     .Then = kFamily6Then},
    {.Keys = {.Family = {7}}, .Preset = {"Merced", "Intel Itanium", 510}},
    {.Keys = {.Family = {15}, .ExtFamily = {0}},
     .Leads = kPentium4Leads,
     .Rows = kPentium4Rows,
     .Then = kPentium4Then},
    {.Keys = {.Family = {15}, .ExtFamily = {1}, .IA64 = tFlag::Set},
     .Preset = {"McKinley", "Intel Itanium 2", 515}},
    {.Keys = {.Family = {15}, .ExtFamily = {2, 255}, .IA64 = tFlag::Set},
     .Preset = {"Madison", "Intel Itanium 2", 515}},
};

// Applied to every Intel processor once its family is done.
constexpr tThenRow kFinalAdjustments[] = {
    {.Keys = {.L3 = tFlag::Set, .LogoKey = {kPentium4Logo}},
     .Name = {"Gallatin", "Intel Pentium-IV Extreme Edition Processor", 480, nullptr, nullptr,
              "178M"}},
    {.Keys = {.HTT = tFlag::Set, .LogoKey = {kPentium4Logo}}, .Name = {.LogoKey = 475}},
};

// ---- Selection -------------------------------------------------------------------------

// The records of the processor being named.
struct tSlot {
  const tCPUid_m& Id;
  tCPUfeatures& Features;
  tlevel1& Level1;
  tlevel2& Level2;
  const tlevel3& Level3;
  tnameinfo& Name;
  std::uint8_t& MultiplierMethod;
  std::uint8_t& BusFactor;
  std::function<void()> MeasureClocks;
};

bool Matches(const tKeys& k, const tSlot& s) {
  const tCPUid_m& id = s.Id;
  return k.Family.Holds(id.Family) && k.ExtFamily.Holds(id.ExtFamily) &&
         k.ExtModel.Holds(id.ExtModel) && FlagHolds(k.IA64, s.Features.IA64) &&
         k.Model.Holds(id.Model) && k.Stepping.Holds(id.Stepping) && k.CPUType.Holds(id.CPUType) &&
         k.L2Size.Holds(s.Level2.Size) && k.BrandID.Holds(id.BrandID) &&
         FlagHolds(k.L3, s.Level3.Present) && FlagHolds(k.AA64, id.AA64) &&
         FlagHolds(k.NX, s.Features.NX) && FlagHolds(k.HTT, s.Features.HTT) &&
         FlagHolds(k.SpeedStep, s.Features.SpeedStep) && k.LogoKey.Holds(s.Name.LogoKey);
}

template <typename Row>
const Row* FirstMatch(std::span<const Row> rows, const tSlot& slot) {
  for (const Row& row : rows) {
    if (Matches(row.Keys, slot)) return &row;
  }
  return nullptr;
}

void ApplyHints(const tHints& hints, tSlot& slot) {
  if (hints.MultiplierMethod != 0) slot.MultiplierMethod = hints.MultiplierMethod;
  if (hints.BusFactor != 0) slot.BusFactor = hints.BusFactor;
  if (hints.Measure) slot.MeasureClocks();
}

void ApplyThenRows(std::span<const tThenRow> rows, tSlot& slot) {
  for (const tThenRow& row : rows) {
    if (!Matches(row.Keys, slot)) continue;
    ApplyHints(row.Hints, slot);
    ApplyNameRow(slot.Name, row.Name);
    if (row.AppendCodeName != nullptr) slot.Name.CodeName.Append(row.AppendCodeName);
  }
}

void ApplyRow(const tRow& row, tSlot& slot) {
  ApplyNameRow(slot.Name, row.Name);
  if (row.SetsSpeedStep) slot.Features.SpeedStep = 1;
  for (const tLevel1Value& value : row.Level1)
    slot.Level1.*value.Field = value.Value;
  if (row.NoLevel2) slot.Level2.Present = 0;
  ApplyThenRows(row.Then, slot);
}

void ApplyFamily(const tFamily& family, tSlot& slot) {
  ApplyNameRow(slot.Name, family.Preset);
  if (const tLead* lead = FirstMatch(family.Leads, slot)) {
    ApplyNameRow(slot.Name, lead->BeforeHints);
    ApplyHints(lead->Hints, slot);
    ApplyNameRow(slot.Name, lead->AfterHints);
  }
  if (const tRow* row = FirstMatch(family.Rows, slot)) ApplyRow(*row, slot);
  ApplyThenRows(family.Then, slot);
}

}  // namespace

void cCPUid::NameIntel(unsigned i) {
  if (i >= SlotCount()) return;
  level2[i].UnitCount = 1;
  tSlot slot{CPUid_m[i],          CPUfeatures[i],      level1[i],
             level2[i],           level3[i],           nameinfo[i],
             MultiplierMethod[i], Clocks[i].BusFactor, [this, i] { MeasureClocks(i); }};
  if (const tFamily* family = FirstMatch(std::span<const tFamily>(kFamilies), slot))
    ApplyFamily(*family, slot);
  ApplyThenRows(kFinalAdjustments, slot);
}
