// PLACEHOLDER: replaced by the Cyrix naming table.
#include "engine/CPUid.h"

void cCPUid::NameCyrix(unsigned i) {
  static_cast<void>(i);
}
