// The hardware-access device: it answers the control codes of protocol/CmnTnC.h, checks the
// buffers of each request and performs it through a backend.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>

#include "device/AllowList.h"
#include "device/DeviceBackend.h"
#include "protocol/CmnTnC.h"

// A device that takes control requests. Input and output may be the same buffer: every
// input byte is read before the first output byte is written.
class IControlDevice {
 public:
  virtual ~IControlDevice() = default;

  // Sends one request. `returned` is the number of output bytes written (0 unless the request
  // succeeded). Success is tDeviceStatus::Success; every other status is a failed request.
  virtual tDeviceStatus Control(std::uint32_t code, const void* in, std::uint32_t inLength,
                                void* out, std::uint32_t outLength, std::uint32_t& returned) = 0;

  // How long after it was opened the device stopped answering for good; nothing while it
  // answers. A device in this process never stops.
  virtual std::optional<std::chrono::milliseconds> LostAfter() const { return std::nullopt; }
};

// Port requests: a read takes the port (u32, exactly 4 bytes) and needs an output of at least
// the read width; a write takes the port and the value (at least 4 + width bytes) and writes
// the value's low bytes. Register requests: a read takes the index (4 bytes) and returns
// 8 bytes, low half first; a write takes index, low half and high half (12 bytes). A buffer
// too short, or a length without a buffer, completes with InvalidParameter; a request the
// policy refuses with AccessDenied, before the backend sees it; a port above 0xFFFF or a
// refusal of the hardware with Unsuccessful.
class cControlDevice : public IControlDevice {
 public:
  // The device performs what `policy` allows: by default what the program asks for.
  explicit cControlDevice(std::shared_ptr<IDeviceBackend> backend,
                          tAccessPolicy policy = ProgramRequest);

  tDeviceStatus Control(std::uint32_t code, const void* in, std::uint32_t inLength, void* out,
                        std::uint32_t outLength, std::uint32_t& returned) override;

 private:
  std::shared_ptr<IDeviceBackend> backend_;
  tAccessPolicy policy_;
};

inline bool Succeeded(tDeviceStatus status) {
  return status == tDeviceStatus::Success;
}
