// Build-time generator of the program's logo table: reads the logo list and writes the C++
// source of the table of logo keys and files, with the fallback file. A malformed list stops
// it with one line naming the list and the line, and nothing is written.
// Usage: MakeLogoTable LOGO-LIST OUTPUT-SOURCE
#include <fstream>
#include <iostream>
#include <optional>
#include <string>

#include "data/Logo/LogoList.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: MakeLogoTable LOGO-LIST OUTPUT-SOURCE\n";
    return 2;
  }
  tLogoList list;
  if (const std::optional<std::string> error = ReadLogoListFile(argv[1], list)) {
    std::cerr << *error << '\n';
    return 1;
  }
  std::string source =
      "// Made at build time from the logo list by MakeLogoTable: edit the list, not this.\n"
      "#include \"engine/naming/CodeNameTable.h\"\n"
      "#include \"view/LogoTable.h\"\n\n"
      "namespace {\n"
      "constexpr tLogoFile kRows[] = {\n";
  for (const tLogoPicture& picture : list.Pictures) {
    for (const std::string& key : picture.Keys)
      source += "    {" + key + ", \"" + picture.File + "\"},\n";
  }
  source += "};\n}  // namespace\n\n";
  source += "const std::span<const tLogoFile> kLogoFiles{kRows};\n";
  source += "const std::string_view kNoLogoFile = \"" + list.Pictures[list.Fallback].File + "\";\n";

  std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
  out << source;
  out.close();
  if (!out) {
    std::cerr << "MakeLogoTable: cannot write " << argv[2] << '\n';
    return 1;
  }
  return 0;
}
