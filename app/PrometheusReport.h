// The report as metrics in Prometheus's text format, for node_exporter's textfile collector:
// an info metric per processor whose labels identify it, and gauges of its clocks and caches
// and of the machine's counts.
#pragma once

#include <string>
#include <string_view>

class cCPUid;

// `microcodeOf` gives the microcode revision of an operating-system processor number ("" when
// unknown); it is asked only of processors of this machine.
using tMicrocodeSource = std::string (*)(int osCpu);

std::string PrometheusReport(const cCPUid& engine, bool driverLoaded, tMicrocodeSource microcodeOf);

// `utf8` as a label value: backslash, double quote and line break escaped; other control
// characters become U+FFFD.
std::string PrometheusLabelValue(std::string_view utf8);
