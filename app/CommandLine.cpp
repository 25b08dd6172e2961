#include "app/CommandLine.h"

#include "app/TerminalText.h"

namespace {

constexpr std::string_view kNoDmi = "-nodmi";
constexpr std::string_view kNoDriver = "-nodriver";
constexpr std::string_view kLoadPrefix = "--load=";

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
    } else if (arg == "--dump") {
      options.Dump = true;
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
  if (options.Json && !options.Report) return std::string("--json goes with --report");
  if (options.Dump && options.Report) return std::string("--dump goes without --report");
  if (options.Decode && (options.Report || options.Dump))
    return std::string("--decode goes without --report and --dump");
  return options;
}

std::string UsageText() {
  return "Usage: lumarian [-nodmi] [-nodriver] [--report [--json] | --dump | --decode]\n"
         "                [--load FILE]...\n"
         "Identifies the x86 processors of this machine.\n"
         "\n"
         "  -nodmi         do not read the firmware's SMBIOS tables (first argument only)\n"
         "  -nodriver      do not start the driver, which reads the processor's registers and\n"
         "                 the firmware's tables as root (first argument, or right after\n"
         "                 -nodmi)\n"
         "  --report       print the identification of every processor and exit\n"
         "  --json         with --report: print it as one JSON document\n"
         "  --dump         print every CPUID answer (each leaf and sub-leaf) of every\n"
         "                 processor in the syntax of `cpuid -r` and exit\n"
         "  --decode       print every CPUID field of every processor by name, value and\n"
         "                 meaning, grouped by leaf, and exit; processors that differ only in\n"
         "                 their APIC IDs are shown once\n"
         "  --load FILE    identify the processors recorded in the CPUID listing FILE instead\n"
         "                 of this machine's; repeat for more. Nothing is measured. FILE is\n"
         "                 this program's 30-line dump, `cpuid -r` output, a register listing\n"
         "                 (\"CPUID 00000000: EAX-EBX-ECX-EDX\" lines, as in the InstLatx64\n"
         "                 collection and libcpuid's tests) or libcpuid's raw data\n"
         "                 (\"basic_cpuid[0]=...\"); the format is recognised from the text.\n"
         "  --help         show this text and exit\n"
         "  --version      show the version and exit\n"
         "\n"
         "Without --report, --dump or --decode the window opens where a display exists;\n"
         "elsewhere the report is printed.\n";
}
