#include "ui/FlagsPage.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStandardItemModel>
#include <string>

#include "engine/ProcessorRecords.h"
#include "ui/Controls.h"
#include "ui/ExtEdit.h"
#include "ui/ViewButtons.h"
#include "view/Captions.h"
#include "view/PageText.h"

namespace {

// Bits 0 to 15 fill the left column, 16 to 31 the right one; row k of a column has its caption
// at 32 + 22k and its field at 28 + 22k.
constexpr std::size_t kRowsPerColumn = 16;
constexpr int kLabelLeft[] = {8, 222};
constexpr int kFieldLeft[] = {156, 370};
constexpr int kLabelWidth = 143;
constexpr int kFieldWidth = 50;
constexpr int kLabelTop = 32;
constexpr int kFieldTop = 28;
constexpr int kRowPitch = 22;

struct tButtonPlace {
  const char* Name;
  int Left;
  int Width;
};
// In view order; the captions are those of the views.
constexpr tButtonPlace kButtons[] = {
    {"Standard1ff", 6, 107},
    {"Standard2ff", 112, 107},
    {"Extended1ff", 218, 107},
    {"Extended2ff", 324, 105},
};

// The group box leaves room for a second bar above the buttons' bar: the selector of the
// views of the registers defined since.
constexpr int kGroupHeight = 386;
constexpr QRect kSelectorPlace{6, 0, 423, 22};  // top: the second bar's
const char kSelectorPrompt[] = "Newer feature registers...";

}  // namespace

TFlagsPage::TFlagsPage(QWidget* parent) : QWidget(parent) {
  setObjectName("FFlagsPageContent");
  group_ =
      PlaceGroup(this, "FeaturesFlagsGB", FromText(kFlagViews[0].Group), 3, 3, 429, kGroupHeight);
  for (std::size_t n = 0; n < kBits; ++n) {
    const std::size_t column = n / kRowsPerColumn;
    const int row = static_cast<int>(n % kRowsPerColumn);
    const std::string label = "Feat" + std::to_string(n);
    const std::string value = label + "V";
    names_[n] = PlaceLabel(group_, label.c_str(), "Feat", kLabelLeft[column],
                           kLabelTop + kRowPitch * row, kLabelWidth, Qt::AlignRight);
    values_[n] = PlaceValue(group_, value.c_str(), kFieldLeft[column], kFieldTop + kRowPitch * row,
                            kFieldWidth, FromText(flag_caption::kNo));
  }

  PlaceViewBar(this, "FlagsBv", 4, 427);
  for (std::size_t k = 0; k < buttons_.size(); ++k) {
    const tButtonPlace& place = kButtons[k];
    buttons_[k] =
        PlaceViewButton(this, place.Name, FromText(kFlagViews[k].Button), place.Left, place.Width);
    const int view = static_cast<int>(k) + 1;
    connect(buttons_[k], &QPushButton::clicked, this, [this, view] { emit ViewClicked(view); });
  }
  MarkChosenButton(buttons_, 0);

  PlaceViewBar(this, "NewerFlagsBv", 4, 427, 1);
  selector_ = new QComboBox(this);
  selector_->setObjectName(QStringLiteral("NewerFlagsV"));
  selector_->setFont(TahomaFont());
  SetEnabledColour(selector_, QPalette::Text, Navy());
  SetEnabledColour(selector_, QPalette::ButtonText, Navy());
  selector_->setGeometry(kSelectorPlace.translated(0, ViewBarControlTop(1)));
  for (std::size_t k = kButtonFlagViews; k < kFlagViews.size(); ++k)
    selector_->addItem(FromText(FlagViewName(kFlagViews[k])));
  selector_->setPlaceholderText(QString::fromLatin1(kSelectorPrompt));
  selector_->setCurrentIndex(-1);
  connect(selector_, &QComboBox::activated, this,
          [this](int index) { emit ViewClicked(static_cast<int>(kButtonFlagViews) + 1 + index); });
  resize(childrenRect().right() + 4, childrenRect().bottom() + 4);
}

void TFlagsPage::SetViewButtons(const tProcessorRecords& records, unsigned slot) {
  if (slot >= records.SlotCount()) return;
  for (std::size_t k = 0; k < buttons_.size(); ++k)
    buttons_[k]->setEnabled(FlagViewBits(records, slot, kFlagViews[k]).Valid);
  // The newer registers the processor does not report cannot be chosen.
  auto* model = qobject_cast<QStandardItemModel*>(selector_->model());
  for (std::size_t k = kButtonFlagViews; k < kFlagViews.size(); ++k) {
    if (QStandardItem* item = model->item(static_cast<int>(k - kButtonFlagViews)))
      item->setEnabled(FlagViewBits(records, slot, kFlagViews[k]).Valid);
  }
}

void TFlagsPage::ShowFlags(const tProcessorRecords& records, unsigned slot, int view) {
  if (view < 1 || view > static_cast<int>(kFlagViews.size())) return;
  if (slot >= records.SlotCount()) return;
  const std::size_t chosen = static_cast<std::size_t>(view - 1);
  const tFlagView& shown = kFlagViews[chosen];
  // A button view marks its button; a newer register shows in the selector, no button marked.
  MarkChosenButton(buttons_, chosen);
  {
    const QSignalBlocker quiet(selector_);
    selector_->setCurrentIndex(
        chosen < kButtonFlagViews ? -1 : static_cast<int>(chosen - kButtonFlagViews));
  }
  group_->setTitle(FromText(shown.Group));
  // A register that was not valid holds only zeros: every field then reads "No".
  const tFlagBits bits = FlagViewBits(records, slot, shown);
  for (unsigned n = 0; n < kBits; ++n) {
    names_[n]->setText(FromText(FlagCaption(shown, n)));
    values_[n]->setText(FromText(bits.Bits[n] ? flag_caption::kYes : flag_caption::kNo));
  }
}
