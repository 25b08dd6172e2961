#include "device/ControlDevice.h"

#include <utility>

#include "protocol/LittleEndian.h"

namespace {

struct tCodeRow {
  std::uint32_t Code;
  tRequestKind Kind;
  unsigned Width;  // bytes of the port access; 8 for the register codes
};

constexpr tCodeRow kCodeRows[] = {
    {IOCTL_READ_PORT_BYTE, tRequestKind::PortRead, 1},
    {IOCTL_READ_PORT_WORD, tRequestKind::PortRead, 2},
    {IOCTL_READ_PORT_DWORD, tRequestKind::PortRead, 4},
    {IOCTL_WRITE_PORT_BYTE, tRequestKind::PortWrite, 1},
    {IOCTL_WRITE_PORT_WORD, tRequestKind::PortWrite, 2},
    {IOCTL_WRITE_PORT_DWORD, tRequestKind::PortWrite, 4},
    {IOCTL_READ_MSR, tRequestKind::MsrRead, 8},
    {IOCTL_WRITE_MSR, tRequestKind::MsrWrite, 8},
};

const tCodeRow* FindCode(std::uint32_t code) {
  for (const tCodeRow& row : kCodeRows) {
    if (row.Code == code) return &row;
  }
  return nullptr;
}

// Shortest input and output each kind of request needs.
std::pair<std::uint32_t, std::uint32_t> NeededLengths(const tCodeRow& row) {
  switch (row.Kind) {
    case tRequestKind::PortRead:
      return {4, row.Width};
    case tRequestKind::PortWrite:
      return {4 + row.Width, 0};
    case tRequestKind::MsrRead:
      return {4, 8};
    case tRequestKind::MsrWrite:
      return {12, 0};
  }
  return {0, 0};
}

bool LengthsAccepted(const tCodeRow& row, std::uint32_t inLength, std::uint32_t outLength) {
  const auto [in, out] = NeededLengths(row);
  // A port read takes exactly the port, nothing more.
  if (row.Kind == tRequestKind::PortRead && inLength != in) return false;
  return inLength >= in && outLength >= out;
}

}  // namespace

cControlDevice::cControlDevice(std::shared_ptr<IDeviceBackend> backend, tAccessPolicy policy)
    : backend_(std::move(backend)), policy_(policy) {}

tDeviceStatus cControlDevice::Control(std::uint32_t code, const void* in, std::uint32_t inLength,
                                      void* out, std::uint32_t outLength, std::uint32_t& returned) {
  returned = 0;
  const tCodeRow* row = FindCode(code);
  if (row == nullptr) return tDeviceStatus::InvalidDeviceRequest;
  if ((in == nullptr && inLength != 0) || (out == nullptr && outLength != 0) ||
      !LengthsAccepted(*row, inLength, outLength))
    return tDeviceStatus::InvalidParameter;

  const auto* input = static_cast<const std::uint8_t*>(in);
  auto* output = static_cast<std::uint8_t*>(out);
  const auto first = static_cast<std::uint32_t>(LoadLE(input, 4));  // port or register index
  if (!policy_(row->Kind, first, row->Width)) return tDeviceStatus::AccessDenied;
  switch (row->Kind) {
    case tRequestKind::PortRead: {
      std::uint32_t value = 0;
      if (first > 0xFFFF ||
          !backend_->ReadPort(static_cast<std::uint16_t>(first), row->Width, value))
        return tDeviceStatus::Unsuccessful;
      StoreLE(output, value, row->Width);
      returned = row->Width;
      return tDeviceStatus::Success;
    }
    case tRequestKind::PortWrite: {
      const auto value = static_cast<std::uint32_t>(LoadLE(input + 4, row->Width));
      if (first > 0xFFFF ||
          !backend_->WritePort(static_cast<std::uint16_t>(first), row->Width, value))
        return tDeviceStatus::Unsuccessful;
      return tDeviceStatus::Success;
    }
    case tRequestKind::MsrRead: {
      std::uint64_t value = 0;
      if (!backend_->ReadMsr(first, value)) return tDeviceStatus::Unsuccessful;
      StoreLE(output, value, 8);
      returned = 8;
      return tDeviceStatus::Success;
    }
    case tRequestKind::MsrWrite: {
      if (!backend_->WriteMsr(first, LoadLE(input + 4, 8))) return tDeviceStatus::Unsuccessful;
      return tDeviceStatus::Success;
    }
  }
  return tDeviceStatus::InvalidDeviceRequest;
}
