// lumarian: identifies the x86 processors of this machine, or those recorded in CPUID listings.
// It links no Qt: where the window is wanted, the window program beside it takes its place.
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/Command.h"
#include "app/StandardDescriptors.h"
#include "app/TerminalText.h"
#include "platform/ProgramFolder.h"

namespace {

// The window program's file name, beside this program's in the build folder and installed.
constexpr char kWindowProgram[] = "lumarian-window";

// Replaces this process with the window program, given the same arguments. Returns only when
// that failed, having said so in one line.
void StartWindowProgram(char** argv) {
  const std::string folder = platform::ProgramFolder();
  if (folder.empty()) {
    std::fprintf(stderr,
                 "lumarian: cannot find the window program: /proc/self/exe: %s; writing the text "
                 "report instead\n",
                 std::strerror(errno));
    return;
  }
  const std::string program = folder + "/" + kWindowProgram;
  // The window program finds standard output as this program found it, so that a report it
  // writes in the window's place fails as this program's would.
  if (StandardOutputWasClosed()) close(STDOUT_FILENO);
  execv(program.c_str(), argv);
  if (!OpenStandardDescriptors()) std::_Exit(kOutputError);
  std::fprintf(stderr,
               "lumarian: cannot start the window program %s: %s; writing the text report "
               "instead\n",
               Quoted(program).c_str(), std::strerror(errno));
}

}  // namespace

int main(int argc, char** argv) {
  // Before anything opens a file: a device opened onto a closed standard output would receive
  // the report.
  if (!OpenStandardDescriptors()) return kOutputError;
  if (WindowWanted(argc, argv)) StartWindowProgram(argv);
  return RunCommand(argc, argv, nullptr);
}
