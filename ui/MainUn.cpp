// The program's window (TMainFrm): its pages, the processor selector, the refresh cycle, the
// snapshot and the dumps.
#include "ui/MainUn.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QMetaObject>
#include <QPalette>
#include <QPixmap>
#include <QScreen>
#include <QStringList>
#include <QVBoxLayout>
#include <QWindow>
#include <algorithm>
#include <cstdio>
#include <exception>
#include <memory>
#include <mutex>
#include <span>
#include <thread>
#include <utility>

#include "engine/CPUid.h"
#include "engine/Version.h"
#include "hw/DriverProcess.h"
#include "hw/DriverRefusal.h"
#include "hw/VXLDrv.h"
#include "hw/VirtMach.h"
#include "platform/LiveProcessorServices.h"
#include "ui/AboutPage.h"
#include "ui/AdvPageControl.h"
#include "ui/CachePage.h"
#include "ui/Controls.h"
#include "ui/DataFolder.h"
#include "ui/Exports.h"
#include "ui/FieldsDialog.h"
#include "ui/FlagsPage.h"
#include "ui/PowerPage.h"
#include "ui/ProcessorPage.h"
#include "ui/RunningClockGroup.h"
#include "ui/TopologyPage.h"
#include "view/Captions.h"
#include "view/PageText.h"

namespace {

constexpr int kClientWidth = 444;
constexpr int kClientHeight = 500;
constexpr int kRefreshMs = 2000;
constexpr int kDriverPollMs = 50;              // how often the window looks for the driver's answer
constexpr std::uint8_t kTicksPerIdentify = 4;  // the fifth tick identifies again
constexpr int kSelectorFontPixels = 9;

const char kDumpFilter[] = "Text File (*.txt)";
const char kSnapshotFilter[] = "Portable Network Graphics (*.png)";

// A message box with `text` as plain text: a file name in it is never taken for markup.
QMessageBox::StandardButton Ask(QWidget* owner, QMessageBox::Icon icon, const QString& text,
                                QMessageBox::StandardButtons buttons,
                                QMessageBox::StandardButton preferred) {
  QMessageBox box(icon, QCoreApplication::applicationName(), text, buttons, owner);
  box.setTextFormat(Qt::PlainText);
  box.setDefaultButton(preferred);
  return static_cast<QMessageBox::StandardButton>(box.exec());
}

class tStandardDialogs final : public IFileDialogs {
 public:
  // The dialog itself does not ask: the name it would ask about is not the one written, which
  // gets a suffix.
  std::optional<QString> SaveFileName(QWidget* owner, const QString& filter,
                                      const QString& initialName) override {
    const QString chosen = QFileDialog::getSaveFileName(owner, QString(), initialName, filter,
                                                        nullptr, QFileDialog::DontConfirmOverwrite);
    if (chosen.isEmpty()) return std::nullopt;
    return chosen;
  }
  bool ConfirmReplace(QWidget* owner, const QString& path) override {
    return Ask(owner, QMessageBox::Question,
               QStringLiteral("%1 already exists.\nDo you want to replace it?").arg(path),
               QMessageBox::Yes | QMessageBox::No, QMessageBox::No) == QMessageBox::Yes;
  }
};

class tMessageBoxErrors final : public IErrorSink {
 public:
  void ShowError(QWidget* owner, const QString& message) override {
    Ask(owner, QMessageBox::Critical, message, QMessageBox::Ok, QMessageBox::Ok);
  }
};

// A page of the tab control, filled by a page widget that covers it.
template <class tPage>
tPage* AddPage(TAdvPageControl& pages, const char* name, std::string_view caption) {
  TAdvTabSheet* sheet = pages.AddPage(name, FromText(caption));
  auto* page = new tPage(sheet);
  auto* layout = new QVBoxLayout(sheet);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(page);
  return page;
}

}  // namespace

TMainFrm::TMainFrm(tMainSetup setup) : QWidget(nullptr), setup_(std::move(setup)) {
  if (!setup_.Services) {
    setup_.Services = [] { return std::make_unique<platform::cLiveProcessorServices>(); };
  }
  if (!setup_.LoadDriver) setup_.LoadDriver = OpenDriverAccess;
  if (!setup_.AbandonDriver) setup_.AbandonDriver = AbandonDriverStarts;
  if (!setup_.Smbios) setup_.Smbios = [] { return SMBIOSThroughDriver(); };
  if (setup_.Dialogs == nullptr) {
    ownDialogs_ = std::make_unique<tStandardDialogs>();
    setup_.Dialogs = ownDialogs_.get();
  }
  if (setup_.Errors == nullptr) {
    ownErrors_ = std::make_unique<tMessageBoxErrors>();
    setup_.Errors = ownErrors_.get();
  }
  if (!setup_.OpenUrl) setup_.OpenUrl = [](const QUrl& url) { QDesktopServices::openUrl(url); };
  if (!setup_.ProbeVirtualMachine)
    setup_.ProbeVirtualMachine = [] { return std::string(ProbedVirtualMachine()); };
  if (!setup_.DriverRefusal) {
    setup_.DriverRefusal = [] {
      return std::string(RefusalText(RefusalOf(ThisMachinesDriverFacts())));
    };
  }
  if (setup_.ProgramFolder.isEmpty()) setup_.ProgramFolder = QCoreApplication::applicationDirPath();

  setObjectName(QStringLiteral("MainFrm"));
  setWindowTitle(FromText(kProgramTitle));
  setWindowIcon(ProgramIcon());
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint);
  setFixedSize(kClientWidth, kClientHeight);
  FillWithButtonFace(this);

  CreatePages();
  // The timer runs from the start; its ticks come through the event loop, so none arrives
  // before the window has been filled.
  refresher_.setInterval(kRefreshMs);
  connect(&refresher_, &QTimer::timeout, this, &TMainFrm::RefresherTimer);
  refresher_.start();

  FormCreate();
  CentreOnScreen();
  // Key preview: F5 reaches the window whichever control has the focus.
  qApp->installEventFilter(this);
}

TMainFrm::~TMainFrm() {
  ShutDown();
}

void TMainFrm::CreatePages() {
  mainPC_ = new TAdvPageControl(this);
  mainPC_->setObjectName(QStringLiteral("MainPC"));
  mainPC_->setGeometry(1, 0, 442, 499);
  processorPage_ = AddPage<TProcessorPage>(*mainPC_, "ProcessorPage", page_caption::kProcessor);
  flagsPage_ = AddPage<TFlagsPage>(*mainPC_, "FFlagsPage", page_caption::kFeatureFlags);
  cachePage_ = AddPage<TCachePage>(*mainPC_, "CachePage", page_caption::kCache);
  powerPage_ = AddPage<TPowerPage>(*mainPC_, "PowerPage", page_caption::kManagement);
  runningClock_ = new TRunningClockGroup(powerPage_);
  topologyPage_ = AddPage<TTopologyPage>(*mainPC_, "TopologyPage", page_caption::kTopology);
  aboutPage_ = AddPage<TAboutPage>(*mainPC_, "AboutPage", "About");
  processorPage_->SetLogoFolder(LogoFolder(setup_.ProgramFolder));

  cpuSelection_ = new QComboBox(processorPage_->SelectorParent());
  cpuSelection_->setObjectName(QStringLiteral("CpuSelectionV"));
  cpuSelection_->setEditable(false);
  cpuSelection_->setFont(TahomaFont(kSelectorFontPixels));
  SetEnabledColour(cpuSelection_, QPalette::Text, Navy());
  SetEnabledColour(cpuSelection_, QPalette::ButtonText, Navy());
  cpuSelection_->setGeometry(TProcessorPage::SelectorGeometry());

  connect(flagsPage_, &TFlagsPage::ViewClicked, this, [this](int view) { ShowFlags(view); });
  // Every field of every leaf, from the Feature Flags page's context menu; the page itself
  // shows nothing more.
  auto* allFields = new QAction(QStringLiteral("Every CPUID field..."), flagsPage_);
  allFields->setObjectName(QStringLiteral("AllFieldsAction"));
  flagsPage_->setContextMenuPolicy(Qt::ActionsContextMenu);
  flagsPage_->addAction(allFields);
  connect(allFields, &QAction::triggered, this, &TMainFrm::ShowAllFields);
  connect(cachePage_, &TCachePage::LevelClicked, this, [this](int level) { ShowCache(level); });
  connect(aboutPage_, &TAboutPage::ForumClicked, this, &TMainFrm::ThLb1Click);
  connect(aboutPage_, &TAboutPage::SaveFlagsClicked, this, &TMainFrm::SaveFlagsBTClick);
  connect(aboutPage_, &TAboutPage::SaveFullDumpClicked, this, &TMainFrm::SaveFullDumpBTClick);
}

struct TMainFrm::tDriverStart {
  std::mutex Mutex;
  bool Answered = false;
  bool Loaded = false;
};

void TMainFrm::FormCreate() {
  // 1-3: the driver, whose start may wait for the user; the engine follows its answer.
  if (setup_.NoDriver) {
    CreateEngine();
  } else {
    StartDriver();
  }
}

void TMainFrm::StartDriver() {
  driverStart_ = std::make_shared<tDriverStart>();
  // The start's thread knows nothing of the window: it leaves the answer in the state they
  // share, where the window looks for it, and a window closed first simply stops looking.
  auto start = [state = driverStart_, load = std::move(setup_.LoadDriver)] {
    bool loaded = false;
    try {
      loaded = load();
    } catch (...) {
      loaded = false;
    }
    std::lock_guard lock(state->Mutex);
    state->Loaded = loaded;
    state->Answered = true;
  };
  std::thread(std::move(start)).detach();
  driverPoll_.setInterval(kDriverPollMs);
  connect(&driverPoll_, &QTimer::timeout, this, &TMainFrm::DriverAnswered);
  driverPoll_.start();
}

void TMainFrm::DriverAnswered() {
  {
    std::lock_guard lock(driverStart_->Mutex);
    if (!driverStart_->Answered) return;
    driverLoaded_ = driverStart_->Loaded;
  }
  driverPoll_.stop();
  driverAnswered_ = true;
  // Without the driver the caption says so and everything else runs on.
  if (!driverLoaded_) setWindowTitle(windowTitle() + " - " + FromText(kDriverNotLoaded));
  // The Topology page says why, and what it costs.
  if (!driverLoaded_ && !setup_.NoDriver)
    topologyPage_->SetDriverRefusal(QString::fromStdString(setup_.DriverRefusal()));
  try {
    CreateEngine();
  } catch (const std::exception& error) {
    // No engine to be had (no thread, no memory): the window ends as its start would.
    std::fprintf(stderr, "lumarian: %s\n", error.what());
    QCoreApplication::exit(1);
  }
}

void TMainFrm::CreateEngine() {
  // 4: the engine identifies every processor before its constructor returns.
  const bool skipDmi = !setup_.Arguments.empty() && setup_.Arguments.front() == "-nodmi";
  engine_ = std::make_unique<cCPUid>(setup_.Services(), skipDmi, setup_.Smbios());

  // 5-6: the selector, one item per processor; its list scrolls however many there are.
  // On parts with more than one kind of core each item says the kind of its processor, and
  // where more than one listing is loaded, the file it was read from (its whole name in the
  // item's tip).
  const std::shared_ptr<const tProcessorRecords> identified = engine_->Records();
  for (unsigned n = 1; n <= engine_->CPUCount; ++n) {
    const tCoreType kind =
        n <= identified->CoreTypes.size() ? identified->CoreTypes[n - 1] : tCoreType::Unknown;
    const std::string listing = ListingOf(*identified, engine_->CPUCount, n - 1);
    QStringList notes;
    if (kind != tCoreType::Unknown) notes << FromText(CoreTypeShort(kind));
    if (!listing.empty()) notes << QFileInfo(QString::fromStdString(listing)).fileName();
    const QString name = FromText(ProcessorName(n));
    cpuSelection_->addItem(notes.empty() ? name
                                         : QStringLiteral("%1 (%2)").arg(name, notes.join(", ")));
    if (!listing.empty())
      cpuSelection_->setItemData(cpuSelection_->count() - 1, QString::fromStdString(listing),
                                 Qt::ToolTipRole);
  }
  cpuSelection_->setCurrentIndex(0);
  selectedCpu_ = static_cast<unsigned>(std::max(0, cpuSelection_->currentIndex()));
  connect(cpuSelection_, &QComboBox::currentIndexChanged, this, &TMainFrm::CpuSelectionVChange);

  // 7-8.
  aboutPage_->SetSignature(FromText(kProgramVersion));
  Guarded([this] {
    const std::shared_ptr<const tProcessorRecords> records = engine_->Records();
    flagsPage_->SetViewButtons(*records, selectedCpu_);
    cachePage_->SetViewButtons(*records, selectedCpu_);
  });

  // Where CPUID names no hypervisor on this machine's processors, its back doors may answer.
  if (!setup_.NoDriver && identified->SlotCount() > 0 &&
      identified->Hypervisors[0].Signature.empty()) {
    probedVirtualMachine_ = setup_.ProbeVirtualMachine();
  }

  // 9: nothing is shown before the first measuring pass is complete.
  engine_->WaitClocksReady();

  // 10.
  const std::shared_ptr<const tProcessorRecords> records = engine_->Records();
  processorPage_->ShowProcessor(*records, selectedCpu_);
  Guarded([this] { ShowClocks(); });
  Guarded([this, &records] { flagsPage_->ShowFlags(*records, selectedCpu_, 1); });
  Guarded([this, &records] { cachePage_->ShowLevel1Cache(*records, selectedCpu_); });
  Guarded([this, &records] { ShowTopology(*records); });
}

void TMainFrm::CentreOnScreen() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) return;
  QRect area = geometry();
  area.moveCenter(screen->availableGeometry().center());
  move(area.topLeft());
}

void TMainFrm::CpuSelectionVChange() {
  if (!engine_) return;
  selectedCpu_ = static_cast<unsigned>(std::max(0, cpuSelection_->currentIndex()));
  const std::shared_ptr<const tProcessorRecords> records = engine_->Records();
  processorPage_->ShowProcessor(*records, selectedCpu_);
  Guarded([this] { ShowClocks(); });
  Guarded([this, &records] { ShowTopology(*records); });
}

void TMainFrm::RefresherTimer() {
  if (!engine_) return;
  Guarded([this] {
    if (refreshTick_ == kTicksPerIdentify) {
      // The engine's thread identifies; the Processor page is refilled once it is done.
      engine_->IdentifyInBackground([this] {
        QMetaObject::invokeMethod(this, &TMainFrm::ShowIdentified, Qt::QueuedConnection);
      });
      refreshTick_ = 0;
    } else {
      ++refreshTick_;
    }
    ShowClocks();
    powerPage_->ShowPowerManagement(*engine_->Records(), selectedCpu_);
  });
}

void TMainFrm::ShowIdentified() {
  if (!engine_) return;
  const std::shared_ptr<const tProcessorRecords> records = engine_->Records();
  processorPage_->ShowProcessor(*records, selectedCpu_);
  Guarded([this, &records] { ShowTopology(*records); });
}

void TMainFrm::ShowTopology(const tProcessorRecords& records) {
  topologyPage_->ShowTopology(records, engine_->CPUCount, selectedCpu_, probedVirtualMachine_);
}

void TMainFrm::ShowClocks() {
  const std::shared_ptr<const tProcessorRecords> records = engine_->Records();
  const tEffectiveClock effective = engine_->EffectiveClockOf(selectedCpu_);
  processorPage_->ShowClocks(*records, engine_->ClocksOf(selectedCpu_), effective, selectedCpu_);
  if (selectedCpu_ >= records->SlotCount()) return;
  runningClock_->ShowRunningClock(
      RunningClockText(effective, records->FrequencyRanges[selectedCpu_],
                       records->Frequencies[selectedCpu_].BusMHz, '.'),
      engine_->Sensors());
}

void TMainFrm::ShowFlags(int view) {
  if (!engine_) return;
  Guarded([this, view] { flagsPage_->ShowFlags(*engine_->Records(), selectedCpu_, view); });
}

void TMainFrm::ShowAllFields() {
  if (!engine_) return;
  Guarded([this] {
    const auto records = engine_->Records();
    if (selectedCpu_ >= records->CPUstore.size()) return;
    if (fieldsDialog_ == nullptr) fieldsDialog_ = new TFieldsDialog(this);
    fieldsDialog_->ShowFields(records->CPUstore[selectedCpu_], selectedCpu_);
    fieldsDialog_->show();
    fieldsDialog_->raise();
  });
}

void TMainFrm::ShowCache(int level) {
  if (!engine_) return;
  Guarded([this, level] { cachePage_->ShowLevel(*engine_->Records(), selectedCpu_, level); });
}

void TMainFrm::ThLb1Click() {
  Guarded([this] { setup_.OpenUrl(TAboutPage::ForumAddress()); });
}

void TMainFrm::SaveFlagsBTClick() {
  if (!engine_) return;
  Guarded([this] {
    // The suffix is always added, also to a name that already ends in it.
    const std::optional<QString> path = ChooseSavePath(kDumpFilter, QStringLiteral("cpuid"),
                                                       QStringLiteral(".txt"), tSuffix::Always);
    if (!path) return;
    if (const std::optional<QString> error =
            WriteCpuidDump(*path, engine_->Records()->CPUdata[selectedCpu_]))
      ShowError(*error);
  });
}

void TMainFrm::SaveFullDumpBTClick() {
  if (!engine_) return;
  Guarded([this] {
    const std::optional<QString> path =
        ChooseSavePath(kDumpFilter, QStringLiteral("cpuid-full.txt"), QStringLiteral(".txt"),
                       tSuffix::WhereMissing);
    if (!path) return;
    const std::shared_ptr<const tProcessorRecords> records = engine_->Records();
    const std::size_t count = std::min<std::size_t>(engine_->CPUCount, records->CPUstore.size());
    if (const std::optional<QString> error =
            WriteFullDump(*path, std::span(records->CPUstore).first(count)))
      ShowError(*error);
  });
}

bool TMainFrm::FormKeyDown(int key, Qt::KeyboardModifiers) {
  if (key != Qt::Key_F5) return false;
  Guarded([this] {
    // The picture is taken before the dialog covers the window; an open list (the selector's)
    // closes before the dialog opens.
    const QImage picture = TakeSnapshot();
    if (QWidget* popup = QApplication::activePopupWidget()) popup->close();
    const QString initialName =
        setup_.ProgramFolder + QLatin1Char('/') + SnapshotName(mainPC_->ActivePageIndex());
    const std::optional<QString> path =
        ChooseSavePath(kSnapshotFilter, initialName, QStringLiteral(".png"), tSuffix::Always);
    if (!path) return;
    if (const std::optional<QString> error = SaveSnapshot(*path, picture)) ShowError(*error);
  });
  return true;
}

QImage TMainFrm::TakeSnapshot() {
  const QRect frame = frameGeometry();
  QScreen* screen =
      windowHandle() != nullptr ? windowHandle()->screen() : QGuiApplication::primaryScreen();
  if (screen != nullptr) {
    const QPixmap shot = screen->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height());
    if (!shot.isNull() && shot.size() == frame.size()) return shot.toImage();
  }
  // Screen capture refused (no screen, or a platform that keeps windows to themselves).
  return grab().toImage();
}

bool TMainFrm::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress && watched->isWidgetType() &&
      BelongsHere(static_cast<QWidget*>(watched))) {
    const auto* key = static_cast<QKeyEvent*>(event);
    if (FormKeyDown(key->key(), key->modifiers())) return true;
  }
  return QWidget::eventFilter(watched, event);
}

bool TMainFrm::BelongsHere(const QWidget* widget) const {
  const QWidget* window = widget->window();
  // The selector's open list is a window of its own, a popup held by the selector; the
  // window's dialogs are not part of it.
  while (window != this && window->windowType() == Qt::Popup && window->parentWidget() != nullptr)
    window = window->parentWidget()->window();
  return window == this;
}

void TMainFrm::closeEvent(QCloseEvent* event) {
  ShutDown();
  event->accept();
}

void TMainFrm::ShutDown() {
  refresher_.stop();
  driverPoll_.stop();  // a driver that answers now is not waited for
  if (DriverPending()) setup_.AbandonDriver();
  if (engine_) {
    engine_->Destroy();  // the measuring thread stops before the records go
    engine_.reset();
  }
}

bool TMainFrm::MayWrite(const QString& path) {
  const QFileInfo target(path);
  if (!target.exists() && !target.isSymLink()) return true;
  return setup_.Dialogs->ConfirmReplace(this, path);
}

std::optional<QString> TMainFrm::ChooseSavePath(const char* filter, const QString& initialName,
                                                const QString& suffix, tSuffix rule) {
  const std::optional<QString> chosen =
      setup_.Dialogs->SaveFileName(this, QString::fromLatin1(filter), initialName);
  if (!chosen) return std::nullopt;
  const QString path =
      rule == tSuffix::WhereMissing && chosen->endsWith(suffix) ? *chosen : *chosen + suffix;
  if (!MayWrite(path)) return std::nullopt;
  return path;
}

void TMainFrm::Guarded(const std::function<void()>& handler) {
  try {
    handler();
  } catch (const std::exception& error) {
    ShowError(FromText(error.what()));
  } catch (...) {
    ShowError(QStringLiteral("An unexpected error occurred."));
  }
}

void TMainFrm::ShowError(const QString& message) {
  setup_.Errors->ShowError(this, message);
}
