// How each processor's identity was reached (--explain): for each distinct processor, its
// vendor and signature, the evidence the code-name table was matched against, the row that
// matched and its source, the rows that came close and why they lost, and the leaves that
// gave the topology and the caches.
#pragma once

#include <string>

#include "engine/CPUid.h"

std::string ExplanationReport(const cCPUid& engine);
