#include "ui/RunningClockGroup.h"

#include <QGroupBox>
#include <QLabel>

#include "ui/Controls.h"
#include "ui/ExtEdit.h"

namespace {

// The page's first group ends at 121; these fill the free space below it.
constexpr int kLeft = 5, kWidth = 424;
constexpr int kClockTop = 126, kClockHeight = 96;
constexpr int kSensorsTop = 226, kSensorsHeight = 140;
constexpr int kRowHeight = 24, kFirstRow = 20;
// Two columns of captions and values in each group.
constexpr int kCaptionLeft[2] = {4, 213};
constexpr int kValueLeft[2] = {100, 309};
constexpr int kValueWidth = 108;

struct tClockPlace {
  const char* Caption;
  const char* Value;
  std::string_view Text;
  int Column, Row;
};

constexpr std::array<tClockPlace, 5> kClockPlaces{{
    {"EffectiveClock", "EffectiveClockV", running_caption::kEffective, 0, 0},
    {"DerivedMult", "DerivedMultV", running_caption::kDerivedMultiplier, 0, 1},
    {"BaseClock", "BaseClockV", running_caption::kBase, 1, 0},
    {"MaxClock", "MaxClockV", running_caption::kMax, 1, 1},
    {"MinClock", "MinClockV", running_caption::kMin, 1, 2},
}};

}  // namespace

TRunningClockGroup::TRunningClockGroup(QWidget* page) : QWidget(page) {
  setObjectName(QStringLiteral("RunningClock"));
  // Covers only the space below the page's first group.
  setGeometry(0, kClockTop, kLeft + kWidth, kSensorsTop + kSensorsHeight - kClockTop);
  QGroupBox* clock = PlaceGroup(this, "RunningClockGB", FromText(running_caption::kGroup), kLeft, 0,
                                kWidth, kClockHeight);
  for (std::size_t i = 0; i < kClockPlaces.size(); ++i) {
    const tClockPlace& place = kClockPlaces[i];
    const int top = kFirstRow + place.Row * kRowHeight;
    values_[i] = PlaceValue(clock, place.Value, kValueLeft[place.Column], top, kValueWidth);
    captions_[i] = PlaceFieldCaption(clock, place.Caption, FromText(place.Text),
                                     kCaptionLeft[place.Column], kValueLeft[place.Column], top);
  }
  QGroupBox* sensors = PlaceGroup(this, "SensorsGB", FromText(running_caption::kSensors), kLeft,
                                  kSensorsTop - kClockTop, kWidth, kSensorsHeight);
  power_ = PlaceValue(sensors, "PackagePowerV", kValueLeft[0], kFirstRow, kValueWidth);
  powerCaption_ = PlaceFieldCaption(sensors, "PackagePower", QStringLiteral("Package"),
                                    kCaptionLeft[0], kValueLeft[0], kFirstRow);
  for (std::size_t i = 0; i < kSensorRows; ++i) {
    // The first column starts a row lower, below the package power.
    const int column = static_cast<int>(i % 2);
    const int top = kFirstRow + static_cast<int>((i + 2) / 2) * kRowHeight - column * kRowHeight;
    const std::string value = "SensorV" + std::to_string(i);
    const std::string caption = "Sensor" + std::to_string(i);
    sensors_[i] = PlaceValue(sensors, value.c_str(), kValueLeft[column], top, kValueWidth);
    sensorCaptions_[i] = PlaceFieldCaption(sensors, caption.c_str(), {}, kCaptionLeft[column],
                                           kValueLeft[column], top);
  }
}

void TRunningClockGroup::ShowRunningClock(const tRunningClockText& clock, const tSensors& sensors) {
  const std::array<const tShownField*, 5> fields = {&clock.Effective, &clock.DerivedMultiplier,
                                                    &clock.Base, &clock.Max, &clock.Min};
  for (std::size_t i = 0; i < fields.size(); ++i)
    ShowField(captions_[i], values_[i], FromText(fields[i]->Text), fields[i]->Enabled);
  const tShownField power = PackagePowerText(sensors, '.');
  ShowField(powerCaption_, power_, FromText(power.Text), power.Enabled);
  const std::vector<tTemperatureRow> rows = TemperatureRows(sensors, '.');
  for (std::size_t i = 0; i < kSensorRows; ++i) {
    // A sensor that is not there has no row.
    const bool shown = i < rows.size();
    sensorCaptions_[i]->setVisible(shown);
    sensors_[i]->setVisible(shown);
    if (!shown) continue;
    sensorCaptions_[i]->setText(FromText(rows[i].Label));
    ShowField(sensorCaptions_[i], sensors_[i], FromText(rows[i].Value.Text), true);
  }
}
