// Shared pieces of the naming tables: a row of name texts, the performance-rating table.
#pragma once

#include <array>
#include <cstdint>

#include "engine/store/CommonTypes.h"

// The texts one table row assigns to the name record. A null text leaves its field as it
// is; an empty text ("") empties it. LogoKey 0 leaves the key as it is.
struct tNameRow {
  const char* CodeName = nullptr;
  const char* CpuName = nullptr;
  std::uint16_t LogoKey = 0;
  const char* Platform = nullptr;
  const char* TechProcess = nullptr;
  const char* TranQuantity = nullptr;
  const char* DieSize = nullptr;
};

void ApplyNameRow(tnameinfo& name, const tNameRow& row);

struct tRatingRow {
  std::uint16_t BusClock;  // MHz
  float Multiplier;
  const char* Rating;
  std::uint16_t L2Size;  // KB
};

extern const std::array<tRatingRow, 19> RatingTable;
