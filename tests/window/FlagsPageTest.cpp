// The Feature Flags page: the four register views with their names and Yes/No fields, the
// group caption, the button colours, button enabling and the view signal.
#include "ui/FlagsPage.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QTest>
#include <string>
#include <vector>

#include "tests/support/EngineFixtures.h"
#include "ui/ExtEdit.h"
#include "ui/ViewButtons.h"

namespace {

const char* const kButtons[] = {"Standard1ff", "Standard2ff", "Extended1ff", "Extended2ff"};

QString NameOf(const TFlagsPage& page, int bit) {
  return page.findChild<QLabel*>(("Feat" + std::to_string(bit)).c_str())->text();
}
QString ValueOf(const TFlagsPage& page, int bit) {
  return page.findChild<TExtEdit*>(("Feat" + std::to_string(bit) + "V").c_str())->text();
}
QColor CaptionColour(const TFlagsPage& page, const char* button) {
  return page.findChild<QPushButton*>(button)->palette().color(QPalette::Active,
                                                               QPalette::ButtonText);
}

TEST(FlagsPageWindow, EachViewNamesItsBitsAndReadsThemFromItsRegister) {
  struct tRow {
    int Bit;
    const char* Name;
    const char* Value;
  };
  struct tCase {
    int View;
    const char* Group;
    tFeatureBits tFeaturesFlags::*Register;
    std::vector<tRow> Rows;
  };
  const tCase cases[] = {
      {1,
       "Standard Features Flags",
       &tFeaturesFlags::StdEDX,
       {{3, "Pase Size Extensions", "Yes"},
        {11, "SYSENTER/SYSEXIT", "Yes"},
        {28, "Hyper Threading technology", "No"}}},
      {2, "Standard Features Flags", &tFeaturesFlags::StdECX, {{0, "SSE3 Instructions", "Yes"}}},
      {3,
       "Extended Features Flags",
       &tFeaturesFlags::ExtEDX,
       {{11, "SYSCALL/SYSRET", "Yes"},
        {18, "Reserved", "No"},
        {29, "AMD 64-bit compatibility", "Yes"}}},
      // Bit 0 was "Reserved" before LAHF/SAHF in 64-bit mode was defined.
      {4,
       "Extended Features Flags",
       &tFeaturesFlags::ExtECX,
       {{0, "LAHF/SAHF in 64-bit Mode", "Yes"}, {14, "Reserved", "No"}}},
  };
  const auto engine = IdentifiedFixture("amd-athlon-64-processor-3000plus.txt");
  TFlagsPage page(nullptr);
  for (const tCase& c : cases) {
    SCOPED_TRACE("view " + std::to_string(c.View));
    page.ShowFlags(*engine, 0, c.View);
    EXPECT_EQ(page.findChild<QGroupBox*>("FeaturesFlagsGB")->title(), c.Group);
    for (const tRow& row : c.Rows) {
      EXPECT_EQ(NameOf(page, row.Bit), row.Name) << row.Bit;
      EXPECT_EQ(ValueOf(page, row.Bit), row.Value) << row.Bit;
    }
    const tFeatureBits& bits = engine->FeaturesFlags[0].*(c.Register);
    for (int n = 0; n < 32; ++n)
      EXPECT_EQ(ValueOf(page, n), bits.Bits[n] != 0 ? "Yes" : "No") << n;
    for (int k = 0; k < 4; ++k) {
      EXPECT_EQ(CaptionColour(page, kButtons[k]), k + 1 == c.View ? ButtonTextColour() : SkyBlue())
          << kButtons[k];
    }
  }
}

TEST(FlagsPageWindow, ViewButtonsFollowTheRegistersThatHoldBits) {
  struct tCase {
    const char* Fixture;
    bool Enabled[4];
  };
  const tCase cases[] = {
      {"intel-pentium-4-cpu-3.20ghz.txt", {true, true, false, false}},
      {"amd-athlon-64-processor-3000plus.txt", {true, true, true, true}},
      {"intel-0000517-p5.txt", {true, false, false, false}},
  };
  for (const tCase& c : cases) {
    TFlagsPage page(nullptr);
    page.SetViewButtons(*IdentifiedFixture(c.Fixture), 0);
    for (int k = 0; k < 4; ++k)
      EXPECT_EQ(page.findChild<QPushButton*>(kButtons[k])->isEnabled(), c.Enabled[k])
          << c.Fixture << " " << kButtons[k];
  }
}

TEST(FlagsPageWindow, ButtonsAskForTheirViewAndDisabledOnesStayQuiet) {
  TFlagsPage page(nullptr);
  page.show();
  QSignalSpy spy(&page, &TFlagsPage::ViewClicked);
  for (int k = 0; k < 4; ++k) {
    QTest::mouseClick(page.findChild<QPushButton*>(kButtons[k]), Qt::LeftButton);
    ASSERT_EQ(spy.count(), k + 1);
    EXPECT_EQ(spy.at(k).at(0).toInt(), k + 1);
  }
  page.SetViewButtons(*IdentifiedFixture("intel-0000517-p5.txt"), 0);
  QTest::mouseClick(page.findChild<QPushButton*>("Extended2ff"), Qt::LeftButton);
  EXPECT_EQ(spy.count(), 4);
}

TEST(FlagsPageWindow, ShowsTheProcessorAskedForAndIgnoresUnknownViews) {
  tRawCpu withSse3 = tRawCpu::Intel(15, 3, 4);
  withSse3.StdEcxBit(0);
  tRawCpu without = tRawCpu::Intel(15, 3, 4);
  without.StdEcxBit(3);
  const auto engine = Identified({withSse3, without});
  TFlagsPage page(nullptr);
  page.ShowFlags(*engine, 0, 2);
  EXPECT_EQ(ValueOf(page, 0), "Yes");
  page.ShowFlags(*engine, 1, 2);
  EXPECT_EQ(ValueOf(page, 0), "No");
  EXPECT_EQ(ValueOf(page, 3), "Yes");

  for (int view : {0, 15, -1}) {
    page.ShowFlags(*engine, 0, view);
    EXPECT_EQ(NameOf(page, 3), "MONITOR/MWAIT") << view;
    EXPECT_EQ(ValueOf(page, 3), "Yes") << view;
  }
  page.ShowFlags(*engine, static_cast<unsigned>(engine->SlotCount()), 1);
  EXPECT_EQ(NameOf(page, 3), "MONITOR/MWAIT") << "a slot beyond the engine";
}

TEST(FlagsPageWindow, StartsWithFeatRowsInTwoColumns) {
  TFlagsPage page(nullptr);
  // 14 pixels shorter than it was, for the selector's bar below it.
  EXPECT_EQ(page.findChild<QGroupBox*>("FeaturesFlagsGB")->geometry(), QRect(3, 3, 429, 386));
  EXPECT_EQ(page.findChild<QGroupBox*>("FeaturesFlagsGB")->title(), "Standard Features Flags");
  const auto* label = page.findChild<QLabel*>("Feat16");
  EXPECT_EQ(label->geometry().topLeft(), QPoint(222, 32));
  EXPECT_EQ(label->width(), 143);
  EXPECT_TRUE(label->alignment() & Qt::AlignRight);
  EXPECT_EQ(page.findChild<TExtEdit*>("Feat15V")->geometry(), QRect(156, 358, 50, 21));
  EXPECT_EQ(page.findChild<TExtEdit*>("Feat31V")->geometry(), QRect(370, 358, 50, 21));
  for (int n = 0; n < 32; ++n) {
    EXPECT_EQ(NameOf(page, n), "Feat") << n;
    EXPECT_EQ(ValueOf(page, n), "No") << n;
  }
  const QRect buttons[] = {
      {6, 428, 107, 22}, {112, 428, 107, 22}, {218, 428, 107, 22}, {324, 428, 105, 22}};
  const char* const captions[] = {"Standard (1)", "Standard (2)", "Extended (1)", "Extended (2)"};
  for (int k = 0; k < 4; ++k) {
    const auto* button = page.findChild<QPushButton*>(kButtons[k]);
    EXPECT_EQ(button->geometry(), buttons[k]) << kButtons[k];
    EXPECT_EQ(button->text(), captions[k]);
    EXPECT_EQ(CaptionColour(page, kButtons[k]), k == 0 ? ButtonTextColour() : SkyBlue());
  }
  // The selector of the newer registers, on a bar of its own above the buttons'.
  const auto* selector = page.findChild<QComboBox*>("NewerFlagsV");
  EXPECT_EQ(selector->geometry(), QRect(6, 397, 423, 22));
  EXPECT_EQ(page.findChild<QFrame*>("NewerFlagsBv")->geometry(), QRect(4, 395, 427, 25));
  EXPECT_EQ(selector->currentIndex(), -1);
  const char* const entries[] = {"Structured (1) (7.0 EBX)",
                                 "Structured (2) (7.0 ECX)",
                                 "Structured (3) (7.0 EDX)",
                                 "Structured (4) (7.1 EAX)",
                                 "Structured (5) (7.1 EDX)",
                                 "Structured (6) (7.2 EDX)",
                                 "XSAVE (0xD.1 EAX)",
                                 "Power Mgmt. (0x80000007 EDX)",
                                 "Extended (3) (0x80000008 EBX)",
                                 "Extended (4) (0x80000021 EAX)"};
  ASSERT_EQ(selector->count(), 10);
  for (int k = 0; k < 10; ++k)
    EXPECT_EQ(selector->itemText(k), entries[k]);
}

// A processor of today: leaf 7 with AVX2 (7.0 EBX bit 5) and SHA (bit 29), no sub-leaf 1.
std::unique_ptr<cCPUid> WithLeaf7() {
  return IdentifiedStores({StoreOf(
      "GenuineIntel", 7,
      {{1, 0, {0x000906EA, 0, 0, 0x00000001}}, {7, 0, {0, (1u << 5) | (1u << 29), 0, 0}}})});
}

TEST(FlagsPageWindow, TheSelectorShowsTheNewerRegisters) {
  const auto engine = WithLeaf7();
  TFlagsPage page(nullptr);
  page.show();
  QSignalSpy spy(&page, &TFlagsPage::ViewClicked);
  auto* selector = page.findChild<QComboBox*>("NewerFlagsV");
  selector->activated(1);  // as the user's choice of the second entry
  ASSERT_EQ(spy.count(), 1);
  EXPECT_EQ(spy.at(0).at(0).toInt(), 6);

  page.ShowFlags(*engine, 0, 5);
  EXPECT_EQ(page.findChild<QGroupBox*>("FeaturesFlagsGB")->title(), "Structured Features Flags");
  EXPECT_EQ(selector->currentIndex(), 0);
  for (int k = 0; k < 4; ++k)
    EXPECT_EQ(CaptionColour(page, kButtons[k]), SkyBlue()) << kButtons[k];
  const std::pair<int, const char*> rows[] = {
      {4, "Hardware Lock Elision"},       {5, "AVX2 Instructions"},
      {6, "FPU Data Pointer on Except."}, {28, "AVX-512 Conflict Detection"},
      {29, "SHA Instructions"},           {30, "AVX-512 BW Instructions"}};
  for (const auto& [bit, name] : rows) {
    EXPECT_EQ(NameOf(page, bit), name);
    EXPECT_EQ(ValueOf(page, bit), bit == 5 || bit == 29 ? "Yes" : "No") << bit;
  }
  EXPECT_EQ(spy.count(), 1) << "showing a view is not a choice of the user";

  page.ShowFlags(*engine, 0, 1);
  EXPECT_EQ(selector->currentIndex(), -1);
  EXPECT_EQ(CaptionColour(page, kButtons[0]), ButtonTextColour());
}

TEST(FlagsPageWindow, EveryCaptionFitsItsLabel) {
  // Views 1 and 3 keep the page's own captions, one of which is wider than its label in some
  // fonts; every other caption fits.
  const auto engine = WithLeaf7();
  TFlagsPage page(nullptr);
  for (int view : {2, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14}) {
    page.ShowFlags(*engine, 0, view);
    for (int bit = 0; bit < 32; ++bit) {
      const auto* label = page.findChild<QLabel*>(("Feat" + std::to_string(bit)).c_str());
      EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()), label->width())
          << "view " << view << ": " << label->text().toStdString();
    }
  }
}

TEST(FlagsPageWindow, OnlyRegistersTheProcessorReportsCanBeChosen) {
  const auto engine = WithLeaf7();
  TFlagsPage page(nullptr);
  page.SetViewButtons(*engine, 0);
  const auto* model =
      qobject_cast<QStandardItemModel*>(page.findChild<QComboBox*>("NewerFlagsV")->model());
  // Leaf 7 sub-leaf 0 only: its three registers; leaf 0xD and the extended leaves are absent.
  for (int k = 0; k < 10; ++k)
    EXPECT_EQ(model->item(k)->isEnabled(), k < 3) << k;
}

}  // namespace
