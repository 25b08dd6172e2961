#include "ui/PowerPage.h"

#include <QGroupBox>
#include <QLabel>

#include "engine/ProcessorRecords.h"
#include "ui/Controls.h"
#include "ui/ExtEdit.h"
#include "view/Captions.h"
#include "view/PageText.h"

namespace {

// Where each row of kPowerRows sits in the group.
struct tPowerPlace {
  const char* Label;
  const char* Value;
  int LabelLeft;
  int LabelTop;
  int ValueLeft;
  int ValueTop;
};

constexpr std::array<tPowerPlace, 6> kPlaces{{
    {"TS", "TSV", 4, 32, 152, 28},
    {"FID", "FIDV", 4, 56, 152, 52},
    {"VID", "VIDV", 4, 80, 152, 76},
    {"TT", "TTV", 213, 32, 361, 28},
    {"TM", "TMV", 213, 56, 361, 52},
    {"STC", "STCV", 213, 80, 361, 76},
}};

constexpr int kCaptionWidth = 143;
constexpr int kValueWidth = 50;

}  // namespace

TPowerPage::TPowerPage(QWidget* parent) : QWidget(parent) {
  QGroupBox* group =
      PlaceGroup(this, "EPMGB", QStringLiteral("Enhanced Power Management"), 5, 2, 424, 119);
  for (std::size_t i = 0; i < kPlaces.size(); ++i) {
    const tPowerPlace& place = kPlaces[i];
    PlaceLabel(group, place.Label, FromText(kPowerRows[i].Caption), place.LabelLeft, place.LabelTop,
               kCaptionWidth, Qt::AlignRight);
    values_[i] = PlaceValue(group, place.Value, place.ValueLeft, place.ValueTop, kValueWidth,
                            FromText(flag_caption::kNo));
  }
}

void TPowerPage::ShowPowerManagement(const tProcessorRecords& records, unsigned slot) {
  if (slot >= records.EPM.size()) return;
  const tEPM& epm = records.EPM[slot];
  for (std::size_t row = 0; row < values_.size(); ++row) {
    const bool set = epm.*kPowerRows[row].Flag != 0;
    values_[row]->setText(FromText(set ? flag_caption::kYes : flag_caption::kNo));
  }
}
