// The capture of every CPUID answer of one logical processor: the 27 leaves every processor
// gets, then every range the processor reports and the sub-leaves of each leaf by that
// leaf's own enumeration rule. Every loop has a hard bound, so a processor that reports an
// absurd maximum or never ends a list of sub-leaves cannot make the capture run away.
#pragma once

#include <vector>

#include "engine/store/CpuidStore.h"
#include "platform/ProcessorServices.h"

// Captures the answers of the processor the calling thread runs on into `store` (which
// starts empty). False when an execution got no answer: the capture of this processor ends
// there and the store keeps what came before.
bool CaptureCpuid(platform::IProcessorServices& services, tCpuidStore& store);

// The answers of every processor the services offer, in slot order, each captured with the
// calling thread on that processor, with its operating system's number. A processor the
// thread cannot be moved to is left out; the thread is put back where it was.
std::vector<tCpuidStore> CaptureEveryProcessor(platform::IProcessorServices& services);
