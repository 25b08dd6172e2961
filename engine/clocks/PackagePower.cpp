// The energy registers per vendor and the arithmetic of the energy counter.
#include "engine/clocks/PackagePower.h"

#include "engine/store/Leaves.h"
#include "engine/store/MyUtils.h"
#include "protocol/MsrReads.h"

std::optional<tEnergyRegisters> EnergyRegistersOf(tVendor vendor,
                                                  std::optional<tRatioRegisters> ratioRegisters,
                                                  const tCpuidStore& store) {
  if (vendor == tVendor::intel && ratioRegisters == tRatioRegisters::IntelCore)
    return tEnergyRegisters{kMsrRaplPowerUnit, kMsrPackageEnergyStatus};
  if (vendor == tVendor::amd && store.Get(kLeafExtendedBase).EAX >= kLeafPowerManagement &&
      GetBit(store.Get(kLeafPowerManagement).EDX, 14) != 0) {
    return tEnergyRegisters{kMsrAmdRaplPowerUnit, kMsrAmdPackageEnergyStatus};
  }
  return std::nullopt;
}

std::optional<double> PackageWatts(std::uint64_t unitRegister, std::uint64_t start,
                                   std::uint64_t end, std::int64_t nanoseconds) {
  if (nanoseconds <= 0) return std::nullopt;
  const unsigned esu = static_cast<unsigned>(GetBits(unitRegister, 8, 12));
  const std::uint32_t counted = static_cast<std::uint32_t>(end) - static_cast<std::uint32_t>(start);
  const double joules = static_cast<double>(counted) / static_cast<double>(1ull << esu);
  return joules * 1e9 / static_cast<double>(nanoseconds);
}
