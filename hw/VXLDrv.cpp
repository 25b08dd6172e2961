// The port, register and PCI configuration accessors over the deployed device interface.
#include "hw/VXLDrv.h"

#include <mutex>
#include <utility>

#include "hw/DrvInterface.h"

std::shared_ptr<cDrvIface> DriverInterface;

namespace {

constexpr std::uint16_t kConfigAddressPort = 0xCF8;
constexpr std::uint16_t kConfigDataPort = 0xCFC;

// Address and data are two port requests; the ports are the machine's, so every access of
// the process goes one at a time.
std::mutex configMutex;

std::uint32_t ConfigAddress(std::uint8_t bus, std::uint8_t device, std::uint8_t function,
                            std::uint8_t reg) {
  return 0x80000000u | (std::uint32_t{bus} << 16) | (std::uint32_t{device & 0x1Fu} << 11) |
         (std::uint32_t{function & 7u} << 8) | (reg & 0xFCu);
}

// Position of a register's byte within its double word.
unsigned ByteShift(std::uint8_t reg) {
  return (reg & 3u) * 8;
}

}  // namespace

std::uint8_t tPortIO::ReadByte(std::uint16_t port) {
  return DriverInterface ? DriverInterface->ReadPortByte(port) : 0;
}
std::uint16_t tPortIO::ReadWord(std::uint16_t port) {
  return DriverInterface ? DriverInterface->ReadPortWord(port) : 0;
}
std::uint32_t tPortIO::ReadDword(std::uint16_t port) {
  return DriverInterface ? DriverInterface->ReadPortDword(port) : 0;
}
void tPortIO::WriteWord(std::uint16_t port, std::uint16_t value) {
  if (DriverInterface) DriverInterface->WritePortWord(port, value);
}
void tPortIO::WriteByte(std::uint16_t port, std::uint8_t value) {
  if (DriverInterface) DriverInterface->WritePortByte(port, value);
}
void tPortIO::WriteDword(std::uint16_t port, std::uint32_t value) {
  if (DriverInterface) DriverInterface->WritePortDword(port, value);
}

bool tMSRIO::ReadMSR(std::uint32_t index, tMSRValue& value) {
  return DriverInterface && DriverInterface->ReadMsrValue(index, value);
}
bool tMSRIO::WriteMSR(std::uint32_t index, const tMSRValue& value) {
  return DriverInterface && DriverInterface->WriteMsrValue(index, value);
}

tPCIIO::tPCIIO(std::shared_ptr<IPortIO> portIO) : portIO_(std::move(portIO)) {}

void tPCIIO::ReadConfigDword(std::uint8_t bus, std::uint8_t device, std::uint8_t function,
                             std::uint8_t reg, std::uint32_t& value) {
  std::lock_guard lock(configMutex);
  portIO_->WriteDword(kConfigAddressPort, ConfigAddress(bus, device, function, reg));
  value = portIO_->ReadDword(kConfigDataPort);
}

void tPCIIO::WriteConfigDword(std::uint8_t bus, std::uint8_t device, std::uint8_t function,
                              std::uint8_t reg, std::uint32_t value) {
  std::lock_guard lock(configMutex);
  portIO_->WriteDword(kConfigAddressPort, ConfigAddress(bus, device, function, reg));
  portIO_->WriteDword(kConfigDataPort, value);
}

void tPCIIO::ReadConfigByte(std::uint8_t bus, std::uint8_t device, std::uint8_t function,
                            std::uint8_t reg, std::uint8_t& value) {
  std::lock_guard lock(configMutex);
  portIO_->WriteDword(kConfigAddressPort, ConfigAddress(bus, device, function, reg));
  value = static_cast<std::uint8_t>(portIO_->ReadDword(kConfigDataPort) >> ByteShift(reg));
}

void tPCIIO::WriteConfigByte(std::uint8_t bus, std::uint8_t device, std::uint8_t function,
                             std::uint8_t reg, std::uint8_t value) {
  std::lock_guard lock(configMutex);
  portIO_->WriteDword(kConfigAddressPort, ConfigAddress(bus, device, function, reg));
  const unsigned shift = ByteShift(reg);
  std::uint32_t dword = portIO_->ReadDword(kConfigDataPort);
  dword = (dword & ~(0xFFu << shift)) | (std::uint32_t{value} << shift);
  portIO_->WriteDword(kConfigDataPort, dword);
}

bool tPCIIO::DevicePresent(std::uint8_t bus, std::uint8_t device) {
  std::uint32_t id = 0;
  ReadConfigDword(bus, device, 0, 0, id);
  return id != 0xFFFFFFFFu && id != 0;
}

tVXLDrv::tVXLDrv() {
  PortIO = std::make_shared<tPortIO>();
  MSRIO = std::make_shared<tMSRIO>();
  PCIIO = std::make_shared<tPCIIO>(PortIO);
}

tVXLDrv::~tVXLDrv() {
  PCIIO.reset();
  PortIO.reset();
  MSRIO.reset();
}

bool tVXLDrv::OpenDriver() {
  try {
    auto iface = std::make_shared<cDrvIface>();
    DriverInterface = iface;
    return iface->Loaded;
  } catch (...) {
    return false;
  }
}

std::optional<std::chrono::milliseconds> DriverLostAfter() {
  const std::shared_ptr<cDrvIface> iface = DriverInterface;
  return iface ? iface->LostAfter() : std::nullopt;
}

bool OpenDriverAccess() {
  auto access = std::make_shared<tVXLDrv>();
  DriverAccess = access;
  return access->OpenDriver();
}
