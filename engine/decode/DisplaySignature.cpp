#include "engine/decode/DisplaySignature.h"

#include "engine/store/Leaves.h"
#include "engine/store/MyUtils.h"

tDisplaySignature DisplaySignatureOf(std::uint32_t eax) {
  tDisplaySignature signature;
  const std::uint32_t baseFamily = GetBits(eax, 8, 11);
  signature.Family = baseFamily == 0xF ? baseFamily + GetBits(eax, 20, 27) : baseFamily;
  signature.Model = GetBits(eax, 4, 7);
  if (signature.Family >= 6) signature.Model += GetBits(eax, 16, 19) << 4;
  signature.Stepping = GetBits(eax, 0, 3);
  return signature;
}

tDisplaySignature DisplaySignatureOf(const tCpuidStore& store) {
  const tCPUIDResult* leaf1 = store.Find(kLeafFeatures);
  return leaf1 != nullptr ? DisplaySignatureOf(leaf1->EAX) : tDisplaySignature{};
}
