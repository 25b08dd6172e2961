// The program's side of the hardware-access device: deployment of the device, and the port
// and register operations, each one control request.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "hw/LLDrv.h"
#include "hw/VXLDrv.h"

// Raised when the device refuses a port request or answers it with the wrong byte count.
// what() reads "Assertion failure (VXLdrv\WinNTMethods, line 20)".
class EAssertionFailed : public std::runtime_error {
 public:
  EAssertionFailed(const std::string& message, const std::string& source, int line);

  const std::string& Message() const { return message_; }
  const std::string& Source() const { return source_; }
  int Line() const { return line_; }

 private:
  std::string message_;
  std::string source_;
  int line_;
};

class cDrvIface {
 public:
  // Deploys the device on this system: makes the port and register devices available
  // (unless in a virtual machine) and opens them.
  cDrvIface();
  // Deploys through `loader`.
  explicit cDrvIface(std::unique_ptr<cLLDrv> loader);
  // Works with a device that is already open; Loaded when `device` is not empty.
  explicit cDrvIface(tDeviceHandle device);

  // True when the device is open. Without it a read yields 0, a write does nothing and a
  // register operation yields false.
  bool Loaded = false;
  // The device is never stopped; stays false.
  bool StopResult = false;

  // Port operations raise EAssertionFailed when the loaded device refuses the request.
  std::uint32_t ReadPortDword(std::uint32_t port);
  std::uint16_t ReadPortWord(std::uint32_t port);
  std::uint8_t ReadPortByte(std::uint32_t port);
  void WritePortDword(std::uint32_t port, std::uint32_t value);
  void WritePortWord(std::uint32_t port, std::uint16_t value);
  void WritePortByte(std::uint32_t port, std::uint8_t value);
  // Register operations of the calling thread's processor; false when refused. A read sets
  // `value` to 0 first.
  bool ReadMsrValue(std::uint32_t index, tMSRValue& value);
  bool WriteMsrValue(std::uint32_t index, const tMSRValue& value);

  // The firmware's SMBIOS entry point and structure table, from a driver that reads them for
  // the program (the driver process does; the device in this process does not). False when
  // the driver has none.
  bool ReadFirmwareTables(std::vector<std::uint8_t>& entryPoint, std::vector<std::uint8_t>& table);

  // How long after it was opened the loaded device stopped answering; nothing while it
  // answers, or when none is loaded.
  std::optional<std::chrono::milliseconds> LostAfter() const;

 private:
  // The device when it is open; null otherwise.
  IControlDevice* Device() const;

  std::unique_ptr<cLLDrv> LowLevelDriver;
  tDeviceHandle DeviceHandle;
};
