#include "ui/WindowApp.h"

#include <xcb/xcb.h>

#include <QApplication>
#include <chrono>
#include <cstdio>
#include <exception>
#include <memory>
#include <string>
#include <thread>
#include <utility>

#include "app/Display.h"
#include "app/StandardDescriptors.h"
#include "engine/Version.h"
#include "ui/Controls.h"

namespace {

// Descriptors the window's toolkit opens for itself (display connection, event and wake-up
// descriptors, fonts, ...); short of them it ends the process from inside.
constexpr int kWindowDescriptors = 32;

// What Qt says while it starts its platform: the reason a display could not be opened, which
// the program's one line carries, in place of Qt's own lines.
std::string platformComplaint;
void Heard(QtMsgType, const QMessageLogContext&, const QString& message) {
  if (platformComplaint.empty()) platformComplaint = message.simplified().toStdString();
}

// An X server that has just lost its last client resets, and refuses connections while it
// does. Where the window goes to an X display, it is asked for a connection up to this many
// times, this far apart, before Qt is; the connection stays open until Qt has its own, so the
// server has a client throughout and does not reset in between.
constexpr int kDisplayAttempts = 10;
constexpr std::chrono::milliseconds kDisplayRetry{100};

class tHeldDisplay {
 public:
  explicit tHeldDisplay(std::string_view platforms) {
    if (platforms.substr(0, platforms.find(';')) != "xcb") return;
    for (int attempt = 1;; ++attempt) {
      connection_ = xcb_connect(nullptr, nullptr);
      if (xcb_connection_has_error(connection_) == 0 || attempt == kDisplayAttempts) return;
      xcb_disconnect(connection_);
      connection_ = nullptr;
      std::this_thread::sleep_for(kDisplayRetry);
    }
  }
  ~tHeldDisplay() {
    if (connection_ != nullptr) xcb_disconnect(connection_);
  }
  tHeldDisplay(const tHeldDisplay&) = delete;
  tHeldDisplay& operator=(const tHeldDisplay&) = delete;

 private:
  xcb_connection_t* connection_ = nullptr;
};

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
                             bool loadDriver, std::string& refusal) {
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
  platformComplaint.clear();
  auto held = std::make_unique<tHeldDisplay>(platforms);
  const QtMessageHandler previous = qInstallMessageHandler(Heard);
  QApplication application(count, arguments.data());
  qInstallMessageHandler(previous);
  held.reset();
  if (Headless(QGuiApplication::platformName().toStdString())) {
    refusal = platformComplaint.empty() ? "the platform gave no reason" : platformComplaint;
    return std::nullopt;
  }

  // The application name, not a display name: a display name would be appended to the
  // window's caption.
  QApplication::setApplicationName(FromText(kProgramTitle));
  tMainSetup setup =
      recordings.empty() ? tMainSetup{} : RecordedProcessorsSetup(recordings, sources);
  if (!loadDriver) {
    // Not wanted (-nodriver): nothing to explain.
    setup.LoadDriver = [] { return false; };
    setup.DriverRefusal = [] { return std::string(); };
  }
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
