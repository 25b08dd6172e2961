// The driver process's side of its socket: it answers each request message of its one client
// through the hardware-access device, and the firmware-table requests from the tables it read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <vector>

#include "device/ControlDevice.h"

// Reads the firmware's SMBIOS entry point and structure table; false when there are none.
using tFirmwareTables =
    std::function<bool(std::vector<std::uint8_t>& entryPoint, std::vector<std::uint8_t>& table)>;
// Points the device's register requests at a processor (kAnyProcessor: the one the driver
// runs on).
using tProcessorChoice = std::function<void(std::uint32_t processor)>;

class cRequestServer {
 public:
  cRequestServer(std::shared_ptr<IControlDevice> device, tFirmwareTables tables,
                 tProcessorChoice chooseProcessor);

  // Writes the reply to one request message into `reply` (kMaxReplySize bytes) and returns
  // its length. A message that holds no request is answered InvalidParameter.
  std::size_t Answer(std::span<const std::uint8_t> message, std::span<std::uint8_t> reply);

 private:
  tDeviceStatus Perform(std::uint32_t code, std::span<const std::uint8_t> in,
                        std::span<std::uint8_t> out, std::uint32_t& returned);
  tDeviceStatus FirmwareRequest(std::uint32_t code, std::span<const std::uint8_t> in,
                                std::span<std::uint8_t> out, std::uint32_t& returned);

  std::shared_ptr<IControlDevice> device_;
  tFirmwareTables readTables_;
  tProcessorChoice chooseProcessor_;
  // The firmware tables, read at the first request for them.
  bool tablesRead_ = false;
  bool tablesFound_ = false;
  std::vector<std::uint8_t> entryPoint_;
  std::vector<std::uint8_t> table_;
};

// Serves the client at the other end of `socket`: sends the greeting, then answers every
// request message until the client closes its end. Returns 0 when the client closed, 1 when
// the socket failed.
int ServeClient(int socket, cRequestServer& server);
