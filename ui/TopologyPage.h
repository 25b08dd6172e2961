// The Topology page: the machine's packages, dies, cores and threads and the cores of each
// kind, the hypervisor, and where the selected processor sits, with the clocks it reports;
// below them its machine at a glance.
#pragma once

#include <QString>
#include <QWidget>
#include <array>
#include <string_view>

struct tProcessorRecords;
class QGroupBox;
class QLabel;
class TExtEdit;

class TTopologyPage : public QWidget {
  Q_OBJECT

 public:
  explicit TTopologyPage(QWidget* parent);

  // Fills the page for the processor in `slot`, the machine counted over the first
  // `identified` slots; `probedHypervisor` as TopologyPageText takes it.
  void ShowTopology(const tProcessorRecords& records, std::size_t identified, unsigned slot,
                    std::string_view probedHypervisor);
  // Why the driver did not load, shown with the machine at a glance ("" for nothing to say).
  void SetDriverRefusal(const QString& refusal) { driverRefusal_ = refusal; }

 private:
  void ShowGlance(const tProcessorRecords& records, std::size_t identified, unsigned slot);

  struct tField {
    QLabel* Caption = nullptr;
    TExtEdit* Value = nullptr;
  };
  static constexpr std::size_t kFieldCount = 22;
  std::array<tField, kFieldCount> fields_{};
  QGroupBox* selected_ = nullptr;  // its caption names the selected processor
  QLabel* glance_ = nullptr;       // the summary of the selected processor's machine
  QString driverRefusal_;
};
