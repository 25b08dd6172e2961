// PLACEHOLDER: replaced by the Intel naming table.
#include "engine/CPUid.h"

void cCPUid::NameIntel(unsigned i) {
  static_cast<void>(i);
}
