#include "view/PageText.h"

#include <algorithm>
#include <cstdio>

#include "engine/decode/X86Level.h"
#include "view/Captions.h"
#include "view/LogoTable.h"

namespace {

constexpr std::string_view kKBytes = " KBytes";
constexpr std::string_view kBytes = " Bytes";
constexpr std::string_view kKMicroOps = " K\xB5Ops";
constexpr std::string_view kMicroOps = " \xB5Ops";

struct tAssocText {
  std::uint16_t Code;
  std::string_view Text;
};
constexpr std::array<tAssocText, 3> kAssocTexts{{
    {0, "off"},
    {1, "direct map"},
    {kFullyAssociative, "fully"},
}};

// A name as it is meant to be read: up to its first NUL, without the spaces that pad it on
// either side (brand strings are padded to their 48 characters).
std::string Trimmed(std::string_view text) {
  text = text.substr(0, text.find('\0'));
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  return std::string(text.substr(first, text.find_last_not_of(' ') - first + 1));
}

tShownField Shown(std::string text) {
  return {std::move(text), true};
}

template <std::size_t N>
tShownField ShownUnlessEmpty(const tShortString<N>& text) {
  return text.Empty() ? tShownField{} : Shown(std::string(text.View()));
}

std::string Hex(unsigned value) {
  char text[16];
  std::snprintf(text, sizeof text, "%X", value);
  return text;
}

std::string Decimal(unsigned value) {
  return std::to_string(value);
}

std::string WithUnit(unsigned value, std::string_view unit) {
  return Decimal(value) + std::string(unit);
}

// The value with one digit after the separator between the pattern's literal parts;
// disabled when the value is exactly 0.
tShownField OneDecimal(double value, std::string_view prefix, std::string_view suffix,
                       char separator) {
  if (value == 0.0) return {};
  char text[64];
  std::snprintf(text, sizeof text, "%.1f", value);
  std::string shown(prefix);
  for (const char* c = text; *c != '\0'; ++c)
    shown.push_back(*c == '.' ? separator : *c);
  return Shown(shown.append(suffix));
}

void SetBoxRows(tCacheBox& box, std::string caption, std::initializer_list<tCacheRow> rows) {
  box.Visible = true;
  box.Caption = std::move(caption);
  std::size_t k = 0;
  for (const tCacheRow& row : rows)
    box.Rows[k++] = row;
}

template <typename Record>
void TlbBoxes(std::array<tCacheBox, 6>& boxes, std::array<std::string, 6>& captions,
              const Record& r) {
  using namespace cache_caption;
  SetBoxRows(boxes[2], std::move(captions[2]),
             {{kAssociativity, AssocToStr(r.DTLB4KAssoc)}, {kEntries, Decimal(r.DTLB4KEntries)}});
  SetBoxRows(boxes[3], std::move(captions[3]),
             {{kAssociativity, AssocToStr(r.ITLB4KAssoc)}, {kEntries, Decimal(r.ITLB4KEntries)}});
  SetBoxRows(boxes[4], std::move(captions[4]),
             {{kAssociativity, AssocToStr(r.DTLB2MAssoc)}, {kEntries, Decimal(r.DTLB2MEntries)}});
  SetBoxRows(boxes[5], std::move(captions[5]),
             {{kAssociativity, AssocToStr(r.ITLB2MAssoc)}, {kEntries, Decimal(r.ITLB2MEntries)}});
}

// The words of a caption with a blank between each two.
std::string Words(std::initializer_list<std::string_view> words) {
  std::string caption;
  for (const std::string_view word : words)
    caption.append(caption.empty() ? "" : " ").append(word);
  return caption;
}

}  // namespace

std::string ProcessorName(std::size_t number) {
  return std::string(kProcessorNumber) + std::to_string(number);
}

const std::array<tFlagView, kFlagViewCount> kFlagViews{{
    {"Standard (1)", "Standard Features Flags", kLeaf1Edx, &tFeaturesFlags::StdEDX},
    {"Standard (2)", "Standard Features Flags", kLeaf1Ecx, &tFeaturesFlags::StdECX},
    {"Extended (1)", "Extended Features Flags", kExt1Edx, &tFeaturesFlags::ExtEDX},
    {"Extended (2)", "Extended Features Flags", kExt1Ecx, &tFeaturesFlags::ExtECX},
    {"Structured (1)", "Structured Features Flags", kLeaf7Ebx, nullptr},
    {"Structured (2)", "Structured Features Flags", kLeaf7Ecx, nullptr},
    {"Structured (3)", "Structured Features Flags", kLeaf7Edx, nullptr},
    {"Structured (4)", "Structured Features Flags", kLeaf7Sub1Eax, nullptr},
    {"Structured (5)", "Structured Features Flags", kLeaf7Sub1Edx, nullptr},
    {"Structured (6)", "Structured Features Flags", kLeaf7Sub2Edx, nullptr},
    {"XSAVE", "XSAVE Features Flags", kXsaveSub1Eax, nullptr},
    {"Power Mgmt.", "Power Management Flags", kPowerEdx, nullptr},
    {"Extended (3)", "Extended Features Flags", kExt8Ebx, nullptr},
    {"Extended (4)", "Extended Features Flags", kExt21Eax, nullptr},
}};

std::string FlagViewName(const tFlagView& view) {
  if (view.Bits != nullptr) return std::string(view.Button);
  return std::string(view.Button) + " (" + std::string(kFeatureRegisters[view.Register].Title) +
         ")";
}

std::string_view FlagCaption(const tFlagView& view, unsigned bit) {
  return kFeatureRegisters[view.Register].Bits[bit].Caption;
}

tFlagBits FlagViewBits(const tProcessorRecords& records, unsigned slot, const tFlagView& view) {
  tFlagBits shown;
  if (slot >= records.SlotCount()) return shown;
  if (view.Bits != nullptr) {
    // The four first views show the record of the feature decoder as it stands.
    const tFeatureBits& group = records.FeaturesFlags[slot].*(view.Bits);
    for (unsigned bit = 0; bit < 32; ++bit)
      shown.Bits[bit] = group.Bits[bit] != 0;
    shown.Valid = group.Valid == 1;
    return shown;
  }
  const tFeatureWords& words = records.FeatureWords[slot];
  for (unsigned bit = 0; bit < 32; ++bit)
    shown.Bits[bit] = words.Has(view.Register, bit);
  shown.Valid = words.Reported[view.Register];
  return shown;
}

const std::array<tPowerRow, 6> kPowerRows{{
    {"Temperature Sensor", &tEPM::TS},
    {"Frequency ID Control[FID]", &tEPM::FID},
    {"Voltage ID Control[VID]", &tEPM::VID},
    {"Thermal Trip", &tEPM::TTP},
    {"Thermal Monitoring", &tEPM::TM},
    {"Software Thermal Control", &tEPM::STC},
}};

std::string_view LogoFileName(std::uint16_t key) {
  for (const tLogoFile& row : kLogoFiles) {
    if (row.Key == key) return row.File;
  }
  return kNoLogoFile;
}

std::string AssocToStr(std::uint16_t code) {
  for (const tAssocText& row : kAssocTexts) {
    if (row.Code == code) return std::string(row.Text);
  }
  // Today's caches have ways of every count (12, 20, 24 ...), not only powers of two.
  if (code < kFullyAssociative) return std::to_string(code) + "-way";
  return {};
}

tProcessorPageText ProcessorPageText(const tProcessorRecords& records, unsigned slot) {
  const tCPUid_m& id = records.CPUid_m[slot];
  const tnameinfo& name = records.nameinfo[slot];
  const tCPUfeatures& f = records.CPUfeatures[slot];
  const tVendor vendor = records.FlagBrand[slot];
  tProcessorPageText page;

  page.CpuName = ShownUnlessEmpty(name.CpuName);
  page.VendorString = ShownUnlessEmpty(id.Vendor);
  page.CodeName = ShownUnlessEmpty(name.CodeName);
  page.Rating = ShownUnlessEmpty(name.Rating);
  page.Platform = ShownUnlessEmpty(name.Platform);
  page.ExtName =
      Shown(Trimmed(id.BrandString.Empty() ? name.CpuName.View() : id.BrandString.View()));
  page.Family = Shown(Hex(id.Family));
  page.Model = Shown(Hex(id.Model));
  page.Stepping = Shown(Hex(id.Stepping));
  if (vendor == tVendor::intel) {
    page.ExtFamily = Shown(Hex(id.ExtFamily));
    page.ExtModel = Shown(Hex(id.ExtModel));
  } else {
    page.ExtFamily = Shown(Hex(id.XFamily + id.XExtFamily));
    page.ExtModel = Shown(Hex(id.XExtModel * 16u + id.XModel));
    page.ExtStepping = Shown(Hex(id.XStepping));
  }
  if (f.APIC == 1) page.APICID = Shown(Decimal(id.APICID));
  if (id.BrandID != 0) page.BrandID = Shown(Decimal(id.BrandID));
  page.TechProcess = ShownUnlessEmpty(name.TechProcess);
  page.TranQuantity = ShownUnlessEmpty(name.TranQuantity);
  page.DieSize = ShownUnlessEmpty(name.DieSize);
  page.LogoFile = LogoFileName(name.LogoKey);

  const tlevel1& l1 = records.level1[slot];
  const tlevel2& l2 = records.level2[slot];
  const tlevel3& l3 = records.level3[slot];
  page.Level1Data = Shown(WithUnit(l1.DCacheSize, kKBytes));
  page.Level1InstrCaption =
      l1.TraceCache == 1 ? processor_caption::kLevel1Trace : processor_caption::kLevel1Instructions;
  page.Level1Instr = Shown(WithUnit(l1.ICacheSize, l1.TraceCache == 1 ? kKMicroOps : kKBytes));
  if (l2.Present == 1) {
    page.Level2 = Shown(l2.UnitCount >= 2 ? Decimal(l2.UnitCount) + "x" + WithUnit(l2.Size, kKBytes)
                                          : WithUnit(l2.Size, kKBytes));
  }
  if (l3.Present == 1) page.Level3 = Shown(WithUnit(l3.Size, kKBytes));

  using namespace feature_caption;
  page.Features = {{
      {kMMX, f.MMX == 1},
      {kExtMMX, f.ExtMMX == 1},
      {kTDNow, f.TDNow == 1},
      {kTDNowPlus, f.TDNowPlus == 1},
      {kSSE, f.SSE == 1},
      {kSSE2, f.SSE2 == 1},
      {kSSE3, f.SSE3 == 1},
      {kHTT, f.HTT == 1},
      {kIA64, f.IA64 == 1},
      {vendor == tVendor::amd ? kAA64 : kEM64T, f.AA64 == 1},
      {kNX, f.NX == 1},
      {kMP, f.MP == 1},
  }};
  const tFeatureWords& words = records.FeatureWords[slot];
  page.Extensions = {{
      {kSSSE3, words.Has(kLeaf1Ecx, 9)},
      {kSSE41, words.Has(kLeaf1Ecx, 19)},
      {kSSE42, words.Has(kLeaf1Ecx, 20)},
      {kAVX, words.Has(kLeaf1Ecx, 28)},
      {kAVX2, words.Has(kLeaf7Ebx, 5)},
      {kAVX512F, words.Has(kLeaf7Ebx, 16)},
      {kAES, words.Has(kLeaf1Ecx, 25)},
      {kSHA, words.Has(kLeaf7Ebx, 29)},
  }};
  if (f.PowerNow == 1) {
    page.Power = {kPowerNow, 333, true};
  } else if (f.SpeedStep == 1) {
    page.Power = {kSpeedStep, 330, true};
  } else if (f.CoolnQuiet == 1) {
    page.Power = {kCoolnQuiet, 327, true};
  }
  return page;
}

std::string_view CoreTypeCaption(tCoreType type) {
  switch (type) {
    case tCoreType::Performance:
      return "Performance";
    case tCoreType::Efficiency:
      return "Efficiency";
    default:
      return {};
  }
}

std::string_view CoreTypeShort(tCoreType type) {
  switch (type) {
    case tCoreType::Performance:
      return "P-core";
    case tCoreType::Efficiency:
      return "E-core";
    default:
      return {};
  }
}

namespace {

tShownField CoresAndThreads(unsigned cores, unsigned threads) {
  if (cores == 0) return {};
  return Shown(Decimal(cores) + ", " + Decimal(threads) + (threads == 1 ? " thread" : " threads"));
}

// Whole MHz, the way the processor's clock leaves give them.
tShownField MegaHertz(double mhz) {
  if (mhz == 0.0) return {};
  char text[32];
  std::snprintf(text, sizeof text, "%.0f MHz", mhz);
  return Shown(text);
}

}  // namespace

std::string ListingOf(const tProcessorRecords& records, std::size_t identified, unsigned slot) {
  identified = std::min(identified, records.CPUstore.size());
  if (slot >= identified) return {};
  const platform::tRecordingSource& source = records.CPUstore[slot].Source;
  for (std::size_t k = 0; k < identified; ++k) {
    if (records.CPUstore[k].Source.Listing != source.Listing) return source.File;
  }
  return {};
}

tTopologyPageText TopologyPageText(const tProcessorRecords& records, std::size_t identified,
                                   unsigned slot, std::string_view probedHypervisor) {
  tTopologyPageText page;
  page.Listing = ListingOf(records, identified, slot);
  const tMachineTopology machine = records.Machine(identified);
  page.Packages = Shown(Decimal(machine.Packages));
  page.Dies = Shown(Decimal(machine.Dies));
  page.Cores = Shown(Decimal(machine.Cores));
  page.Threads = Shown(Decimal(machine.Threads));
  page.PerformanceCores = CoresAndThreads(machine.PerformanceCores, machine.PerformanceThreads);
  page.EfficiencyCores = CoresAndThreads(machine.EfficiencyCores, machine.EfficiencyThreads);
  if (slot >= machine.Places.size()) return page;

  page.Hypervisor = Shown(HypervisorText(records.Hypervisors[slot], probedHypervisor));
  const tTopology& t = records.Topologies[slot];
  const tPlace& place = machine.Places[slot];
  const std::string_view kind = CoreTypeCaption(records.CoreTypes[slot]);
  if (!kind.empty()) page.CoreType = Shown(std::string(kind));
  if (t.Source != tTopologySource::None) {
    page.X2ApicId = Shown(Decimal(t.X2ApicId));
    page.Package = Shown(Decimal(place.Package));
    page.Die = Shown(Decimal(place.Die));
    page.Module = Shown(Decimal(place.Module));
    page.Core = Shown(Decimal(place.Core));
    page.Thread = Shown(Decimal(place.Thread));
    page.PackageThreads = Shown(Decimal(t.PackageThreads));
    page.PackageCores = Shown(Decimal(t.PackageCores));
    page.Source = Shown(std::string(TopologySourceName(t.Source)));
  }
  const std::string_view level = X86LevelName(X86LevelOf(records.CPUstore[slot]));
  if (!level.empty()) page.X86Level = Shown(std::string(level));
  const tFrequencies& f = records.Frequencies[slot];
  page.BaseClock = MegaHertz(f.BaseMHz);
  page.MaxClock = MegaHertz(f.MaxMHz);
  page.BusClock = MegaHertz(f.BusMHz);
  page.TscClock = MegaHertz(f.TscMHz);
  return page;
}

tClocksText ClocksText(const tClocks& clocks, const tEffectiveClock& effective, tVendor vendor,
                       std::uint8_t family, char separator) {
  tClocksText text;
  const double core = effective.Source == tEffectiveSource::AperfMperf && effective.CoreClock != 0
                          ? effective.CoreClock
                          : clocks.CoreClock;
  text.Core = OneDecimal(core, "", " MHz", separator);
  text.Multiplier = OneDecimal(clocks.Multiplier, "x ", "", separator);
  text.BusCaptionHtt = vendor == tVendor::amd && family == 0xF;
  text.Bus = OneDecimal(clocks.BusClock, "", " MHz", separator);
  text.BusSpeed = OneDecimal(clocks.BusSpeed, "", " MHz", separator);
  return text;
}

std::array<std::string, 6> CacheBoxCaptions(int level, bool traceCache) {
  using namespace cache_caption;
  std::array<std::string, 6> captions;
  if (level < 1 || level > static_cast<int>(kLevels.size())) return captions;
  const std::string_view l = kLevels[static_cast<std::size_t>(level - 1)];
  const std::string_view side = traceCache ? kTrace : kInstruction;
  if (level == 1) {
    captions[0] = Words({l, kData, kCache});
    captions[1] = Words({l, side, kCache});
  } else {
    captions[0] = Words({l, kCache});
  }
  if (level < 3) {
    captions[2] = Words({l, kData, kTlb4K});
    captions[3] = Words({l, side, kTlb4K});
    captions[4] = Words({l, kData, kTlb2M});
    captions[5] = Words({l, side, kTlb2M});
  }
  return captions;
}

std::array<tCacheBox, 6> CacheLevelText(const tProcessorRecords& records, unsigned slot,
                                        int level) {
  using namespace cache_caption;
  const tlevel1& l1 = records.level1[slot];
  const bool traceCache = l1.TraceCache == 1;
  std::array<tCacheBox, 6> boxes;
  if (level == 1) {
    std::array<std::string, 6> captions = CacheBoxCaptions(1, traceCache);
    SetBoxRows(boxes[0], std::move(captions[0]),
               {{kSize, WithUnit(l1.DCacheSize, kKBytes)},
                {kAssociativity, AssocToStr(l1.DCacheAssoc)},
                {kLineSize, WithUnit(l1.DCacheLine, kBytes)},
                {kLinesPerTag, Decimal(l1.DCacheLinesPerTag)}});
    SetBoxRows(boxes[1], std::move(captions[1]),
               {{kSize, WithUnit(l1.ICacheSize, traceCache ? kKMicroOps : kKBytes)},
                {kAssociativity, AssocToStr(l1.ICacheAssoc)},
                {kLineSize, WithUnit(l1.ICacheLine, traceCache ? kMicroOps : kBytes)},
                {kLinesPerTag, Decimal(l1.ICacheLinesPerTag)}});
    TlbBoxes(boxes, captions, l1);
  } else if (level == 2) {
    const tlevel2& l2 = records.level2[slot];
    std::array<std::string, 6> captions = CacheBoxCaptions(2, traceCache);
    SetBoxRows(boxes[0], std::move(captions[0]),
               {{kSize, WithUnit(l2.Size, kKBytes)},
                {kAssociativity, AssocToStr(l2.Assoc)},
                {kLineSize, WithUnit(l2.LineSize, kBytes)},
                {kLinesPerTag, Decimal(l2.LinesPerTag)}});
    TlbBoxes(boxes, captions, l2);
  } else {
    const tlevel3& l3 = records.level3[slot];
    SetBoxRows(boxes[0], CacheBoxCaptions(3, traceCache)[0],
               {{kSize, WithUnit(l3.Size, kKBytes)},
                {kAssociativity, AssocToStr(l3.Assoc)},
                {kLineSize, WithUnit(l3.LineSize, kBytes)},
                {kSectors, Decimal(l3.LinesPerSector)}});
  }
  return boxes;
}
