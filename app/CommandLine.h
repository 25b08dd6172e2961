// The program's command line.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

// What a report or a dump is written as.
enum class tFormat : std::uint8_t {
  Default,     // the text report, the full dump in the syntax of `cpuid -r`
  Text,        // the text report or summary
  Json,        // the JSON report or summary (also --json)
  Prometheus,  // the report as node_exporter textfile metrics
  Cpuid,       // the full dump in the syntax of `cpuid -r`
  Hwloc,       // the full dump as an hwloc-gather-cpuid folder (needs Output)
};

struct tOptions {
  bool SkipDMI = false;   // "-nodmi", honoured only as the first argument
  bool NoDriver = false;  // "-nodriver", honoured only first or right after a leading "-nodmi"
  bool Report = false;
  bool Json = false;
  bool All = false;      // with --report: a block for every processor, alike or not
  bool Decode = false;   // every CPUID field of every processor, as text
  bool Dump = false;     // the full dump of every processor instead of the report or the window
  bool Explain = false;  // how each processor's identity was reached, instead of the report
  bool Summary = false;  // one line per kind of processor over the loaded listings
  tFormat Format = tFormat::Default;
  std::string Output;  // the folder --dump --format hwloc writes
  bool Help = false;
  bool Version = false;
  std::vector<std::string> LoadFiles;  // in the order given
};

// The options of `args` (the arguments after the program name), or the one-line reason why
// they are not usable.
std::variant<tOptions, std::string> ParseCommandLine(const std::vector<std::string_view>& args);

// The text of --help.
std::string UsageText();
