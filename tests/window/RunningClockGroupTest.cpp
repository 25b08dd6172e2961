// The Running Clock and Sensors groups of the Management page: below the page's first group,
// which keeps its place, inside the page; greyed where nothing is known, and no sensor rows
// where there are no sensors (recorded processors have neither clocks nor sensors).
#include <gtest/gtest.h>

#include <QGroupBox>
#include <QLabel>

#include "tests/window/MainWindowFixture.h"
#include "ui/ExtEdit.h"
#include "ui/RunningClockGroup.h"

namespace {

const std::string kCoreI7 = "intel-core-i7-2600k-cpu.txt";

TEST(RunningClockGroup, BelowTheManagementGroupAndGreyedWithoutClocks) {
  tTestWindow w({kCoreI7});
  w.Window().RefresherTimer();
  QWidget* page = w.Find<QWidget>("PowerPage");
  auto* management = w.Find<QGroupBox>("EPMGB");
  auto* running = w.Find<QGroupBox>("RunningClockGB");
  auto* sensors = w.Find<QGroupBox>("SensorsGB");
  ASSERT_TRUE(page && management && running && sensors);
  const auto onPage = [page](QWidget* widget) {
    return QRect(widget->mapTo(page, QPoint(0, 0)), widget->size());
  };
  // The specified group and its fields keep their places.
  EXPECT_EQ(onPage(management), QRect(5, 2, 424, 119));
  EXPECT_EQ(w.Find<TExtEdit>("TSV")->pos(), QPoint(152, 28));
  EXPECT_GT(onPage(running).top(), onPage(management).bottom());
  EXPECT_GT(onPage(sensors).top(), onPage(running).bottom());
  EXPECT_LE(onPage(sensors).bottom(), page->height());
  // A recorded processor: no effective clock, no range (no leaf 0x16), no sensors.
  for (const char* field : {"EffectiveClockV", "DerivedMultV", "BaseClockV", "MaxClockV",
                            "MinClockV", "PackagePowerV"}) {
    SCOPED_TRACE(field);
    EXPECT_FALSE(w.Find<TExtEdit>(field)->isEnabled());
  }
  for (std::size_t i = 0; i < TRunningClockGroup::kSensorRows; ++i) {
    const std::string name = "SensorV" + std::to_string(i);
    EXPECT_TRUE(w.Find<TExtEdit>(name.c_str())->isHidden());
  }
}

TEST(RunningClockGroup, ShowsTheClockAndTheSensorsThereAre) {
  QWidget page;
  page.resize(434, 420);
  TRunningClockGroup group(&page);
  tSensors sensors;
  sensors.Temperatures = {{"Tctl", 61.26, "k10temp"}, {"Tccd1", 58.0, "k10temp"}};
  tRunningClockText text;
  text.Effective = {"3670.1 MHz (timed loop)", true};
  group.ShowRunningClock(text, sensors);
  EXPECT_EQ(group.findChild<TExtEdit*>("EffectiveClockV")->text(),
            QStringLiteral("3670.1 MHz (timed loop)"));
  EXPECT_TRUE(group.findChild<TExtEdit*>("EffectiveClockV")->isEnabled());
  EXPECT_EQ(group.findChild<QLabel*>("Sensor0")->text(), QStringLiteral("Tctl"));
  EXPECT_EQ(group.findChild<TExtEdit*>("SensorV0")->text(), QString::fromUtf8("61.3 \xC2\xB0"
                                                                              "C (k10temp)"));
  EXPECT_FALSE(group.findChild<TExtEdit*>("SensorV1")->isHidden());
  EXPECT_TRUE(group.findChild<TExtEdit*>("SensorV2")->isHidden());
  EXPECT_FALSE(group.findChild<TExtEdit*>("PackagePowerV")->isEnabled());
  // Fewer sensors at the next refresh: the rows of those gone are hidden again.
  sensors.Temperatures.pop_back();
  group.ShowRunningClock(text, sensors);
  EXPECT_TRUE(group.findChild<TExtEdit*>("SensorV1")->isHidden());
}

}  // namespace
