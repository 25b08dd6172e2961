// The firmware tables through the driver: a driver process reads them as root for a program
// that may not.
#include <memory>
#include <utility>

#include "hw/DrvInterface.h"
#include "hw/VXLDrv.h"
#include "smbios/get_dmi.h"

namespace {

class tDriverSMBIOSSource final : public ISMBIOSSource {
 public:
  tDriverSMBIOSSource(std::shared_ptr<cDrvIface> driver, std::unique_ptr<ISMBIOSSource> system)
      : driver_(std::move(driver)), system_(std::move(system)) {}

  // The driver hands out the tables it found as one entry point and its table, as the
  // kernel's copy comes.
  bool KernelTables(std::vector<std::uint8_t>& entryPoint,
                    std::vector<std::uint8_t>& table) override {
    if (driver_ && driver_->ReadFirmwareTables(entryPoint, table)) return true;
    return system_->KernelTables(entryPoint, table);
  }
  bool BIOSArea(std::vector<std::uint8_t>& area) override { return system_->BIOSArea(area); }
  bool ReadPhysical(std::uint64_t address, std::size_t length,
                    std::vector<std::uint8_t>& out) override {
    return system_->ReadPhysical(address, length, out);
  }
  // A loaded driver reads as root: what it did not find is not there.
  bool PermissionDenied() const override {
    return !(driver_ && driver_->Loaded) && system_->PermissionDenied();
  }

 private:
  std::shared_ptr<cDrvIface> driver_;
  std::unique_ptr<ISMBIOSSource> system_;
};

}  // namespace

std::unique_ptr<ISMBIOSSource> SMBIOSThroughDriver(std::unique_ptr<ISMBIOSSource> system) {
  return std::make_unique<tDriverSMBIOSSource>(DriverInterface, std::move(system));
}
