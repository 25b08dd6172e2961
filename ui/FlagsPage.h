// The Feature Flags page: the 32 bits of one CPUID feature register at a time, each by name
// with "Yes" or "No", and the four buttons that choose the register.
#pragma once

#include <QWidget>
#include <array>
#include <cstddef>

struct tProcessorRecords;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class TExtEdit;

class TFlagsPage : public QWidget {
  Q_OBJECT

 public:
  explicit TFlagsPage(QWidget* parent);

  // Shows view 1 to 14 (kFlagViews) of the processor in `slot`: views 1 to 4 are those of the
  // buttons (Standard (1), Standard (2), Extended (1), Extended (2)), 5 to 14 those of the
  // selector below the flags. Any other view number changes nothing.
  void ShowFlags(const tProcessorRecords& records, unsigned slot, int view);
  // Enables each view button when its register was reachable and not zero, and each entry of
  // the selector when the processor reports its register.
  void SetViewButtons(const tProcessorRecords& records, unsigned slot);

 signals:
  // A view button was pressed (1 to 4) or a register chosen in the selector (5 to 14).
  void ViewClicked(int view);

 private:
  static constexpr std::size_t kBits = 32;

  QGroupBox* group_ = nullptr;
  std::array<QLabel*, kBits> names_{};
  std::array<TExtEdit*, kBits> values_{};
  std::array<QPushButton*, 4> buttons_{};
  QComboBox* selector_ = nullptr;
};
