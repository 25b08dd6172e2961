#include "app/CommandLine.h"

#include <optional>

#include "app/TerminalText.h"

namespace {

constexpr std::string_view kNoDmi = "-nodmi";
constexpr std::string_view kNoDriver = "-nodriver";
constexpr std::string_view kLoadPrefix = "--load=";

struct tFormatName {
  std::string_view Name;
  tFormat Format;
};
constexpr tFormatName kFormats[] = {{"text", tFormat::Text},
                                    {"json", tFormat::Json},
                                    {"prometheus", tFormat::Prometheus},
                                    {"cpuid", tFormat::Cpuid},
                                    {"hwloc", tFormat::Hwloc}};
constexpr std::string_view kFormatList = "text, json, prometheus, cpuid or hwloc";

std::optional<tFormat> FormatNamed(std::string_view name) {
  for (const tFormatName& row : kFormats)
    if (row.Name == name) return row.Format;
  return std::nullopt;
}

// Whether the format fits what was asked: a report, a summary or a dump.
std::optional<std::string> FormatMisfit(const tOptions& o) {
  switch (o.Format) {
    case tFormat::Default:
      return std::nullopt;
    case tFormat::Text:
    case tFormat::Json:
      if (o.Report || o.Summary) return std::nullopt;
      return std::string(o.Json ? "--json (--format json)" : "--format text") +
             " goes with --report or --summary";
    case tFormat::Prometheus:
      if (o.Report) return std::nullopt;
      return std::string("--format prometheus goes with --report");
    case tFormat::Cpuid:
    case tFormat::Hwloc:
      if (o.Dump) return std::nullopt;
      return std::string("--format ") + (o.Format == tFormat::Hwloc ? "hwloc" : "cpuid") +
             " goes with --dump";
  }
  return std::nullopt;
}

}  // namespace

std::variant<tOptions, std::string> ParseCommandLine(const std::vector<std::string_view>& args) {
  tOptions options;
  std::size_t k = 0;
  if (!args.empty() && args[0] == kNoDmi) {
    options.SkipDMI = true;
    k = 1;
  }
  if (k < args.size() && args[k] == kNoDriver) {
    options.NoDriver = true;
    ++k;
  }
  for (; k < args.size(); ++k) {
    const std::string_view arg = args[k];
    if (arg == "--report") {
      options.Report = true;
    } else if (arg == "--json") {
      options.Json = true;
    } else if (arg == "--all") {
      options.All = true;
    } else if (arg == "--explain") {
      options.Explain = true;
    } else if (arg == "--dump") {
      options.Dump = true;
    } else if (arg == "--summary") {
      options.Summary = true;
    } else if (arg == "--format") {
      if (k + 1 == args.size()) return "--format needs one of " + std::string(kFormatList);
      const std::optional<tFormat> format = FormatNamed(args[++k]);
      if (!format)
        return "unknown format " + Quoted(args[k]) + " (" + std::string(kFormatList) + ")";
      if (options.Format != tFormat::Default && options.Format != *format)
        return std::string("two different --format values");
      options.Format = *format;
    } else if (arg == "--output") {
      if (k + 1 == args.size() || args[k + 1].empty())
        return std::string("--output needs a folder");
      options.Output = std::string(args[++k]);
    } else if (arg == "--decode") {
      options.Decode = true;
    } else if (arg == "--help" || arg == "-h") {
      options.Help = true;
    } else if (arg == "--version") {
      options.Version = true;
    } else if (arg == "--load") {
      if (k + 1 == args.size()) return std::string("--load needs a dump file");
      options.LoadFiles.emplace_back(args[++k]);
    } else if (arg.substr(0, kLoadPrefix.size()) == kLoadPrefix) {
      if (arg.size() == kLoadPrefix.size()) return std::string("--load needs a dump file");
      options.LoadFiles.emplace_back(arg.substr(kLoadPrefix.size()));
    } else if (arg == kNoDmi || arg == kNoDriver) {
      // Not where it is honoured: as if it were not there.
    } else {
      return "unknown option " + Quoted(arg);
    }
  }
  if (options.Json) {
    if (options.Format != tFormat::Default && options.Format != tFormat::Json)
      return std::string("--json and --format disagree");
    options.Format = tFormat::Json;
  }
  options.Json = options.Format == tFormat::Json;
  if (options.All && !options.Report) return std::string("--all goes with --report");
  if (options.Dump && options.Report) return std::string("--dump goes without --report");
  if (options.Summary && (options.Report || options.Dump))
    return std::string("--summary goes without --report and --dump");
  if (options.Summary && options.LoadFiles.empty())
    return std::string("--summary needs the listings to summarise (--load FILE)");
  if (const std::optional<std::string> misfit = FormatMisfit(options)) return *misfit;
  if (options.Format == tFormat::Hwloc && options.Output.empty())
    return std::string("--format hwloc needs --output DIR");
  if (!options.Output.empty() && options.Format != tFormat::Hwloc)
    return std::string("--output goes with --dump --format hwloc");
  if (options.Explain && (options.Report || options.Dump || options.Summary))
    return std::string("--explain goes without --report, --dump and --summary");
  if (options.Decode && (options.Report || options.Dump || options.Summary || options.Explain))
    return std::string("--decode goes without --report, --dump, --summary and --explain");
  return options;
}

std::string UsageText() {
  return "Usage: lumarian [-nodmi] [-nodriver] [--report [--json] [--all] | --dump | --explain |\n"
         "                --decode] [--load FILE]...\n"
         "       lumarian --report --format prometheus\n"
         "       lumarian --dump --format hwloc --output DIR [--load FILE]...\n"
         "       lumarian --summary [--json] --load FILE [--load FILE]...\n"
         "Identifies the x86 processors of this machine.\n"
         "\n"
         "  -nodmi         do not read the firmware's SMBIOS tables (first argument only)\n"
         "  -nodriver      do not start the driver, which reads the processor's registers and\n"
         "                 the firmware's tables as root (first argument, or right after\n"
         "                 -nodmi)\n"
         "  --report       print the identification of every processor and exit\n"
         "  --json         with --report: print it as one JSON document\n"
         "  --all          with --report: a block for every processor; without it, processors\n"
         "                 alike but for their APIC IDs share one block, which lists them\n"
         "  --dump         print every CPUID answer (each leaf and sub-leaf) of every\n"
         "                 processor in the syntax of `cpuid -r` and exit\n"
         "  --decode       print every CPUID field of every processor by name, value and\n"
         "                 meaning, grouped by leaf, and exit; processors that differ only in\n"
         "                 their APIC IDs are shown once\n"
         "  --explain      print, for each distinct processor, how its identity was reached:\n"
         "                 the signature, the evidence, the code-name table's row and its\n"
         "                 source, the rows that came close, the leaves of the topology and\n"
         "                 the caches; and exit\n"
         "  --summary      summarise the listings given with --load, one machine a file: a\n"
         "                 line per kind of processor with the machines and processors of\n"
         "                 that kind, and the features that differ between the kinds\n"
         "  --format F     what the output is written as: text or json (--report,\n"
         "                 --summary), prometheus (--report: node_exporter textfile\n"
         "                 metrics), cpuid (--dump, the default) or hwloc (--dump: the\n"
         "                 files pu0, pu1, ... of hwloc-gather-cpuid, in --output)\n"
         "  --output DIR   the folder --dump --format hwloc writes; made where missing,\n"
         "                 refused where it holds files already\n"
         "  --load FILE    identify the processors recorded in the CPUID listing FILE instead\n"
         "                 of this machine's; repeat for more. Nothing is measured. FILE is\n"
         "                 this program's 30-line dump, `cpuid -r` output, a register listing\n"
         "                 (\"CPUID 00000000: EAX-EBX-ECX-EDX\" lines, as in the InstLatx64\n"
         "                 collection and libcpuid's tests) or libcpuid's raw data\n"
         "                 (\"basic_cpuid[0]=...\"), or a folder of hwloc-gather-cpuid\n"
         "                 (pu0, pu1, ...); the format is recognised from the text.\n"
         "  --help         show this text and exit\n"
         "  --version      show the version and exit\n"
         "\n"
         "Without --report, --dump, --explain, --decode or --summary the window opens where a\n"
         "display exists; elsewhere the report is printed.\n";
}
