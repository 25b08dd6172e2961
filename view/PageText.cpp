#include "view/PageText.h"

#include <cstdio>

#include "engine/naming/CodeNameTable.h"

namespace {

struct tLogoRow {
  std::uint16_t Key;
  std::string_view File;
};

// The 44 rows of the processors of the vendor tables, then the lines of today's processors.
constexpr std::array<tLogoRow, 55> kLogoTable{{
    {125, "AMD_K6.PNG"},
    {130, "AMD_K6_2.PNG"},
    {135, "AMD_K6_III.PNG"},
    {140, "AMD_K6_2_plus.PNG"},
    {145, "AMD_K6_III.PNG"},
    {150, "AMD_Athlon.PNG"},
    {155, "AMD_Duron.PNG"},
    {160, "AMD_Athlon_XP.PNG"},
    {165, "AMD_Athlon_4.PNG"},
    {170, "AMD_Athlon_MP.PNG"},
    {175, "AMD_Duron.PNG"},
    {180, "AMD_Athlon_XP_M.PNG"},
    {185, "AMD_Sempron.PNG"},
    {190, "AMD_Opteron_64.PNG"},
    {195, "AMD_Athlon_64.PNG"},
    {200, "AMD_Athlon_64_X2.PNG"},
    {205, "AMD_Sempron.PNG"},
    {210, "AMD_Athlon_64.PNG"},
    {215, "AMD_Athlon_64_FX.PNG"},
    {220, "AMD_Turion_64.PNG"},
    {225, "AMD_Sempron_M.PNG"},
    {230, "AMD_Athlon_64_M.PNG"},
    {410, "Intel_Pentium.PNG"},
    {415, "Intel_Pentium_MMX.PNG"},
    {420, "Intel_Pentium_Pro.PNG"},
    {425, "Intel_Pentium_2.PNG"},
    {430, "Intel_Celeron.PNG"},
    {435, "Intel_PIII.PNG"},
    {440, "Intel_PIII_M.PNG"},
    {445, "Intel_PIII_Xeon.PNG"},
    {450, "Intel_Pentium_M.PNG"},
    {455, "Intel_Celeron_M.PNG"},
    {460, "Intel_P4_M.PNG"},
    {465, "Intel_Celeron.PNG"},
    {470, "Intel_P4.PNG"},
    {475, "Intel_P4_HT.PNG"},
    {480, "Intel_P4_Extreme.PNG"},
    {485, "Intel_Extreme.PNG"},
    {490, "Intel_Pentium_D.PNG"},
    {495, "Intel_Celeron_D.PNG"},
    {500, "Intel_P4_Xeon.PNG"},
    {510, "Intel_Itanium.PNG"},
    {515, "Intel_Itanium_2.PNG"},
    {705, "Transmeta_Crusoe.PNG"},
    {kLogoRyzen, "AMD_Ryzen.PNG"},
    {kLogoThreadripper, "AMD_Threadripper.PNG"},
    {kLogoEpyc, "AMD_EPYC.PNG"},
    {kLogoAthlon, "AMD_Athlon_Today.PNG"},
    {kLogoCore, "Intel_Core.PNG"},
    {kLogoCoreUltra, "Intel_Core_Ultra.PNG"},
    {kLogoXeon, "Intel_Xeon.PNG"},
    {kLogoAtom, "Intel_Atom.PNG"},
    {kLogoCeleronPentium, "Intel_Celeron_Pentium.PNG"},
    {kLogoHygon, "Hygon.PNG"},
    {kLogoZhaoxin, "Zhaoxin.PNG"},
}};

constexpr std::string_view kNoLogo = "No_Logo.PNG";
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
void TlbBoxes(std::array<tCacheBox, 6>& boxes, const Record& r, std::string_view level,
              std::string_view trace) {
  const std::string l(level);
  const std::string t(trace);
  SetBoxRows(boxes[2], l + " Data TLB (4Kb pages)",
             {{"Associativity", AssocToStr(r.DTLB4KAssoc)}, {"Entries", Decimal(r.DTLB4KEntries)}});
  SetBoxRows(boxes[3], l + " " + t + " TLB (4Kb pages)",
             {{"Associativity", AssocToStr(r.ITLB4KAssoc)}, {"Entries", Decimal(r.ITLB4KEntries)}});
  SetBoxRows(boxes[4], l + " Data TLB (2Mb pages)",
             {{"Associativity", AssocToStr(r.DTLB2MAssoc)}, {"Entries", Decimal(r.DTLB2MEntries)}});
  SetBoxRows(boxes[5], l + " " + t + " TLB (2Mb pages)",
             {{"Associativity", AssocToStr(r.ITLB2MAssoc)}, {"Entries", Decimal(r.ITLB2MEntries)}});
}

}  // namespace

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
  for (const tLogoRow& row : kLogoTable) {
    if (row.Key == key) return row.File;
  }
  return kNoLogo;
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
  page.Level1InstrCaption = l1.TraceCache == 1 ? "Level 1 Trace" : "Level 1 Instructions";
  page.Level1Instr = Shown(WithUnit(l1.ICacheSize, l1.TraceCache == 1 ? kKMicroOps : kKBytes));
  if (l2.Present == 1) {
    page.Level2 = Shown(l2.UnitCount >= 2 ? Decimal(l2.UnitCount) + "x" + WithUnit(l2.Size, kKBytes)
                                          : WithUnit(l2.Size, kKBytes));
  }
  if (l3.Present == 1) page.Level3 = Shown(WithUnit(l3.Size, kKBytes));

  page.Features = {{
      {"MMX", f.MMX == 1},
      {"Ext. MMX", f.ExtMMX == 1},
      {"3DNow!", f.TDNow == 1},
      {"3DNow!+", f.TDNowPlus == 1},
      {"SSE", f.SSE == 1},
      {"SSE2", f.SSE2 == 1},
      {"SSE3", f.SSE3 == 1},
      {"HTT", f.HTT == 1},
      {"IA64", f.IA64 == 1},
      {vendor == tVendor::amd ? "AA64" : "EM64T", f.AA64 == 1},
      {"NX", f.NX == 1},
      {"MP", f.MP == 1},
  }};
  const tFeatureWords& words = records.FeatureWords[slot];
  page.Extensions = {{
      {"SSSE3", words.Has(kLeaf1Ecx, 9)},
      {"SSE4.1", words.Has(kLeaf1Ecx, 19)},
      {"SSE4.2", words.Has(kLeaf1Ecx, 20)},
      {"AVX", words.Has(kLeaf1Ecx, 28)},
      {"AVX2", words.Has(kLeaf7Ebx, 5)},
      {"AVX-512F", words.Has(kLeaf7Ebx, 16)},
      {"AES", words.Has(kLeaf1Ecx, 25)},
      {"SHA", words.Has(kLeaf7Ebx, 29)},
  }};
  if (f.PowerNow == 1) {
    page.Power = {"Power Now", 333, true};
  } else if (f.SpeedStep == 1) {
    page.Power = {"Speed Step", 330, true};
  } else if (f.CoolnQuiet == 1) {
    page.Power = {"Cool'n'Quiet", 327, true};
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

tTopologyPageText TopologyPageText(const tProcessorRecords& records, std::size_t identified,
                                   unsigned slot, std::string_view probedHypervisor) {
  tTopologyPageText page;
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
  const double core = effective.CoreClock != 0 ? effective.CoreClock : clocks.CoreClock;
  text.Core = OneDecimal(core, "", " MHz", separator);
  text.Multiplier = OneDecimal(clocks.Multiplier, "x ", "", separator);
  text.BusCaptionHtt = vendor == tVendor::amd && family == 0xF;
  text.Bus = OneDecimal(clocks.BusClock, "", " MHz", separator);
  text.BusSpeed = OneDecimal(clocks.BusSpeed, "", " MHz", separator);
  return text;
}

std::array<tCacheBox, 6> CacheLevelText(const tProcessorRecords& records, unsigned slot,
                                        int level) {
  const tlevel1& l1 = records.level1[slot];
  const std::string_view trace = l1.TraceCache == 1 ? "Trace" : "Instruction";
  std::array<tCacheBox, 6> boxes;
  if (level == 1) {
    SetBoxRows(boxes[0], "L1 Data Cache",
               {{"Size", WithUnit(l1.DCacheSize, kKBytes)},
                {"Associativity", AssocToStr(l1.DCacheAssoc)},
                {"Line Size", WithUnit(l1.DCacheLine, kBytes)},
                {"Lines per Tag", Decimal(l1.DCacheLinesPerTag)}});
    const bool traceCache = l1.TraceCache == 1;
    SetBoxRows(boxes[1], "L1 " + std::string(trace) + " Cache",
               {{"Size", WithUnit(l1.ICacheSize, traceCache ? kKMicroOps : kKBytes)},
                {"Associativity", AssocToStr(l1.ICacheAssoc)},
                {"Line Size", WithUnit(l1.ICacheLine, traceCache ? kMicroOps : kBytes)},
                {"Lines per Tag", Decimal(l1.ICacheLinesPerTag)}});
    TlbBoxes(boxes, l1, "L1", trace);
  } else if (level == 2) {
    const tlevel2& l2 = records.level2[slot];
    SetBoxRows(boxes[0], "L2 Cache",
               {{"Size", WithUnit(l2.Size, kKBytes)},
                {"Associativity", AssocToStr(l2.Assoc)},
                {"Line Size", WithUnit(l2.LineSize, kBytes)},
                {"Lines per Tag", Decimal(l2.LinesPerTag)}});
    TlbBoxes(boxes, l2, "L2", trace);
  } else {
    const tlevel3& l3 = records.level3[slot];
    SetBoxRows(boxes[0], "L3 Cache",
               {{"Size", WithUnit(l3.Size, kKBytes)},
                {"Associativity", AssocToStr(l3.Assoc)},
                {"Line Size", WithUnit(l3.LineSize, kBytes)},
                {"Sectors", Decimal(l3.LinesPerSector)}});
  }
  return boxes;
}
