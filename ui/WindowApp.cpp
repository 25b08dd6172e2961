#include "ui/WindowApp.h"

#include <QApplication>
#include <cstdio>
#include <exception>
#include <memory>
#include <string>
#include <utility>

#include "engine/Version.h"
#include "ui/Controls.h"
#include "ui/MainUn.h"

int RunWindow(int& argc, char** argv, std::vector<platform::tCpuidRecording> recordings) {
  QApplication application(argc, argv);
  // The application name, not a display name: a display name would be appended to the
  // window's caption.
  QApplication::setApplicationName(FromText(kProgramTitle));

  tMainSetup setup;
  for (int i = 1; i < argc; ++i)
    setup.Arguments.emplace_back(argv[i]);
  if (!recordings.empty()) {
    setup.Services = [recorded = std::move(recordings)] {
      return std::make_unique<platform::cReplayProcessorServices>(recorded);
    };
    // Recorded processors are not this machine's: no driver is opened for them.
    setup.LoadDriver = [] { return false; };
    setup.Smbios = [] { return std::unique_ptr<ISMBIOSSource>(); };
  }
  try {
    TMainFrm window(std::move(setup));
    window.show();
    return QApplication::exec();
  } catch (const std::exception& error) {
    std::fprintf(stderr, "lumarian: %s\n", error.what());
    return 1;
  }
}
