// PLACEHOLDER: replaced by the Transmeta naming table.
#include "engine/CPUid.h"

void cCPUid::NameTransmeta(unsigned i) {
  static_cast<void>(i);
}
