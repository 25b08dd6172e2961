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
#include "view/PageText.h"

namespace {

// A caption label and its value field in the Processor group. The caption is right-aligned
// and ends 4 pixels before its field; it starts at LabelLeft.
struct tFieldPlace {
  const char* Label;
  const char* Caption;
  const char* Value;  // nullptr: the field belongs to the window (the processor selector)
  int Left;
  int Top;
  int Width;
  int LabelLeft;
  tShownField tProcessorPageText::*Text;  // nullptr: never filled
};

const tFieldPlace kFields[] = {
    {"CpuName", "CPU Name", "CpuNameV", 96, 22, 316, 6, &tProcessorPageText::CpuName},
    {"VendorString", "Vendor String", "VendorStringV", 96, 42, 152, 6,
     &tProcessorPageText::VendorString},
    {"Rating", "Rating", "RatingV", 300, 42, 112, 252, &tProcessorPageText::Rating},
    {"CodeName", "Core CodeName", "CodeNameV", 96, 62, 152, 6, &tProcessorPageText::CodeName},
    {"Platform", "Platform", "PlatformV", 300, 62, 112, 252, &tProcessorPageText::Platform},
    {"ExtName", "Extended Name", "ExtNameV", 96, 82, 316, 6, &tProcessorPageText::ExtName},
    {"Fam", "Family", "FamV", 96, 108, 50, 6, &tProcessorPageText::Family},
    {"Mod", "Model", "ModV", 218, 108, 50, 150, &tProcessorPageText::Model},
    {"Stepping", "Stepping", "SteppingV", 357, 108, 55, 272, &tProcessorPageText::Stepping},
    {"ExtFam", "Ext. Family", "ExtFamV", 96, 128, 50, 6, &tProcessorPageText::ExtFamily},
    {"ExtMod", "Ext. Model", "ExtModV", 218, 128, 50, 150, &tProcessorPageText::ExtModel},
    {"ExtStepping", "Ext. Stepping", "ExtSteppingV", 357, 128, 55, 272,
     &tProcessorPageText::ExtStepping},
    {"TP", "Tech. Process", "TPV", 96, 160, 209, 6, &tProcessorPageText::TechProcess},
    {"TranQ", "Trans. Quantity", "TranQV", 96, 180, 105, 6, &tProcessorPageText::TranQuantity},
    {"BrandID", "Brand ID", "BrandIDV", 255, 180, 50, 205, &tProcessorPageText::BrandID},
    {"DieSize", "Die Size", "DieSizeV", 96, 200, 105, 6, &tProcessorPageText::DieSize},
    {"APICID", "APIC ID", "APICIDV", 255, 200, 50, 205, &tProcessorPageText::APICID},
    {"VCore", "Core Voltage", "VCoreV", 96, 220, 105, 6, nullptr},
    {"CpuSelection", "CPU Selection", nullptr, 96, 243, 105, 6, nullptr},
};

struct tLabelPlace {
  const char* Name;
  const char* Caption;
  int Left;
  int Top;
};

// In the order of tProcessorPageText::Features, then of tProcessorPageText::Extensions: three
// rows, 16 pixels apart.
constexpr tLabelPlace kFeatures[] = {
    {"MMXFeature", "MMX", 21, 14},       {"ExtMMXFeature", "Ext. MMX", 71, 14},
    {"TDNowFeature", "3DNow!", 148, 14}, {"TDNowPlusFeature", "3DNow!+", 212, 14},
    {"SSEFeature", "SSE", 283, 14},      {"SSE2Feature", "SSE2", 326, 14},
    {"SSE3Feature", "SSE3", 375, 14},    {"HTTFeature", "HTT", 22, 30},
    {"IA64Feature", "IA64", 79, 30},     {"AA64Feature", "AA64", 152, 30},
    {"NXFeature", "NX", 226, 30},        {"MPFeature", "MP", 284, 30},
};
constexpr tLabelPlace kExtensions[] = {
    {"SSSE3Feature", "SSSE3", 21, 46},   {"SSE41Feature", "SSE4.1", 71, 46},
    {"SSE42Feature", "SSE4.2", 126, 46}, {"AVXFeature", "AVX", 181, 46},
    {"AVX2Feature", "AVX2", 216, 46},    {"AVX512FFeature", "AVX-512F", 258, 46},
    {"AESFeature", "AES", 330, 46},      {"SHAFeature", "SHA", 375, 46},
};
constexpr tLabelPlace kPowerFeature{"PowerFeature", "Power Now", 333, 30};

// A row of the Cache or Clocks group: right-aligned caption, field at the group's field column.
template <typename Text>
struct tSummaryPlace {
  const char* Label;
  const char* Caption;
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
    {"Level1Data", "Level 1 Data", "Level1DataV", 22, &tProcessorPageText::Level1Data},
    {"Level1Instr", "Level 1 Instructions", "Level1InstrV", 42, &tProcessorPageText::Level1Instr},
    {"Level2", "Level 2", "Level2V", 62, &tProcessorPageText::Level2},
    {"Level3", "Level 3", "Level3V", 82, &tProcessorPageText::Level3},
};
constexpr tSummaryColumns kCacheColumns{6, 114, 79};
constexpr std::size_t kLevel1InstrRow = 1;

const tSummaryPlace<tClocksText> kClockRows[] = {
    {"Core", "Core", "CoreV", 22, &tClocksText::Core},
    {"Multiplier", "Multiplier", "MultiplierV", 42, &tClocksText::Multiplier},
    {"Bus", "FSB", "BusV", 62, &tClocksText::Bus},
    {"BusSpeed", "Bus Speed", "BusSpeedV", 82, &tClocksText::BusSpeed},
};
constexpr tSummaryColumns kClockColumns{6, 85, 111};
constexpr std::size_t kBusRow = 2;

// The logo frame and picture inside the Processor group. A picture of width w is centred
// on x = 360: the frame starts at 360 - w / 2 and is one pixel wider than the picture.
constexpr QRect kLogoFrame{314, 160, 96, 103};
constexpr QRect kLogoImage{315, 161, 93, 101};
constexpr int kLogoCentre = 360;

QString Latin(const char* text) {
  return QString::fromLatin1(text);
}

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
    fields_[k].Caption = PlaceFieldCaption(processorGroup_, place.Label, Latin(place.Caption),
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
  QGroupBox* group = PlaceGroup(this, "FeaturesGB", "Features", 4, 276, 425, 67);
  auto place = [group](const tLabelPlace& where) {
    QLabel* label = PlaceLabel(group, where.Name, Latin(where.Caption), where.Left, where.Top);
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
      fields[k].Caption = PlaceFieldCaption(group, rows[k].Label, Latin(rows[k].Caption),
                                            columns.LabelLeft, columns.FieldLeft, rows[k].Top);
      fields[k].Value =
          PlaceValue(group, rows[k].Value, columns.FieldLeft, rows[k].Top, columns.FieldWidth);
    }
  };
  placeRows(PlaceGroup(this, "CacheGB", "Cache", 4, 348, 210, 116), kCacheRows, kCacheColumns,
            cacheSummary_);
  placeRows(PlaceGroup(this, "ClocksGB", "Clocks", 218, 348, 211, 116), kClockRows, kClockColumns,
            clocks_);
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
      clocks_[k].Caption->setText(text.BusCaptionHtt ? "HTT" : "FSB");
    }
    const tShownField& shown = text.*(kClockRows[k].Shown);
    ShowField(clocks_[k].Caption, clocks_[k].Value,
              FromText(shown.Text).replace(QChar('.'), separator), shown.Enabled);
  }
}
