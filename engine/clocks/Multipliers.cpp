// The multiplier readers: each reads the register its processors keep the core-to-bus ratio
// in and looks the ratio code up in its table.
#include <algorithm>
#include <array>

#include "engine/CPUid.h"
#include "engine/store/MyUtils.h"
#include "protocol/MsrReads.h"
#include "protocol/RegisterAccess.h"

namespace {

constexpr std::array<float, 32> K7FidTable = {
    11, 11.5, 12, 12.5, 5,  5.5,  6,  6.5, 7,  7.5, 8,  8.5,  9,  9.5, 10, 10.5,
    3,  19,   4,  20,   13, 13.5, 14, 21,  15, 22,  16, 16.5, 17, 18,  23, 24};
constexpr std::array<float, 32> P6RatioTable = {
    5, 3,  4,  2, 5.5, 3.5,  4.5, 2.5, 3.5, 7, 8, 6,  2, 7.5, 1.5, 6.5,
    9, 11, 12, 2, 9.5, 11.5, 8.5, 2.5, 3.5, 7, 8, 10, 2, 7.5, 1.5, 10.5};
constexpr std::array<float, 32> P6Model11RatioTable = {
    5, 3,  4,  2, 5.5, 3.5,  4.5, 2.5, 16,  7, 8,  6,  4,  7.5, 1.5, 6.5,
    9, 11, 12, 2, 9.5, 11.5, 8.5, 2.5, 3.5, 7, 13, 10, 14, 7.5, 15,  11.5};
constexpr std::array<float, 16> P4RatioTableA = {16, 17, 18, 19, 20, 21, 22, 23,
                                                 8,  9,  10, 11, 12, 13, 14, 15};
constexpr std::array<float, 16> P4RatioTableB = {16, 17, 18, 19, 20, 21, 22, 24,
                                                 8,  23, 10, 11, 12, 13, 14, 15};

constexpr unsigned kLastRatioIndex = 31;

// The reader of each multiplier method; method 0 and anything unknown have none.
using tReader = bool (cCPUid::*)(float&, unsigned);
constexpr std::array<tReader, 8> kReaders = {
    nullptr,
    &cCPUid::GetMultiplierK7,
    &cCPUid::GetMultiplierK8,
    &cCPUid::GetMultiplierP6,
    &cCPUid::GetMultiplierP6Model11,
    &cCPUid::GetMultiplierP4Early,
    &cCPUid::GetMultiplierP4,
    &cCPUid::GetMultiplierPM,
};

}  // namespace

bool cCPUid::ReadMsr(std::uint32_t index, std::uint64_t& value) {
  if (!IsReadRegister(index)) return false;
  const std::shared_ptr<tRegisterAccess> access = DriverAccess;
  if (!access || !access->MSRIO) return false;
  tMSRValue read;
  if (!access->MSRIO->ReadMSR(index, read)) return false;
  value = (std::uint64_t{read.High} << 32) | read.Low;
  return true;
}

bool cCPUid::ReadMsrLow(std::uint32_t index, std::uint32_t& low) {
  std::uint64_t value = 0;
  if (!ReadMsr(index, value)) return false;
  low = static_cast<std::uint32_t>(value);
  return true;
}

void cCPUid::GetMultiplier(float& multiplier, unsigned s) {
  const std::uint8_t method = MultiplierMethod[s];
  const tReader reader = method < kReaders.size() ? kReaders[method] : nullptr;
  if (reader == nullptr || !(this->*reader)(multiplier, s)) GetMultiplierDMI(multiplier, s);
}

bool cCPUid::GetMultiplierK7(float& multiplier, unsigned s) {
  multiplier = 0;
  std::uint32_t low = 0;
  unsigned i = 0;
  if (CPUfeatures[s].PowerNow == 1) {
    if (!ReadMsrLow(kMsrFidVidStatus, low)) return false;
    i = GetBits(low, 4, 0);
  } else {
    if (!ReadMsrLow(kMsrHwcr, low)) return false;
    i = GetBits(low, 27, 24);
    if (CPUid_m[s].Family >= 6) i += 16 * GetBit(low, 19);
  }
  multiplier = K7FidTable[i];
  return true;
}

bool cCPUid::GetMultiplierK8(float& multiplier, unsigned s) {
  multiplier = 0;
  std::uint32_t low = 0;
  unsigned i = 0;
  if (CPUfeatures[s].CoolnQuiet == 1) {
    if (!ReadMsrLow(kMsrFidVidStatus, low)) return false;
    i = GetBits(low, 4, 0);
  } else {
    if (!ReadMsrLow(kMsrHwcr, low)) return false;
    i = GetBits(low, 29, 24);
  }
  multiplier = 4 + static_cast<float>(i) / 2;
  return true;
}

bool cCPUid::GetMultiplierP6(float& multiplier, unsigned s) {
  multiplier = 0;
  std::uint32_t low = 0;
  if (!ReadMsrLow(kMsrEblCrPoweron, low)) return false;
  unsigned i = GetBits(low, 25, 22);
  const tCPUid_m& id = CPUid_m[s];
  const bool extendedRatio =
      (id.Model == 8 && id.Stepping >= 3) || (id.Model == 10 && id.Stepping >= 1);
  if (extendedRatio && GetBits(low, 30, 27) == 0b0001) i += 16;
  multiplier = P6RatioTable[std::min(i, kLastRatioIndex)];
  return true;
}

bool cCPUid::GetMultiplierP6Model11(float& multiplier, unsigned) {
  multiplier = 0;
  std::uint32_t low = 0;
  if (!ReadMsrLow(kMsrEblCrPoweron, low)) return false;
  const unsigned i = GetBits(low, 25, 22) + 16 * GetBit(low, 27);
  multiplier = P6Model11RatioTable[std::min(i, kLastRatioIndex)];
  return true;
}

bool cCPUid::GetMultiplierP4Early(float& multiplier, unsigned s) {
  multiplier = 0;
  std::uint32_t low = 0;
  if (!ReadMsrLow(kMsrEblCrPoweron, low)) return false;
  const unsigned i = GetBits(low, 11, 8);
  const bool early = CPUid_m[s].Model == 0 && CPUid_m[s].Stepping < 10;
  multiplier = early ? P4RatioTableA[i] : P4RatioTableB[i];
  return true;
}

bool cCPUid::GetMultiplierP4(float& multiplier, unsigned) {
  multiplier = 0;
  std::uint32_t low = 0;
  if (!ReadMsrLow(kMsrEbcFrequencyId, low)) return false;
  multiplier = static_cast<float>(GetBits(low, 28, 24));
  return true;
}

bool cCPUid::GetMultiplierPM(float& multiplier, unsigned) {
  multiplier = 0;
  std::uint32_t low = 0;
  if (!ReadMsrLow(kMsrEblCrPoweron, low)) return false;
  multiplier = static_cast<float>(GetBits(low, 26, 22));
  return true;
}
