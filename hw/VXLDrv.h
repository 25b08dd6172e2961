// The hardware-access bundle over the driver: processor I/O ports, model-specific registers and
// PCI configuration space, reached through the interfaces of protocol/RegisterAccess.h. The
// window and the live report create one at start-up and keep it in DriverAccess, where the
// engine finds it.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>

#include "protocol/RegisterAccess.h"

// Ports through DriverInterface; without it a read yields 0 and a write does nothing.
class tPortIO : public IPortIO {
 public:
  std::uint8_t ReadByte(std::uint16_t port) override;
  std::uint16_t ReadWord(std::uint16_t port) override;
  std::uint32_t ReadDword(std::uint16_t port) override;
  void WriteWord(std::uint16_t port, std::uint16_t value) override;
  void WriteByte(std::uint16_t port, std::uint8_t value) override;
  void WriteDword(std::uint16_t port, std::uint32_t value) override;
};

// Registers through DriverInterface; without it every operation yields false.
class tMSRIO : public IMSRIO {
 public:
  bool ReadMSR(std::uint32_t index, tMSRValue& value) override;
  bool WriteMSR(std::uint32_t index, const tMSRValue& value) override;
};

// PCI configuration space through the address port 0xCF8 and the data port 0xCFC of the
// ports it was given. Device numbers use their low 5 bits, function numbers their low 3, and
// the address holds the register's double word; a byte access picks or merges its byte in
// that double word. One configuration access runs at a time in the process.
class tPCIIO : public IPCIIO {
 public:
  explicit tPCIIO(std::shared_ptr<IPortIO> portIO);

  void ReadConfigDword(std::uint8_t bus, std::uint8_t device, std::uint8_t function,
                       std::uint8_t reg, std::uint32_t& value) override;
  void WriteConfigDword(std::uint8_t bus, std::uint8_t device, std::uint8_t function,
                        std::uint8_t reg, std::uint32_t value) override;
  void ReadConfigByte(std::uint8_t bus, std::uint8_t device, std::uint8_t function,
                      std::uint8_t reg, std::uint8_t& value) override;
  void WriteConfigByte(std::uint8_t bus, std::uint8_t device, std::uint8_t function,
                       std::uint8_t reg, std::uint8_t value) override;
  // Reads register 0 of function 0; an empty slot answers all ones (or nothing at all).
  bool DevicePresent(std::uint8_t bus, std::uint8_t device) override;

 private:
  std::shared_ptr<IPortIO> portIO_;
};

class tVXLDrv : public tRegisterAccess {
 public:
  // Creates the three accessors; nothing is opened yet.
  tVXLDrv();
  ~tVXLDrv();
  tVXLDrv(const tVXLDrv&) = delete;
  tVXLDrv& operator=(const tVXLDrv&) = delete;

  // Deploys the driver (creates DriverInterface) and says whether its device is open. Any
  // error of the deployment gives false and leaves DriverInterface absent.
  bool OpenDriver();
};

class cDrvIface;

// The deployed device interface; absent until OpenDriver created it.
extern std::shared_ptr<cDrvIface> DriverInterface;

// Creates the bundle, keeps it in DriverAccess and opens the driver: the start-up of the
// window and of the live report. True when the driver's device is open.
bool OpenDriverAccess();

// How long after it was opened the driver of DriverInterface stopped answering; nothing
// while it answers, or when there is none.
std::optional<std::chrono::milliseconds> DriverLostAfter();
