#include "tests/window/MainWindowFixture.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <stdexcept>
#include <variant>

#include "app/DumpFiles.h"
#include "platform/ReplayProcessorServices.h"
#include "tests/support/EngineFixtures.h"
#include "ui/ExtEdit.h"

namespace {

// Firmware tables that exist nowhere, counting the engine's questions.
class tCountingSmbios final : public ISMBIOSSource {
 public:
  explicit tCountingSmbios(int& reads) : reads_(reads) {}
  bool KernelTables(std::vector<std::uint8_t>&, std::vector<std::uint8_t>&) override {
    ++reads_;
    return false;
  }
  bool BIOSArea(std::vector<std::uint8_t>&) override {
    ++reads_;
    return false;
  }
  bool ReadPhysical(std::uint64_t, std::size_t, std::vector<std::uint8_t>&) override {
    ++reads_;
    return false;
  }

 private:
  int& reads_;
};

std::vector<platform::tCpuidRecording> Recordings(const std::vector<std::string>& fixtures) {
  std::vector<platform::tCpuidRecording> recordings;
  for (const std::string& name : fixtures) {
    auto loaded = LoadDumpFile(FixturePath(name));
    if (const auto* error = std::get_if<std::string>(&loaded)) ADD_FAILURE() << *error;
    if (const auto* stores = std::get_if<std::vector<tCpuidStore>>(&loaded)) {
      for (const tCpuidStore& store : *stores)
        recordings.push_back(RecordingOf(store));
    }
  }
  return recordings;
}

}  // namespace

tTestWindow::tServices ReplayOf(const std::vector<std::string>& fixtures) {
  return [recordings = Recordings(fixtures)] {
    return std::make_unique<platform::cReplayProcessorServices>(recordings);
  };
}

bool ProcessEventsUntil(const std::function<bool()>& done) {
  QDeadlineTimer deadline(10'000);
  while (!done()) {
    if (deadline.hasExpired()) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  }
  return true;
}

tTestWindow::tTestWindow(const std::vector<std::string>& fixtures,
                         std::vector<std::string> arguments, bool driverOpens)
    : tTestWindow(ReplayOf(fixtures), std::move(arguments), driverOpens) {}

tTestWindow::tTestWindow(tServices services, std::vector<std::string> arguments, bool driverOpens) {
  tMainSetup setup;
  setup.Arguments = std::move(arguments);
  setup.Services = std::move(services);
  setup.LoadDriver = [driverOpens] { return driverOpens; };
  setup.Smbios = [this] { return std::make_unique<tCountingSmbios>(SmbiosReads); };
  setup.Dialogs = &Dialogs;
  setup.Errors = &Errors;
  setup.OpenUrl = [this](const QUrl& url) {
    if (BrowserFails) throw std::runtime_error("no browser");
    OpenedUrls.push_back(url);
  };
  setup.ProgramFolder = folder_.path();
  setup.ProbeVirtualMachine = [] { return std::string("VMware"); };
  setup.DriverRefusal = [] { return std::string(kTestDriverRefusal); };
  window_ = std::make_unique<TMainFrm>(std::move(setup));
  // The driver answers on a thread of its own; the pages fill once it has.
  if (!ProcessEventsUntil([this] { return !window_->DriverPending(); }))
    ADD_FAILURE() << "the driver's answer never reached the window";
}

QString tTestWindow::TextOf(const char* fieldName) {
  const TExtEdit* field = Find<TExtEdit>(fieldName);
  if (field == nullptr) {
    ADD_FAILURE() << "no field " << fieldName;
    return {};
  }
  return field->text();
}

std::string FileBytes(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  const QByteArray bytes = file.readAll();
  return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}
