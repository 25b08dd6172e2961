// PLACEHOLDER: replaced by the SiS naming table.
#include "engine/CPUid.h"

void cCPUid::NameSiS(unsigned i) {
  static_cast<void>(i);
}
