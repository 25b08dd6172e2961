#include "device/AllowList.h"

#include "protocol/MsrReads.h"

namespace {

// Reads of the data port, inside its four bytes. The end is reckoned in 64 bits so that a
// port near the top of the 32-bit range cannot wrap round into the window.
bool ConfigDataRead(std::uint32_t port, unsigned width) {
  return port >= kPciConfigData &&
         std::uint64_t{port} + width <= std::uint64_t{kPciConfigData} + 4u;
}

// Writes of a whole configuration address to the address port; nothing is written to the
// data port, since the program never changes a device's configuration.
bool ConfigAddressWrite(std::uint32_t port, unsigned width) {
  return port == kPciConfigAddress && width == 4;
}

}  // namespace

bool ProgramRequest(tRequestKind kind, std::uint32_t address, unsigned width) {
  switch (kind) {
    case tRequestKind::MsrRead:
      return IsReadRegister(address);
    case tRequestKind::PortRead:
      return ConfigDataRead(address, width);
    case tRequestKind::PortWrite:
      return ConfigAddressWrite(address, width);
    case tRequestKind::MsrWrite:
      return false;
  }
  return false;
}
