#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QComboBox>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QIcon>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <variant>

#include "app/DumpFiles.h"
#include "engine/CPUid.h"
#include "tests/support/EngineFixtures.h"
#include "tests/support/GatedProcessors.h"
#include "tests/window/MainWindowFixture.h"
#include "ui/AdvPageControl.h"
#include "ui/Controls.h"
#include "ui/ExtEdit.h"
#include "ui/WindowApp.h"
#include "view/PageText.h"

namespace {

const std::string kAthlon64 = "amd-athlon-64-processor-3000plus.txt";  // all six power flags
const std::string kCoreI7 = "intel-core-i7-2600k-cpu.txt";             // none of them
const std::string kK6 = "amd-k6-little-foot.txt";

QString Shown(const std::string& text) {
  return FromText(text);
}

TEST(MainWindow, CaptionTellsWhetherTheDriverLoaded) {
  struct tCase {
    bool DriverOpens;
    const char* Caption;
  };
  for (const tCase& c : {tCase{true, "Quorvane CPU Lumarian"},
                         tCase{false, "Quorvane CPU Lumarian - Couldn't Load Driver"}}) {
    tTestWindow w({kAthlon64}, {}, c.DriverOpens);
    EXPECT_EQ(w.Window().windowTitle(), QString::fromLatin1(c.Caption));
    EXPECT_EQ(w.Window().DriverLoaded(), c.DriverOpens);
    // The pages fill either way.
    EXPECT_EQ(w.TextOf("CpuNameV"), Shown(ProcessorPageText(w.Engine(), 0).CpuName.Text));
    EXPECT_FALSE(w.TextOf("CpuNameV").isEmpty());
  }
}

TEST(MainWindow, RecordedProcessorsTryNoDriverAndTheCaptionSaysNothingOfOne) {
  auto loaded = LoadDumpFile(FixturePath(kAthlon64));
  ASSERT_TRUE(std::holds_alternative<std::vector<tCpuidStore>>(loaded));
  tMainSetup setup =
      RecordedProcessorsSetup({RecordingOf(std::get<std::vector<tCpuidStore>>(loaded).front())});
  bool driverTried = false;
  setup.LoadDriver = [&] {
    driverTried = true;
    return false;
  };
  tFakeDialogs dialogs;
  tFakeErrors errors;
  setup.Dialogs = &dialogs;
  setup.Errors = &errors;
  TMainFrm window(std::move(setup));
  EXPECT_EQ(window.windowTitle(), QStringLiteral("Quorvane CPU Lumarian"));
  EXPECT_FALSE(driverTried);
  EXPECT_FALSE(window.DriverLoaded());
  EXPECT_EQ(window.Engine()->CPUCount, 1u);
}

TEST(MainWindow, CarriesTheProgramsIcon) {
  tTestWindow w({kAthlon64});
  const QIcon icon = w.Window().windowIcon();
  ASSERT_FALSE(icon.isNull());
  const QImage picture = icon.pixmap(QSize(64, 64)).toImage();
  ASSERT_EQ(picture.size(), QSize(64, 64));
  EXPECT_EQ(qAlpha(picture.pixel(0, 0)), 0) << "rounded corners";
  EXPECT_EQ(qAlpha(picture.pixel(32, 32)), 255);
  EXPECT_NE(picture.pixel(6, 6), picture.pixel(24, 24)) << "a picture, not a plain square";
}

TEST(MainWindow, FixedClientAreaAndFivePagesInOrder) {
  tTestWindow w({kAthlon64});
  TMainFrm& frm = w.Window();
  EXPECT_EQ(frm.size(), QSize(444, 500));
  EXPECT_EQ(frm.minimumSize(), frm.maximumSize()) << "not resizable";
  EXPECT_FALSE(frm.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
  EXPECT_TRUE(frm.windowFlags().testFlag(Qt::WindowMinimizeButtonHint));

  auto* pages = w.Find<TAdvPageControl>("MainPC");
  ASSERT_NE(pages, nullptr);
  EXPECT_EQ(pages->geometry(), QRect(1, 0, 442, 499));
  const char* names[] = {"ProcessorPage", "FFlagsPage",   "CachePage",
                         "PowerPage",     "TopologyPage", "AboutPage"};
  const char* captions[] = {"Processor",  "Feature Flags", "Cache",
                            "Management", "Topology",      "About"};
  ASSERT_EQ(pages->PageCount(), 6);
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(pages->Page(i)->objectName(), QString::fromLatin1(names[i]));
    EXPECT_EQ(pages->Page(i)->Caption(), QString::fromLatin1(captions[i]));
  }
  EXPECT_EQ(pages->ActivePageIndex(), 0);
  EXPECT_EQ(w.Find<QLabel>("PrSignature")->text(),
            QStringLiteral("Quorvane CPU Lumarian version 0.7"));
}

TEST(MainWindow, SelectorListsEveryProcessor) {
  struct tCase {
    std::vector<std::string> Fixtures;
    QStringList Items;
  };
  const tCase cases[] = {
      {{kAthlon64}, {"CPU #1"}},
      {{kAthlon64, kCoreI7, kK6}, {"CPU #1", "CPU #2", "CPU #3"}},
  };
  for (const tCase& c : cases) {
    tTestWindow w(c.Fixtures);
    auto* selector = w.Find<QComboBox>("CpuSelectionV");
    ASSERT_NE(selector, nullptr);
    QStringList items;
    for (int i = 0; i < selector->count(); ++i)
      items << selector->itemText(i);
    EXPECT_EQ(items, c.Items);
    EXPECT_EQ(selector->currentIndex(), 0);
    EXPECT_FALSE(selector->isEditable());
    EXPECT_EQ(selector->geometry(), QRect(96, 243, 105, 21));
    EXPECT_EQ(w.Window().SelectedCpu(), 0u);
  }
}

TEST(MainWindow, OnlyAnExactFirstNoDmiSkipsTheFirmwareTables) {
  struct tCase {
    std::vector<std::string> Arguments;
    bool Skipped;
  };
  const tCase cases[] = {
      {{}, false},
      {{"-nodmi"}, true},
      {{"-nodmi", "extra"}, true},
      {{"extra", "-nodmi"}, false},
      {{"-NODMI"}, false},
      {{"-nodmi2"}, false},
  };
  for (const tCase& c : cases) {
    tTestWindow w({kAthlon64}, c.Arguments);
    EXPECT_EQ(w.SmbiosReads == 0, c.Skipped)
        << (c.Arguments.empty() ? std::string("(none)") : c.Arguments.front());
  }
}

TEST(MainWindow, SelectionChangeRefillsOnlyTheProcessorPage) {
  tTestWindow w({kAthlon64, kCoreI7});
  cCPUid& engine = w.Engine();
  const QString flagsOfFirst = w.TextOf("Feat25V");  // SSE: the Athlon 64 has it
  const QString level1OfFirst = w.TextOf("Bl1SizeV");
  ASSERT_NE(w.TextOf("VendorStringV"), Shown(ProcessorPageText(engine, 1).VendorString.Text));

  w.Find<QComboBox>("CpuSelectionV")->setCurrentIndex(1);
  EXPECT_EQ(w.Window().SelectedCpu(), 1u);
  EXPECT_EQ(w.TextOf("VendorStringV"), Shown(ProcessorPageText(engine, 1).VendorString.Text));
  EXPECT_EQ(w.TextOf("Feat25V"), flagsOfFirst);
  EXPECT_EQ(w.TextOf("Bl1SizeV"), level1OfFirst);

  // The other pages show the new processor once one of their buttons is pressed.
  engine.FeaturesFlags[1].StdEDX.Bits.fill(1);  // every bit set, so view 1 reads "Yes"
  engine.Publish();
  QTest::mouseClick(w.Find<QPushButton>("Standard1ff"), Qt::LeftButton);
  EXPECT_EQ(w.TextOf("Feat0V"), QStringLiteral("Yes"));
  engine.level1[1].DCacheSize = 1234;
  engine.Publish();
  QTest::mouseClick(w.Find<QPushButton>("level1bt"), Qt::LeftButton);
  EXPECT_EQ(w.TextOf("Bl1SizeV"), QStringLiteral("1234 KBytes"));
}

TEST(MainWindow, RefreshCycle) {
  tTestWindow w({kAthlon64});
  TMainFrm& frm = w.Window();
  cCPUid& engine = w.Engine();
  EXPECT_TRUE(frm.Refresher().isActive());
  EXPECT_EQ(frm.Refresher().interval(), 2000);
  const QString name = w.TextOf("CpuNameV");
  const char* powerFields[] = {"TSV", "FIDV", "VIDV", "TTV", "TMV", "STCV"};
  for (const char* field : powerFields)
    EXPECT_EQ(w.TextOf(field), QStringLiteral("No")) << field;

  auto* nameField = w.Find<TExtEdit>("CpuNameV");
  for (int tick = 1; tick <= 10; ++tick) {
    nameField->setText(QStringLiteral("stale"));
    engine.Clocks[0].CoreClock = 1000 + tick;  // replay never measures: the window shows these
    engine.Publish();
    frm.RefresherTimer();
    // The fifth tick has the processors identified on the engine's thread; the page is
    // refilled once that is done.
    const bool refilled = tick % 5 == 0;
    if (refilled) {
      EXPECT_TRUE(ProcessEventsUntil([&] { return w.TextOf("CpuNameV") == name; }))
          << "tick " << tick;
    }
    QCoreApplication::processEvents();
    EXPECT_EQ(w.TextOf("CpuNameV"), refilled ? name : QStringLiteral("stale")) << "tick " << tick;
    EXPECT_EQ(frm.RefreshTick(), tick % 5) << "tick " << tick;
    EXPECT_TRUE(w.TextOf("CoreV").startsWith(QString::number(1000 + tick))) << "tick " << tick;
    for (const char* field : powerFields) {
      EXPECT_EQ(w.TextOf(field), QStringLiteral("Yes")) << field << " tick " << tick;
    }
  }
}

TEST(MainWindow, TheRefreshCycleNeverWaitsForTheEngine) {
  constexpr unsigned kProcessors = 3;
  tGatedProcessors* fake = nullptr;
  // AMD family 6: its naming measures, so an identification holds measurements open.
  const tCPUdata duron = IdentifiedFixture("amd-duron-processor-applebred.txt")->CPUdata[0];
  tTestWindow w([&fake, &duron] {
    auto owned = std::make_unique<tGatedProcessors>(std::vector<tCPUdata>(kProcessors, duron));
    fake = owned.get();
    return owned;
  });
  TMainFrm& frm = w.Window();
  const QString name = w.TextOf("CpuNameV");
  ASSERT_FALSE(name.isEmpty());
  w.Find<TExtEdit>("CpuNameV")->setText(QStringLiteral("stale"));
  fake->CloseGate();
  for (int tick = 1; tick <= 5; ++tick)
    frm.RefresherTimer();  // the fifth asks for an identification and returns
  ASSERT_TRUE(fake->WaitForHeldWindows(kProcessors));
  // While the identification measures, the window goes on: every tick, the other pages.
  for (int tick = 1; tick <= 4; ++tick)
    frm.RefresherTimer();
  QTest::mouseClick(w.Find<QPushButton>("level1bt"), Qt::LeftButton);
  w.Find<QComboBox>("CpuSelectionV")->setCurrentIndex(1);
  EXPECT_EQ(frm.RefreshTick(), 4);
  QCoreApplication::processEvents();
  EXPECT_FALSE(fake->GateTimedOut());
  EXPECT_NE(w.TextOf("CpuNameV"), QStringLiteral("stale")) << "the selection refilled it";
  w.Find<TExtEdit>("CpuNameV")->setText(QStringLiteral("stale"));

  fake->OpenGate();
  EXPECT_TRUE(ProcessEventsUntil([&] { return w.TextOf("CpuNameV") == name; }))
      << "the Processor page is refilled once the identification is done";
}

TEST(MainWindow, TheSelectorOfAThousandProcessorsScrolls) {
  tTestWindow w(std::vector<std::string>(1024, kCoreI7));
  auto* selector = w.Find<QComboBox>("CpuSelectionV");
  ASSERT_EQ(selector->count(), 1024);
  EXPECT_EQ(selector->itemText(1023), QStringLiteral("CPU #1024"));
  w.Window().show();
  selector->showPopup();
  QAbstractItemView* list = selector->view();
  ASSERT_TRUE(list->isVisible());
  EXPECT_LE(list->window()->height(), selector->screen()->availableGeometry().height());
  EXPECT_GT(list->verticalScrollBar()->maximum(), 0) << "the list scrolls";
  selector->hidePopup();
  selector->setCurrentIndex(1023);
  EXPECT_EQ(w.Window().SelectedCpu(), 1023u);
}

TEST(MainWindow, ManagementFollowsTheSelectionAtTheNextTick) {
  tTestWindow w({kAthlon64, kCoreI7});
  w.Window().RefresherTimer();
  EXPECT_EQ(w.TextOf("TSV"), QStringLiteral("Yes"));
  w.Find<QComboBox>("CpuSelectionV")->setCurrentIndex(1);
  EXPECT_EQ(w.TextOf("TSV"), QStringLiteral("Yes"));
  w.Window().RefresherTimer();
  EXPECT_EQ(w.TextOf("TSV"), QStringLiteral("No"));
}

TEST(MainWindow, TabsSwitchPages) {
  tTestWindow w({kAthlon64});
  auto* pages = w.Find<TAdvPageControl>("MainPC");
  w.Window().show();
  for (int i : {3, 1, 5, 4, 0, 2}) {
    QTest::mouseClick(pages, Qt::LeftButton, {}, pages->TabRect(i).center());
    EXPECT_EQ(pages->ActivePageIndex(), i);
    for (int j = 0; j < pages->PageCount(); ++j)
      EXPECT_EQ(pages->Page(j)->isVisible(), i == j);
  }
  pages->SetActivePageIndex(-1);
  EXPECT_EQ(pages->ActivePageIndex(), -1);
  for (int j = 0; j < pages->PageCount(); ++j)
    EXPECT_FALSE(pages->Page(j)->isVisible());
  for (int i = 0; i < pages->PageCount(); ++i) {
    EXPECT_LE(pages->TabRect(i).bottom(), pages->height() - 1) << "tabs along the bottom edge";
    EXPECT_GE(pages->TabRect(i).top(), pages->Page(0)->geometry().bottom());
  }
}

TEST(MainWindow, ForumLinkOpensTheForum) {
  tTestWindow w({kAthlon64});
  auto* link = w.Find<QLabel>("ThLb1");
  ASSERT_NE(link, nullptr);
  EXPECT_EQ(link->cursor().shape(), Qt::PointingHandCursor);
  QTest::mouseClick(link, Qt::LeftButton);
  ASSERT_EQ(w.OpenedUrls.size(), 1u);
  EXPECT_EQ(w.OpenedUrls[0].host(), link->text());
  EXPECT_TRUE(w.Errors.Messages.isEmpty());

  // An error inside a handler is shown, and the window goes on.
  w.BrowserFails = true;
  QTest::mouseClick(link, Qt::LeftButton);
  EXPECT_EQ(w.Errors.Messages, QStringList{"no browser"});
  w.Window().RefresherTimer();
  EXPECT_EQ(w.Window().RefreshTick(), 1);
}

TEST(MainWindow, CloseStopsTheTimerAndReleasesTheEngine) {
  tTestWindow w({kAthlon64});
  w.Window().show();
  EXPECT_TRUE(w.Window().close());
  EXPECT_FALSE(w.Window().Refresher().isActive());
  EXPECT_EQ(w.Window().Engine(), nullptr);
  w.Window().RefresherTimer();  // a tick that was already queued does nothing
  w.Window().SaveFlagsBTClick();
  EXPECT_TRUE(w.Dialogs.InitialNames.isEmpty());
}

// A driver start that holds until the test lets it answer (or, should nothing let it, until a
// bound far beyond any test's run, so that a window that waits for it fails instead of hanging).
class tHeldDriver {
 public:
  std::function<bool()> Start(bool answer) {
    return [gate = gate_, answer] {
      std::unique_lock lock(gate->Mutex);
      if (!gate->Changed.wait_for(lock, std::chrono::seconds(30), [&] { return gate->Open; }))
        gate->GaveUp = true;
      return answer;
    };
  }
  void Release() {
    {
      std::lock_guard lock(gate_->Mutex);
      gate_->Open = true;
    }
    gate_->Changed.notify_all();
  }
  // What the window calls when it closes before the start answered: the start ends, as one
  // whose launcher is killed does.
  std::function<void()> Abandon() {
    return [this] {
      {
        std::lock_guard lock(gate_->Mutex);
        gate_->Abandoned = true;
      }
      Release();
    };
  }
  bool Abandoned() {
    std::lock_guard lock(gate_->Mutex);
    return gate_->Abandoned;
  }
  // The bound passed with nobody having released the start.
  bool GaveUp() {
    std::lock_guard lock(gate_->Mutex);
    return gate_->GaveUp;
  }
  // The start's thread is over: nothing but the test holds the gate.
  bool Finished() const { return gate_.use_count() == 1; }

 private:
  struct tGate {
    std::mutex Mutex;
    std::condition_variable Changed;
    bool Open = false;
    bool GaveUp = false;
    bool Abandoned = false;
  };
  std::shared_ptr<tGate> gate_ = std::make_shared<tGate>();
};

// Runs the event loop for `ms` milliseconds, longer than the window takes to see an answer.
void ProcessEventsFor(int ms) {
  QDeadlineTimer deadline(ms);
  while (!deadline.hasExpired())
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

// A window over one recorded processor whose driver start is held by `held` and then answers
// `answer`.
struct tHeldWindow {
  tHeldWindow(tHeldDriver& held, bool answer) {
    tMainSetup setup;
    setup.Services = ReplayOf({kAthlon64});
    setup.LoadDriver = held.Start(answer);
    setup.AbandonDriver = held.Abandon();
    setup.Smbios = [] { return std::unique_ptr<ISMBIOSSource>(); };
    setup.Dialogs = &Dialogs;
    setup.Errors = &Errors;
    setup.ProgramFolder = Folder.path();
    setup.ProbeVirtualMachine = [] { return std::string(); };
    Window = std::make_unique<TMainFrm>(std::move(setup));
  }
  QTemporaryDir Folder;
  tFakeDialogs Dialogs;
  tFakeErrors Errors;
  std::unique_ptr<TMainFrm> Window;
};

TEST(MainWindow, ShowsBeforeTheDriverAnswersAndFillsWhenItDoes) {
  struct tCase {
    bool DriverOpens;
    const char* Caption;
  };
  for (const tCase& c : {tCase{true, "Quorvane CPU Lumarian"},
                         tCase{false, "Quorvane CPU Lumarian - Couldn't Load Driver"}}) {
    tHeldDriver held;
    tHeldWindow w(held, c.DriverOpens);
    TMainFrm& window = *w.Window;
    window.show();
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(window.DriverPending());
    EXPECT_EQ(window.Engine(), nullptr);
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Quorvane CPU Lumarian"));
    // Meanwhile the timer and the buttons find nothing to show, and say nothing of it.
    window.RefresherTimer();
    window.SaveFlagsBTClick();
    EXPECT_EQ(window.RefreshTick(), 0);
    EXPECT_TRUE(w.Dialogs.InitialNames.isEmpty());
    EXPECT_TRUE(w.Errors.Messages.isEmpty());

    held.Release();
    ASSERT_TRUE(ProcessEventsUntil([&] { return !window.DriverPending(); }));
    EXPECT_FALSE(held.GaveUp()) << "the window waited for the driver before it was shown";
    EXPECT_EQ(window.windowTitle(), QString::fromLatin1(c.Caption));
    EXPECT_EQ(window.DriverLoaded(), c.DriverOpens);
    ASSERT_NE(window.Engine(), nullptr);
    EXPECT_EQ(window.Engine()->ClocksReady, 1);
    const auto* name = window.findChild<TExtEdit*>(QStringLiteral("CpuNameV"));
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(name->text(), Shown(ProcessorPageText(*window.Engine(), 0).CpuName.Text));
    EXPECT_FALSE(name->text().isEmpty());
  }
}

TEST(MainWindow, ClosingWhileTheDriverIsAskedForAbandonsItsStart) {
  tHeldDriver held;
  {
    tHeldWindow w(held, true);
    w.Window->show();
    EXPECT_FALSE(held.Abandoned());
    EXPECT_TRUE(w.Window->close());
    // The start is ended: nobody is left asking for a window that is gone.
    EXPECT_TRUE(held.Abandoned());
    // An answer after the close goes nowhere: no engine is made for a closed window.
    held.Release();
    ASSERT_TRUE(ProcessEventsUntil([&] { return held.Finished(); }));
    ProcessEventsFor(500);
    EXPECT_EQ(w.Window->Engine(), nullptr);
    EXPECT_EQ(w.Window->windowTitle(), QStringLiteral("Quorvane CPU Lumarian"));
  }

  // An answer already on its way when the window closes goes nowhere either.
  tHeldDriver answered;
  {
    tHeldWindow w(answered, true);
    w.Window->show();
    answered.Release();
    // The answer waits in the event queue, which nobody reads meanwhile.
    const auto bound = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!answered.Finished() && std::chrono::steady_clock::now() < bound)
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    ASSERT_TRUE(answered.Finished());
    EXPECT_TRUE(w.Window->close());
    ProcessEventsFor(500);
    EXPECT_EQ(w.Window->Engine(), nullptr);
  }

  // A window destroyed while the start still waits returns at once, and the answer that comes
  // later finds nothing of it.
  tHeldDriver late;
  auto w = std::make_unique<tHeldWindow>(late, false);
  w->Window->show();
  w.reset();
  EXPECT_FALSE(late.GaveUp()) << "the window waited for the driver's start to end";
  EXPECT_TRUE(late.Abandoned());
  late.Release();
  // The start's thread ends on its own, touching nothing of the window that is gone.
  EXPECT_TRUE(ProcessEventsUntil([&] { return late.Finished(); }));
}

}  // namespace
