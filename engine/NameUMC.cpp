// PLACEHOLDER: replaced by the UMC naming table.
#include "engine/CPUid.h"

void cCPUid::NameUMC(unsigned i) {
  static_cast<void>(i);
}
