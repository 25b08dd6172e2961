// The program's one window: the processor selector, the five pages, the 2000 ms refresh
// cycle, the F5 snapshot and the CPUID dump.
#pragma once

#include <QImage>
#include <QString>
#include <QTimer>
#include <QUrl>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/ProcessorServices.h"
#include "smbios/get_dmi.h"

class cCPUid;
class QComboBox;
class TAboutPage;
class TAdvPageControl;
class TCachePage;
class TFieldsDialog;
class TFlagsPage;
class TPowerPage;
class TProcessorPage;
class TRunningClockGroup;
class TTopologyPage;
struct tProcessorRecords;

// Asks the user for the name of a file to save. Nothing when the dialog was cancelled.
class IFileDialogs {
 public:
  virtual ~IFileDialogs() = default;
  virtual std::optional<QString> SaveFileName(QWidget* owner, const QString& filter,
                                              const QString& initialName) = 0;
  // Asks whether the file at `path`, which exists, may be replaced.
  virtual bool ConfirmReplace(QWidget* owner, const QString& path) = 0;
};

// Tells the user about an error and returns when the user has seen it.
class IErrorSink {
 public:
  virtual ~IErrorSink() = default;
  virtual void ShowError(QWidget* owner, const QString& message) = 0;
};

// Everything the window takes from outside. Empty members get the live defaults.
struct tMainSetup {
  // The command-line arguments after the program name; only the first may be "-nodmi".
  std::vector<std::string> Arguments;
  // The processors to identify (default: this machine's).
  std::function<std::unique_ptr<platform::IProcessorServices>()> Services;
  // Creates the driver access bundle, keeps it in DriverAccess and opens the driver; true when
  // the driver could be opened (default: the real bundle). A failure is reported as false. It
  // runs on a thread of its own, since the user may be asked for approval first; the window is
  // shown meanwhile.
  std::function<bool()> LoadDriver;
  // Called when the window closes while LoadDriver still runs: ends what it waits for, so
  // that no question is left on the screen for a window that is gone (default: every driver
  // start still asking is ended).
  std::function<void()> AbandonDriver;
  // The processors are recorded, not this machine's: no driver is tried, and the caption
  // does not miss one.
  bool NoDriver = false;
  // The firmware tables (default: through the driver, else this machine's); a null result
  // means none.
  std::function<std::unique_ptr<ISMBIOSSource>()> Smbios;
  IFileDialogs* Dialogs = nullptr;           // default: the standard file-save dialog
  IErrorSink* Errors = nullptr;              // default: the standard error message box
  std::function<void(const QUrl&)> OpenUrl;  // default: the desktop's web browser
  // The virtual machine whose back door answers, asked where CPUID names no hypervisor on
  // this machine's processors ("" for none; default: the VMware and Virtual PC probes).
  std::function<std::string()> ProbeVirtualMachine;
  // Why the driver did not load, asked once it did not ("" for no reason to give; default:
  // what this process and machine show, RefusalOf).
  std::function<std::string()> DriverRefusal;
  QString ProgramFolder;  // default: the folder of the program file
};

class TMainFrm : public QWidget {
  Q_OBJECT

 public:
  explicit TMainFrm(tMainSetup setup);
  ~TMainFrm() override;

  // State the handlers work on.
  cCPUid* Engine() const { return engine_.get(); }
  unsigned SelectedCpu() const { return selectedCpu_; }
  std::uint8_t RefreshTick() const { return refreshTick_; }
  bool DriverLoaded() const { return driverLoaded_; }
  // Whether the driver was asked for and has not answered yet; the engine comes after it.
  bool DriverPending() const { return driverStart_ != nullptr && !driverAnswered_; }
  TAdvPageControl* MainPC() const { return mainPC_; }
  QTimer& Refresher() { return refresher_; }

  // Event handlers.
  void CpuSelectionVChange();
  void RefresherTimer();
  void Standard1ffClick() { ShowFlags(1); }
  void Standard2ffClick() { ShowFlags(2); }
  void Extended1ffClick() { ShowFlags(3); }
  void Extended2ffClick() { ShowFlags(4); }
  void level1btClick() { ShowCache(1); }
  void level2btClick() { ShowCache(2); }
  void level3btClick() { ShowCache(3); }
  // F5, whatever the modifiers, saves a snapshot of the window; other keys do nothing. True
  // when the key was F5.
  bool FormKeyDown(int key, Qt::KeyboardModifiers modifiers);
  void ThLb1Click();
  void SaveFlagsBTClick();
  // Saves the full dump of every processor, "cpuid-full.txt" unless the user names another.
  void SaveFullDumpBTClick();

  // The window as it is on the screen, frame included; where the screen cannot be read, the
  // window drawn by itself.
  QImage TakeSnapshot();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void FormCreate();
  // The driver on a thread of its own; DriverAnswered looks for its answer.
  void StartDriver();
  // Once the driver has answered: the caption from the answer, then the engine.
  void DriverAnswered();
  // The engine, the selector and the pages, once the driver has answered where it was asked.
  void CreateEngine();
  void CreatePages();
  void CentreOnScreen();
  void ShowFlags(int view);
  // The tree of every CPUID field of the selected processor.
  void ShowAllFields();
  void ShowCache(int level);
  // True for the window and the widgets it holds, its open lists included, not its dialogs.
  bool BelongsHere(const QWidget* widget) const;
  // True when nothing is at `path`, or the user agrees to replace what is.
  bool MayWrite(const QString& path);
  // The Clocks group from the selected processor's latest clock record.
  void ShowClocks();
  // Refills the Processor page from the identification the last refresh tick asked for.
  void ShowIdentified();
  // The file to save into: the name chosen in the save dialog (`filter`, `initialName`) with
  // `suffix` added (always, or only where the name does not end in it). Nothing when the
  // dialog is cancelled or the user keeps the file already there.
  enum class tSuffix { Always, WhereMissing };
  std::optional<QString> ChooseSavePath(const char* filter, const QString& initialName,
                                        const QString& suffix, tSuffix rule);
  // The Topology page for the selected processor.
  void ShowTopology(const tProcessorRecords& records);
  // Runs a handler; an error it raises is shown to the user and the program goes on.
  void Guarded(const std::function<void()>& handler);
  void ShowError(const QString& message);
  void ShutDown();

  tMainSetup setup_;
  std::unique_ptr<IFileDialogs> ownDialogs_;
  std::unique_ptr<IErrorSink> ownErrors_;

  std::unique_ptr<cCPUid> engine_;
  unsigned selectedCpu_ = 0;
  std::uint8_t refreshTick_ = 0;
  bool driverLoaded_ = false;
  // The driver's start, shared with its thread, and the timer that looks for its answer.
  struct tDriverStart;
  std::shared_ptr<tDriverStart> driverStart_;
  QTimer driverPoll_;
  bool driverAnswered_ = false;
  std::string probedVirtualMachine_;  // asked once at start-up, where CPUID names none
  QTimer refresher_;

  TAdvPageControl* mainPC_ = nullptr;
  TProcessorPage* processorPage_ = nullptr;
  TFlagsPage* flagsPage_ = nullptr;
  TFieldsDialog* fieldsDialog_ = nullptr;
  TCachePage* cachePage_ = nullptr;
  TPowerPage* powerPage_ = nullptr;
  TRunningClockGroup* runningClock_ = nullptr;  // on the Management page
  TTopologyPage* topologyPage_ = nullptr;
  TAboutPage* aboutPage_ = nullptr;
  QComboBox* cpuSelection_ = nullptr;
};
