// The Management page: the six power-management capabilities of a processor as "Yes" or "No".
#pragma once

#include <QWidget>
#include <array>

struct tProcessorRecords;
class TExtEdit;

class TPowerPage : public QWidget {
  Q_OBJECT

 public:
  explicit TPowerPage(QWidget* parent);

  void ShowPowerManagement(const tProcessorRecords& records, unsigned slot);

 private:
  std::array<TExtEdit*, 6> values_{};  // in the order of the page's rows
};
