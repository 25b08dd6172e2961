// The processors after the generations of the vendor naming tables, as data: which signature
// (and, where the signature is shared, which brand) is which die, its cores, process and
// market; and the marketing lines that brand strings name. Each row carries its sources.
#pragma once

#include <cstdint>
#include <span>

#include "engine/clocks/RatioRegisters.h"

// Whose processors a row describes. Centaur covers both vendor strings of the Centaur and
// Zhaoxin parts ("CentaurHauls" and "  Shanghai  "); their brand strings tell them apart.
enum class tMaker : std::uint8_t { Intel, Amd, Hygon, Centaur };

// An inclusive range of a count or a size; the whole range where a row does not bound it.
struct tBounds {
  std::uint32_t First = 0;
  std::uint32_t Last = 0xFFFFFFFF;

  constexpr bool Given() const { return First != 0 || Last != 0xFFFFFFFF; }
  constexpr bool Holds(std::uint32_t value) const { return First <= value && value <= Last; }
};

// What a row keys on. Models and steppings are inclusive ranges of the display values; a
// brand pattern is found anywhere in the cleaned brand string (see BrandMatches). Where two
// dies share a signature and the brand cannot tell them apart, the counts a package's leaves
// report (cores, logical processors) and the cache sizes in KB decide.
struct tCodeNameKeys {
  tMaker Maker = tMaker::Intel;
  std::uint16_t Family = 0;
  std::uint16_t ModelFirst = 0;
  std::uint16_t ModelLast = 0;
  std::uint8_t SteppingFirst = 0;
  std::uint8_t SteppingLast = 0xFF;
  const char* Brand = nullptr;
  tBounds Cores{};
  tBounds Threads{};
  tBounds Level2KB{};
  tBounds Level3KB{};
};

// What a row says. A null code name: the row knows only the micro-architecture of its
// range, or no code name is public (a model number is never one). A code name of the form
// "A/B" names the candidates where the evidence cannot decide between them. The
// efficiency-core micro-architecture is given for parts with two kinds of core.
struct tCodeNameFacts {
  const char* CodeName = nullptr;
  const char* Microarchitecture = nullptr;
  const char* EfficiencyMicroarchitecture = nullptr;
  const char* Process = nullptr;
  const char* Segment = nullptr;
};

// Package facts where public data gives them.
struct tPackageFacts {
  const char* Platform = nullptr;
  const char* Transistors = nullptr;  // "1.4B", "731M"
  const char* DieSize = nullptr;      // "160 sqr. mm"
};

struct tCodeNameRow {
  tCodeNameKeys Keys;
  tCodeNameFacts Facts;
  tPackageFacts Package;
  tRatioRegisters Ratio = tRatioRegisters::None;
  const char* Source = nullptr;
  // Only one non-vendor table asserts the row, or public tables disagree: kept, never tested.
  bool LowConfidence = false;
};

// A marketing line: the brand pattern, the name it gives (each '#' of the name is the next
// digit the pattern's '#' matched) and the key of the line's logo (0: none). NetBurst lines
// serve the Intel family-15 parts only, and only they do.
struct tMarketingLine {
  tMaker Maker;
  const char* Brand;
  const char* Name;
  std::uint16_t LogoKey;
  bool NetBurst = false;
};

std::span<const tCodeNameRow> CodeNameRows();
// In order: the first line whose pattern is found names the processor.
std::span<const tMarketingLine> MarketingLines();

// The logo keys of today's lines.
inline constexpr std::uint16_t kLogoCore = 520;
inline constexpr std::uint16_t kLogoCoreUltra = 525;
inline constexpr std::uint16_t kLogoXeon = 530;
inline constexpr std::uint16_t kLogoAtom = 535;
inline constexpr std::uint16_t kLogoCeleronPentium = 540;
inline constexpr std::uint16_t kLogoRyzen = 235;
inline constexpr std::uint16_t kLogoThreadripper = 240;
inline constexpr std::uint16_t kLogoEpyc = 245;
inline constexpr std::uint16_t kLogoAthlon = 250;
inline constexpr std::uint16_t kLogoHygon = 1101;
inline constexpr std::uint16_t kLogoZhaoxin = 1201;
