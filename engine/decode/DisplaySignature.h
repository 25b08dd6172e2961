// Family, model and stepping as the processor's makers and the operating system number
// them: the family adds the extended family when the base family is 0xF, and the model adds
// the extended model (times 16) from family 6 on.
#pragma once

#include <cstdint>

#include "engine/store/CpuidStore.h"

struct tDisplaySignature {
  std::uint32_t Family = 0;
  std::uint32_t Model = 0;
  std::uint32_t Stepping = 0;

  friend bool operator==(const tDisplaySignature&, const tDisplaySignature&) = default;
};

// The display signature of a leaf-1 EAX.
tDisplaySignature DisplaySignatureOf(std::uint32_t leaf1Eax);
// The display signature of the processor; zeros when leaf 1 was not captured.
tDisplaySignature DisplaySignatureOf(const tCpuidStore& store);
