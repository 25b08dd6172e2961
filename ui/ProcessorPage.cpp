#include "ui/ProcessorPage.h"

#include <QCoreApplication>
#include <QFile>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLocale>
#include <QPixmap>
#include <algorithm>
#include <string>
#include <string_view>

#include "engine/ProcessorRecords.h"
#include "images/Png.h"
#include "ui/Controls.h"
#include "ui/DataFolder.h"
#include "ui/ExtEdit.h"
#include "view/Captions.h"
#include "view/PageText.h"

namespace {

// A caption label and its value field in the Processor group. The caption is right-aligned
// and ends 4 pixels before its field; it starts at LabelLeft.
struct tFieldPlace {
  const char* Label;
  std::string_view Caption;
  const char* Value;  // nullptr: the field belongs to the window (the processor selector)
  int Left;
  int Top;
  int Width;
  int LabelLeft;
  tShownField tProcessorPageText::*Text;  // nullptr: never filled
};

namespace cap = processor_caption;
const tFieldPlace kFields[] = {
    {"CpuName", cap::kCpuName, "CpuNameV", 96, 22, 316, 6, &tProcessorPageText::CpuName},
    {"VendorString", cap::kVendorString, "VendorStringV", 96, 42, 152, 6,
     &tProcessorPageText::VendorString},
    {"Rating", cap::kRating, "RatingV", 300, 42, 112, 252, &tProcessorPageText::Rating},
    {"CodeName", cap::kCodeName, "CodeNameV", 96, 62, 152, 6, &tProcessorPageText::CodeName},
    {"Platform", cap::kPlatform, "PlatformV", 300, 62, 112, 252, &tProcessorPageText::Platform},
    {"ExtName", cap::kExtName, "ExtNameV", 96, 82, 316, 6, &tProcessorPageText::ExtName},
    {"Fam", cap::kFamily, "FamV", 96, 108, 50, 6, &tProcessorPageText::Family},
    {"Mod", cap::kModel, "ModV", 218, 108, 50, 150, &tProcessorPageText::Model},
    {"Stepping", cap::kStepping, "SteppingV", 357, 108, 55, 272, &tProcessorPageText::Stepping},
    {"ExtFam", cap::kExtFamily, "ExtFamV", 96, 128, 50, 6, &tProcessorPageText::ExtFamily},
    {"ExtMod", cap::kExtModel, "ExtModV", 218, 128, 50, 150, &tProcessorPageText::ExtModel},
    {"ExtStepping", cap::kExtStepping, "ExtSteppingV", 357, 128, 55, 272,
     &tProcessorPageText::ExtStepping},
    {"TP", cap::kTechProcess, "TPV", 96, 160, 209, 6, &tProcessorPageText::TechProcess},
    {"TranQ", cap::kTranQuantity, "TranQV", 96, 180, 105, 6, &tProcessorPageText::TranQuantity},
    {"BrandID", cap::kBrandID, "BrandIDV", 255, 180, 50, 205, &tProcessorPageText::BrandID},
    {"DieSize", cap::kDieSize, "DieSizeV", 96, 200, 105, 6, &tProcessorPageText::DieSize},
    {"APICID", cap::kAPICID, "APICIDV", 255, 200, 50, 205, &tProcessorPageText::APICID},
    {"VCore", "Core Voltage", "VCoreV", 96, 220, 105, 6, nullptr},
    {"CpuSelection", "CPU Selection", nullptr, 96, 243, 105, 6, nullptr},
};

struct tLabelPlace {
  const char* Name;
  std::string_view Caption;
  int Left;
  int Top;
};

// In the order of tProcessorPageText::Features, then of tProcessorPageText::Extensions: three
// rows, 16 pixels apart.
namespace feat = feature_caption;
constexpr tLabelPlace kFeatures[] = {
    {"MMXFeature", feat::kMMX, 21, 14},      {"ExtMMXFeature", feat::kExtMMX, 71, 14},
    {"TDNowFeature", feat::kTDNow, 148, 14}, {"TDNowPlusFeature", feat::kTDNowPlus, 212, 14},
    {"SSEFeature", feat::kSSE, 283, 14},     {"SSE2Feature", feat::kSSE2, 326, 14},
    {"SSE3Feature", feat::kSSE3, 375, 14},   {"HTTFeature", feat::kHTT, 22, 30},
    {"IA64Feature", feat::kIA64, 79, 30},    {"AA64Feature", feat::kAA64, 152, 30},
    {"NXFeature", feat::kNX, 226, 30},       {"MPFeature", feat::kMP, 284, 30},
};
constexpr tLabelPlace kExtensions[] = {
    {"SSSE3Feature", feat::kSSSE3, 21, 46},  {"SSE41Feature", feat::kSSE41, 71, 46},
    {"SSE42Feature", feat::kSSE42, 126, 46}, {"AVXFeature", feat::kAVX, 181, 46},
    {"AVX2Feature", feat::kAVX2, 216, 46},   {"AVX512FFeature", feat::kAVX512F, 258, 46},
    {"AESFeature", feat::kAES, 330, 46},     {"SHAFeature", feat::kSHA, 375, 46},
};
constexpr tLabelPlace kPowerFeature{"PowerFeature", feat::kPowerNow, 333, 30};

// A row of the Cache or Clocks group: right-aligned caption, field at the group's field column.
template <typename Text>
struct tSummaryPlace {
  const char* Label;
  std::string_view Caption;
  const char* Value;
  int Top;
  tShownField Text::*Shown;
};

struct tSummaryColumns {
  int LabelLeft;
  int FieldLeft;
  int FieldWidth;
};

const tSummaryPlace<tProcessorPageText> kCacheRows[] = {
    {"Level1Data", cap::kLevel1Data, "Level1DataV", 22, &tProcessorPageText::Level1Data},
    {"Level1Instr", cap::kLevel1Instructions, "Level1InstrV", 42, &tProcessorPageText::Level1Instr},
    {"Level2", cap::kLevel2, "Level2V", 62, &tProcessorPageText::Level2},
    {"Level3", cap::kLevel3, "Level3V", 82, &tProcessorPageText::Level3},
};
constexpr tSummaryColumns kCacheColumns{6, 114, 79};
constexpr std::size_t kLevel1InstrRow = 1;

const tSummaryPlace<tClocksText> kClockRows[] = {
    {"Core", clock_caption::kCore, "CoreV", 22, &tClocksText::Core},
    {"Multiplier", clock_caption::kMultiplier, "MultiplierV", 42, &tClocksText::Multiplier},
    {"Bus", clock_caption::kFSB, "BusV", 62, &tClocksText::Bus},
    {"BusSpeed", clock_caption::kBusSpeed, "BusSpeedV", 82, &tClocksText::BusSpeed},
};
constexpr tSummaryColumns kClockColumns{6, 85, 111};
constexpr std::size_t kBusRow = 2;

// The logo frame and picture inside the Processor group. A picture of width w is centred
// on x = 360: the frame starts at 360 - w / 2 and is one pixel wider than the picture.
constexpr QRect kLogoFrame{314, 160, 96, 103};
constexpr QRect kLogoImage{315, 161, 93, 101};
constexpr int kLogoCentre = 360;

// A right-aligned caption from `left` to just before its field.
// A record text as its field shows it: without the leading spaces some processors put before
// their brand (FromText ends it at the NULs brand strings are padded with).
QString Visible(std::string_view text) {
  text.remove_prefix(std::min(text.find_first_not_of(' '), text.size()));
  return FromText(text);
}

}  // namespace

TProcessorPage::TProcessorPage(QWidget* parent)
    : QWidget(parent), logoFolder_(LogoFolder(QCoreApplication::applicationDirPath())) {
  setObjectName("ProcessorPageContent");
  CreateProcessorGroup();
  CreateFeaturesGroup();
  CreateSummaryGroups();
  resize(childrenRect().right() + 4, childrenRect().bottom() + 4);
}

void TProcessorPage::CreateProcessorGroup() {
  processorGroup_ = PlaceGroup(this, "ProcessorGB", "Processor", 4, 3, 425, 269);
  for (std::size_t k = 0; k < std::size(kFields); ++k) {
    const tFieldPlace& place = kFields[k];
    fields_[k].Caption = PlaceFieldCaption(processorGroup_, place.Label, FromText(place.Caption),
                                           place.LabelLeft, place.Left, place.Top);
    if (place.Value == nullptr) continue;
    fields_[k].Value = PlaceValue(processorGroup_, place.Value, place.Left, place.Top, place.Width);
    // A field the page never fills ("Core Voltage": the voltage is not measured) stays greyed.
    if (place.Text == nullptr) ShowField(fields_[k].Caption, fields_[k].Value, {}, false);
  }

  auto* divider = new QFrame(processorGroup_);
  divider->setObjectName("DividerBv");
  divider->setFrameShape(QFrame::HLine);
  divider->setFrameShadow(QFrame::Sunken);
  divider->setGeometry(6, 151, 409, 2);

  logoFrame_ = new QFrame(processorGroup_);
  logoFrame_->setObjectName("LogoB");
  logoFrame_->setFrameShape(QFrame::Box);
  logoFrame_->setFrameShadow(QFrame::Sunken);
  logoFrame_->setGeometry(kLogoFrame);
  logoImage_ = new QLabel(processorGroup_);
  logoImage_->setObjectName("LogoIm");
  logoImage_->setGeometry(kLogoImage);
}

void TProcessorPage::CreateFeaturesGroup() {
  QGroupBox* group = PlaceGroup(this, "FeaturesGB", FromText(cap::kFeaturesGroup), 4, 276, 425, 67);
  auto place = [group](const tLabelPlace& where) {
    QLabel* label = PlaceLabel(group, where.Name, FromText(where.Caption), where.Left, where.Top);
    label->setFont(TahomaFont(11, true));
    label->adjustSize();
    label->setEnabled(false);
    return label;
  };
  for (std::size_t k = 0; k < features_.size(); ++k)
    features_[k] = place(kFeatures[k]);
  for (std::size_t k = 0; k < extensions_.size(); ++k)
    extensions_[k] = place(kExtensions[k]);
  powerFeature_ = place(kPowerFeature);
}

void TProcessorPage::CreateSummaryGroups() {
  auto placeRows = [](QGroupBox* group, const auto& rows, const tSummaryColumns& columns,
                      auto& fields) {
    for (std::size_t k = 0; k < fields.size(); ++k) {
      fields[k].Caption = PlaceFieldCaption(group, rows[k].Label, FromText(rows[k].Caption),
                                            columns.LabelLeft, columns.FieldLeft, rows[k].Top);
      fields[k].Value =
          PlaceValue(group, rows[k].Value, columns.FieldLeft, rows[k].Top, columns.FieldWidth);
    }
  };
  placeRows(PlaceGroup(this, "CacheGB", "Cache", 4, 348, 210, 116), kCacheRows, kCacheColumns,
            cacheSummary_);
  placeRows(PlaceGroup(this, "ClocksGB", FromText(cap::kClocksGroup), 218, 348, 211, 116),
            kClockRows, kClockColumns, clocks_);
}

QWidget* TProcessorPage::SelectorParent() const {
  return processorGroup_;
}

void TProcessorPage::ShowProcessor(const tProcessorRecords& records, unsigned slot) {
  try {
    if (slot >= records.SlotCount()) return;
    const tProcessorPageText page = ProcessorPageText(records, slot);

    for (std::size_t k = 0; k < std::size(kFields); ++k) {
      if (kFields[k].Text == nullptr) continue;
      const tShownField& shown = page.*(kFields[k].Text);
      ShowField(fields_[k].Caption, fields_[k].Value, Visible(shown.Text), shown.Enabled);
    }

    ShowLogo(FromText(page.LogoFile));

    cacheSummary_[kLevel1InstrRow].Caption->setText(FromText(page.Level1InstrCaption));
    for (std::size_t k = 0; k < cacheSummary_.size(); ++k) {
      const tShownField& shown = page.*(kCacheRows[k].Shown);
      ShowField(cacheSummary_[k].Caption, cacheSummary_[k].Value, FromText(shown.Text),
                shown.Enabled);
    }

    for (std::size_t k = 0; k < features_.size(); ++k) {
      features_[k]->setText(FromText(page.Features[k].Caption));
      features_[k]->adjustSize();
      features_[k]->setEnabled(page.Features[k].Enabled);
    }

    for (std::size_t k = 0; k < extensions_.size(); ++k)
      extensions_[k]->setEnabled(page.Extensions[k].Enabled);

    if (page.Power.Enabled) {
      powerFeature_->setText(FromText(page.Power.Caption));
      powerFeature_->adjustSize();
      powerFeature_->move(page.Power.Left, powerFeature_->y());
    }
    powerFeature_->setEnabled(page.Power.Enabled);
  } catch (...) {
    // The fill stops where the error happened; the next one starts again from the top.
  }
}

void TProcessorPage::ShowLogo(const QString& fileName) {
  const QString path = logoFolder_ + fileName;
  // The same processor is filled again every few seconds: its picture is already there.
  if (path == shownLogo_) return;
  tImage image;
  std::string error;
  if (!LoadPng(QFile::encodeName(path).toStdString(), image, error)) return;
  logoImage_->setPixmap(PixmapOf(image));
  shownLogo_ = path;

  const int frameLeft = kLogoCentre - image.Width / 2;
  logoFrame_->setGeometry(frameLeft, kLogoFrame.top(), image.Width + 1, kLogoFrame.height());
  logoImage_->setGeometry(frameLeft + 1, kLogoImage.top(), image.Width, image.Height);
}

void TProcessorPage::ShowClocks(const tProcessorRecords& records, const tClocks& clocks,
                                const tEffectiveClock& effective, unsigned slot) {
  if (slot >= records.SlotCount()) return;
  // Formatted with a point, then given the user's separator, which need not be one byte.
  const tClocksText text =
      ClocksText(clocks, effective, records.FlagBrand[slot], records.CPUid_m[slot].Family, '.');
  const QString separator = QLocale().decimalPoint();
  for (std::size_t k = 0; k < clocks_.size(); ++k) {
    if (k == kBusRow) {
      // Family 15 of AMD reaches its memory and devices over HyperTransport, not a front-side
      // bus.
      clocks_[k].Caption->setText(
          FromText(text.BusCaptionHtt ? clock_caption::kHTT : clock_caption::kFSB));
    }
    const tShownField& shown = text.*(kClockRows[k].Shown);
    ShowField(clocks_[k].Caption, clocks_[k].Value,
              FromText(shown.Text).replace(QChar('.'), separator), shown.Enabled);
  }
}
