// Test support for the main window: a window over recorded processors, with file dialogs,
// error boxes and the web browser replaced by recorders.
#pragma once

#include <QDir>
#include <QStringList>
#include <QTemporaryDir>
#include <QUrl>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ui/MainUn.h"

class tFakeDialogs final : public IFileDialogs {
 public:
  std::optional<QString> SaveFileName(QWidget*, const QString& filter,
                                      const QString& initialName) override {
    Filters << filter;
    InitialNames << initialName;
    return Answer;
  }

  bool ConfirmReplace(QWidget*, const QString& path) override {
    AskedToReplace << path;
    return Replace;
  }

  std::optional<QString> Answer;  // nothing: the dialog is cancelled
  QStringList Filters;
  QStringList InitialNames;
  bool Replace = false;  // the answer to whether an existing file may be replaced
  QStringList AskedToReplace;
};

class tFakeErrors final : public IErrorSink {
 public:
  void ShowError(QWidget*, const QString& message) override { Messages << message; }
  QStringList Messages;
};

// Why the driver did not load, as the test window's set-up says it.
inline constexpr char kTestDriverRefusal[] = "no MSR device in this test";

// A window over the recorded processors, with its program folder in a temporary folder.
class tTestWindow {
 public:
  using tServices = std::function<std::unique_ptr<platform::IProcessorServices>()>;

  // One recorded processor per fixture file.
  explicit tTestWindow(const std::vector<std::string>& fixtures,
                       std::vector<std::string> arguments = {}, bool driverOpens = false);
  explicit tTestWindow(tServices services, std::vector<std::string> arguments = {},
                       bool driverOpens = false);

  TMainFrm& Window() { return *window_; }
  cCPUid& Engine() { return *window_->Engine(); }
  QString Folder() const { return folder_.path(); }
  QString PathOf(const QString& name) const { return QDir(folder_.path()).filePath(name); }
  template <class tWidget>
  tWidget* Find(const char* name) {
    return window_->findChild<tWidget*>(QString::fromLatin1(name));
  }
  QString TextOf(const char* fieldName);

  tFakeDialogs Dialogs;
  tFakeErrors Errors;
  std::vector<QUrl> OpenedUrls;
  bool BrowserFails = false;  // opening an address raises an error
  int SmbiosReads = 0;        // how often the engine asked the firmware tables for anything

 private:
  QTemporaryDir folder_;
  std::unique_ptr<TMainFrm> window_;
};

// Services that replay one recorded processor per fixture file.
tTestWindow::tServices ReplayOf(const std::vector<std::string>& fixtures);

// Runs the event loop until `done` holds; false when it does not within 10 s.
bool ProcessEventsUntil(const std::function<bool()>& done);

// The bytes of a file; empty when it cannot be read.
std::string FileBytes(const QString& path);
