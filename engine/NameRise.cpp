// PLACEHOLDER: replaced by the Rise naming table.
#include "engine/CPUid.h"

void cCPUid::NameRise(unsigned i) {
  static_cast<void>(i);
}
