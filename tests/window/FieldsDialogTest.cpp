// The tree of every CPUID field: leaf -> register -> field with bits, value and meaning, its
// filter, and its opening from the Feature Flags page's context menu, which leaves the window
// as it was.
#include "ui/FieldsDialog.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QLineEdit>
#include <QTreeWidget>
#include <fstream>
#include <sstream>
#include <variant>

#include "engine/listings/Listings.h"
#include "tests/window/MainWindowFixture.h"

namespace {

tCpuidStore RaptorLake() {
  std::ifstream in(
      std::string(LUMARIAN_FIXTURES) + "/full/il-GenuineIntel00B0671_RaptorLake_12_CPUID.txt",
      std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  tListingRead read = ReadListing(text.str());
  return std::get<std::vector<tCpuidStore>>(std::move(read)).at(0);
}

// The shown field items (the third level) by name, with their value.
std::vector<std::pair<QString, QString>> ShownFields(QTreeWidget& tree) {
  std::vector<std::pair<QString, QString>> shown;
  for (int l = 0; l < tree.topLevelItemCount(); ++l) {
    QTreeWidgetItem* leaf = tree.topLevelItem(l);
    if (leaf->isHidden()) continue;
    for (int r = 0; r < leaf->childCount(); ++r) {
      QTreeWidgetItem* reg = leaf->child(r);
      if (reg->isHidden()) continue;
      for (int k = 0; k < reg->childCount(); ++k) {
        if (!reg->child(k)->isHidden())
          shown.emplace_back(reg->child(k)->text(0), reg->child(k)->text(2));
      }
    }
  }
  return shown;
}

TEST(FieldsDialogWindow, ShowsLeafRegisterFieldAndFilters) {
  TFieldsDialog dialog(nullptr);
  dialog.ShowFields(RaptorLake(), 0);
  auto* tree = dialog.findChild<QTreeWidget*>("FieldsTree");
  auto* filter = dialog.findChild<QLineEdit*>("FieldsFilter");
  ASSERT_NE(tree, nullptr);
  ASSERT_NE(filter, nullptr);
  EXPECT_EQ(tree->topLevelItem(0)->text(0), "0x00000000.0  Highest standard leaf and vendor");
  EXPECT_EQ(tree->topLevelItem(0)->child(0)->text(0), "EAX");
  struct tCase {
    const char* Filter;
    std::vector<std::pair<QString, QString>> Shown;
  };
  const tCase cases[] = {
      // Leaf 6 EAX 00DF8FF7 bit 10.
      {"hwp_epp", {{"hwp_epp", "1"}}},
      // A meaning matches too: leaf 0x16 EBX 000014B4 = 5300.
      {"Highest clock", {{"max_mhz", "5300"}}},
      {"no such field", {}},
  };
  for (const tCase& c : cases) {
    filter->setText(c.Filter);
    EXPECT_EQ(ShownFields(*tree), c.Shown) << c.Filter;
  }
  // A leaf title keeps every field of the leaf: leaf 0x16's three clocks.
  filter->setText("Processor clocks");
  EXPECT_EQ(ShownFields(*tree).size(), 3u);
  filter->clear();
  EXPECT_GT(ShownFields(*tree).size(), 400u);
}

TEST(FieldsDialogWindow, OpensFromTheFeatureFlagsPageAndLeavesTheWindowAsItWas) {
  tTestWindow w({"intel-core-i7-2600k-cpu.txt"});
  const QSize size = w.Window().size();
  auto* action = w.Find<QAction>("AllFieldsAction");
  ASSERT_NE(action, nullptr);
  action->trigger();
  auto* dialog = w.Find<TFieldsDialog>("FieldsDialog");
  ASSERT_NE(dialog, nullptr);
  EXPECT_TRUE(dialog->isVisible());
  EXPECT_GT(dialog->findChild<QTreeWidget*>("FieldsTree")->topLevelItemCount(), 0);
  EXPECT_EQ(w.Window().size(), size);
}

}  // namespace
