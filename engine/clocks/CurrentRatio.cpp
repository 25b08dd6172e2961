#include "engine/clocks/CurrentRatio.h"

#include "engine/store/MyUtils.h"
#include "protocol/MsrReads.h"

namespace {

constexpr std::uint8_t kRatioKinds = static_cast<std::uint8_t>(tRatioRegisters::AmdPStateFamily1A);

// Reference clocks in MHz.
constexpr double kNehalemBus = 400.0 / 3;  // 133.33
constexpr double kBus100 = 100;
constexpr double kBus200 = 200;

// IA32_PERF_STATUS holds the current ratio (bits 15..0 on Nehalem and Westmere, 15..8 from
// Sandy Bridge on); the time-stamp counter runs at MSR_PLATFORM_INFO's maximum non-turbo
// ratio (15..8) times the bus clock.
std::optional<tRatioReading> IntelRatio(const tRegisterRead& read, double tscMhz, bool nehalem) {
  std::uint64_t status = 0;
  if (!read(kMsrPerfStatus, status)) return std::nullopt;
  const std::uint64_t ratio = nehalem ? GetBits(status, 0, 15) : GetBits(status, 8, 15);
  if (ratio == 0) return std::nullopt;
  double bus = nehalem ? kNehalemBus : kBus100;
  std::uint64_t platform = 0;
  if (tscMhz > 0 && read(kMsrPlatformInfo, platform) && GetBits(platform, 8, 15) != 0)
    bus = tscMhz / static_cast<double>(GetBits(platform, 8, 15));
  return tRatioReading{static_cast<float>(ratio), bus};
}

// COFVID status: CoreCOF = 100 MHz x (CurCpuFid[5:0] + fidBase) / 2^CurCpuDid[8:6].
std::optional<tRatioReading> CofVidRatio(const tRegisterRead& read, unsigned fidBase, double bus) {
  std::uint64_t status = 0;
  if (!read(kMsrCofVidStatus, status)) return std::nullopt;
  const double cof = 100.0 * static_cast<double>(GetBits(status, 0, 5) + fidBase) /
                     static_cast<double>(std::uint64_t{1} << GetBits(status, 6, 8));
  return tRatioReading{static_cast<float>(cof / bus), bus};
}

// The definition of the current P-state (P-state status 2..0), enabled (bit 63): from family
// 17h CoreCOF = CpuFid[7:0] / CpuDfsId[13:8] x 200 MHz, from family 1Ah CpuFid[11:0] x 5 MHz.
std::optional<tRatioReading> PStateRatio(const tRegisterRead& read, bool family1A) {
  std::uint64_t status = 0, definition = 0;
  if (!read(kMsrPStateStatus, status)) return std::nullopt;
  if (!read(kMsrPStateDefinition0 + static_cast<std::uint32_t>(GetBits(status, 0, 2)), definition))
    return std::nullopt;
  if (GetBits(definition, 63, 63) == 0) return std::nullopt;
  double cof = 0;
  if (family1A) {
    cof = 5.0 * static_cast<double>(GetBits(definition, 0, 11));
  } else {
    const std::uint64_t divisor = GetBits(definition, 8, 13);
    if (divisor == 0) return std::nullopt;
    cof = 200.0 * static_cast<double>(GetBits(definition, 0, 7)) / static_cast<double>(divisor);
  }
  if (cof == 0) return std::nullopt;
  return tRatioReading{static_cast<float>(cof / kBus100), kBus100};
}

}  // namespace

std::uint8_t RatioMethodOf(tRatioRegisters registers) {
  return registers == tRatioRegisters::None
             ? 0
             : static_cast<std::uint8_t>(kFirstRatioMethod + static_cast<std::uint8_t>(registers) -
                                         1);
}

std::optional<tRatioRegisters> RatioRegistersOf(std::uint8_t method) {
  if (method < kFirstRatioMethod || method >= kFirstRatioMethod + kRatioKinds) return std::nullopt;
  return static_cast<tRatioRegisters>(method - kFirstRatioMethod + 1);
}

std::optional<tRatioReading> ReadCurrentRatio(tRatioRegisters registers, const tRegisterRead& read,
                                              double tscMhz) {
  switch (registers) {
    case tRatioRegisters::IntelNehalem:
      return IntelRatio(read, tscMhz, true);
    case tRatioRegisters::IntelCore:
      return IntelRatio(read, tscMhz, false);
    case tRatioRegisters::AmdCofVid200:
      return CofVidRatio(read, 0x10, kBus200);
    case tRatioRegisters::AmdCofVid100:
      return CofVidRatio(read, 0x10, kBus100);
    case tRatioRegisters::AmdCofVidFamily11:
      return CofVidRatio(read, 0x08, kBus200);
    case tRatioRegisters::AmdPState:
      return PStateRatio(read, false);
    case tRatioRegisters::AmdPStateFamily1A:
      return PStateRatio(read, true);
    case tRatioRegisters::None:
      break;
  }
  return std::nullopt;
}
