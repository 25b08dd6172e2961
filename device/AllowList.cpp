#include "device/AllowList.h"

#include "protocol/MsrReads.h"

namespace {

bool PciConfigPort(std::uint32_t port, unsigned width) {
  if (port == kPciConfigAddress) return width == 4;
  return port >= kPciConfigData && port + width <= kPciConfigData + 4u;
}

}  // namespace

bool ProgramRequest(tRequestKind kind, std::uint32_t address, unsigned width) {
  switch (kind) {
    case tRequestKind::MsrRead:
      return IsReadRegister(address);
    case tRequestKind::PortRead:
    case tRequestKind::PortWrite:
      return PciConfigPort(address, width);
    case tRequestKind::MsrWrite:
      return false;
  }
  return false;
}
