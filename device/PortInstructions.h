// The processor's I/O port instructions, executed by the calling thread. A thread may execute
// them only on the ports it has been given (ioperm), which takes the CAP_SYS_RAWIO capability.
#pragma once

#include <cstdint>

class IPortInstructions {
 public:
  virtual ~IPortInstructions() = default;

  // Gives the calling thread the ports first .. first + count - 1 (`on`), or takes them back.
  // False when the process may not have them.
  virtual bool Permit(std::uint16_t first, unsigned count, bool on) = 0;
  // One IN or OUT instruction of `width` bytes (1, 2 or 4) on a permitted port; the value sits
  // in the low bytes.
  virtual std::uint32_t In(std::uint16_t port, unsigned width) = 0;
  virtual void Out(std::uint16_t port, unsigned width, std::uint32_t value) = 0;
};

// The instructions themselves, with the kernel's port permission of the calling thread.
class cPortInstructions final : public IPortInstructions {
 public:
  bool Permit(std::uint16_t first, unsigned count, bool on) override;
  std::uint32_t In(std::uint16_t port, unsigned width) override;
  void Out(std::uint16_t port, unsigned width, std::uint32_t value) override;
};
