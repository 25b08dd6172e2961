#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QComboBox>
#include <QDialog>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <span>

#include "engine/listings/CpuidDump.h"
#include "engine/listings/Listings.h"
#include "images/Png.h"
#include "tests/support/EngineFixtures.h"
#include "tests/window/MainWindowFixture.h"
#include "ui/AdvPageControl.h"
#include "ui/Exports.h"

namespace {

const std::string kAthlon64 = "amd-athlon-64-processor-3000plus.txt";
const std::string kCoreI7 = "intel-core-i7-2600k-cpu.txt";

TEST(CpuidDumpExport, WritesTheSelectedProcessorByteForByte) {
  tTestWindow w({kAthlon64, kCoreI7});
  struct tCase {
    int Selected;
    const std::string& Fixture;
  };
  for (const tCase& c : {tCase{0, kAthlon64}, tCase{1, kCoreI7}}) {
    w.Find<QComboBox>("CpuSelectionV")->setCurrentIndex(c.Selected);
    w.Dialogs.Answer = w.PathOf(QStringLiteral("cpuid%1").arg(c.Selected));
    QTest::mouseClick(w.Find<QPushButton>("SaveFlagsBT"), Qt::LeftButton);
    const std::string written = FileBytes(*w.Dialogs.Answer + QStringLiteral(".txt"));
    EXPECT_EQ(written, FileBytes(QString::fromStdString(FixturePath(c.Fixture))));
  }
  EXPECT_EQ(w.Dialogs.Filters.value(0), QStringLiteral("Text File (*.txt)"));
  EXPECT_EQ(w.Dialogs.InitialNames.value(0), QStringLiteral("cpuid"));
  EXPECT_TRUE(w.Errors.Messages.isEmpty());
}

TEST(CpuidDumpExport, SuffixIsAlwaysAppendedAndCancelWritesNothing) {
  tTestWindow w({kAthlon64});
  w.Dialogs.Answer = w.PathOf(QStringLiteral("x.txt"));
  w.Window().SaveFlagsBTClick();
  EXPECT_TRUE(QFile::exists(w.PathOf(QStringLiteral("x.txt.txt"))));
  EXPECT_FALSE(QFile::exists(w.PathOf(QStringLiteral("x.txt"))));

  w.Dialogs.Answer.reset();
  w.Window().SaveFlagsBTClick();
  EXPECT_EQ(QDir(w.Folder()).entryList(QDir::Files), QStringList{"x.txt.txt"});
}

TEST(CpuidDumpExport, UnwritableFileShowsTheErrorAndTheProgramGoesOn) {
  tTestWindow w({kAthlon64});
  w.Dialogs.Answer = w.PathOf(QStringLiteral("missing-folder/cpuid"));
  w.Window().SaveFlagsBTClick();
  ASSERT_EQ(w.Errors.Messages.size(), 1);
  EXPECT_TRUE(w.Errors.Messages[0].contains(QStringLiteral("missing-folder/cpuid.txt")));

  // Still working: the next attempt succeeds.
  w.Dialogs.Answer = w.PathOf(QStringLiteral("cpuid"));
  w.Window().SaveFlagsBTClick();
  EXPECT_TRUE(QFile::exists(w.PathOf(QStringLiteral("cpuid.txt"))));
  EXPECT_EQ(w.Errors.Messages.size(), 1);
}

TEST(CpuidDumpExport, AFailedWriteIsReportedNotTakenForSuccess) {
  // A device is not a file to save into: the error is reported, not success.
  if (!QFile::exists(QStringLiteral("/dev/full"))) GTEST_SKIP() << "no /dev/full";
  const auto error = WriteCpuidDump(QStringLiteral("/dev/full"), tCPUdata{});
  ASSERT_TRUE(error.has_value());
  EXPECT_TRUE(error->contains(QStringLiteral("/dev/full")));
}

TEST(FullDumpExport, WritesEveryProcessorInAListingThatReadsBack) {
  tTestWindow w({kAthlon64, kCoreI7});
  w.Dialogs.Answer = w.PathOf(QStringLiteral("all"));
  QTest::mouseClick(w.Find<QPushButton>("SaveFullDumpBT"), Qt::LeftButton);
  EXPECT_EQ(w.Dialogs.Filters.value(0), QStringLiteral("Text File (*.txt)"));
  EXPECT_EQ(w.Dialogs.InitialNames.value(0), QStringLiteral("cpuid-full.txt"));

  const std::string written = FileBytes(w.PathOf(QStringLiteral("all.txt")));
  EXPECT_EQ(written.substr(0, 7), "CPU 0:\n");
  const tListingRead read = ReadListing(written);
  ASSERT_TRUE(std::holds_alternative<std::vector<tCpuidStore>>(read));
  const auto& processors = std::get<std::vector<tCpuidStore>>(read);
  ASSERT_EQ(processors.size(), 2u);
  // Each processor's 27 rows, as the program's own dump, are its fixture byte for byte.
  for (std::size_t k = 0; k < processors.size(); ++k) {
    tCPUdata rows;
    ApplyLegacyRows(processors[k], rows);
    EXPECT_EQ(FormatCpuidDump(rows),
              FileBytes(QString::fromStdString(FixturePath(k == 0 ? kAthlon64 : kCoreI7))));
  }

  // A name that ends in the suffix gets no second one.
  w.Dialogs.Answer = w.PathOf(QStringLiteral("named.txt"));
  w.Window().SaveFullDumpBTClick();
  EXPECT_EQ(FileBytes(w.PathOf(QStringLiteral("named.txt"))), written);
  EXPECT_FALSE(QFile::exists(w.PathOf(QStringLiteral("named.txt.txt"))));
  EXPECT_TRUE(w.Errors.Messages.isEmpty());
}

// Every export: the buttons' dumps and F5's picture, each with the suffix it adds.
struct tExport {
  const char* What;
  const char* Suffix;
  void (*Run)(tTestWindow&);
};
const tExport kExports[] = {
    {"dump", ".txt", [](tTestWindow& w) { w.Window().SaveFlagsBTClick(); }},
    {"full dump", ".txt", [](tTestWindow& w) { w.Window().SaveFullDumpBTClick(); }},
    {"snapshot", ".png", [](tTestWindow& w) { QTest::keyClick(&w.Window(), Qt::Key_F5); }},
};

void Put(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(bytes);
}

TEST(Saving, AnExistingFileIsReplacedOnlyWhenTheUserAgrees) {
  for (const tExport& e : kExports) {
    SCOPED_TRACE(e.What);
    tTestWindow w({kAthlon64});
    w.Window().show();
    w.Dialogs.Answer = w.PathOf(QStringLiteral("saved"));
    const QString path = w.PathOf(QStringLiteral("saved") + e.Suffix);

    e.Run(w);  // nothing there yet: nobody is asked
    EXPECT_TRUE(w.Dialogs.AskedToReplace.isEmpty());
    const std::string first = FileBytes(path);
    ASSERT_FALSE(first.empty());

    Put(path, "mine");
    w.Dialogs.Replace = false;
    e.Run(w);
    EXPECT_EQ(w.Dialogs.AskedToReplace, QStringList{path});
    EXPECT_EQ(FileBytes(path), "mine");

    w.Dialogs.Replace = true;
    e.Run(w);
    EXPECT_EQ(w.Dialogs.AskedToReplace.size(), 2);
    EXPECT_EQ(FileBytes(path).substr(0, 8), first.substr(0, 8)) << "a file of the export's kind";
    EXPECT_GT(FileBytes(path).size(), 100u) << "replaced";
    EXPECT_EQ(QDir(w.Folder()).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("saved") + e.Suffix})
        << "nothing is left beside it";
    EXPECT_TRUE(w.Errors.Messages.isEmpty());
  }
}

TEST(Saving, ALinkAtTheNameIsReplacedNeverWrittenThrough) {
  for (const tExport& e : kExports) {
    SCOPED_TRACE(e.What);
    tTestWindow w({kAthlon64});
    w.Window().show();
    const QString victim = w.PathOf(QStringLiteral("victim"));
    Put(victim, "precious");
    const QString path = w.PathOf(QStringLiteral("saved") + e.Suffix);
    const QString dangling = w.PathOf(QStringLiteral("dangling") + e.Suffix);
    const QString nowhere = w.PathOf(QStringLiteral("created-through-the-link"));
    ASSERT_TRUE(QFile::link(victim, path));
    ASSERT_TRUE(QFile::link(nowhere, dangling));
    w.Dialogs.Replace = true;

    w.Dialogs.Answer = w.PathOf(QStringLiteral("saved"));
    e.Run(w);
    w.Dialogs.Answer = w.PathOf(QStringLiteral("dangling"));
    e.Run(w);

    EXPECT_EQ(w.Dialogs.AskedToReplace, (QStringList{path, dangling}));
    EXPECT_EQ(FileBytes(victim), "precious");
    EXPECT_FALSE(QFile::exists(nowhere));
    for (const QString& saved : {path, dangling}) {
      EXPECT_FALSE(QFileInfo(saved).isSymLink()) << saved.toStdString();
      EXPECT_GT(QFileInfo(saved).size(), 100) << saved.toStdString();
    }
    EXPECT_TRUE(w.Errors.Messages.isEmpty());
  }
}

// The picture in the PNG file at `path`; a zero size when it is not one.
QSize PngSize(const QString& path) {
  const std::string bytes = FileBytes(path);
  tImage image;
  std::string error;
  if (!DecodePng(std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()),
                 image, error)) {
    return {};
  }
  return {image.Width, image.Height};
}

TEST(SnapshotExport, F5OnEveryPageWithAnyModifierSavesTheWindow) {
  tTestWindow w({kAthlon64});
  w.Window().show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&w.Window()));
  auto* pages = w.Find<TAdvPageControl>("MainPC");
  const char* names[] = {"ZEPHProc",  "ZEPHFlags",    "ZEPHCache",
                         "ZEPHManag", "ZEPHTopology", "ZEPHAbout"};
  const Qt::KeyboardModifiers modifiers[] = {Qt::NoModifier, Qt::ShiftModifier,
                                             Qt::ControlModifier};
  int saved = 0;
  for (int page = 0; page < 6; ++page) {
    pages->SetActivePageIndex(page);
    for (const Qt::KeyboardModifiers modifier : modifiers) {
      const QString chosen = w.PathOf(QStringLiteral("shot%1").arg(saved++));
      w.Dialogs.Answer = chosen;
      w.Dialogs.InitialNames.clear();
      QTest::keyClick(&w.Window(), Qt::Key_F5, modifier);
      ASSERT_EQ(w.Dialogs.InitialNames.size(), 1) << page;
      EXPECT_EQ(w.Dialogs.InitialNames[0], w.Folder() + "/" + names[page]);
      EXPECT_EQ(w.Dialogs.Filters.last(), QStringLiteral("Portable Network Graphics (*.png)"));
      EXPECT_EQ(PngSize(chosen + ".png"), w.Window().frameGeometry().size()) << page;
    }
  }
  pages->SetActivePageIndex(-1);
  QTest::keyClick(&w.Window(), Qt::Key_F5);
  EXPECT_EQ(w.Dialogs.InitialNames.last(), w.Folder() + "/");
  EXPECT_TRUE(w.Errors.Messages.isEmpty());
}

TEST(SnapshotExport, F5WorksWhateverControlHasTheFocusAndOtherKeysDoNothing) {
  tTestWindow w({kAthlon64});
  w.Window().show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&w.Window()));
  w.Dialogs.Answer.reset();  // cancelled: nothing is written
  for (const char* control : {"CpuSelectionV", "SaveFlagsBT", "CpuNameV"}) {
    auto* target = w.Find<QWidget>(control);
    ASSERT_NE(target, nullptr) << control;
    const qsizetype before = w.Dialogs.InitialNames.size();
    for (const Qt::Key key : {Qt::Key_F4, Qt::Key_F6, Qt::Key_A, Qt::Key_Escape, Qt::Key_Return})
      QTest::keyClick(target, key);
    EXPECT_EQ(w.Dialogs.InitialNames.size(), before) << control;
    QTest::keyClick(target, Qt::Key_F5);
    EXPECT_EQ(w.Dialogs.InitialNames.size(), before + 1) << control;
  }
  EXPECT_TRUE(QDir(w.Folder()).entryList(QDir::Files).isEmpty());
}

TEST(SnapshotExport, F5WorksWhileTheSelectorsListIsOpenButNotInTheWindowsDialogs) {
  tTestWindow w({kAthlon64, kCoreI7});
  w.Window().show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&w.Window()));
  auto* selector = w.Find<QComboBox>("CpuSelectionV");
  selector->showPopup();
  ASSERT_TRUE(selector->view()->isVisible());
  QTest::keyClick(selector->view(), Qt::Key_F5);
  EXPECT_EQ(w.Dialogs.InitialNames.size(), 1);
  EXPECT_FALSE(selector->view()->isVisible()) << "the list closes before the dialog opens";

  QDialog dialog(&w.Window());  // as the file dialog and the error box are
  dialog.show();
  QTest::keyClick(&dialog, Qt::Key_F5);
  EXPECT_EQ(w.Dialogs.InitialNames.size(), 1);
}

TEST(SnapshotExport, PngSuffixIsAlwaysAppendedAndSaveErrorsAreShown) {
  tTestWindow w({kAthlon64});
  w.Window().show();
  w.Dialogs.Answer = w.PathOf(QStringLiteral("page.png"));
  QTest::keyClick(&w.Window(), Qt::Key_F5);
  EXPECT_TRUE(QFile::exists(w.PathOf(QStringLiteral("page.png.png"))));

  w.Dialogs.Answer = w.PathOf(QStringLiteral("missing-folder/page"));
  QTest::keyClick(&w.Window(), Qt::Key_F5);
  ASSERT_EQ(w.Errors.Messages.size(), 1);
  EXPECT_TRUE(w.Errors.Messages[0].contains(QStringLiteral("page.png")));
}

TEST(SnapshotExport, ImageOfKeepsEveryPixel) {
  QImage picture(3, 2, QImage::Format_ARGB32);
  picture.fill(QColor(10, 20, 30));
  picture.setPixelColor(2, 1, QColor(200, 100, 50, 128));
  const tImage image = ImageOf(picture);
  ASSERT_EQ(image.Width, 3);
  ASSERT_EQ(image.Height, 2);
  ASSERT_EQ(image.Rgba.size(), 24u);
  EXPECT_EQ(std::vector<std::uint8_t>(image.Rgba.begin(), image.Rgba.begin() + 4),
            (std::vector<std::uint8_t>{10, 20, 30, 255}));
  EXPECT_EQ(std::vector<std::uint8_t>(image.Rgba.end() - 4, image.Rgba.end()),
            (std::vector<std::uint8_t>{200, 100, 50, 128}));
}

}  // namespace
