#include "app/TextReport.h"

#include "engine/CPUid.h"

std::string TextReport(const cCPUid& engine, bool driverLoaded) {
  static_cast<void>(driverLoaded);
  return "processors: " + std::to_string(engine.CPUCount) + "\n";
}
