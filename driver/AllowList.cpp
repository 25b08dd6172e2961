#include "driver/AllowList.h"

#include <algorithm>
#include <iterator>

namespace {

bool ReadableMsr(std::uint32_t index) {
  return std::any_of(std::begin(kReadableMsrs), std::end(kReadableMsrs),
                     [index](const tReadableMsr& row) { return row.Index == index; });
}

bool PciConfigPort(std::uint32_t port, unsigned width) {
  if (port == kPciConfigAddress) return width == 4;
  return port >= kPciConfigData && port + width <= kPciConfigData + 4u;
}

}  // namespace

bool ProgramRequest(tRequestKind kind, std::uint32_t address, unsigned width) {
  switch (kind) {
    case tRequestKind::MsrRead:
      return ReadableMsr(address);
    case tRequestKind::PortRead:
    case tRequestKind::PortWrite:
      return PciConfigPort(address, width);
    case tRequestKind::MsrWrite:
      return false;
  }
  return false;
}
