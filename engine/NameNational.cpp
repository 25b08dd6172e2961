// PLACEHOLDER: replaced by the National naming table.
#include "engine/CPUid.h"

void cCPUid::NameNational(unsigned i) {
  static_cast<void>(i);
}
