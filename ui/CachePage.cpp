#include "ui/CachePage.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <span>
#include <string>

#include "engine/ProcessorRecords.h"
#include "ui/Controls.h"
#include "ui/ExtEdit.h"
#include "ui/ViewButtons.h"
#include "view/Captions.h"
#include "view/PageText.h"

namespace {

struct tRowPlace {
  const char* Suffix;  // label Bl<n><Suffix>, field Bl<n><Suffix>V
  std::string_view Caption;
};
constexpr tRowPlace kCacheRows[] = {
    {"Size", cache_caption::kSize},
    {"assoc", cache_caption::kAssociativity},
    {"LS", cache_caption::kLineSize},
    {"LPT", cache_caption::kLinesPerTag},
};
constexpr tRowPlace kTlbRows[] = {
    {"assoc", cache_caption::kAssociativity},
    {"entr", cache_caption::kEntries},
};

struct tBoxPlace {
  int Left;
  int Top;
  int Width;
  int Height;
  bool Cache;  // four cache rows, else two TLB rows
};
constexpr tBoxPlace kBoxPlaces[] = {
    {8, 3, 207, 126, true},     {218, 3, 209, 126, true}, {6, 141, 209, 82, false},
    {218, 141, 209, 82, false}, {6, 231, 209, 82, false}, {218, 231, 209, 82, false},
};

constexpr int kLabelLeft = 12;
constexpr int kLabelWidth = 85;
constexpr int kLabelTops[] = {31, 53, 75, 95};
constexpr int kFieldLeft = 116;
constexpr int kFieldWidth = 71;
constexpr int kFieldTops[] = {26, 48, 70, 92};

struct tButtonPlace {
  const char* Name;
  const char* Caption;
  int Left;
  int Width;
};
constexpr tButtonPlace kButtons[] = {
    {"level1bt", "Level 1", 14, 135},
    {"level2bt", "Level 2", 148, 137},
    {"level3bt", "Level 3", 284, 135},
};

}  // namespace

TCachePage::TCachePage(QWidget* parent) : QWidget(parent) {
  setObjectName("CachePageContent");
  // The form shows level 1 of a processor without a trace cache.
  const std::array<std::string, kBoxes> captions = CacheBoxCaptions(1, false);
  for (std::size_t b = 0; b < kBoxes; ++b) {
    const tBoxPlace& place = kBoxPlaces[b];
    const std::string box = "Bl" + std::to_string(b + 1);
    boxes_[b].Group =
        PlaceGroup(this, ("Block" + std::to_string(b + 1) + "GB").c_str(), FromText(captions[b]),
                   place.Left, place.Top, place.Width, place.Height);
    const std::span<const tRowPlace> rows(
        place.Cache ? kCacheRows : kTlbRows,
        place.Cache ? std::size(kCacheRows) : std::size(kTlbRows));
    for (std::size_t r = 0; r < rows.size(); ++r) {
      const std::string label = box + rows[r].Suffix;
      boxes_[b].Captions[r] = PlaceLabel(boxes_[b].Group, label.c_str(), FromText(rows[r].Caption),
                                         kLabelLeft, kLabelTops[r], kLabelWidth);
      boxes_[b].Values[r] = PlaceValue(boxes_[b].Group, (label + "V").c_str(), kFieldLeft,
                                       kFieldTops[r], kFieldWidth);
    }
  }

  PlaceViewBar(this, "CacheBv", 12, 409);
  for (std::size_t k = 0; k < buttons_.size(); ++k) {
    const tButtonPlace& place = kButtons[k];
    buttons_[k] = PlaceViewButton(this, place.Name, QString::fromLatin1(place.Caption), place.Left,
                                  place.Width);
    SetCaptionColour(buttons_[k], ButtonTextColour());
    const int level = static_cast<int>(k) + 1;
    connect(buttons_[k], &QPushButton::clicked, this, [this, level] { emit LevelClicked(level); });
  }
  resize(childrenRect().right() + 4, childrenRect().bottom() + 4);
}

void TCachePage::ShowLevel1Cache(const tProcessorRecords& records, unsigned slot) {
  ShowLevel(records, slot, 1);
}

void TCachePage::ShowLevel2Cache(const tProcessorRecords& records, unsigned slot) {
  ShowLevel(records, slot, 2);
}

void TCachePage::ShowLevel3Cache(const tProcessorRecords& records, unsigned slot) {
  ShowLevel(records, slot, 3);
}

void TCachePage::ShowLevel(const tProcessorRecords& records, unsigned slot, int level) {
  if (level < 1 || level > static_cast<int>(buttons_.size())) return;
  if (slot >= records.SlotCount()) return;
  const std::array<tCacheBox, kBoxes> text = CacheLevelText(records, slot, level);
  MarkChosenButton(buttons_, static_cast<std::size_t>(level - 1));
  for (std::size_t b = 0; b < kBoxes; ++b) {
    tBox& box = boxes_[b];
    box.Group->setVisible(text[b].Visible);
    if (!text[b].Visible) continue;
    box.Group->setTitle(FromText(text[b].Caption));
    for (std::size_t r = 0; r < kRows && box.Values[r] != nullptr; ++r) {
      box.Captions[r]->setText(FromText(text[b].Rows[r].Caption));
      box.Values[r]->setText(FromText(text[b].Rows[r].Value));
    }
  }
}

void TCachePage::SetViewButtons(const tProcessorRecords& records, unsigned slot) {
  if (slot >= records.SlotCount()) return;
  buttons_[0]->setEnabled(true);
  buttons_[1]->setEnabled(records.level2[slot].Present == 1);
  buttons_[2]->setEnabled(records.level3[slot].Present == 1);
}
