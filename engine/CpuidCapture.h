// The capture of every CPUID answer of one logical processor: the 27 leaves every processor
// gets, then every range the processor reports and the sub-leaves of each leaf by that
// leaf's own enumeration rule. Every loop has a hard bound, so a processor that reports an
// absurd maximum or never ends a list of sub-leaves cannot make the capture run away.
#pragma once

#include "engine/CpuidStore.h"
#include "platform/ProcessorServices.h"

// Captures the answers of the processor the calling thread runs on into `store` (which
// starts empty). False when an execution got no answer: the capture of this processor ends
// there and the store keeps what came before.
bool CaptureCpuid(platform::IProcessorServices& services, tCpuidStore& store);
