// What the program may ask of the hardware, whoever answers it: the port, register and PCI
// configuration accessors, and the bundle of them the program reads through. The driver's
// client (hw/) fills the bundle; the engine's clock readers read registers through it.
#pragma once

#include <cstdint>
#include <memory>

// A 64-bit register value as the program holds it: high half first, then the low half.
struct tMSRValue {
  std::uint32_t High = 0;
  std::uint32_t Low = 0;

  friend bool operator==(const tMSRValue&, const tMSRValue&) = default;
};

class IPortIO {
 public:
  virtual ~IPortIO() = default;
  virtual std::uint8_t ReadByte(std::uint16_t port) = 0;
  virtual std::uint16_t ReadWord(std::uint16_t port) = 0;
  virtual std::uint32_t ReadDword(std::uint16_t port) = 0;
  virtual void WriteWord(std::uint16_t port, std::uint16_t value) = 0;
  virtual void WriteByte(std::uint16_t port, std::uint8_t value) = 0;
  virtual void WriteDword(std::uint16_t port, std::uint32_t value) = 0;
};

class IMSRIO {
 public:
  virtual ~IMSRIO() = default;
  // Reads register `index` of the processor the calling thread runs on. False when there is
  // no driver or the read failed.
  virtual bool ReadMSR(std::uint32_t index, tMSRValue& value) = 0;
  virtual bool WriteMSR(std::uint32_t index, const tMSRValue& value) = 0;
};

class IPCIIO {
 public:
  virtual ~IPCIIO() = default;
  virtual void ReadConfigDword(std::uint8_t bus, std::uint8_t device, std::uint8_t function,
                               std::uint8_t reg, std::uint32_t& value) = 0;
  virtual void WriteConfigDword(std::uint8_t bus, std::uint8_t device, std::uint8_t function,
                                std::uint8_t reg, std::uint32_t value) = 0;
  virtual void ReadConfigByte(std::uint8_t bus, std::uint8_t device, std::uint8_t function,
                              std::uint8_t reg, std::uint8_t& value) = 0;
  virtual void WriteConfigByte(std::uint8_t bus, std::uint8_t device, std::uint8_t function,
                               std::uint8_t reg, std::uint8_t value) = 0;
  virtual bool DevicePresent(std::uint8_t bus, std::uint8_t device) = 0;
};

// The three accessors of one deployment.
struct tRegisterAccess {
  virtual ~tRegisterAccess() = default;

  std::shared_ptr<IPortIO> PortIO;
  std::shared_ptr<IMSRIO> MSRIO;
  std::shared_ptr<IPCIIO> PCIIO;
};

// The bundle the program created at start-up; absent until then. The engine reads registers
// through it.
extern std::shared_ptr<tRegisterAccess> DriverAccess;
