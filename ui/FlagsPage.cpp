#include "ui/FlagsPage.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <string>

#include "engine/ProcessorRecords.h"
#include "ui/Controls.h"
#include "ui/ExtEdit.h"
#include "ui/PageText.h"
#include "ui/ViewButtons.h"

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

}  // namespace

TFlagsPage::TFlagsPage(QWidget* parent) : QWidget(parent) {
  setObjectName("FFlagsPageContent");
  group_ = PlaceGroup(this, "FeaturesFlagsGB", FromText(kFlagViews[0].Group), 3, 3, 429, 400);
  for (std::size_t n = 0; n < kBits; ++n) {
    const std::size_t column = n / kRowsPerColumn;
    const int row = static_cast<int>(n % kRowsPerColumn);
    const std::string label = "Feat" + std::to_string(n);
    const std::string value = label + "V";
    names_[n] = PlaceLabel(group_, label.c_str(), "Feat", kLabelLeft[column],
                           kLabelTop + kRowPitch * row, kLabelWidth, Qt::AlignRight);
    values_[n] = PlaceValue(group_, value.c_str(), kFieldLeft[column], kFieldTop + kRowPitch * row,
                            kFieldWidth, "No");
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
  resize(childrenRect().right() + 4, childrenRect().bottom() + 4);
}

void TFlagsPage::SetViewButtons(const tProcessorRecords& records, unsigned slot) {
  if (slot >= records.SlotCount()) return;
  const tFeaturesFlags& flags = records.FeaturesFlags[slot];
  for (std::size_t k = 0; k < buttons_.size(); ++k)
    buttons_[k]->setEnabled((flags.*(kFlagViews[k].Bits)).Valid == 1);
}

void TFlagsPage::ShowFlags(const tProcessorRecords& records, unsigned slot, int view) {
  if (view < 1 || view > static_cast<int>(kFlagViews.size())) return;
  if (slot >= records.SlotCount()) return;
  const std::size_t chosen = static_cast<std::size_t>(view - 1);
  const tFlagView& shown = kFlagViews[chosen];
  MarkChosenButton(buttons_, chosen);
  group_->setTitle(FromText(shown.Group));
  // A register that was not valid holds only zeros: every field then reads "No".
  const tFeatureBits& bits = records.FeaturesFlags[slot].*(shown.Bits);
  for (std::size_t n = 0; n < kBits; ++n) {
    names_[n]->setText(FromText((*shown.Names)[n]));
    values_[n]->setText(bits.Bits[n] != 0 ? "Yes" : "No");
  }
}
