// PLACEHOLDER: replaced by the NexGen naming table.
#include "engine/CPUid.h"

void cCPUid::NameNexGen(unsigned i) {
  static_cast<void>(i);
}
