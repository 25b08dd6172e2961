// The program's command line.
#pragma once

#include <string>
#include <string_view>
#include <variant>
#include <vector>

struct tOptions {
  bool SkipDMI = false;   // "-nodmi", honoured only as the first argument
  bool NoDriver = false;  // "-nodriver", honoured only first or right after a leading "-nodmi"
  bool Report = false;
  bool Json = false;
  bool Dump = false;    // the full dump of every processor instead of the report or the window
  bool Decode = false;  // every CPUID field of every processor, as text
  bool Help = false;
  bool Version = false;
  std::vector<std::string> LoadFiles;  // in the order given
};

// The options of `args` (the arguments after the program name), or the one-line reason why
// they are not usable.
std::variant<tOptions, std::string> ParseCommandLine(const std::vector<std::string_view>& args);

// The text of --help.
std::string UsageText();
