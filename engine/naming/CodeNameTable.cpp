// The code-name table and the marketing lines. Source keys: K = the Linux kernel's Intel
// family header (INTEL_* names); KA = the Linux kernel's AMD Zen model ranges; IL = the
// InstLatx64 CPUID collection (file name = leaf-1 EAX and label); LC = libcpuid's match
// tables and test corpus; TA = the cpuid tool's synthesis tables; W = product lists, used
// only where the others are silent; SDM/BKDG/PPR = the vendors' manuals.
#include "engine/naming/CodeNameTable.h"

#include <array>

namespace {

using enum tMaker;
using enum tRatioRegisters;

constexpr std::uint8_t kAnyStepping = 0xFF;

constexpr tCodeNameKeys Intel6(std::uint16_t model, const char* brand = nullptr) {
  return {Intel, 6, model, model, 0, kAnyStepping, brand};
}
constexpr tCodeNameKeys Intel6(std::uint16_t model, std::uint8_t first, std::uint8_t last,
                               const char* brand = nullptr) {
  return {Intel, 6, model, model, first, last, brand};
}
// A row's keys with the counts or the cache sizes that tell two dies of one signature apart.
constexpr tCodeNameKeys WithCores(tCodeNameKeys keys, std::uint32_t first, std::uint32_t last) {
  keys.Cores = {first, last};
  return keys;
}
constexpr tCodeNameKeys IntelFamily(std::uint16_t family, std::uint16_t model) {
  return {Intel, family, model, model, 0, kAnyStepping, nullptr};
}
constexpr tCodeNameKeys Netburst(std::uint16_t model, std::uint8_t first, std::uint8_t last,
                                 const char* brand = nullptr) {
  return {Intel, 15, model, model, first, last, brand};
}
constexpr tCodeNameKeys AmdModels(std::uint16_t family, std::uint16_t first, std::uint16_t last,
                                  const char* brand = nullptr) {
  return {Amd, family, first, last, 0, kAnyStepping, brand};
}
constexpr tCodeNameKeys AmdModel(std::uint16_t family, std::uint16_t model,
                                 const char* brand = nullptr) {
  return AmdModels(family, model, model, brand);
}
constexpr tCodeNameKeys HygonModels(std::uint16_t first, std::uint16_t last) {
  return {Hygon, 0x18, first, last, 0, kAnyStepping, nullptr};
}
constexpr tCodeNameKeys CentaurModel(std::uint16_t family, std::uint16_t model,
                                     std::uint8_t first = 0, std::uint8_t last = kAnyStepping,
                                     const char* brand = nullptr) {
  return {Centaur, family, model, model, first, last, brand};
}

// Micro-architectures.
constexpr const char* kCore = "Core";
constexpr const char* kPenryn = "Penryn";
constexpr const char* kNehalem = "Nehalem";
constexpr const char* kWestmere = "Westmere";
constexpr const char* kBonnell = "Bonnell";
constexpr const char* kSaltwell = "Saltwell";
constexpr const char* kSilvermont = "Silvermont";
constexpr const char* kAirmont = "Airmont";
constexpr const char* kGoldmont = "Goldmont";
constexpr const char* kGoldmontPlus = "Goldmont Plus";
constexpr const char* kTremont = "Tremont";
constexpr const char* kGracemont = "Gracemont";
constexpr const char* kCrestmont = "Crestmont";
constexpr const char* kSkymont = "Skymont";
constexpr const char* kDarkmont = "Darkmont";
constexpr const char* kSandyBridge = "Sandy Bridge";
constexpr const char* kIvyBridge = "Ivy Bridge";
constexpr const char* kHaswell = "Haswell";
constexpr const char* kBroadwell = "Broadwell";
constexpr const char* kSkylake = "Skylake";
constexpr const char* kKabyLake = "Kaby Lake";
constexpr const char* kCoffeeLake = "Coffee Lake";
constexpr const char* kCometLake = "Comet Lake";
constexpr const char* kCascadeLake = "Cascade Lake";
constexpr const char* kSunnyCove = "Sunny Cove";
constexpr const char* kWillowCove = "Willow Cove";
constexpr const char* kCypressCove = "Cypress Cove";
constexpr const char* kGoldenCove = "Golden Cove";
constexpr const char* kRaptorCove = "Raptor Cove";
constexpr const char* kRedwoodCove = "Redwood Cove";
constexpr const char* kLionCove = "Lion Cove";
constexpr const char* kCougarCove = "Cougar Cove";
constexpr const char* kK10 = "K10";
constexpr const char* kBobcat = "Bobcat";
constexpr const char* kBulldozer = "Bulldozer";
constexpr const char* kPiledriver = "Piledriver";
constexpr const char* kSteamroller = "Steamroller";
constexpr const char* kExcavator = "Excavator";
constexpr const char* kJaguar = "Jaguar";
constexpr const char* kPuma = "Puma";
constexpr const char* kZen = "Zen";
constexpr const char* kZenPlus = "Zen+";
constexpr const char* kZen2 = "Zen 2";
constexpr const char* kZen3 = "Zen 3";
constexpr const char* kZen3Plus = "Zen 3+";
constexpr const char* kZen4 = "Zen 4";
constexpr const char* kZen4c = "Zen 4c";
constexpr const char* kZen5 = "Zen 5";
constexpr const char* kZen5c = "Zen 5c";
constexpr const char* kZen6 = "Zen 6";
constexpr const char* kZhangJiang = "ZhangJiang";

// Processes.
constexpr const char* k65 = "65 nm";
constexpr const char* k45 = "45 nm";
constexpr const char* k32 = "32 nm";
constexpr const char* k22 = "22 nm";
constexpr const char* k14 = "14 nm";
constexpr const char* k14Plus = "14 nm+";
constexpr const char* k14PlusPlus = "14 nm++";
constexpr const char* k10 = "10 nm";
constexpr const char* k10SuperFin = "10 nm SuperFin";
constexpr const char* kIntel7 = "Intel 7";
constexpr const char* kIntel4 = "Intel 4";
constexpr const char* kIntel3 = "Intel 3";
constexpr const char* kIntel18A = "Intel 18A";
constexpr const char* kN3B = "TSMC N3B";
constexpr const char* kSoi65 = "65 nm SOI";
constexpr const char* kSoi45 = "45 nm SOI";
constexpr const char* kGf32 = "GF 32 nm SOI";
constexpr const char* kGf28 = "GF 28 nm";
constexpr const char* kTsmc28 = "TSMC 28 nm";
constexpr const char* kGf14 = "GF 14 nm";
constexpr const char* kGf12 = "GF 12 nm";
constexpr const char* kN7 = "TSMC N7";
constexpr const char* kN7Io14 = "TSMC N7 + GF 14 nm I/O";
constexpr const char* kN7Io12 = "TSMC N7 + GF 12 nm I/O";
constexpr const char* kN6 = "TSMC N6";
constexpr const char* kN5 = "TSMC N5";
constexpr const char* kN5Io6 = "TSMC N5 + N6 I/O";
constexpr const char* kN4 = "TSMC N4";
constexpr const char* kN4P = "TSMC N4P";
constexpr const char* kN4PIo6 = "TSMC N4P + N6 I/O";

// clang-format off
constexpr tCodeNameRow kRows[] = {
    // ---- Intel family 6 -------------------------------------------------------------------
    // Xeon brands first: on equal keys the earlier row wins.
    {Intel6(0x0F, "Xeon CPU [EXL]51##"), {"Woodcrest", kCore, nullptr, k65, "server"}, {"LGA771"}, None, "IL 06F4 Woodcrest; LC"},
    {Intel6(0x0F, "Xeon CPU [EXL]53##"), {"Clovertown", kCore, nullptr, k65, "server"}, {"LGA771"}, None, "IL 06F7 Clovertown; LC"},
    {Intel6(0x0F, "Xeon CPU [EXL]73##"), {"Tigerton", kCore, nullptr, k65, "server"}, {"Socket 604"}, None, "IL 06F9 Tigerton; LC"},
    {Intel6(0x0F, "Xeon CPU X32##"), {"Kentsfield", kCore, nullptr, k65, "server"}, {"LGA775"}, None, "LC; W"},
    {Intel6(0x0F, "Xeon CPU 30##"), {"Conroe", kCore, nullptr, k65, "server"}, {"LGA775"}, None, "LC; W"},
    {Intel6(0x0F, "Core2 Quad"), {"Kentsfield", kCore, nullptr, k65, "desktop"}, {"LGA775"}, None, "IL 06F7 Kentsfield; LC"},
    {Intel6(0x0F, " QX6###"), {"Kentsfield", kCore, nullptr, k65, "desktop"}, {"LGA775"}, None, "LC; W"},
    {Intel6(0x0F, " X6800"), {"Conroe", kCore, nullptr, k65, "desktop"}, {"LGA775", "291M", "143 sqr. mm"}, None, "IL 06F6 Conroe; LC"},
    {Intel6(0x0F, " E6###"), {"Conroe", kCore, nullptr, k65, "desktop"}, {"LGA775"}, None, "IL 06F2 Conroe; LC"},
    {Intel6(0x0F, " E4###"), {"Allendale", kCore, nullptr, k65, "desktop"}, {"LGA775", "167M", "111 sqr. mm"}, None, "LC; W"},
    {Intel6(0x0F, " E[12]###"), {"Allendale", kCore, nullptr, k65, "desktop"}, {"LGA775", "167M", "111 sqr. mm"}, None, "W (Intel: Pentium Dual-Core E2000 and Celeron E1000, products formerly Allendale)"},
    // The first Core 2 Duo brands give the bare number: "Core2 CPU 6600", "Core2 CPU 4300".
    {Intel6(0x0F, "Core2 CPU 6###"), {"Conroe", kCore, nullptr, k65, "desktop"}, {"LGA775", "291M", "143 sqr. mm"}, None, "IL 06F6 Conroe; W (Intel: Core 2 Duo E6000, products formerly Conroe)"},
    {Intel6(0x0F, "Core2 CPU 4###"), {"Allendale", kCore, nullptr, k65, "desktop"}, {"LGA775", "167M", "111 sqr. mm"}, None, "W (Intel: Core 2 Duo E4000, products formerly Allendale)"},
    {Intel6(0x0F, " [TLU]7###"), {"Merom", kCore, nullptr, k65, "mobile"}, {}, None, "IL 06F6 Merom; LC"},
    {Intel6(0x0F, " T5###"), {"Merom", kCore, nullptr, k65, "mobile"}, {}, None, "IL 06F6 Merom; LC"},
    {Intel6(0x0F, " T[123]###"), {"Merom", kCore, nullptr, k65, "mobile"}, {}, None, "W (Intel: Pentium Dual-Core T2000/T3000 and Celeron T1000 on model 0Fh, products formerly Merom)"},
    // Four cores in leaf 4 are the two-die parts, never Merom.
    {WithCores(Intel6(0x0F), 4, 4), {"Kentsfield/Clovertown", kCore, nullptr, k65, "desktop/server"}, {}, None, "IL 06F7 Kentsfield/Clovertown; W (Intel: Core 2 Quad Q6000, Xeon 3200 and 5300)"},
    {Intel6(0x0F), {"Conroe/Merom", kCore, nullptr, k65, "desktop/mobile"}, {}, None, "K CORE2_MEROM; IL 06F2 Conroe, 06F6 Merom; LC"},
    {Intel6(0x15), {"Tolapai", "Pentium M", nullptr, "90 nm", "embedded"}, {}, None, "IL 10650 Tolapai; TA", true},
    {Intel6(0x16, "Celeron M"), {"Merom-L", kCore, nullptr, k65, "mobile"}, {}, None, "K CORE2_MEROM_L; LC"},
    {Intel6(0x16), {"Conroe-L", kCore, nullptr, k65, "value"}, {"LGA775"}, None, "K CORE2_MEROM_L; IL 10661 ConroeL"},
    {Intel6(0x17, "Xeon CPU [EXL]54##"), {"Harpertown", kPenryn, nullptr, k45, "server"}, {"LGA771"}, None, "IL 10676 Harpertown; LC"},
    {Intel6(0x17, "Xeon CPU [EXL]52##"), {"Wolfdale-DP", kPenryn, nullptr, k45, "server"}, {"LGA771"}, None, "LC; W"},
    {Intel6(0x17, "Xeon CPU [EXL]33##"), {"Yorkfield", kPenryn, nullptr, k45, "server"}, {"LGA775"}, None, "LC; W"},
    {Intel6(0x17, "Xeon CPU [EXL]31##"), {"Wolfdale", kPenryn, nullptr, k45, "server"}, {"LGA775"}, None, "LC; W"},
    {Intel6(0x17, " Q[89]###"), {"Yorkfield", kPenryn, nullptr, k45, "desktop"}, {"LGA775"}, None, "IL 10676 Yorkfield; LC"},
    {Intel6(0x17, " QX9###"), {"Yorkfield", kPenryn, nullptr, k45, "desktop"}, {"LGA775"}, None, "IL 10676 Yorkfield; LC"},
    {Intel6(0x17, " E8###"), {"Wolfdale", kPenryn, nullptr, k45, "desktop"}, {"LGA775", "410M", "107 sqr. mm"}, None, "LC; W"},
    {Intel6(0x17, " E7###"), {"Wolfdale-3M", kPenryn, nullptr, k45, "desktop"}, {"LGA775", "230M", "82 sqr. mm"}, None, "LC; W"},
    // Not " E5###" alone: a Xeon E5400 (Harpertown) carries that too.
    {Intel6(0x17, "Dual-Core CPU E[56]###"), {"Wolfdale-3M", kPenryn, nullptr, k45, "desktop"}, {"LGA775", "230M", "82 sqr. mm"}, None, "LC; W (Intel: Pentium E5000/E6000, products formerly Wolfdale)"},
    {Intel6(0x17, "Celeron CPU E3###"), {"Wolfdale-3M", kPenryn, nullptr, k45, "desktop"}, {"LGA775", "230M", "82 sqr. mm"}, None, "LC; W (Intel: Celeron E3000, products formerly Wolfdale)"},
    {Intel6(0x17, "Pentium Dual-Core CPU T4###"), {"Penryn-3M", kPenryn, nullptr, k45, "mobile"}, {}, None, "W (Pentium T4000 series)"},
    {Intel6(0x17, " [TP][6789]###"), {"Penryn", kPenryn, nullptr, k45, "mobile"}, {}, None, "IL 10676 Penryn; W (Intel: Core 2 Duo T/P series, products formerly Penryn)"},
    {Intel6(0x17, " S[LPU]9###"), {"Penryn", kPenryn, nullptr, k45, "mobile"}, {}, None, "W (Intel: Core 2 Duo SL/SP/SU 9000, products formerly Penryn)"},
    {WithCores(Intel6(0x17), 4, 4), {"Yorkfield", kPenryn, nullptr, k45, "desktop/server"}, {"LGA775"}, None, "IL 10676/1067A Yorkfield; W (Intel: four-core Core 2 Quad/Extreme on 45 nm, products formerly Yorkfield)"},
    {Intel6(0x17), {"Penryn/Wolfdale", kPenryn, nullptr, k45, "mobile/desktop"}, {}, None, "K CORE2_PENRYN; IL 10676/1067A Penryn"},
    {Intel6(0x1A, "Xeon CPU W35##"), {"Bloomfield", kNehalem, nullptr, k45, "workstation"}, {"LGA1366", "731M", "263 sqr. mm"}, IntelNehalem, "LC; W"},
    {Intel6(0x1A, "Xeon CPU"), {"Gainestown", kNehalem, nullptr, k45, "server"}, {"LGA1366", "731M", "263 sqr. mm"}, IntelNehalem, "IL 106A2 Nehalem-EP; LC"},
    {Intel6(0x1A), {"Bloomfield", kNehalem, nullptr, k45, "HEDT"}, {"LGA1366", "731M", "263 sqr. mm"}, IntelNehalem, "K NEHALEM_EP; IL 106A4 Bloomfield"},
    {Intel6(0x1C, 2, 2, "Atom CPU [23]##"), {"Diamondville", kBonnell, nullptr, k45, "netbook/nettop"}, {}, None, "LC; W (Intel product pages: Atom 230/330 and N2xx)"},
    {Intel6(0x1C, 2, 2, "Atom CPU N2##"), {"Diamondville", kBonnell, nullptr, k45, "netbook"}, {}, None, "LC; W"},
    {Intel6(0x1C, 2, 2), {"Silverthorne", kBonnell, nullptr, k45, "MID"}, {}, None, "K ATOM_BONNELL; IL 106C2 Silverthorne"},
    {Intel6(0x1C, 10, 10, "Atom CPU D"), {"Pineview-D", kBonnell, nullptr, k45, "nettop"}, {}, None, "IL 106CA PineviewD; LC"},
    {Intel6(0x1C, 10, 10, "Atom CPU N"), {"Pineview-M", kBonnell, nullptr, k45, "netbook"}, {}, None, "LC; W"},
    {Intel6(0x1C, 10, 10), {"Pineview", kBonnell, nullptr, k45, "netbook/nettop"}, {}, None, "K ATOM_BONNELL; IL 106CA"},
    {Intel6(0x1C), {nullptr, kBonnell, nullptr, k45, nullptr}, {}, None, "K ATOM_BONNELL"},
    {Intel6(0x1D), {"Dunnington", kPenryn, nullptr, k45, "server"}, {"Socket 604"}, None, "K CORE2_DUNNINGTON; IL 106D0/106D1"},
    {Intel6(0x1E, "C55##"), {"Jasper Forest", kNehalem, nullptr, k45, "embedded"}, {}, IntelNehalem, "LC; W"},
    {Intel6(0x1E, "CPU Q ###"), {"Clarksfield", kNehalem, nullptr, k45, "mobile"}, {"rPGA988A", "774M", "296 sqr. mm"}, IntelNehalem, "IL 106E5 Clarksfield; LC"},
    {Intel6(0x1E, "CPU X ###"), {"Clarksfield", kNehalem, nullptr, k45, "mobile"}, {"rPGA988A", "774M", "296 sqr. mm"}, IntelNehalem, "LC; W"},
    {Intel6(0x1E), {"Lynnfield", kNehalem, nullptr, k45, "desktop"}, {"LGA1156", "774M", "296 sqr. mm"}, IntelNehalem, "K NEHALEM; IL 106E5 Lynnfield"},
    {Intel6(0x1F), {"Auburndale", kNehalem, nullptr, k45, nullptr}, {}, IntelNehalem, "K NEHALEM_G; IL 106F1", true},
    {Intel6(0x25, "CPU [MULPE] ###"), {"Arrandale", kWestmere, nullptr, k32, "mobile"}, {"rPGA988A"}, IntelNehalem, "LC; W"},
    {Intel6(0x25), {"Clarkdale", kWestmere, nullptr, k32, "desktop"}, {"LGA1156"}, IntelNehalem, "K WESTMERE; IL 20652 Clarkdale"},
    {Intel6(0x26, "Atom CPU E6##"), {"Tunnel Creek", kBonnell, nullptr, k45, "embedded"}, {}, None, "IL 20661 TunnelCreek; LC"},
    {Intel6(0x26), {"Lincroft", kBonnell, nullptr, k45, "MID"}, {}, None, "K ATOM_BONNELL_MID; LC"},
    {Intel6(0x27), {"Penwell", kSaltwell, nullptr, k32, "phone"}, {}, None, "K ATOM_SALTWELL_MID; IL 20672 Medfield"},
    {Intel6(0x2A, "Xeon CPU E3-12## "), {"Sandy Bridge", kSandyBridge, nullptr, k32, "server"}, {"LGA1155"}, IntelCore, "LC; W"},
    {Intel6(0x2A), {"Sandy Bridge", kSandyBridge, nullptr, k32, "desktop/mobile"}, {}, IntelCore, "K SANDYBRIDGE; IL 206A2/206A7"},
    {Intel6(0x2C, "Xeon CPU [XEL]56##"), {"Westmere-EP", kWestmere, nullptr, k32, "server"}, {"LGA1366", "1170M", "248 sqr. mm"}, IntelNehalem, "LC; W (Intel: Xeon 5600, products formerly Westmere-EP)"},
    {Intel6(0x2C, "Xeon CPU W36##"), {"Gulftown", kWestmere, nullptr, k32, "workstation"}, {"LGA1366", "1170M", "248 sqr. mm"}, IntelNehalem, "W (Intel: Xeon W3600, products formerly Gulftown)"},
    {Intel6(0x2C, "i7 CPU X 9#0"), {"Gulftown", kWestmere, nullptr, k32, "HEDT"}, {"LGA1366", "1170M", "248 sqr. mm"}, IntelNehalem, "IL 206C2 Gulftown; W (Intel: Core i7-980X/990X, products formerly Gulftown)"},
    {Intel6(0x2C, "i7 CPU 9#0"), {"Gulftown", kWestmere, nullptr, k32, "HEDT"}, {"LGA1366", "1170M", "248 sqr. mm"}, IntelNehalem, "W (Intel: Core i7-970/980, products formerly Gulftown)"},
    {Intel6(0x2C), {"Gulftown/Westmere-EP", kWestmere, nullptr, k32, "HEDT/server"}, {"LGA1366", "1170M", "248 sqr. mm"}, IntelNehalem, "K WESTMERE_EP; IL 206C1/206C2 Gulftown"},
    {Intel6(0x2D, "Core i7-3###"), {"Sandy Bridge-E", kSandyBridge, nullptr, k32, "HEDT"}, {"LGA2011", "2270M", "435 sqr. mm"}, IntelCore, "IL 206D6/206D7 SandyBridgeE; LC"},
    {Intel6(0x2D), {"Sandy Bridge-EP", kSandyBridge, nullptr, k32, "server"}, {"LGA2011", "2270M", "435 sqr. mm"}, IntelCore, "K SANDYBRIDGE_X; IL 206D5 SandyBridgeEP"},
    {Intel6(0x2E), {"Beckton", kNehalem, nullptr, k45, "server"}, {"LGA1567", "2300M", "684 sqr. mm"}, IntelNehalem, "K NEHALEM_EX; IL 206E4-206E6 Beckton"},
    {Intel6(0x2F), {"Westmere-EX", kWestmere, nullptr, k32, "server"}, {"LGA1567", "2600M", "513 sqr. mm"}, IntelNehalem, "K WESTMERE_EX; IL 206F2 Eagleton"},
    {Intel6(0x35), {"Cloverview", kSaltwell, nullptr, k32, "tablet"}, {}, None, "K ATOM_SALTWELL_TABLET; IL 30651"},
    {Intel6(0x36, 9, 9), {"Centerton", kSaltwell, nullptr, k32, "micro-server"}, {}, None, "IL 30669 Centerton"},
    {Intel6(0x36), {"Cedarview", kSaltwell, nullptr, k32, "netbook/nettop"}, {}, None, "K ATOM_SALTWELL; IL 30661 Cedarview"},
    {Intel6(0x37, "Atom CPU Z3###"), {"Bay Trail-T", kSilvermont, nullptr, k22, "tablet"}, {}, None, "LC; W"},
    {Intel6(0x37, "Atom CPU E3###"), {"Bay Trail-I", kSilvermont, nullptr, k22, "embedded"}, {}, None, "LC; W"},
    {Intel6(0x37, " [JG]####"), {"Bay Trail-D", kSilvermont, nullptr, k22, "desktop"}, {}, None, "LC; W"},
    {Intel6(0x37, " N####"), {"Bay Trail-M", kSilvermont, nullptr, k22, "mobile"}, {}, None, "LC; W"},
    {Intel6(0x37), {"Bay Trail", kSilvermont, nullptr, k22, "tablet/entry/embedded"}, {}, None, "K ATOM_SILVERMONT; IL 30673/30678/30679"},
    {Intel6(0x3A, "Xeon CPU E3-12## "), {"Ivy Bridge", kIvyBridge, nullptr, k22, "server"}, {"LGA1155"}, IntelCore, "LC; W"},
    {Intel6(0x3A), {"Ivy Bridge", kIvyBridge, nullptr, k22, "desktop/mobile"}, {}, IntelCore, "K IVYBRIDGE; IL 306A9"},
    {Intel6(0x3C), {"Haswell", kHaswell, nullptr, k22, "desktop/mobile"}, {}, IntelCore, "K HASWELL; IL 306C3"},
    {Intel6(0x3D, "#Y##"), {"Broadwell-Y", kBroadwell, nullptr, k14, "mobile"}, {}, IntelCore, "LC; W"},
    {Intel6(0x3D), {"Broadwell-U", kBroadwell, nullptr, k14, "mobile"}, {}, IntelCore, "K BROADWELL; IL 306D4"},
    {Intel6(0x3E, "Core i7-4###"), {"Ivy Bridge-E", kIvyBridge, nullptr, k22, "HEDT"}, {"LGA2011"}, IntelCore, "IL 306E4 IvyBridgeE; LC"},
    {Intel6(0x3E, "Xeon CPU E7-"), {"Ivy Bridge-EX", kIvyBridge, nullptr, k22, "server"}, {"LGA2011-1"}, IntelCore, "LC; W"},
    {Intel6(0x3E), {"Ivy Bridge-EP", kIvyBridge, nullptr, k22, "server"}, {"LGA2011"}, IntelCore, "K IVYBRIDGE_X; IL 306E3"},
    {Intel6(0x3F, "Core i7-5###"), {"Haswell-E", kHaswell, nullptr, k22, "HEDT"}, {"LGA2011-3"}, IntelCore, "IL 306F2 HaswellE; LC"},
    {Intel6(0x3F, "Xeon CPU E7-"), {"Haswell-EX", kHaswell, nullptr, k22, "server"}, {"LGA2011-1"}, IntelCore, "LC; W"},
    {Intel6(0x3F), {"Haswell-EP", kHaswell, nullptr, k22, "server"}, {"LGA2011-3"}, IntelCore, "K HASWELL_X; IL 306F2 HaswellEP"},
    {Intel6(0x45), {"Haswell-ULT", kHaswell, nullptr, k22, "mobile"}, {}, IntelCore, "K HASWELL_L; IL 40651 HaswellULT"},
    {Intel6(0x46), {"Crystal Well", kHaswell, nullptr, k22, "mobile/desktop"}, {}, IntelCore, "K HASWELL_G; IL 40661 CrystalWell"},
    {Intel6(0x47), {"Broadwell-H", kBroadwell, nullptr, k14, "desktop/mobile"}, {}, IntelCore, "K BROADWELL_G; IL 40671 BroadwellH; LC"},
    {Intel6(0x4A), {"Merrifield", kSilvermont, nullptr, k22, "phone/tablet"}, {}, None, "K ATOM_SILVERMONT_MID"},
    {Intel6(0x4C, "Atom x#-Z8"), {"Cherry Trail", kAirmont, nullptr, k14, "tablet"}, {}, None, "IL 406C3 CherryTrail; LC"},
    {Intel6(0x4C), {"Braswell", kAirmont, nullptr, k14, "entry"}, {}, None, "K ATOM_AIRMONT; IL 406C3 Braswell; LC"},
    {Intel6(0x4D, "Atom CPU C2##8"), {"Rangeley", kSilvermont, nullptr, k22, "network"}, {}, None, "IL 406D8 Rangeley"},
    {Intel6(0x4D), {"Avoton", kSilvermont, nullptr, k22, "micro-server"}, {}, None, "K ATOM_SILVERMONT_D; IL 406D8 Avoton"},
    {Intel6(0x4E, "#Y##"), {"Skylake-Y", kSkylake, nullptr, k14, "mobile"}, {}, IntelCore, "LC; W"},
    {Intel6(0x4E), {"Skylake-U", kSkylake, nullptr, k14, "mobile"}, {}, IntelCore, "K SKYLAKE_L; IL 406E3"},
    {Intel6(0x4F, "Core i7-6###"), {"Broadwell-E", kBroadwell, nullptr, k14, "HEDT"}, {"LGA2011-3"}, IntelCore, "IL 406F1 BroadwellE; LC"},
    {Intel6(0x4F, "Xeon CPU E7-"), {"Broadwell-EX", kBroadwell, nullptr, k14, "server"}, {"LGA2011-1"}, IntelCore, "LC; W"},
    {Intel6(0x4F), {"Broadwell-EP", kBroadwell, nullptr, k14, "server"}, {"LGA2011-3"}, IntelCore, "K BROADWELL_X; IL 406F1"},
    {Intel6(0x55, 0, 4, "Core i[79]-"), {"Skylake-X", kSkylake, nullptr, k14, "HEDT"}, {"LGA2066"}, IntelCore, "IL 50654 SkylakeX; LC"},
    {Intel6(0x55, 0, 4, "Xeon W-21##"), {"Skylake-W", kSkylake, nullptr, k14, "workstation"}, {"LGA2066"}, IntelCore, "LC; W"},
    {Intel6(0x55, 0, 4, "Xeon D-21##"), {"Skylake-D", kSkylake, nullptr, k14, "server SoC"}, {"BGA2518"}, IntelCore, "W (Intel: Xeon D-2100, products formerly Skylake-D)"},
    {Intel6(0x55, 0, 4, "Montage"), {"Jintide", kSkylake, nullptr, k14, "server"}, {"LGA3647"}, IntelCore, "IL 50654 Jintide"},
    {Intel6(0x55, 0, 4), {"Skylake-SP", kSkylake, nullptr, k14, "server"}, {"LGA3647"}, IntelCore, "K SKYLAKE_X; IL 50654 SkylakeXeon; LC; TA"},
    {Intel6(0x55, 5, 7, "Core i9-10###"), {"Cascade Lake-X", kCascadeLake, nullptr, k14PlusPlus, "HEDT"}, {"LGA2066"}, IntelCore, "LC; W"},
    {Intel6(0x55, 5, 7, "Xeon W-[23]2##"), {"Cascade Lake-W", kCascadeLake, nullptr, k14PlusPlus, "workstation"}, {}, IntelCore, "LC; W"},
    {Intel6(0x55, 5, 7, "Xeon Platinum 92##"), {"Cascade Lake-AP", kCascadeLake, nullptr, k14PlusPlus, "server"}, {"BGA5903"}, IntelCore, "LC; W"},
    {Intel6(0x55, 5, 7), {"Cascade Lake-SP", kCascadeLake, nullptr, k14PlusPlus, "server"}, {"LGA3647"}, IntelCore, "K CASCADELAKE_X s:7; IL 50656 CascadeLakeSP/50657; TA"},
    {Intel6(0x55, 10, 11), {"Cooper Lake", "Cooper Lake", nullptr, k14PlusPlus, "server"}, {"LGA4189"}, IntelCore, "K COOPERLAKE_X s:11; TA"},
    {Intel6(0x56), {"Broadwell-DE", kBroadwell, nullptr, k14, "server SoC"}, {}, IntelCore, "K BROADWELL_D; IL 50662/50664"},
    {Intel6(0x57), {"Knights Landing", "Knights Landing", nullptr, k14, "HPC"}, {}, None, "K XEON_PHI_KNL; IL 50670/50671"},
    {Intel6(0x5A), {"Moorefield", kSilvermont, nullptr, k22, "phone/tablet"}, {}, None, "K ATOM_SILVERMONT_MID2; IL 506A0 Moorefield"},
    {Intel6(0x5C), {"Apollo Lake", kGoldmont, nullptr, k14, "entry/embedded"}, {}, IntelCore, "K ATOM_GOLDMONT; IL 506C9/506CA; LC"},
    {Intel6(0x5D), {"SoFIA", kSilvermont, nullptr, "TSMC 28 nm", "phone/tablet"}, {}, None, "IL 506D1 SoFIA; TA; W (node)", true},
    {Intel6(0x5E, "Xeon CPU E3-12## v5"), {"Skylake-S", kSkylake, nullptr, k14, "server"}, {"LGA1151"}, IntelCore, "LC; W"},
    {Intel6(0x5E, "-6###H"), {"Skylake-H", kSkylake, nullptr, k14, "mobile"}, {}, IntelCore, "LC; W"},
    {Intel6(0x5E), {"Skylake-S", kSkylake, nullptr, k14, "desktop"}, {"LGA1151"}, IntelCore, "K SKYLAKE; IL 506E3 Skylake"},
    {Intel6(0x5F), {"Denverton", kGoldmont, nullptr, k14, "server SoC"}, {}, IntelCore, "K ATOM_GOLDMONT_D; IL 506F1"},
    {Intel6(0x66), {"Cannon Lake", "Palm Cove", nullptr, k10, "mobile"}, {}, IntelCore, "K CANNONLAKE_L; IL 60663; LC"},
    {Intel6(0x6A), {"Ice Lake-SP", kSunnyCove, nullptr, k10, "server"}, {"LGA4189"}, IntelCore, "K ICELAKE_X; IL 606A6 ICX"},
    {Intel6(0x6C), {"Ice Lake-D", kSunnyCove, nullptr, k10, "server SoC"}, {}, IntelCore, "K ICELAKE_D; IL 606C1"},
    {Intel6(0x6E), {nullptr, kAirmont, nullptr, k14, "embedded"}, {}, None, "TA", true},
    {Intel6(0x75, "Spreadtrum"), {"Spreadtrum SC9853I", kAirmont, nullptr, k14, "phone"}, {}, None, "IL 7065A Spreadtrum; LC"},
    {Intel6(0x75), {"Lightning Mountain", kAirmont, nullptr, k14, "network"}, {}, None, "K ATOM_AIRMONT_NP"},
    {Intel6(0x7A), {"Gemini Lake", kGoldmontPlus, nullptr, k14, "entry"}, {}, IntelCore, "K ATOM_GOLDMONT_PLUS; IL 706A1/706A8; LC"},
    {Intel6(0x7D), {"Ice Lake", kSunnyCove, nullptr, k10, "mobile"}, {}, IntelCore, "K ICELAKE; TA"},
    {Intel6(0x7E), {"Ice Lake-U", kSunnyCove, nullptr, k10, "mobile"}, {}, IntelCore, "K ICELAKE_L; IL 706E5"},
    {Intel6(0x85), {"Knights Mill", "Knights Mill", nullptr, k14, "HPC"}, {}, None, "K XEON_PHI_KNM"},
    {Intel6(0x86), {"Snow Ridge", kTremont, nullptr, k10, "network SoC"}, {}, IntelCore, "K ATOM_TREMONT_D"},
    {Intel6(0x8A), {"Lakefield", kSunnyCove, kTremont, "10 nm Foveros", "mobile"}, {}, IntelCore, "K LAKEFIELD; IL 806A1"},
    {Intel6(0x8C, "-113##H"), {"Tiger Lake-H35", kWillowCove, nullptr, k10SuperFin, "mobile"}, {}, IntelCore, "LC; W"},
    {Intel6(0x8C, "-11#5G#"), {"Tiger Lake-UP3", kWillowCove, nullptr, k10SuperFin, "mobile"}, {}, IntelCore, "LC; W"},
    {Intel6(0x8C, "-11#0G#"), {"Tiger Lake-UP4", kWillowCove, nullptr, k10SuperFin, "mobile"}, {}, IntelCore, "LC; W"},
    {Intel6(0x8C), {"Tiger Lake-U", kWillowCove, nullptr, k10SuperFin, "mobile"}, {}, IntelCore, "K TIGERLAKE_L; IL 806C1"},
    {Intel6(0x8D), {"Tiger Lake-H", kWillowCove, nullptr, k10SuperFin, "mobile"}, {}, IntelCore, "K TIGERLAKE; IL 806D1 TigerLakeH; LC"},
    {Intel6(0x8E, 9, 9, "-8###Y"), {"Amber Lake-Y", kKabyLake, nullptr, k14Plus, "mobile"}, {}, IntelCore, "K AMBERLAKE_L s:9; IL 806E9 AmberLakeY; LC"},
    {Intel6(0x8E, 9, 9, " 4425Y"), {"Amber Lake-Y", kKabyLake, nullptr, k14Plus, "mobile"}, {}, IntelCore, "W (Intel: Pentium Gold 4425Y, products formerly Amber Lake)"},
    {Intel6(0x8E, 9, 9, " 441#Y"), {"Kaby Lake-Y", kKabyLake, nullptr, k14Plus, "mobile"}, {}, IntelCore, "W (Intel: Pentium Gold 4410Y/4415Y, products formerly Kaby Lake)"},
    {Intel6(0x8E, 9, 9, " 39#5Y"), {"Kaby Lake-Y", kKabyLake, nullptr, k14Plus, "mobile"}, {}, IntelCore, "W (Intel: Celeron 3965Y, products formerly Kaby Lake)"},
    {Intel6(0x8E, 9, 9, "#Y##"), {"Kaby Lake-Y", kKabyLake, nullptr, k14Plus, "mobile"}, {}, IntelCore, "LC; W"},
    {Intel6(0x8E, 9, 9), {"Kaby Lake-U", kKabyLake, nullptr, k14Plus, "mobile"}, {}, IntelCore, "K KABYLAKE_L; IL 806E9 Kabylake"},
    {Intel6(0x8E, 10, 10), {"Kaby Lake-R", kKabyLake, nullptr, k14Plus, "mobile"}, {}, IntelCore, "K COFFEELAKE_L s:10; IL 806EA"},
    {Intel6(0x8E, 11, 11), {"Whiskey Lake-U", kCoffeeLake, nullptr, k14PlusPlus, "mobile"}, {}, IntelCore, "K WHISKEYLAKE_L s:11; IL 806EB WhiskeyLake; LC"},
    {Intel6(0x8E, 12, 12, "-10###Y"), {"Amber Lake-Y", kKabyLake, nullptr, k14PlusPlus, "mobile"}, {}, IntelCore, "LC; W"},
    {Intel6(0x8E, 12, 12, "-10###U"), {"Comet Lake-U", kCometLake, nullptr, k14PlusPlus, "mobile"}, {}, IntelCore, "IL 806EC CometLake; LC"},
    {Intel6(0x8E, 12, 12, "-8###U"), {"Whiskey Lake-U", kCoffeeLake, nullptr, k14PlusPlus, "mobile"}, {}, IntelCore, "LC; W"},
    {Intel6(0x8E, 12, 12), {"Comet Lake-U", kCometLake, nullptr, k14PlusPlus, "mobile"}, {}, IntelCore, "K s:12; IL 806EC CometLake"},
    {Intel6(0x8E), {nullptr, kKabyLake, nullptr, k14Plus, "mobile"}, {}, IntelCore, "K KABYLAKE_L"},
    {Intel6(0x8F), {"Sapphire Rapids", kGoldenCove, nullptr, kIntel7, "server/workstation"}, {"LGA4677"}, IntelCore, "K SAPPHIRERAPIDS_X; IL 806F8; LC"},
    {Intel6(0x96), {"Elkhart Lake", kTremont, nullptr, k10, "embedded"}, {}, IntelCore, "K ATOM_TREMONT; IL 90661; LC"},
    {Intel6(0x97, "-12###HX"), {"Alder Lake-HX", kGoldenCove, kGracemont, kIntel7, "mobile"}, {}, IntelCore, "LC; W"},
    {Intel6(0x97), {"Alder Lake-S", kGoldenCove, kGracemont, kIntel7, "desktop"}, {"LGA1700"}, IntelCore, "K ALDERLAKE; IL 90672/90675 AlderLake; LC"},
    {Intel6(0x9A, "-12###H"), {"Alder Lake-H", kGoldenCove, kGracemont, kIntel7, "mobile"}, {}, IntelCore, "LC"},
    {Intel6(0x9A, "-12##U"), {"Alder Lake-U", kGoldenCove, kGracemont, kIntel7, "mobile"}, {}, IntelCore, "LC; W"},
    {Intel6(0x9A, "Gold 85##"), {"Alder Lake-U", kGoldenCove, kGracemont, kIntel7, "mobile"}, {}, IntelCore, "W (Intel: Pentium Gold 8500/8505, products formerly Alder Lake)"},
    {Intel6(0x9A, "Celeron 73##"), {"Alder Lake-U", kGoldenCove, kGracemont, kIntel7, "mobile"}, {}, IntelCore, "W (Intel: Celeron 7300/7305, products formerly Alder Lake)"},
    {Intel6(0x9A, "Processor U300"), {"Alder Lake-U", kGoldenCove, kGracemont, kIntel7, "mobile"}, {}, IntelCore, "W (Intel: Processor U300, products formerly Alder Lake)"},
    {Intel6(0x9A), {"Alder Lake-P", kGoldenCove, kGracemont, kIntel7, "mobile/embedded"}, {}, IntelCore, "K ALDERLAKE_L; IL 906A2/906A3/906A4 AlderLakeP; LC"},
    {Intel6(0x9C), {"Jasper Lake", kTremont, nullptr, k10, "entry mobile"}, {}, IntelCore, "K ATOM_TREMONT_L; IL 906C0 JasperLake; LC"},
    {Intel6(0x9D), {"Spring Hill", kSunnyCove, nullptr, k10, "AI accelerator"}, {}, IntelCore, "K ICELAKE_NNPI"},
    {Intel6(0x9E, 9, 9, "-8###G"), {"Kaby Lake-G", kKabyLake, nullptr, k14Plus, "mobile"}, {}, IntelCore, "IL 906E9 KabylakeG"},
    {Intel6(0x9E, 9, 9, "-7###X"), {"Kaby Lake-X", kKabyLake, nullptr, k14Plus, "HEDT"}, {"LGA2066"}, IntelCore, "IL 906E9 KabylakeX"},
    {Intel6(0x9E, 9, 9, "-7###H"), {"Kaby Lake-H", kKabyLake, nullptr, k14Plus, "mobile"}, {}, IntelCore, "LC; W"},
    {Intel6(0x9E, 9, 9), {"Kaby Lake-S", kKabyLake, nullptr, k14Plus, "desktop"}, {"LGA1151"}, IntelCore, "K KABYLAKE; IL 906E9 Kabylake"},
    {Intel6(0x9E, 10, 13, "-[89]###H"), {"Coffee Lake-H", kCoffeeLake, nullptr, k14PlusPlus, "mobile"}, {}, IntelCore, "LC"},
    {Intel6(0x9E, 10, 13), {"Coffee Lake-S", kCoffeeLake, nullptr, k14PlusPlus, "desktop"}, {"LGA1151"}, IntelCore, "K COFFEELAKE s:10-13; IL 906EA-906ED Coffeelake; LC"},
    {Intel6(0x9E), {nullptr, kKabyLake, nullptr, k14Plus, nullptr}, {}, IntelCore, "K KABYLAKE"},
    {Intel6(0xA5, "-10###H"), {"Comet Lake-H", kCometLake, nullptr, k14PlusPlus, "mobile"}, {}, IntelCore, "LC"},
    {Intel6(0xA5), {"Comet Lake-S", kCometLake, nullptr, k14PlusPlus, "desktop"}, {"LGA1200"}, IntelCore, "K COMETLAKE; IL A0652/A0654/A0655 CometLake; LC"},
    {Intel6(0xA6), {"Comet Lake-U", kCometLake, nullptr, k14PlusPlus, "mobile"}, {}, IntelCore, "K COMETLAKE_L; IL A0660; LC"},
    {Intel6(0xA7, "Xeon E-23##"), {"Rocket Lake-E", kCypressCove, nullptr, k14, "server"}, {"LGA1200"}, IntelCore, "W (Intel: Xeon E-2300, products formerly Rocket Lake)"},
    {Intel6(0xA7), {"Rocket Lake-S", kCypressCove, nullptr, k14, "desktop"}, {"LGA1200"}, IntelCore, "K ROCKETLAKE; IL A0671 RocketLake; LC"},
    {Intel6(0xA8), {"Rocket Lake", kCypressCove, nullptr, k14, nullptr}, {}, IntelCore, "TA", true},
    {Intel6(0xAA, "Ultra # 1##H"), {"Meteor Lake-H", kRedwoodCove, kCrestmont, kIntel4, "mobile"}, {}, IntelCore, "LC; W"},
    {Intel6(0xAA), {"Meteor Lake-U", kRedwoodCove, kCrestmont, kIntel4, "mobile"}, {}, IntelCore, "K METEORLAKE_L; IL A06A4 MeteorLake; LC"},
    {Intel6(0xAB), {"Meteor Lake", kRedwoodCove, kCrestmont, kIntel4, "mobile"}, {}, IntelCore, "TA", true},
    {Intel6(0xAC), {"Meteor Lake-S", kRedwoodCove, kCrestmont, kIntel4, "desktop"}, {}, IntelCore, "K METEORLAKE; TA", true},
    {Intel6(0xAD), {"Granite Rapids", kRedwoodCove, nullptr, kIntel3, "server"}, {}, IntelCore, "K GRANITERAPIDS_X; IL A06D1; LC"},
    {Intel6(0xAE), {"Granite Rapids-D", kRedwoodCove, nullptr, kIntel3, "edge SoC"}, {}, IntelCore, "K GRANITERAPIDS_D"},
    {Intel6(0xAF), {"Sierra Forest", nullptr, kCrestmont, kIntel3, "server"}, {}, IntelCore, "K ATOM_CRESTMONT_X; TA"},
    {Intel6(0xB5), {"Arrow Lake-U", kRedwoodCove, kCrestmont, kIntel3, "mobile"}, {}, IntelCore, "K ARROWLAKE_U; IL B0650 ArrowLakeU; LC; TA", true},
    {Intel6(0xB6), {"Grand Ridge", nullptr, kCrestmont, kIntel7, "network SoC"}, {}, IntelCore, "K ATOM_CRESTMONT; TA"},
    {Intel6(0xB7, 1, 1, "-1[34]###HX"), {"Raptor Lake-HX", kRaptorCove, kGracemont, kIntel7, "mobile"}, {}, IntelCore, "LC; W"},
    {Intel6(0xB7, 1, 1, "Xeon E-24##"), {"Raptor Lake-E", kRaptorCove, kGracemont, kIntel7, "server"}, {"LGA1700"}, IntelCore, "LC; W"},
    {Intel6(0xB7, 1, 1), {"Raptor Lake-S", kRaptorCove, kGracemont, kIntel7, "desktop"}, {"LGA1700"}, IntelCore, "K RAPTORLAKE; IL B0671 RaptorLake; LC"},
    {Intel6(0xB7, 4, 4), {"Bartlett Lake-S", kRaptorCove, kGracemont, kIntel7, "edge"}, {"LGA1700"}, IntelCore, "IL B0674 BartlettLake", true},
    {Intel6(0xB7), {nullptr, kRaptorCove, kGracemont, kIntel7, nullptr}, {}, IntelCore, "K RAPTORLAKE"},
    {Intel6(0xBA, 2, 2, "-13###H"), {"Raptor Lake-H", kRaptorCove, kGracemont, kIntel7, "mobile"}, {}, IntelCore, "LC"},
    {Intel6(0xBA, 2, 2), {"Raptor Lake-P", kRaptorCove, kGracemont, kIntel7, "mobile"}, {}, IntelCore, "K RAPTORLAKE_P; IL B06A2 RaptorLakeP; LC"},
    {Intel6(0xBA, 3, 3), {"Raptor Lake-U", kRaptorCove, kGracemont, kIntel7, "mobile"}, {}, IntelCore, "IL B06A3; LC"},
    {Intel6(0xBA), {nullptr, kRaptorCove, kGracemont, kIntel7, "mobile"}, {}, IntelCore, "K RAPTORLAKE_P"},
    {Intel6(0xBD), {"Lunar Lake", kLionCove, kSkymont, kN3B, "mobile"}, {}, IntelCore, "K LUNARLAKE_M; IL B06D1; LC"},
    {Intel6(0xBE, " N[123]5#"), {"Twin Lake", nullptr, kGracemont, kIntel7, "entry"}, {}, IntelCore, "IL B06E0 TwinLake; LC"},
    {Intel6(0xBE, "Atom x7###R"), {"Amston Lake", nullptr, kGracemont, kIntel7, "embedded"}, {}, IntelCore, "LC; W"},
    {Intel6(0xBE), {"Alder Lake-N", nullptr, kGracemont, kIntel7, "entry/embedded"}, {}, IntelCore, "K ATOM_GRACEMONT; IL B06E0 AlderLakeN; LC"},
    {Intel6(0xBF), {"Raptor Lake-S", kGoldenCove, kGracemont, kIntel7, "desktop"}, {"LGA1700"}, IntelCore, "K RAPTORLAKE_S; IL B06F2 RaptorLakeS; LC"},
    {Intel6(0xC5), {"Arrow Lake-H", kLionCove, kSkymont, kN3B, "mobile"}, {}, IntelCore, "K ARROWLAKE_H; IL C0652 ArrowLakeH; LC"},
    {Intel6(0xC6, "Ultra # 2##HX"), {"Arrow Lake-HX", kLionCove, kSkymont, kN3B, "mobile"}, {}, IntelCore, "IL C0662 ArrowLakeHX"},
    {Intel6(0xC6), {"Arrow Lake-S", kLionCove, kSkymont, kN3B, "desktop"}, {"LGA1851"}, IntelCore, "K ARROWLAKE; IL C0662 ArrowLake; LC"},
    {Intel6(0xCC), {"Panther Lake", kCougarCove, kDarkmont, kIntel18A, "mobile"}, {}, IntelCore, "K PANTHERLAKE_L; IL C06C3 PantherLakeL"},
    {Intel6(0xCF), {"Emerald Rapids", kRaptorCove, nullptr, kIntel7, "server"}, {"LGA4677"}, IntelCore, "K EMERALDRAPIDS_X; IL C06F2; LC"},
    {Intel6(0xD5), {"Wildcat Lake", kCougarCove, kDarkmont, kIntel18A, "mobile"}, {}, IntelCore, "K WILDCATLAKE_L; IL D0651 WildcatLake"},
    {Intel6(0xD7), {"Bartlett Lake", kRaptorCove, nullptr, kIntel7, "edge/desktop"}, {"LGA1700"}, IntelCore, "K BARTLETTLAKE; IL D0670"},
    {Intel6(0xDD), {"Clearwater Forest", nullptr, kDarkmont, kIntel18A, "server"}, {}, IntelCore, "K ATOM_DARKMONT_X; TA"},
    {Intel6(0xE5), {"Panther Lake", kCougarCove, kDarkmont, kIntel18A, "mobile"}, {}, IntelCore, "K PANTHERLAKE_R (2026)", true},

    // ---- Intel families 0x12 and 0x13 ------------------------------------------------------
    {IntelFamily(0x12, 0x01), {"Nova Lake-S", "Coyote Cove", "Arctic Wolf", nullptr, "desktop"}, {}, IntelCore, "K INTEL_NOVALAKE"},
    {IntelFamily(0x12, 0x03), {"Nova Lake-L", "Coyote Cove", "Arctic Wolf", nullptr, "mobile"}, {}, IntelCore, "K INTEL_NOVALAKE_L"},
    {IntelFamily(0x13, 0x01), {"Diamond Rapids", "Panther Cove", nullptr, kIntel18A, "server"}, {}, IntelCore, "K INTEL_PANTHERCOVE_X; TA"},
    {IntelFamily(0x13, 0x00), {"Diamond Rapids", "Panther Cove", nullptr, kIntel18A, nullptr}, {}, IntelCore, "TA", true},

    // ---- Intel family 15, the models the vendor table leaves unnamed -----------------------
    {Netburst(0x04, 7, 7), {"Smithfield", "NetBurst", nullptr, "90 nm", "desktop"}, {"LGA775"}, None, "W (Intel Pentium D 800 errata update: Smithfield B0)"},
    {Netburst(0x04, 8, 8), {"Paxville", "NetBurst", nullptr, "90 nm", "server"}, {}, None, "IL 0F48 Paxville"},
    {Netburst(0x04, 10, 10), {"Irwindale", "NetBurst", nullptr, "90 nm", "server/desktop"}, {}, None, "IL 0F4A Irwindale; LC"},
    {Netburst(0x06, 2, 4), {"Presler", "NetBurst", nullptr, k65, "desktop"}, {"LGA775"}, None, "K P4_CEDARMILL; IL 0F62 Presler"},
    {Netburst(0x06, 2, 5, "Pentium 4"), {"Cedar Mill", "NetBurst", nullptr, k65, "desktop"}, {"LGA775"}, None, "K P4_CEDARMILL; IL 0F65 CedarMill"},
    {Netburst(0x06, 2, 5, "Celeron"), {"Cedar Mill", "NetBurst", nullptr, k65, "desktop"}, {"LGA775"}, None, "IL 0F65 CedarMill; LC"},
    {Netburst(0x06, 5, 5), {"Cedar Mill", "NetBurst", nullptr, k65, "desktop"}, {"LGA775"}, None, "IL 0F65 CedarMill"},
    {Netburst(0x06, 4, 4, "Xeon"), {"Dempsey", "NetBurst", nullptr, k65, "server"}, {"LGA771"}, None, "K (Also Xeon Dempsey); IL 0F64 Dempsey"},
    {Netburst(0x06, 6, 8), {"Tulsa", "NetBurst", nullptr, k65, "server"}, {"Socket 604"}, None, "IL 0F66/0F68 Tulsa"},

    // ---- AMD families 0x10 to 0x16 ---------------------------------------------------------
    {AmdModel(0x10, 0x02, "Opteron"), {"Barcelona", kK10, nullptr, kSoi65, "server"}, {"Socket F"}, AmdCofVid200, "IL 100F21/100F2A Barcelona; LC"},
    {AmdModel(0x10, 0x02, "Phenom 8###"), {"Toliman", kK10, nullptr, kSoi65, "desktop"}, {"Socket AM2+"}, AmdCofVid200, "LC; TA"},
    {AmdModel(0x10, 0x02, "Athlon"), {"Kuma", kK10, nullptr, kSoi65, "desktop"}, {"Socket AM2+"}, AmdCofVid200, "IL 100F23 Kuma; LC"},
    {AmdModel(0x10, 0x02), {"Agena", kK10, nullptr, kSoi65, "desktop"}, {"Socket AM2+"}, AmdCofVid200, "IL 100F22 Agena; LC; TA"},
    {AmdModel(0x10, 0x04, "Opteron"), {"Shanghai", kK10, nullptr, kSoi45, "server"}, {"Socket F"}, AmdCofVid200, "IL 100F42 Shanghai; LC"},
    {AmdModel(0x10, 0x04, "Phenom II X2"), {"Callisto", kK10, nullptr, kSoi45, "desktop"}, {"Socket AM3"}, AmdCofVid200, "IL 100F42 Callisto; LC"},
    {AmdModel(0x10, 0x04, "Phenom II X3"), {"Heka", kK10, nullptr, kSoi45, "desktop"}, {"Socket AM3"}, AmdCofVid200, "IL 100F43 Heka; LC"},
    {AmdModel(0x10, 0x04, "Sempron"), {"Sargas", kK10, nullptr, kSoi45, "desktop"}, {"Socket AM3"}, AmdCofVid200, "LC"},
    {AmdModel(0x10, 0x04), {"Deneb", kK10, nullptr, kSoi45, "desktop"}, {"Socket AM3", "758M", "258 sqr. mm"}, AmdCofVid200, "IL 100F42 Deneb; LC"},
    {AmdModel(0x10, 0x05, "X3"), {"Rana", kK10, nullptr, kSoi45, "desktop"}, {"Socket AM3"}, AmdCofVid200, "LC"},
    {AmdModel(0x10, 0x05), {"Propus", kK10, nullptr, kSoi45, "desktop"}, {"Socket AM3", "300M", "169 sqr. mm"}, AmdCofVid200, "IL 100F52; LC"},
    {AmdModel(0x10, 0x06, "Sempron"), {"Sargas", kK10, nullptr, kSoi45, "desktop"}, {"Socket AM3"}, AmdCofVid200, "IL 100F62 Sargas; LC"},
    {AmdModel(0x10, 0x06, " [NP]###"), {"Champlain", kK10, nullptr, kSoi45, "mobile"}, {"Socket S1"}, AmdCofVid200, "LC"},
    {AmdModel(0x10, 0x06, "Turion"), {"Caspian", kK10, nullptr, kSoi45, "mobile"}, {"Socket S1"}, AmdCofVid200, "LC"},
    {AmdModel(0x10, 0x06, " M###"), {"Caspian", kK10, nullptr, kSoi45, "mobile"}, {"Socket S1"}, AmdCofVid200, "LC"},
    {AmdModel(0x10, 0x06), {"Regor", kK10, nullptr, kSoi45, "desktop"}, {"Socket AM3", "234M", "117 sqr. mm"}, AmdCofVid200, "IL 100F62 Regor; LC"},
    {AmdModel(0x10, 0x08, "Opteron Processor 41##"), {"Lisbon", kK10, nullptr, kSoi45, "server"}, {"Socket C32"}, AmdCofVid200, "IL 100F81; LC"},
    {AmdModel(0x10, 0x08), {"Istanbul", kK10, nullptr, kSoi45, "server"}, {"Socket F"}, AmdCofVid200, "IL 100F80; LC"},
    {AmdModel(0x10, 0x09), {"Magny-Cours", kK10, nullptr, kSoi45, "server"}, {"Socket G34"}, AmdCofVid200, "IL 100F91; LC"},
    {AmdModel(0x10, 0x0A, "X4"), {"Zosma", kK10, nullptr, kSoi45, "desktop"}, {"Socket AM3", "904M", "346 sqr. mm"}, AmdCofVid200, "LC"},
    {AmdModel(0x10, 0x0A), {"Thuban", kK10, nullptr, kSoi45, "desktop"}, {"Socket AM3", "904M", "346 sqr. mm"}, AmdCofVid200, "IL 100FA0; LC"},
    {AmdModels(0x10, 0x00, 0xFF), {nullptr, kK10, nullptr, nullptr, nullptr}, {}, AmdCofVid200, "BKDG family 10h"},
    {AmdModel(0x11, 0x03), {"Griffin", "K8/K10 hybrid", nullptr, kSoi65, "mobile"}, {"Socket S1"}, AmdCofVidFamily11, "IL 200F30/200F31; LC; TA"},
    {AmdModels(0x11, 0x00, 0xFF), {nullptr, "K8/K10 hybrid", nullptr, nullptr, nullptr}, {}, AmdCofVidFamily11, "BKDG family 11h"},
    {AmdModel(0x12, 0x01), {"Llano", "K10", nullptr, kGf32, "APU"}, {"Socket FM1", "1178M", "228 sqr. mm"}, None, "IL 300F10 Llano; LC; TA"},
    {AmdModels(0x14, 0x00, 0x02, " C-"), {"Ontario", kBobcat, nullptr, "TSMC 40 nm", "netbook"}, {}, None, "LC; TA"},
    {AmdModels(0x14, 0x00, 0x02, " Z-01"), {"Desna", kBobcat, nullptr, "TSMC 40 nm", "tablet"}, {}, None, "LC"},
    {AmdModels(0x14, 0x00, 0x02, " Z-60"), {"Hondo", kBobcat, nullptr, "TSMC 40 nm", "tablet"}, {}, None, "LC"},
    {AmdModels(0x14, 0x00, 0x02), {"Zacate", kBobcat, nullptr, "TSMC 40 nm", "entry/embedded"}, {}, None, "IL 500F01/500F10/500F20; LC; TA"},
    {AmdModel(0x15, 0x00), {"Orochi", kBulldozer, nullptr, kGf32, nullptr}, {}, AmdCofVid200, "IL 600F01 (engineering sample of the Orochi die)", true},
    {AmdModel(0x15, 0x01, "Opteron Processor 62##"), {"Interlagos", kBulldozer, nullptr, kGf32, "server"}, {"Socket G34"}, AmdCofVid200, "LC"},
    {AmdModel(0x15, 0x01, "Opteron Processor 42##"), {"Valencia", kBulldozer, nullptr, kGf32, "server"}, {"Socket C32"}, AmdCofVid200, "LC"},
    {AmdModel(0x15, 0x01), {"Zambezi", kBulldozer, nullptr, kGf32, "desktop"}, {"Socket AM3+", "1200M", "315 sqr. mm"}, AmdCofVid200, "IL 600F12 Zambezi; LC"},
    {AmdModel(0x15, 0x02, "Opteron Processor 63##"), {"Abu Dhabi", kPiledriver, nullptr, kGf32, "server"}, {"Socket G34"}, AmdCofVid200, "IL 600F20 AbuDhabi; LC"},
    {AmdModel(0x15, 0x02, "Opteron Processor 43##"), {"Seoul", kPiledriver, nullptr, kGf32, "server"}, {"Socket C32"}, AmdCofVid200, "LC"},
    {AmdModel(0x15, 0x02, "Opteron Processor 33##"), {"Delhi", kPiledriver, nullptr, kGf32, "server"}, {"Socket AM3+"}, AmdCofVid200, "LC"},
    {AmdModel(0x15, 0x02), {"Vishera", kPiledriver, nullptr, kGf32, "desktop"}, {"Socket AM3+", "1200M", "315 sqr. mm"}, AmdCofVid200, "IL 600F20 Vishera; LC"},
    {AmdModels(0x15, 0x00, 0x0F), {nullptr, kBulldozer, nullptr, kGf32, nullptr}, {}, AmdCofVid200, "BKDG family 15h models 00h-0Fh"},
    {AmdModel(0x15, 0x10), {"Trinity", kPiledriver, nullptr, kGf32, "APU"}, {nullptr, "1303M", "246 sqr. mm"}, AmdCofVid100, "IL 610F01; LC"},
    {AmdModel(0x15, 0x13), {"Richland", kPiledriver, nullptr, kGf32, "APU"}, {nullptr, "1303M", "246 sqr. mm"}, AmdCofVid100, "IL 610F31; LC"},
    {AmdModels(0x15, 0x10, 0x1F), {nullptr, kPiledriver, nullptr, kGf32, nullptr}, {}, AmdCofVid100, "BKDG family 15h models 10h-1Fh"},
    {AmdModel(0x15, 0x30, "Opteron X3"), {"Berlin", kSteamroller, nullptr, kGf28, "server"}, {}, AmdCofVid100, "IL 630F01 Berlin; LC"},
    {AmdModel(0x15, 0x30, " RX-"), {"Bald Eagle", kSteamroller, nullptr, kGf28, "embedded"}, {}, AmdCofVid100, "IL 630F01 BaldEagle; LC"},
    {AmdModel(0x15, 0x30), {"Kaveri", kSteamroller, nullptr, kGf28, "APU"}, {"Socket FM2+", "2410M", "245 sqr. mm"}, AmdCofVid100, "IL 630F01 Kaveri; LC"},
    {AmdModel(0x15, 0x38), {"Godavari", kSteamroller, nullptr, kGf28, "APU"}, {"Socket FM2+", "2410M", "245 sqr. mm"}, AmdCofVid100, "IL 630F81; LC"},
    {AmdModels(0x15, 0x30, 0x3F), {nullptr, kSteamroller, nullptr, kGf28, nullptr}, {}, AmdCofVid100, "BKDG family 15h models 30h-3Fh"},
    {AmdModel(0x15, 0x60, "Opteron X3"), {"Toronto", kExcavator, nullptr, kGf28, "server"}, {}, AmdCofVid100, "LC"},
    {AmdModel(0x15, 0x60), {"Carrizo", kExcavator, nullptr, kGf28, "mobile APU"}, {nullptr, "3100M", "250 sqr. mm"}, AmdCofVid100, "IL 660F01; LC"},
    {AmdModel(0x15, 0x65), {"Bristol Ridge", kExcavator, nullptr, kGf28, "APU"}, {nullptr, "3100M", "250 sqr. mm"}, AmdCofVid100, "IL 660F51; LC; W (AMD PRO A-series 8000 desktop)"},
    {AmdModel(0x15, 0x70), {"Stoney Ridge", kExcavator, nullptr, kGf28, "entry mobile"}, {}, AmdCofVid100, "IL 670F00 StoneyRidge; LC"},
    {AmdModels(0x15, 0x60, 0x7F), {nullptr, kExcavator, nullptr, kGf28, nullptr}, {}, AmdCofVid100, "BKDG family 15h models 60h-7Fh"},
    {AmdModel(0x16, 0x00, "(up to 1.4GHz)"), {"Temash", kJaguar, nullptr, kTsmc28, "tablet"}, {}, AmdCofVid100, "IL 700F01 Temash (the A6-1450 reports this brand)"},
    {AmdModel(0x16, 0x00, "-1###"), {"Temash", kJaguar, nullptr, kTsmc28, "tablet"}, {}, AmdCofVid100, "IL 700F01 Temash; LC"},
    {AmdModel(0x16, 0x00, "Athlon"), {"Kabini", kJaguar, nullptr, kTsmc28, "desktop"}, {"Socket AM1"}, AmdCofVid100, "IL 700F01 Kabini; LC"},
    {AmdModel(0x16, 0x00, "Sempron"), {"Kabini", kJaguar, nullptr, kTsmc28, "desktop"}, {"Socket AM1"}, AmdCofVid100, "LC; W"},
    {AmdModel(0x16, 0x00), {"Kabini", kJaguar, nullptr, kTsmc28, "entry"}, {}, AmdCofVid100, "IL 700F01 Kabini; LC"},
    {AmdModel(0x16, 0x26), {"Cato", kJaguar, nullptr, "28 nm", nullptr}, {}, AmdCofVid100, "IL 720F61 Cato; TA", true},
    {AmdModel(0x16, 0x30, " GX-"), {"Steppe Eagle", kPuma, nullptr, kGf28, "embedded"}, {}, AmdCofVid100, "IL 730F01; LC"},
    {AmdModel(0x16, 0x30, " Micro-"), {"Mullins", kPuma, nullptr, kGf28, "tablet"}, {}, AmdCofVid100, "IL 730F01 Mullins; LC"},
    {AmdModel(0x16, 0x30), {"Beema", kPuma, nullptr, kGf28, "mobile"}, {}, AmdCofVid100, "IL 730F01 Beema; LC"},
    {AmdModels(0x16, 0x00, 0x2F), {nullptr, kJaguar, nullptr, nullptr, nullptr}, {}, AmdCofVid100, "BKDG family 16h models 00h-0Fh"},
    {AmdModels(0x16, 0x30, 0x3F), {nullptr, kPuma, nullptr, kGf28, nullptr}, {}, AmdCofVid100, "BKDG family 16h models 30h-3Fh"},

    // ---- AMD family 0x17 -------------------------------------------------------------------
    {AmdModel(0x17, 0x01, "EPYC 3"), {"Snowy Owl", kZen, nullptr, kGf14, "embedded server"}, {}, AmdPState, "LC"},
    {AmdModel(0x17, 0x01, "EPYC"), {"Naples", kZen, nullptr, kGf14, "server"}, {"Socket SP3"}, AmdPState, "IL 800F12 Naples; LC"},
    {AmdModel(0x17, 0x01, "Threadripper"), {"Whitehaven", kZen, nullptr, kGf14, "HEDT"}, {"Socket TR4"}, AmdPState, "LC"},
    {AmdModel(0x17, 0x01), {"Summit Ridge", kZen, nullptr, kGf14, "desktop"}, {"Socket AM4", "4800M", "213 sqr. mm"}, AmdPState, "IL 800F11; LC; KA (Zen range)"},
    {AmdModel(0x17, 0x08, "Threadripper"), {"Colfax", kZenPlus, nullptr, kGf12, "HEDT"}, {"Socket TR4"}, AmdPState, "LC"},
    {AmdModel(0x17, 0x08), {"Pinnacle Ridge", kZenPlus, nullptr, kGf12, "desktop"}, {"Socket AM4", "4800M", "213 sqr. mm"}, AmdPState, "IL 800F82 PinnacleRidge; LC"},
    {AmdModel(0x17, 0x11, "Embedded V1"), {"Great Horned Owl", kZen, nullptr, kGf14, "embedded"}, {}, AmdPState, "IL 810F10 GreatHornedOwl"},
    {AmdModel(0x17, 0x11), {"Raven Ridge", kZen, nullptr, kGf14, "APU"}, {nullptr, "4940M", "210 sqr. mm"}, AmdPState, "IL 810F10; LC"},
    {AmdModel(0x17, 0x18), {"Picasso", kZenPlus, nullptr, kGf12, "APU"}, {nullptr, "4940M", "210 sqr. mm"}, AmdPState, "IL 810F81; LC"},
    {AmdModel(0x17, 0x20), {"Dali", kZen, nullptr, kGf14, "entry mobile"}, {}, AmdPState, "IL 820F01; LC"},
    {AmdModel(0x17, 0x31, "Threadripper"), {"Castle Peak", kZen2, nullptr, kN7Io14, "HEDT"}, {}, AmdPState, "IL 830F10 CastlePeak; LC"},
    {AmdModel(0x17, 0x31), {"Rome", kZen2, nullptr, kN7Io14, "server"}, {"Socket SP3"}, AmdPState, "IL 830F10 Rome; LC"},
    {AmdModel(0x17, 0x47), {"Cyan Skillfish", kZen2, nullptr, kN7, "desktop kit"}, {}, AmdPState, "KA; IL 840F70; LC"},
    {AmdModel(0x17, 0x50), {"Fenghuang", kZen, nullptr, kGf14, "console"}, {}, AmdPState, "IL 850F00; KA; W", true},
    {AmdModel(0x17, 0x60), {"Renoir", kZen2, nullptr, kN7, "APU"}, {nullptr, "9800M", "156 sqr. mm"}, AmdPState, "IL 860F01; LC"},
    {AmdModel(0x17, 0x68), {"Lucienne", kZen2, nullptr, kN7, "mobile"}, {nullptr, "9800M", "156 sqr. mm"}, AmdPState, "IL 860F81; LC"},
    {AmdModel(0x17, 0x71), {"Matisse", kZen2, nullptr, kN7Io12, "desktop"}, {"Socket AM4"}, AmdPState, "IL 870F10; LC"},
    {AmdModel(0x17, 0x84), {nullptr, kZen2, nullptr, kN7, "desktop kit"}, {}, AmdPState, "IL 880F40; LC", true},
    {AmdModels(0x17, 0x90, 0x91), {"Van Gogh", kZen2, nullptr, "TSMC N7/N6", "handheld"}, {}, AmdPState, "IL 890F02/890F10; LC; KA"},
    {AmdModel(0x17, 0x98), {nullptr, kZen2, nullptr, "7 nm", nullptr}, {}, AmdPState, "TA", true},
    {AmdModel(0x17, 0xA0), {"Mendocino", kZen2, nullptr, kN6, "entry mobile"}, {}, AmdPState, "IL 8A0F00; LC"},
    {AmdModels(0x17, 0x00, 0x2F), {nullptr, kZen, nullptr, nullptr, nullptr}, {}, AmdPState, "KA (Zen model range)"},
    {AmdModels(0x17, 0x50, 0x5F), {nullptr, kZen, nullptr, nullptr, nullptr}, {}, AmdPState, "KA (Zen model range)"},
    {AmdModels(0x17, 0x30, 0x4F), {nullptr, kZen2, nullptr, nullptr, nullptr}, {}, AmdPState, "KA (Zen 2 model range)"},
    {AmdModels(0x17, 0x60, 0x7F), {nullptr, kZen2, nullptr, nullptr, nullptr}, {}, AmdPState, "KA (Zen 2 model range)"},
    {AmdModels(0x17, 0xA0, 0xAF), {nullptr, kZen2, nullptr, nullptr, nullptr}, {}, AmdPState, "KA (Zen 2 model range)"},

    // ---- AMD family 0x19 -------------------------------------------------------------------
    {AmdModel(0x19, 0x01), {"Milan", kZen3, nullptr, kN7, "server"}, {"Socket SP3"}, AmdPState, "IL A00F11; LC; KA"},
    {AmdModel(0x19, 0x08), {"Chagall", kZen3, nullptr, kN7, "workstation"}, {"Socket sWRX8"}, AmdPState, "LC"},
    {AmdModel(0x19, 0x11), {"Genoa", kZen4, nullptr, kN5Io6, "server"}, {"Socket SP5"}, AmdPState, "IL A10F11; LC; KA"},
    {AmdModel(0x19, 0x18), {"Storm Peak", kZen4, nullptr, kN5, "HEDT/workstation"}, {"Socket sTR5"}, AmdPState, "IL A10F81; LC"},
    {AmdModel(0x19, 0x21), {"Vermeer", kZen3, nullptr, kN7, "desktop"}, {"Socket AM4"}, AmdPState, "IL A20F10/A20F12 Vermeer; LC"},
    {AmdModels(0x19, 0x30, 0x3F), {nullptr, kZen3, nullptr, "TSMC N5P", nullptr}, {}, AmdPState, "TA", true},
    {AmdModel(0x19, 0x44), {"Rembrandt", kZen3Plus, nullptr, kN6, "mobile"}, {nullptr, "13100M", "208 sqr. mm"}, AmdPState, "IL A40F41; LC"},
    {AmdModel(0x19, 0x50, " 5#25U"), {"Barcelo", kZen3, nullptr, kN7, "mobile"}, {nullptr, "10700M", "180 sqr. mm"}, AmdPState, "IL A50F00 Barcelo; LC"},
    {AmdModel(0x19, 0x50, " 7#30U"), {"Barcelo-R", kZen3, nullptr, kN7, "mobile"}, {nullptr, "10700M", "180 sqr. mm"}, AmdPState, "LC; W"},
    {AmdModel(0x19, 0x50), {"Cezanne", kZen3, nullptr, kN7, "APU"}, {nullptr, "10700M", "180 sqr. mm"}, AmdPState, "IL A50F00 Cezanne; LC"},
    {AmdModel(0x19, 0x61, " 7#45HX"), {"Dragon Range", kZen4, nullptr, kN5Io6, "mobile"}, {}, AmdPState, "LC; W"},
    {AmdModel(0x19, 0x61), {"Raphael", kZen4, nullptr, kN5Io6, "desktop"}, {"Socket AM5"}, AmdPState, "IL A60F12 Raphael; LC"},
    {AmdModel(0x19, 0x74), {"Phoenix", kZen4, nullptr, kN4, "mobile/handheld"}, {nullptr, "25000M", "178 sqr. mm"}, AmdPState, "IL A70F41; LC"},
    {AmdModel(0x19, 0x75, " 8#4#[HU]"), {"Hawk Point", kZen4, nullptr, kN4, "mobile"}, {nullptr, "25000M", "178 sqr. mm"}, AmdPState, "IL A70F52 HawkPoint; LC"},
    {AmdModel(0x19, 0x75), {"Phoenix", kZen4, nullptr, kN4, "desktop APU"}, {nullptr, "25000M", "178 sqr. mm"}, AmdPState, "IL A70F52 Phoenix; LC"},
    {AmdModel(0x19, 0x78), {"Phoenix 2", kZen4, kZen4c, kN4, "mobile/handheld"}, {}, AmdPState, "IL A70F80 Phoenix2"},
    {AmdModel(0x19, 0x7C), {"Hawk Point 2", kZen4, kZen4c, kN4, "mobile"}, {}, AmdPState, "IL A70FC0 HawkPoint2"},
    {AmdModels(0x19, 0x80, 0x9F), {nullptr, kZen4, nullptr, kN5, "server/accelerator"}, {}, AmdPState, "KA; TA", true},
    {AmdModel(0x19, 0xA0, "EPYC 8"), {"Siena", kZen4c, nullptr, kN5, "server"}, {"Socket SP6"}, AmdPState, "KA; TA"},
    {AmdModel(0x19, 0xA0), {"Bergamo", kZen4c, nullptr, kN5, "server"}, {"Socket SP5"}, AmdPState, "IL AA0F02 Bergamo; KA; TA"},
    {AmdModels(0x19, 0x00, 0x0F), {nullptr, kZen3, nullptr, nullptr, nullptr}, {}, AmdPState, "KA (Zen 3 model range)"},
    {AmdModels(0x19, 0x20, 0x5F), {nullptr, kZen3, nullptr, nullptr, nullptr}, {}, AmdPState, "KA (Zen 3 model range)"},
    {AmdModels(0x19, 0x10, 0x1F), {nullptr, kZen4, nullptr, nullptr, nullptr}, {}, AmdPState, "KA (Zen 4 model range)"},
    {AmdModels(0x19, 0x60, 0xAF), {nullptr, kZen4, nullptr, nullptr, nullptr}, {}, AmdPState, "KA (Zen 4 model range)"},

    // ---- AMD family 0x1A -------------------------------------------------------------------
    {AmdModel(0x1A, 0x02), {"Turin", kZen5, nullptr, kN4P, "server"}, {"Socket SP5"}, AmdPStateFamily1A, "IL B00F21 Turin; LC; KA; measured on this project's test machine"},
    {AmdModel(0x1A, 0x08), {"Shimada Peak", kZen5, nullptr, kN4P, "HEDT/workstation"}, {"Socket sTR5"}, AmdPStateFamily1A, "IL B00F81 ShimadaPeak; LC"},
    {AmdModel(0x1A, 0x11), {"Turin Dense", kZen5c, nullptr, "TSMC N3E", "server"}, {"Socket SP5"}, AmdPStateFamily1A, "IL B10F10 TurinD; LC; TA"},
    // 2026's Ryzen AI 400 line is sold on the Strix and Krackan dies as Gorgon Point.
    {AmdModel(0x1A, 0x24, "Ryzen AI # 4##"), {"Gorgon Point", kZen5, kZen5c, kN4P, "mobile"}, {}, AmdPStateFamily1A, "IL B20F40 GorgonPoint; W (AMD: Ryzen AI 400 series)"},
    {AmdModel(0x1A, 0x24, "Ryzen AI # HX 4##"), {"Gorgon Point", kZen5, kZen5c, kN4P, "mobile"}, {}, AmdPStateFamily1A, "IL B20F40 GorgonPoint; W (AMD: Ryzen AI 400 series)"},
    {AmdModel(0x1A, 0x24), {"Strix Point", kZen5, kZen5c, kN4P, "mobile"}, {}, AmdPStateFamily1A, "IL B20F40 StrixPoint; LC"},
    {AmdModel(0x1A, 0x44, " 9#55HX"), {"Fire Range", kZen5, nullptr, kN4PIo6, "mobile"}, {}, AmdPStateFamily1A, "LC; W"},
    {AmdModel(0x1A, 0x44, "EPYC 4"), {"Granite Ridge", kZen5, nullptr, kN4PIo6, "server"}, {"Socket AM5"}, AmdPStateFamily1A, "LC; W"},
    {AmdModel(0x1A, 0x44), {"Granite Ridge", kZen5, nullptr, kN4PIo6, "desktop"}, {"Socket AM5"}, AmdPStateFamily1A, "IL B40F40 GraniteRidge; LC"},
    {AmdModel(0x1A, 0x60, "Ryzen AI # 4##"), {"Gorgon Point", kZen5, kZen5c, kN4P, "mobile"}, {}, AmdPStateFamily1A, "IL B60F00 GorgonPoint; W (AMD: Ryzen AI 400 series)"},
    {AmdModel(0x1A, 0x60), {"Krackan Point", kZen5, kZen5c, kN4P, "mobile"}, {}, AmdPStateFamily1A, "IL B60F00 KrackanPoint; LC"},
    {AmdModel(0x1A, 0x68), {"Gorgon Point", kZen5, kZen5c, kN4P, "mobile"}, {}, AmdPStateFamily1A, "IL B60F80 GorgonPoint", true},
    {AmdModel(0x1A, 0x70), {"Strix Halo", kZen5, nullptr, kN4P, "mobile workstation"}, {}, AmdPStateFamily1A, "IL B70F00 StrixHalo; LC"},
    {AmdModels(0x1A, 0x00, 0x2F), {nullptr, kZen5, nullptr, nullptr, nullptr}, {}, AmdPStateFamily1A, "KA (Zen 5 model range)"},
    {AmdModels(0x1A, 0x40, 0x4F), {nullptr, kZen5, nullptr, nullptr, nullptr}, {}, AmdPStateFamily1A, "KA (Zen 5 model range)"},
    {AmdModels(0x1A, 0x60, 0x7F), {nullptr, kZen5, nullptr, nullptr, nullptr}, {}, AmdPStateFamily1A, "KA (Zen 5 model range)"},
    {AmdModels(0x1A, 0x50, 0x5F), {nullptr, kZen6, nullptr, nullptr, nullptr}, {}, AmdPStateFamily1A, "KA (Zen 6 model range, 2025)"},
    {AmdModels(0x1A, 0x80, 0xAF), {nullptr, kZen6, nullptr, nullptr, nullptr}, {}, AmdPStateFamily1A, "KA (Zen 6 model range, 2025)"},
    {AmdModels(0x1A, 0xC0, 0xEF), {nullptr, kZen6, nullptr, nullptr, nullptr}, {}, AmdPStateFamily1A, "KA (Zen 6 model range, 2025)"},

    // ---- Hygon -----------------------------------------------------------------------------
    {HygonModels(0x00, 0x00), {"Dhyana", kZen, nullptr, k14, "desktop/server"}, {}, AmdPState, "IL 900F02 Hygon; LC hygon-c86-7185; TA"},
    {HygonModels(0x01, 0x01), {"Dhyana", kZen, nullptr, k14, "desktop"}, {}, AmdPState, "IL 900F11 Hygon"},
    {HygonModels(0x02, 0x02), {"Dhyana", kZen, nullptr, k14, "desktop"}, {}, AmdPState, "IL 900F22", true},
    {HygonModels(0x04, 0x0F), {nullptr, kZen, nullptr, nullptr, "server"}, {}, AmdPState, "kernel Hygon family 18h model 4h-fh patches", true},
    {HygonModels(0x10, 0x1F), {nullptr, kZen, nullptr, nullptr, "desktop/server"}, {}, AmdPState, "IL 910F00 Hygon C86-4G; kernel hygon_f18h_m10h", true},
    {HygonModels(0x00, 0xFF), {nullptr, kZen, nullptr, nullptr, nullptr}, {}, AmdPState, "Hygon family 18h (Zen licence)"},

    // ---- Centaur and Zhaoxin ---------------------------------------------------------------
    {CentaurModel(6, 0x0F, 0x0E, 0x0E, "ZHAOXIN"), {"ZhangJiang", kZhangJiang, nullptr, "28 nm", "desktop"}, {}, None, "LC zhaoxin-kaixian-zx-c+-c4580; TA"},
    {CentaurModel(6, 0x0F), {"Isaiah", "Isaiah", nullptr, "65/40 nm", "desktop/embedded"}, {}, None, "IL 6F1-6FE Isaiah; LC via/isaiah"},
    {CentaurModel(6, 0x19), {"ZhangJiang", kZhangJiang, nullptr, "28 nm", "desktop"}, {}, None, "TA", true},
    {CentaurModel(6, 0x47), {"CNS", "CNS", nullptr, "16 nm", "server"}, {}, None, "IL 40672 CNS; TA"},
    {CentaurModel(7, 0x0B), {"ZhangJiang", kZhangJiang, nullptr, "28 nm", "desktop"}, {}, None, "TA", true},
    {CentaurModel(7, 0x1B), {"WuDaoKou", "WuDaoKou", nullptr, "28 nm", "desktop/server"}, {}, None, "LC; TA"},
    {CentaurModel(7, 0x3B), {"LuJiaZui", "LuJiaZui", nullptr, "16 nm", "desktop/mobile/server"}, {}, None, "IL 307B0/307B1/307B2; LC zhaoxin/lujiazui; TA"},
    {CentaurModel(7, 0x5B), {"Yongfeng", "Yongfeng", nullptr, nullptr, "server"}, {}, None, "IL 507B3 KX40000; LC zhaoxin-kaisheng-kh-40000; TA"},
    {CentaurModel(7, 0x6B), {"Century Avenue", "Century Avenue", nullptr, nullptr, "desktop"}, {}, None, "IL 607B1 KX7000", true},
};
// clang-format on

// clang-format off
constexpr tMarketingLine kLines[] = {
    // The NetBurst parts keep the pictures of their generation.
    {Intel, "Celeron D", "Intel Celeron D", 495, true},
    {Intel, "Celeron", "Intel Celeron", 430, true},
    {Intel, "Pentium D", "Intel Pentium D", 490, true},
    {Intel, "Pentium 4", "Intel Pentium 4", 470, true},
    {Intel, "Xeon", "Intel Xeon", 500, true},
    {Intel, "Core Ultra #", "Intel Core Ultra #", kLogoCoreUltra},
    {Intel, "Core i# ", "Intel Core i#", kLogoCore},
    {Intel, "Core i#-", "Intel Core i#", kLogoCore},
    {Intel, "CoreT i#", "Intel Core i#", kLogoCore},
    {Intel, "Core # ", "Intel Core #", kLogoCore},
    {Intel, "Core m#", "Intel Core m#", kLogoCore},
    {Intel, "Core M", "Intel Core M", kLogoCore},
    {Intel, "Core2 Quad", "Intel Core 2 Quad", kLogoCore},
    {Intel, "Core2 Extreme", "Intel Core 2 Extreme", kLogoCore},
    {Intel, "Core2 Solo", "Intel Core 2 Solo", kLogoCore},
    {Intel, "Core2 Duo", "Intel Core 2 Duo", kLogoCore},
    {Intel, "Core2", "Intel Core 2", kLogoCore},
    {Intel, "Core CPU", "Intel Core", kLogoCore},
    {Intel, "Xeon Phi", "Intel Xeon Phi", kLogoXeon},
    {Intel, "Xeon", "Intel Xeon", kLogoXeon},
    {Intel, "Atom", "Intel Atom", kLogoAtom},
    {Intel, "Intel N#", "Intel N-series", kLogoAtom},
    {Intel, "Processor N#", "Intel N-series", kLogoAtom},
    {Intel, "Celeron", "Intel Celeron", kLogoCeleronPentium},
    {Intel, "Pentium Silver", "Intel Pentium Silver", kLogoCeleronPentium},
    {Intel, "Pentium Gold", "Intel Pentium Gold", kLogoCeleronPentium},
    {Intel, "Pentium", "Intel Pentium", kLogoCeleronPentium},
    {Intel, "Intel Processor #", "Intel Processor", 0},
    {Amd, "Threadripper", "AMD Threadripper", kLogoThreadripper},
    {Amd, "Ryzen AI Max+", "AMD Ryzen AI Max+", kLogoRyzen},
    {Amd, "Ryzen AI Max", "AMD Ryzen AI Max", kLogoRyzen},
    {Amd, "Ryzen AI #", "AMD Ryzen AI #", kLogoRyzen},
    {Amd, "Ryzen Z#", "AMD Ryzen Z#", kLogoRyzen},
    {Amd, "Ryzen Embedded", "AMD Ryzen Embedded", kLogoRyzen},
    {Amd, "Ryzen #", "AMD Ryzen #", kLogoRyzen},
    {Amd, "EPYC", "AMD EPYC", kLogoEpyc},
    {Amd, "Athlon", "AMD Athlon", kLogoAthlon},
    {Amd, "Opteron", "AMD Opteron", 0},
    {Amd, "Phenom II", "AMD Phenom II", 0},
    {Amd, "Phenom", "AMD Phenom", 0},
    {Amd, "FX-", "AMD FX", 0},
    {Amd, "Sempron", "AMD Sempron", 0},
    {Amd, "Turion", "AMD Turion", 0},
    {Amd, "A##-", "AMD A##", 0},
    {Amd, "A#-", "AMD A#", 0},
    {Amd, "A# ", "AMD A#", 0},
    {Amd, "E#-", "AMD E#", 0},
    {Amd, "E-###", "AMD E-Series", 0},
    {Hygon, "Hygon C86", "Hygon C86", kLogoHygon},
    {Hygon, "", "Hygon", kLogoHygon},
    {Centaur, "ZHAOXIN KaiXian", "Zhaoxin KaiXian", kLogoZhaoxin},
    {Centaur, "ZHAOXIN KaiSheng", "Zhaoxin KaiSheng", kLogoZhaoxin},
    {Centaur, "ZHAOXIN", "Zhaoxin", kLogoZhaoxin},
    {Centaur, "VIA Nano", "VIA Nano", 0},
    {Centaur, "VIA Eden", "VIA Eden", 0},
    {Centaur, "VIA QuadCore", "VIA QuadCore", 0},
};
// clang-format on

}  // namespace

std::span<const tCodeNameRow> CodeNameRows() {
  return kRows;
}

std::span<const tMarketingLine> MarketingLines() {
  return kLines;
}
