#include "ui/FieldsDialog.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <cstdio>

#include "engine/decode/FieldDecoder.h"

namespace {

enum tColumn { kName, kBits, kValue, kMeaning, kColumns };

QString Qt8(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString LeafCaption(const tFieldValue& f) {
  char head[40];
  std::snprintf(head, sizeof head, "0x%08X.%u  ", f.Leaf, f.SubLeaf);
  return QString::fromLatin1(head) + Qt8(f.Title->Title);
}

}  // namespace

TFieldsDialog::TFieldsDialog(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("FieldsDialog"));
  resize(720, 560);
  auto* layout = new QVBoxLayout(this);
  filter_ = new QLineEdit(this);
  filter_->setObjectName(QStringLiteral("FieldsFilter"));
  filter_->setPlaceholderText(QStringLiteral("Filter by name or meaning"));
  filter_->setClearButtonEnabled(true);
  layout->addWidget(filter_);
  tree_ = new QTreeWidget(this);
  tree_->setObjectName(QStringLiteral("FieldsTree"));
  tree_->setColumnCount(kColumns);
  tree_->setHeaderLabels({QStringLiteral("Field"), QStringLiteral("Bits"), QStringLiteral("Value"),
                          QStringLiteral("Meaning")});
  tree_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
  layout->addWidget(tree_);
  connect(filter_, &QLineEdit::textChanged, this, &TFieldsDialog::ApplyFilter);
}

void TFieldsDialog::ShowFields(const tCpuidStore& store, unsigned slot) {
  setWindowTitle(QStringLiteral("CPUID fields of processor %1").arg(slot));
  tree_->clear();
  QTreeWidgetItem* leafItem = nullptr;
  QTreeWidgetItem* registerItem = nullptr;
  const tFieldValue* previous = nullptr;
  for (const tFieldValue& f : DecodeFields(store)) {
    if (previous == nullptr || previous->Leaf != f.Leaf || previous->SubLeaf != f.SubLeaf) {
      leafItem = new QTreeWidgetItem(tree_, {LeafCaption(f)});
      registerItem = nullptr;
    }
    if (registerItem == nullptr || previous->Register != f.Register) {
      registerItem = new QTreeWidgetItem(leafItem, {Qt8(RegisterName(f.Register)).toUpper()});
    }
    new QTreeWidgetItem(registerItem, {Qt8(FieldName(f)), QString::fromStdString(FieldBits(f)),
                                       QString::fromStdString(FieldValueText(f)),
                                       QString::fromStdString(FieldMeaning(f))});
    previous = &f;
  }
  tree_->expandAll();
  ApplyFilter(filter_->text());
}

void TFieldsDialog::ApplyFilter(const QString& text) {
  const QString wanted = text.trimmed();
  for (int l = 0; l < tree_->topLevelItemCount(); ++l) {
    QTreeWidgetItem* leaf = tree_->topLevelItem(l);
    const bool leafMatches = leaf->text(kName).contains(wanted, Qt::CaseInsensitive);
    bool leafShown = false;
    for (int r = 0; r < leaf->childCount(); ++r) {
      QTreeWidgetItem* reg = leaf->child(r);
      bool regShown = false;
      for (int k = 0; k < reg->childCount(); ++k) {
        QTreeWidgetItem* field = reg->child(k);
        const bool shown = wanted.isEmpty() || leafMatches ||
                           field->text(kName).contains(wanted, Qt::CaseInsensitive) ||
                           field->text(kMeaning).contains(wanted, Qt::CaseInsensitive);
        field->setHidden(!shown);
        regShown = regShown || shown;
      }
      reg->setHidden(!regShown);
      leafShown = leafShown || regShown;
    }
    leaf->setHidden(!leafShown);
  }
}
