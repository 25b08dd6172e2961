// The Cache page: the three level views with their box captions, units and hidden boxes, the
// button colours, button enabling and the level signal.
#include "ui/CachePage.h"

#include <gtest/gtest.h>

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/EngineFixtures.h"
#include "ui/ExtEdit.h"
#include "ui/ViewButtons.h"

namespace {

const char* const kButtons[] = {"level1bt", "level2bt", "level3bt"};

// A box caption (BlocknGB), a row caption (a label) or a value (a field ending in V).
struct tLook {
  const char* Name;
  const char* Text;  // Windows-1252
};

QString TextOf(const TCachePage& page, const char* name) {
  if (const auto* group = page.findChild<QGroupBox*>(name)) return group->title();
  if (const auto* field = page.findChild<TExtEdit*>(name)) return field->text();
  if (const auto* label = page.findChild<QLabel*>(name)) return label->text();
  ADD_FAILURE() << "no control " << name;
  return {};
}

bool Hidden(const TCachePage& page, int box) {
  return page.findChild<QGroupBox*>(("Block" + std::to_string(box) + "GB").c_str())->isHidden();
}

void ShowLevel(TCachePage& page, const cCPUid& engine, int level) {
  switch (level) {
    case 1:
      page.ShowLevel1Cache(engine, 0);
      break;
    case 2:
      page.ShowLevel2Cache(engine, 0);
      break;
    default:
      page.ShowLevel3Cache(engine, 0);
  }
}

TEST(CachePageWindow, LevelViewsOfATraceCacheProcessor) {
  struct tCase {
    int Level;
    std::vector<int> HiddenBoxes;
    std::vector<tLook> Looks;
  };
  // Level 3, then back to 1 and 2: the fourth row's caption and the hidden boxes come back.
  const tCase cases[] = {
      {1,
       {},
       {{"Block1GB", "L1 Data Cache"},
        {"Bl1SizeV", "16 KBytes"},
        {"Bl1assocV", "8-way"},
        {"Bl1LSV", "64 Bytes"},
        {"Block2GB", "L1 Trace Cache"},
        {"Bl2SizeV", "12 K\xB5Ops"},
        {"Bl2LSV", "6 \xB5Ops"},
        {"Block3GB", "L1 Data TLB (4Kb pages)"},
        {"Bl3assocV", "fully"},
        {"Bl3entrV", "64"},
        {"Block4GB", "L1 Trace TLB (4Kb pages)"},
        {"Block6GB", "L1 Trace TLB (2Mb pages)"}}},
      {3,
       {2, 3, 4, 5, 6},
       {{"Block1GB", "L3 Cache"},
        {"Bl1LPT", "Sectors"},
        {"Bl1SizeV", "0 KBytes"},
        {"Bl1assocV", "off"},
        {"Bl1LSV", "0 Bytes"}}},
      {1, {}, {{"Block1GB", "L1 Data Cache"}, {"Bl1LPT", "Lines per Tag"}}},
      {3, {2, 3, 4, 5, 6}, {{"Bl1LPT", "Sectors"}}},
      {2,
       {2},
       {{"Block1GB", "L2 Cache"},
        {"Bl1LPT", "Lines per Tag"},
        {"Bl1SizeV", "1024 KBytes"},
        {"Bl1assocV", "8-way"},
        {"Block3GB", "L2 Data TLB (4Kb pages)"},
        {"Block4GB", "L2 Trace TLB (4Kb pages)"},
        {"Bl4assocV", "off"},
        {"Block5GB", "L2 Data TLB (2Mb pages)"},
        {"Block6GB", "L2 Trace TLB (2Mb pages)"}}},
  };
  auto engine = IdentifiedFixture("intel-pentium-4-cpu-3.20ghz.txt");
  engine->level2[0].UnitCount = 2;  // the view shows one unit's size
  TCachePage page(nullptr);
  int step = 0;
  for (const tCase& c : cases) {
    SCOPED_TRACE("step " + std::to_string(step++) + ", level " + std::to_string(c.Level));
    ShowLevel(page, *engine, c.Level);
    for (const tLook& look : c.Looks)
      EXPECT_EQ(TextOf(page, look.Name), QString::fromLatin1(look.Text)) << look.Name;
    for (int box = 1; box <= 6; ++box) {
      const bool hidden =
          std::find(c.HiddenBoxes.begin(), c.HiddenBoxes.end(), box) != c.HiddenBoxes.end();
      EXPECT_EQ(Hidden(page, box), hidden) << "box " << box;
    }
    for (int k = 0; k < 3; ++k) {
      EXPECT_EQ(page.findChild<QPushButton*>(kButtons[k])
                    ->palette()
                    .color(QPalette::Active, QPalette::ButtonText),
                k + 1 == c.Level ? ButtonTextColour() : SkyBlue())
          << kButtons[k];
    }
  }
}

TEST(CachePageWindow, LevelButtonsFollowTheCachesPresent) {
  tRawCpu withL3 = tRawCpu::Intel(15, 4, 1);
  withL3.IntelCaches(512, true);
  struct tCase {
    const char* What;
    std::unique_ptr<cCPUid> Engine;
    bool Enabled[3];
  };
  tCase cases[] = {
      {"Pentium 4", IdentifiedFixture("intel-pentium-4-cpu-3.20ghz.txt"), {true, true, false}},
      {"P5", IdentifiedFixture("intel-0000517-p5.txt"), {true, false, false}},
      {"level 3", Identified({withL3}), {true, true, true}},
  };
  TCachePage page(nullptr);
  for (const tCase& c : cases) {
    page.SetViewButtons(*c.Engine, 0);
    for (int k = 0; k < 3; ++k)
      EXPECT_EQ(page.findChild<QPushButton*>(kButtons[k])->isEnabled(), c.Enabled[k])
          << c.What << " " << kButtons[k];
  }
}

TEST(CachePageWindow, ButtonsAskForTheirLevel) {
  TCachePage page(nullptr);
  page.show();
  QSignalSpy spy(&page, &TCachePage::LevelClicked);
  for (int k = 0; k < 3; ++k) {
    QTest::mouseClick(page.findChild<QPushButton*>(kButtons[k]), Qt::LeftButton);
    ASSERT_EQ(spy.count(), k + 1);
    EXPECT_EQ(spy.at(k).at(0).toInt(), k + 1);
  }
}

TEST(CachePageWindow, StartsWithTheLevelOneLayout) {
  TCachePage page(nullptr);
  const std::pair<const char*, QRect> places[] = {
      {"Block1GB", {8, 3, 207, 126}},    {"Block6GB", {218, 231, 209, 82}},
      {"Bl2LPTV", {116, 92, 71, 21}},    {"Bl5entrV", {116, 48, 71, 21}},
      {"level2bt", {148, 428, 137, 22}},
  };
  for (const auto& [name, rect] : places) {
    const auto* control = page.findChild<QWidget*>(name);
    ASSERT_NE(control, nullptr) << name;
    EXPECT_EQ(control->geometry(), rect) << name;
  }
  const auto* label = page.findChild<QLabel*>("Bl2LPT");
  EXPECT_EQ(label->pos(), QPoint(12, 95));
  EXPECT_EQ(label->width(), 85);
  const tLook captions[] = {
      {"Block4GB", "L1 Instruction TLB (4Kb pages)"},
      {"Bl1LPT", "Lines per Tag"},
      {"Bl3entr", "Entries"},
  };
  for (const tLook& look : captions)
    EXPECT_EQ(TextOf(page, look.Name), look.Text) << look.Name;
  EXPECT_EQ(page.findChild<QLabel*>("Bl3LS"), nullptr) << "TLB boxes have two rows";
  for (const char* button : kButtons)
    EXPECT_EQ(page.findChild<QPushButton*>(button)->palette().color(QPalette::Active,
                                                                    QPalette::ButtonText),
              ButtonTextColour());
}

}  // namespace
