// The Feature Flags page: the four register views with their names and Yes/No fields, the
// group caption, the button colours, button enabling and the view signal.
#include "ui/FlagsPage.h"

#include <gtest/gtest.h>

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
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
      {4, "Extended Features Flags", &tFeaturesFlags::ExtECX, {{0, "Reserved", "Yes"}}},
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

  for (int view : {0, 5, -1}) {
    page.ShowFlags(*engine, 0, view);
    EXPECT_EQ(NameOf(page, 3), "MONITOR/MWAIT") << view;
    EXPECT_EQ(ValueOf(page, 3), "Yes") << view;
  }
  page.ShowFlags(*engine, static_cast<unsigned>(engine->SlotCount()), 1);
  EXPECT_EQ(NameOf(page, 3), "MONITOR/MWAIT") << "a slot beyond the engine";
}

TEST(FlagsPageWindow, StartsWithFeatRowsInTwoColumns) {
  TFlagsPage page(nullptr);
  EXPECT_EQ(page.findChild<QGroupBox*>("FeaturesFlagsGB")->geometry(), QRect(3, 3, 429, 400));
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
}

}  // namespace
