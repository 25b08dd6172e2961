// The Processor page as a user sees it: field texts, greyed fields, captions that change with
// the processor, the clocks with the user's decimal separator, and the logo.
#include "ui/ProcessorPage.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLocale>
#include <QPixmap>
#include <QTemporaryDir>
#include <string>
#include <vector>

#include "images/Png.h"
#include "tests/support/EngineFixtures.h"
#include "ui/ExtEdit.h"

namespace {

// What a named control shows: its text and whether it is greyed. A value field is greyed
// together with its caption label (the field's name without the trailing V).
struct tLook {
  const char* Name;
  const char* Text;  // Windows-1252, as the engine writes it
  bool Enabled = true;
};

// As UTF-8, for readable failures. The micro sign 0xB5 is the same code point in Latin-1.
std::string Window(const char* text) {
  return QString::fromLatin1(text).toStdString();
}

void ExpectLook(const QWidget& page, const tLook& look, const std::string& context) {
  SCOPED_TRACE(context + " / " + look.Name);
  if (const auto* field = page.findChild<TExtEdit*>(look.Name)) {
    EXPECT_EQ(field->text().toStdString(), Window(look.Text));
    EXPECT_EQ(field->isEnabled(), look.Enabled);
    std::string caption(look.Name);
    caption.pop_back();
    const auto* label = page.findChild<QLabel*>(caption.c_str());
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->isEnabled(), look.Enabled) << "a caption greys with its field";
  } else if (const auto* label = page.findChild<QLabel*>(look.Name)) {
    EXPECT_EQ(label->text().toStdString(), Window(look.Text));
    EXPECT_EQ(label->isEnabled(), look.Enabled);
  } else {
    ADD_FAILURE() << "no control";
  }
}

TEST(ProcessorPageWindow, RecordedProcessorsFillTheirFields) {
  struct tCase {
    const char* Fixture;
    std::vector<tLook> Looks;
  };
  const tCase cases[] = {
      {"intel-pentium-4-cpu-3.20ghz.txt",
       {{"CpuNameV", "Intel Pentium-IV Processor"},
        // The recorded brand starts with 14 spaces and ends in a NUL.
        {"ExtNameV", "Intel(R) Pentium(R) 4 CPU 3.20GHz"},
        {"TPV", "CMOS Cu 0,09\xB5m CDO"},
        {"RatingV", "", false},
        {"ExtSteppingV", "", false},
        {"BrandIDV", "", false},
        {"APICIDV", "1"},
        {"VCoreV", "", false},
        {"Level1Instr", "Level 1 Trace"},
        {"Level1InstrV", "12 K\xB5Ops"},
        {"Level3V", "", false},
        {"HTTFeature", "HTT"},
        {"AA64Feature", "EM64T", false},
        {"PowerFeature", "Power Now", false}}},
      {"amd-athlon-64-processor-3000plus.txt",
       {{"RatingV", "3000+"},
        {"ExtModV", "2C"},
        {"ExtSteppingV", "2"},
        {"Level1Instr", "Level 1 Instructions"},
        {"AA64Feature", "AA64"},
        {"PowerFeature", "Cool'n'Quiet"}}},
      {"intel-0000517-p5.txt",
       {{"ExtNameV", "Intel Pentium Processor"},  // no brand string: the table's name
        {"APICIDV", "", false}}},
      {"transmeta-0000f24-efficeon.txt",
       {{"CpuNameV", "", false},
        {"ExtNameV", "Transmeta Efficeon(tm) Processor TM8000"}}},  // NUL padded
      {"intel-pentium-m-processor-1.60ghz-6d6.txt", {{"PowerFeature", "Speed Step"}}},
      {"amd-ryzen-7-3700x-8-core-processor.txt",  // padded with spaces to 48 characters
       {{"ExtNameV", "AMD Ryzen 7 3700X 8-Core Processor"}}},
      {"intel-xeon-cpu-3.20ghz-irwindale.txt", {{"AA64Feature", "EM64T"}}},
  };
  for (const tCase& c : cases) {
    const auto engine = IdentifiedFixture(c.Fixture);
    TProcessorPage page(nullptr);
    page.SetLogoFolder("/nonexistent/");
    page.ShowProcessor(*engine, 0);
    for (const tLook& look : c.Looks)
      ExpectLook(page, look, c.Fixture);
  }
}

TEST(ProcessorPageWindow, GreyedFieldsKeepTheTextOfTheProcessorShownBefore) {
  const auto engine =
      IdentifiedData({IdentifiedFixture("intel-pentium-4-cpu-3.20ghz.txt")->CPUdata[0],
                      IdentifiedFixture("intel-0000517-p5.txt")->CPUdata[0]});
  TProcessorPage page(nullptr);
  page.SetLogoFolder("/nonexistent/");
  page.ShowProcessor(*engine, 0);
  page.ShowProcessor(*engine, 1);
  // Slots beyond the engine's records change nothing.
  page.ShowProcessor(*engine, static_cast<unsigned>(engine->SlotCount()));
  page.ShowClocks(*engine, tClocks{}, {}, 1000);
  const tLook looks[] = {
      {"CpuNameV", "Intel Pentium Processor"},
      {"APICIDV", "1", false},
      {"Level2V", "1024 KBytes", false},
      {"Level1Instr", "Level 1 Instructions"},
      {"Level1InstrV", "8 KBytes"},
      {"HTTFeature", "HTT", false},
  };
  for (const tLook& look : looks)
    ExpectLook(page, look, "Pentium 4, then P5");
}

TEST(ProcessorPageWindow, LevelTwoUnitsAndPowerLabelPlaces) {
  tRawCpu amd = tRawCpu::Amd(15, 11, 2);
  amd.SizeLeafL2(512);
  auto engine = Identified({amd});
  engine->level2[0].UnitCount = 2;
  TProcessorPage page(nullptr);
  page.SetLogoFolder("/nonexistent/");

  struct tPower {
    std::uint8_t PowerNow, SpeedStep, CoolnQuiet;
    const char* Caption;
    int Left;
    bool Enabled;
  };
  const tPower cases[] = {
      {0, 0, 1, "Cool'n'Quiet", 327, true},
      {1, 0, 1, "Power Now", 333, true},
      {0, 1, 0, "Speed Step", 330, true},
      {0, 0, 0, "Speed Step", 330, false},
  };
  for (const tPower& c : cases) {
    engine->CPUfeatures[0].PowerNow = c.PowerNow;
    engine->CPUfeatures[0].SpeedStep = c.SpeedStep;
    engine->CPUfeatures[0].CoolnQuiet = c.CoolnQuiet;
    page.ShowProcessor(*engine, 0);
    const auto* power = page.findChild<QLabel*>("PowerFeature");
    EXPECT_EQ(power->text().toStdString(), Window(c.Caption));
    EXPECT_EQ(power->x(), c.Left) << c.Caption;
    EXPECT_EQ(power->isEnabled(), c.Enabled) << c.Caption;
  }
  ExpectLook(page, {"Level2V", "2x512 KBytes"}, "two level-2 units");
}

TEST(ProcessorPageWindow, ClocksWithTheUsersSeparatorAndTheBusCaption) {
  const auto engine =
      IdentifiedData({IdentifiedFixture("amd-opteron-processor-248.txt")->CPUdata[0],
                      IdentifiedFixture("intel-0000517-p5.txt")->CPUdata[0]});
  tClocks clocks;
  clocks.CoreClock = 2009.64;
  clocks.Multiplier = 11.0f;
  clocks.BusClock = 182.6945;
  clocks.BusSpeed = 0.0;
  struct tCase {
    QLocale Locale;
    const char* Core;
    const char* Multiplier;
    const char* Bus;
  };
  const tCase cases[] = {
      {QLocale::c(), "2009.6 MHz", "x 11.0", "182.7 MHz"},
      {QLocale(QLocale::German, QLocale::Germany), "2009,6 MHz", "x 11,0", "182,7 MHz"},
  };
  struct tRestoreLocale {
    QLocale Before;
    ~tRestoreLocale() { QLocale::setDefault(Before); }
  } restore;
  for (const tCase& c : cases) {
    QLocale::setDefault(c.Locale);
    TProcessorPage page(nullptr);
    page.ShowClocks(*engine, clocks, {}, 0);
    const std::string context = c.Locale.name().toStdString();
    ExpectLook(page, {"CoreV", c.Core}, context);
    ExpectLook(page, {"MultiplierV", c.Multiplier}, context);
    ExpectLook(page, {"BusV", c.Bus}, context);
    ExpectLook(page, {"BusSpeedV", "", false}, context);
    ExpectLook(page, {"Bus", "HTT"}, context + ", AMD family 15");
    page.ShowClocks(*engine, clocks, {}, 1);
    ExpectLook(page, {"Bus", "FSB"}, context + ", then a Pentium");
  }
  // A separator that is not one byte (Arabic) reaches the field whole.
  QLocale::setDefault(QLocale(QLocale::Arabic, QLocale::Egypt));
  TProcessorPage page(nullptr);
  page.ShowClocks(*engine, clocks, {}, 0);
  const QString separator = QLocale().decimalPoint();
  ASSERT_GT(separator.at(0).unicode(), 0xFF);
  EXPECT_EQ(page.findChild<TExtEdit*>("CoreV")->text(), "2009" + separator + "6 MHz");
}

// A PNG of the given size in the folder.
void WriteLogo(const QString& folder, const char* file, int width, int height) {
  tImage image{width, height, std::vector<std::uint8_t>(std::size_t(width) * height * 4, 0x80)};
  std::string error;
  ASSERT_TRUE(SavePng((folder + file).toStdString(), image, error)) << error;
}

TEST(ProcessorPageWindow, LogoIsCentredOnItsFrame) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString folder = dir.path() + "/Logo/";
  ASSERT_TRUE(QDir().mkpath(folder));
  auto engine = IdentifiedFixture("intel-pentium-4-cpu-3.20ghz.txt");
  engine->nameinfo[0].LogoKey = 505;  // no row: the fallback picture

  struct tCase {
    int Width, Height;
    QRect Frame, Image;
  };
  const tCase cases[] = {
      {100, 40, {310, 160, 101, 103}, {311, 161, 100, 40}},
      {93, 101, {314, 160, 94, 103}, {315, 161, 93, 101}},
      {1, 1, {360, 160, 2, 103}, {361, 161, 1, 1}},
  };
  for (const tCase& c : cases) {
    WriteLogo(folder, "No_Logo.PNG", c.Width, c.Height);
    TProcessorPage page(nullptr);
    page.SetLogoFolder(folder);
    page.ShowProcessor(*engine, 0);
    const auto* image = page.findChild<QLabel*>("LogoIm");
    EXPECT_EQ(page.findChild<QWidget*>("LogoB")->geometry(), c.Frame) << c.Width;
    EXPECT_EQ(image->geometry(), c.Image) << c.Width;
    EXPECT_EQ(image->pixmap().size(), QSize(c.Width, c.Height)) << c.Width;
  }
}

TEST(ProcessorPageWindow, AMissingOrBrokenLogoKeepsThePictureAndTheRestIsFilled) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString folder = dir.path() + "/Logo/";
  ASSERT_TRUE(QDir().mkpath(folder));
  WriteLogo(folder, "Intel_Pentium.PNG", 60, 30);
  const auto engine =
      IdentifiedData({IdentifiedFixture("intel-0000517-p5.txt")->CPUdata[0],
                      IdentifiedFixture("intel-pentium-4-cpu-3.20ghz.txt")->CPUdata[0],
                      IdentifiedFixture("amd-athlon-64-processor-3000plus.txt")->CPUdata[0]});
  {
    QFile broken(folder + "Intel_P4_HT.PNG");
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("\x89PNG\r\n\x1a\n this is not a picture");
  }
  // AMD_Athlon_64.PNG is missing.

  TProcessorPage page(nullptr);
  page.SetLogoFolder(folder);
  const auto* image = page.findChild<QLabel*>("LogoIm");
  page.ShowProcessor(*engine, 0);
  ASSERT_EQ(image->pixmap().size(), QSize(60, 30));
  const QRect shown = image->geometry();

  for (unsigned slot : {1u, 2u}) {
    page.ShowProcessor(*engine, slot);
    EXPECT_EQ(image->pixmap().size(), QSize(60, 30)) << slot;
    EXPECT_EQ(image->geometry(), shown) << slot;
  }
  // Everything after the logo still shows the last processor.
  const tLook looks[] = {
      {"Level1Instr", "Level 1 Instructions"},
      {"Level2V", "512 KBytes"},
      {"AA64Feature", "AA64"},
      {"PowerFeature", "Cool'n'Quiet"},
  };
  for (const tLook& look : looks)
    ExpectLook(page, look, "after a missing logo");
  page.ShowProcessor(*engine, 1);
  ExpectLook(page, {"Level1Instr", "Level 1 Trace"}, "after a broken logo");
  ExpectLook(page, {"HTTFeature", "HTT"}, "after a broken logo");
}

TEST(ProcessorPageWindow, ExtensionsOfTodaysProcessors) {
  // Leaf 1 ECX: SSSE3 bit 9, SSE4.2 bit 20, AES bit 25; leaf 7.0 EBX: AVX2 bit 5.
  const auto engine =
      IdentifiedStores({StoreOf("GenuineIntel", 7,
                                {{1, 0, {0x000306C3, 0, (1u << 9) | (1u << 20) | (1u << 25), 0}},
                                 {7, 0, {0, 1u << 5, 0, 0}}})});
  TProcessorPage page(nullptr);
  page.ShowProcessor(*engine, 0);
  const std::pair<const char*, bool> labels[] = {
      {"SSSE3Feature", true}, {"SSE41Feature", false}, {"SSE42Feature", true},
      {"AVXFeature", false},  {"AVX2Feature", true},   {"AVX512FFeature", false},
      {"AESFeature", true},   {"SHAFeature", false},
  };
  for (const auto& [name, enabled] : labels)
    EXPECT_EQ(page.findChild<QLabel*>(name)->isEnabled(), enabled) << name;
}

// The form before any processor is shown: every caption and label, the groups' titles.
TEST(ProcessorPageWindow, TheFormsCaptions) {
  TProcessorPage page(nullptr);
  const std::pair<const char*, const char*> labels[] = {
      {"CpuName", "CPU Name"},
      {"VendorString", "Vendor String"},
      {"Rating", "Rating"},
      {"CodeName", "Core CodeName"},
      {"Platform", "Platform"},
      {"ExtName", "Extended Name"},
      {"Fam", "Family"},
      {"Mod", "Model"},
      {"Stepping", "Stepping"},
      {"ExtFam", "Ext. Family"},
      {"ExtMod", "Ext. Model"},
      {"ExtStepping", "Ext. Stepping"},
      {"TP", "Tech. Process"},
      {"TranQ", "Trans. Quantity"},
      {"BrandID", "Brand ID"},
      {"DieSize", "Die Size"},
      {"APICID", "APIC ID"},
      {"VCore", "Core Voltage"},
      {"CpuSelection", "CPU Selection"},
      {"Level1Data", "Level 1 Data"},
      {"Level1Instr", "Level 1 Instructions"},
      {"Level2", "Level 2"},
      {"Level3", "Level 3"},
      {"Core", "Core"},
      {"Multiplier", "Multiplier"},
      {"Bus", "FSB"},
      {"BusSpeed", "Bus Speed"},
      {"MMXFeature", "MMX"},
      {"ExtMMXFeature", "Ext. MMX"},
      {"TDNowFeature", "3DNow!"},
      {"TDNowPlusFeature", "3DNow!+"},
      {"SSEFeature", "SSE"},
      {"SSE2Feature", "SSE2"},
      {"SSE3Feature", "SSE3"},
      {"HTTFeature", "HTT"},
      {"IA64Feature", "IA64"},
      {"AA64Feature", "AA64"},
      {"NXFeature", "NX"},
      {"MPFeature", "MP"},
      {"PowerFeature", "Power Now"},
      {"SSSE3Feature", "SSSE3"},
      {"SSE41Feature", "SSE4.1"},
      {"SSE42Feature", "SSE4.2"},
      {"AVXFeature", "AVX"},
      {"AVX2Feature", "AVX2"},
      {"AVX512FFeature", "AVX-512F"},
      {"AESFeature", "AES"},
      {"SHAFeature", "SHA"},
  };
  for (const auto& [name, caption] : labels) {
    const auto* label = page.findChild<QLabel*>(name);
    ASSERT_NE(label, nullptr) << name;
    EXPECT_EQ(label->text(), caption) << name;
  }
  const std::pair<const char*, const char*> groups[] = {
      {"ProcessorGB", "Processor"},
      {"FeaturesGB", "Features"},
      {"CacheGB", "Cache"},
      {"ClocksGB", "Clocks"},
  };
  for (const auto& [name, title] : groups)
    EXPECT_EQ(page.findChild<QGroupBox*>(name)->title(), title) << name;
}

TEST(ProcessorPageWindow, ControlsSitWhereTheLayoutPutsThem) {
  TProcessorPage page(nullptr);
  const std::pair<const char*, QRect> places[] = {
      {"ProcessorGB", {4, 3, 425, 269}}, {"ClocksGB", {218, 348, 211, 116}},
      {"CpuNameV", {96, 22, 316, 21}},   {"SteppingV", {357, 108, 55, 21}},
      {"APICIDV", {255, 200, 50, 21}},   {"LogoB", {314, 160, 96, 103}},
      {"LogoIm", {315, 161, 93, 101}},   {"Level3V", {114, 82, 79, 21}},
      {"BusSpeedV", {85, 82, 111, 21}},
  };
  for (const auto& [name, rect] : places) {
    const auto* control = page.findChild<QWidget*>(name);
    ASSERT_NE(control, nullptr) << name;
    EXPECT_EQ(control->geometry(), rect) << name;
  }
  // Three rows of features, 16 pixels apart, the third for today's extensions.
  const std::pair<const char*, QPoint> labels[] = {
      {"MMXFeature", {21, 14}},  {"SSE3Feature", {375, 14}},  {"HTTFeature", {22, 30}},
      {"MPFeature", {284, 30}},  {"PowerFeature", {333, 30}}, {"SSSE3Feature", {21, 46}},
      {"SHAFeature", {375, 46}},
  };
  for (const auto& [name, at] : labels)
    EXPECT_EQ(page.findChild<QLabel*>(name)->pos(), at) << name;
  // No label of the Features box covers another or leaves the box.
  const auto* box = page.findChild<QGroupBox*>("FeaturesGB");
  const QList<QLabel*> features = box->findChildren<QLabel*>();
  for (const QLabel* a : features) {
    EXPECT_TRUE(QRect(QPoint(0, 0), box->size()).contains(a->geometry()))
        << a->objectName().toStdString();
    for (const QLabel* b : features) {
      if (a != b && a->objectName() != "PowerFeature" && b->objectName() != "PowerFeature") {
        EXPECT_FALSE(a->geometry().intersects(b->geometry()))
            << a->objectName().toStdString() << " " << b->objectName().toStdString();
      }
    }
  }

  // Captions end before their fields; the selector's caption sits beside its place.
  for (const char* name : {"CpuName", "Rating", "Mod", "BrandID", "Level1Instr", "Bus"}) {
    const auto* label = page.findChild<QLabel*>(name);
    const auto* field = page.findChild<TExtEdit*>((std::string(name) + "V").c_str());
    EXPECT_LT(label->geometry().right(), field->x()) << name;
  }
  EXPECT_EQ(page.SelectorParent(), page.findChild<QGroupBox*>("ProcessorGB"));
  EXPECT_LT(page.findChild<QLabel*>("CpuSelection")->geometry().right(),
            TProcessorPage::SelectorGeometry().x());
}

}  // namespace
