// Every CPUID field of one processor as a tree: leaf (with its sub-leaf) -> register -> field,
// with the field's bits, value and meaning, and a filter box above that keeps the fields whose
// name, meaning or leaf title hold its text. Opened from the Feature Flags page's context menu.
#pragma once

#include <QDialog>

#include "engine/store/CpuidStore.h"

class QLineEdit;
class QTreeWidget;

class TFieldsDialog : public QDialog {
  Q_OBJECT

 public:
  explicit TFieldsDialog(QWidget* parent);

  // Shows the fields of `store`, the processor of `slot`; the filter stays as typed.
  void ShowFields(const tCpuidStore& store, unsigned slot);

 private:
  void ApplyFilter(const QString& text);

  QLineEdit* filter_ = nullptr;
  QTreeWidget* tree_ = nullptr;
};
