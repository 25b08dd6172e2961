#include "ui/WindowApp.h"

#include <QApplication>
#include <cstdio>
#include <exception>
#include <memory>
#include <string>
#include <utility>

#include "app/Display.h"
#include "app/StandardDescriptors.h"
#include "engine/Version.h"
#include "ui/Controls.h"

namespace {

// Descriptors the window's toolkit opens for itself (display connection, event and wake-up
// descriptors, fonts, ...); short of them it ends the process from inside.
constexpr int kWindowDescriptors = 32;

// Qt's complaints about the platforms it could not start; they are not the program's to show.
void Unheard(QtMsgType, const QMessageLogContext&, const QString&) {}

}  // namespace

tMainSetup RecordedProcessorsSetup(std::vector<platform::tCpuidRecording> recordings,
                                   std::vector<platform::tRecordingSource> sources) {
  tMainSetup setup;
  setup.Services = [recorded = std::move(recordings), from = std::move(sources)] {
    return std::make_unique<platform::cReplayProcessorServices>(recorded, from);
  };
  setup.NoDriver = true;
  setup.Smbios = [] { return std::unique_ptr<ISMBIOSSource>(); };
  return setup;
}

std::optional<int> RunWindow(int argc, char** argv,
                             const std::vector<platform::tCpuidRecording>& recordings,
                             const std::vector<platform::tRecordingSource>& sources,
                             bool loadDriver) {
  // Qt takes the platform list from its own arguments, ahead of the program's.
  std::string platformOption = "-platform", platforms = PlatformsToTry();
  std::vector<char*> arguments = {argv[0], platformOption.data(), platforms.data()};
  for (int i = 1; i < argc; ++i)
    arguments.push_back(argv[i]);
  arguments.push_back(nullptr);
  int count = static_cast<int>(arguments.size()) - 1;

  if (FreeDescriptors(kWindowDescriptors) < kWindowDescriptors) {
    std::fprintf(stderr, "lumarian: too few file descriptors for the window: it needs %d free\n",
                 kWindowDescriptors);
    return 1;
  }
  const QtMessageHandler previous = qInstallMessageHandler(Unheard);
  QApplication application(count, arguments.data());
  qInstallMessageHandler(previous);
  if (Headless(QGuiApplication::platformName().toStdString())) return std::nullopt;

  // The application name, not a display name: a display name would be appended to the
  // window's caption.
  QApplication::setApplicationName(FromText(kProgramTitle));
  tMainSetup setup =
      recordings.empty() ? tMainSetup{} : RecordedProcessorsSetup(recordings, sources);
  if (!loadDriver) setup.LoadDriver = [] { return false; };
  for (int i = 1; i < count; ++i)
    setup.Arguments.emplace_back(arguments[static_cast<std::size_t>(i)]);
  try {
    TMainFrm window(std::move(setup));
    window.show();
    return QApplication::exec();
  } catch (const std::exception& error) {
    std::fprintf(stderr, "lumarian: %s\n", error.what());
    return 1;
  }
}
