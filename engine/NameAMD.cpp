// PLACEHOLDER: replaced by the AMD naming table.
#include "engine/CPUid.h"

void cCPUid::NameAMD(unsigned i) {
  static_cast<void>(i);
}
