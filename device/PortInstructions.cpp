#include "device/PortInstructions.h"

#include <sys/io.h>

#if !defined(__x86_64__) && !defined(__i386__)
#error "the port instructions are x86 instructions"
#endif

bool cPortInstructions::Permit(std::uint16_t first, unsigned count, bool on) {
  return ioperm(first, count, on ? 1 : 0) == 0;
}

std::uint32_t cPortInstructions::In(std::uint16_t port, unsigned width) {
  switch (width) {
    case 1:
      return inb(port);
    case 2:
      return inw(port);
    default:
      return inl(port);
  }
}

void cPortInstructions::Out(std::uint16_t port, unsigned width, std::uint32_t value) {
  switch (width) {
    case 1:
      outb(static_cast<std::uint8_t>(value), port);
      break;
    case 2:
      outw(static_cast<std::uint16_t>(value), port);
      break;
    default:
      outl(value, port);
      break;
  }
}
