#include "hw/DrvInterface.h"

#include <utility>

#include "protocol/LittleEndian.h"
#include "protocol/RequestMessage.h"

namespace {

// The source name the device-control routines report their failed checks under.
constexpr char kAssertMessage[] = "Assertion failure";
constexpr char kAssertSource[] = "VXLdrv\\WinNTMethods";

std::string AssertText(const std::string& message, const std::string& source, int line) {
  return message + " (" + source + ", line " + std::to_string(line) + ")";
}

[[noreturn]] void Fail(int line) {
  throw EAssertionFailed(kAssertMessage, kAssertSource, line);
}

// A request's port or register number, or a 32-bit value: little-endian, 4 bytes.
void Put32(std::uint8_t* bytes, std::uint32_t value) {
  StoreLE(bytes, value, 4);
}

std::uint32_t Get32(const std::uint8_t* bytes, unsigned count = 4) {
  return static_cast<std::uint32_t>(LoadLE(bytes, count));
}

// Lines of the checks of one port routine: the call failed, the byte count is wrong.
struct tCheckLines {
  int Failed;
  int Count;
};

// The device-control routines: one request each, synchronous.
std::uint32_t ReadPort(IControlDevice& device, std::uint32_t code, std::uint32_t port,
                       unsigned width, tCheckLines lines) {
  std::uint8_t in[4];
  Put32(in, port);
  std::uint8_t out[4] = {};
  std::uint32_t returned = 0;
  if (!Succeeded(device.Control(code, in, sizeof in, out, width, returned))) Fail(lines.Failed);
  if (returned != width) Fail(lines.Count);
  return Get32(out, width);
}

// The whole value travels; the device writes its low `width` bytes.
void WritePort(IControlDevice& device, std::uint32_t code, std::uint32_t port, std::uint32_t value,
               int lineFailed) {
  std::uint8_t in[8];
  Put32(in, port);
  Put32(in + 4, value);
  std::uint32_t returned = 0;
  if (!Succeeded(device.Control(code, in, sizeof in, nullptr, 0, returned))) Fail(lineFailed);
}

std::uint32_t ReadDwordNT(IControlDevice& d, std::uint32_t port) {
  return ReadPort(d, IOCTL_READ_PORT_DWORD, port, 4, {20, 21});
}
std::uint16_t ReadWordNT(IControlDevice& d, std::uint32_t port) {
  return static_cast<std::uint16_t>(ReadPort(d, IOCTL_READ_PORT_WORD, port, 2, {44, 45}));
}
std::uint8_t ReadByteNT(IControlDevice& d, std::uint32_t port) {
  return static_cast<std::uint8_t>(ReadPort(d, IOCTL_READ_PORT_BYTE, port, 1, {68, 69}));
}
void WriteDwordNT(IControlDevice& d, std::uint32_t port, std::uint32_t value) {
  WritePort(d, IOCTL_WRITE_PORT_DWORD, port, value, 100);
}
void WriteWordNT(IControlDevice& d, std::uint32_t port, std::uint16_t value) {
  WritePort(d, IOCTL_WRITE_PORT_WORD, port, value, 130);
}
void WriteByteNT(IControlDevice& d, std::uint32_t port, std::uint8_t value) {
  WritePort(d, IOCTL_WRITE_PORT_BYTE, port, value, 160);
}

// The device answers low half first; the program holds high half first.
bool ReadMsrNT(IControlDevice& d, std::uint32_t index, tMSRValue& value) {
  std::uint8_t in[4];
  Put32(in, index);
  std::uint8_t out[8] = {};
  std::uint32_t returned = 0;
  if (!Succeeded(d.Control(IOCTL_READ_MSR, in, sizeof in, out, sizeof out, returned))) return false;
  value.High = Get32(out + 4);
  value.Low = Get32(out);
  return true;
}

bool WriteMsrNT(IControlDevice& d, std::uint32_t index, const tMSRValue& value) {
  std::uint8_t in[12];
  Put32(in, index);
  Put32(in + 4, value.Low);
  Put32(in + 8, value.High);
  std::uint32_t returned = 0;
  return Succeeded(d.Control(IOCTL_WRITE_MSR, in, sizeof in, nullptr, 0, returned));
}

// The routines that reach the hardware on this system, in the order of the operations.
struct tAccessRow {
  std::uint32_t (*ReadPortDword)(IControlDevice&, std::uint32_t);
  std::uint16_t (*ReadPortWord)(IControlDevice&, std::uint32_t);
  std::uint8_t (*ReadPortByte)(IControlDevice&, std::uint32_t);
  void (*WritePortDword)(IControlDevice&, std::uint32_t, std::uint32_t);
  void (*WritePortWord)(IControlDevice&, std::uint32_t, std::uint16_t);
  void (*WritePortByte)(IControlDevice&, std::uint32_t, std::uint8_t);
  bool (*ReadMsr)(IControlDevice&, std::uint32_t, tMSRValue&);
  bool (*WriteMsr)(IControlDevice&, std::uint32_t, const tMSRValue&);
};

constexpr tAccessRow kAccessMethods = {ReadDwordNT, ReadWordNT,  ReadByteNT, WriteDwordNT,
                                       WriteWordNT, WriteByteNT, ReadMsrNT,  WriteMsrNT};

}  // namespace

EAssertionFailed::EAssertionFailed(const std::string& message, const std::string& source, int line)
    : std::runtime_error(AssertText(message, source, line)),
      message_(message),
      source_(source),
      line_(line) {}

cDrvIface::cDrvIface() : cDrvIface(std::make_unique<cLLDrv>()) {}

cDrvIface::cDrvIface(std::unique_ptr<cLLDrv> loader) : LowLevelDriver(std::move(loader)) {
  Loaded = LowLevelDriver->InstallDriver();
  DeviceHandle = LowLevelDriver->DeviceHandle;
}

cDrvIface::cDrvIface(tDeviceHandle device)
    : Loaded(device != nullptr), DeviceHandle(std::move(device)) {}

IControlDevice* cDrvIface::Device() const {
  return Loaded ? DeviceHandle.get() : nullptr;
}

std::optional<std::chrono::milliseconds> cDrvIface::LostAfter() const {
  const IControlDevice* device = Device();
  return device != nullptr ? device->LostAfter() : std::nullopt;
}

std::uint32_t cDrvIface::ReadPortDword(std::uint32_t port) {
  IControlDevice* device = Device();
  return device ? kAccessMethods.ReadPortDword(*device, port) : 0;
}
std::uint16_t cDrvIface::ReadPortWord(std::uint32_t port) {
  IControlDevice* device = Device();
  return device ? kAccessMethods.ReadPortWord(*device, port) : 0;
}
std::uint8_t cDrvIface::ReadPortByte(std::uint32_t port) {
  IControlDevice* device = Device();
  return device ? kAccessMethods.ReadPortByte(*device, port) : 0;
}
void cDrvIface::WritePortDword(std::uint32_t port, std::uint32_t value) {
  if (IControlDevice* device = Device()) kAccessMethods.WritePortDword(*device, port, value);
}
void cDrvIface::WritePortWord(std::uint32_t port, std::uint16_t value) {
  if (IControlDevice* device = Device()) kAccessMethods.WritePortWord(*device, port, value);
}
void cDrvIface::WritePortByte(std::uint32_t port, std::uint8_t value) {
  if (IControlDevice* device = Device()) kAccessMethods.WritePortByte(*device, port, value);
}
bool cDrvIface::ReadMsrValue(std::uint32_t index, tMSRValue& value) {
  value = {};
  IControlDevice* device = Device();
  return device && kAccessMethods.ReadMsr(*device, index, value);
}
bool cDrvIface::WriteMsrValue(std::uint32_t index, const tMSRValue& value) {
  IControlDevice* device = Device();
  return device && kAccessMethods.WriteMsr(*device, index, value);
}

bool cDrvIface::ReadFirmwareTables(std::vector<std::uint8_t>& entryPoint,
                                   std::vector<std::uint8_t>& table) {
  IControlDevice* device = Device();
  if (device == nullptr) return false;
  std::uint32_t returned = 0;
  entryPoint.assign(kMaxSMBIOSEntryPoint, 0);
  if (!Succeeded(device->Control(IOCTL_READ_SMBIOS_ENTRY_POINT, nullptr, 0, entryPoint.data(),
                                 kMaxSMBIOSEntryPoint, returned)))
    return false;
  entryPoint.resize(returned);

  // The table in pieces as long as a reply holds, up to a piece that comes short.
  table.clear();
  std::vector<std::uint8_t> piece(kMaxReplyOutput);
  do {
    std::uint8_t offset[4];
    Put32(offset, static_cast<std::uint32_t>(table.size()));
    if (!Succeeded(device->Control(IOCTL_READ_SMBIOS_TABLE, offset, sizeof offset, piece.data(),
                                   kMaxReplyOutput, returned)))
      return false;
    table.insert(table.end(), piece.begin(), piece.begin() + returned);
  } while (returned == kMaxReplyOutput && table.size() < kMaxSMBIOSTable);
  return true;
}
