// The Running Clock and Sensors groups of the Management page, below its Enhanced Power
// Management group: the effective clock of the shown processor with its source, the multiplier
// it makes with the reported bus clock, the clock's range, and the machine's temperatures and
// package power. Refreshed with the other clocks.
#pragma once

#include <QWidget>
#include <array>

#include "view/RunningClockText.h"

class QLabel;
class TExtEdit;

class TRunningClockGroup : public QWidget {
  Q_OBJECT

 public:
  // Sits on `page` below the page's first group.
  explicit TRunningClockGroup(QWidget* page);

  // The sensors beyond the rows of the group are not shown.
  static constexpr std::size_t kSensorRows = 8;

  void ShowRunningClock(const tRunningClockText& clock, const tSensors& sensors);

 private:
  std::array<QLabel*, 5> captions_{};  // effective, derived multiplier, base, max, min
  std::array<TExtEdit*, 5> values_{};
  QLabel* powerCaption_ = nullptr;
  TExtEdit* power_ = nullptr;
  std::array<QLabel*, kSensorRows> sensorCaptions_{};
  std::array<TExtEdit*, kSensorRows> sensors_{};
};
