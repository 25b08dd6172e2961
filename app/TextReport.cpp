#include "app/TextReport.h"

#include <algorithm>
#include <memory>
#include <string_view>

#include "app/SMBIOSReadNames.h"
#include "engine/CPUid.h"
#include "engine/Version.h"
#include "engine/store/Windows1252.h"
#include "view/Captions.h"
#include "view/PageText.h"
#include "view/RunningClockText.h"

namespace {

constexpr std::string_view kUnavailable = "-";

// A record text as a terminal shows it: up to its first NUL, leading spaces dropped, other
// control characters replaced, in UTF-8.
std::string Printable(std::string_view text) {
  text = text.substr(0, text.find('\0'));
  text.remove_prefix(std::min(text.find_first_not_of(' '), text.size()));
  std::string out;
  for (const char c : text) {
    const char32_t cp = CodePointOf1252(static_cast<unsigned char>(c));
    AppendUtf8(out, IsControlCharacter(cp) ? U'?' : cp);
  }
  return out;
}

class tReport {
 public:
  void Heading(std::string_view title) { out_.append(title).append("\n"); }
  // "  Caption           value"
  void Field(std::string_view caption, const tShownField& field) {
    Line(caption, field.Enabled ? Printable(field.Text) : std::string(kUnavailable));
  }
  // Long values break after a comma onto lines indented to the value column.
  void Line(std::string_view caption, std::string_view value) {
    out_.append("  ").append(caption);
    std::size_t column = 2 + caption.size();
    const std::size_t indent = 2 + kCaptionWidth;
    out_.append(column < indent ? indent - column : 1, ' ');
    column = std::max(column + 1, indent);
    while (column + value.size() > kLineWidth) {
      const std::size_t room = kLineWidth > column ? kLineWidth - column : 0;
      const std::size_t cut = value.rfind(", ", room);
      if (cut == std::string_view::npos || cut == 0) break;
      out_.append(value.substr(0, cut + 1)).append("\n").append(indent, ' ');
      value.remove_prefix(cut + 2);
      column = indent;
    }
    out_.append(value).append("\n");
  }
  void Blank() { out_.append("\n"); }
  std::string Take() { return std::move(out_); }

 private:
  static constexpr std::size_t kCaptionWidth = 32;
  static constexpr std::size_t kLineWidth = 100;
  std::string out_;
};

void ProcessorSection(tReport& r, const tProcessorPageText& p) {
  using namespace processor_caption;
  r.Heading(page_caption::kProcessor);
  r.Field(kCpuName, p.CpuName);
  r.Field(kVendorString, p.VendorString);
  r.Field(kRating, p.Rating);
  r.Field(kCodeName, p.CodeName);
  r.Field(kPlatform, p.Platform);
  r.Field(kExtName, p.ExtName);
  r.Field(kFamily, p.Family);
  r.Field(kModel, p.Model);
  r.Field(kStepping, p.Stepping);
  r.Field(kExtFamily, p.ExtFamily);
  r.Field(kExtModel, p.ExtModel);
  r.Field(kExtStepping, p.ExtStepping);
  r.Field(kTechProcess, p.TechProcess);
  r.Field(kTranQuantity, p.TranQuantity);
  r.Field(kBrandID, p.BrandID);
  r.Field(kDieSize, p.DieSize);
  r.Field(kAPICID, p.APICID);
  r.Line("Logo", p.LogoFile);

  std::string features;
  for (const tFeatureLabel& label : p.Features) {
    if (label.Enabled) features.append(features.empty() ? "" : " ").append(label.Caption);
  }
  if (p.Power.Enabled) features.append(features.empty() ? "" : " ").append(p.Power.Caption);
  for (const tFeatureLabel& label : p.Extensions) {
    if (label.Enabled) features.append(features.empty() ? "" : " ").append(label.Caption);
  }
  r.Line(kFeaturesGroup, features.empty() ? kUnavailable : std::string_view(features));

  r.Field(kLevel1Data, p.Level1Data);
  r.Field(p.Level1InstrCaption, p.Level1Instr);
  r.Field(kLevel2, p.Level2);
  r.Field(kLevel3, p.Level3);
}

void ClocksSection(tReport& r, const tClocksText& c) {
  using namespace clock_caption;
  r.Heading(processor_caption::kClocksGroup);
  r.Field(kCore, c.Core);
  r.Field(kMultiplier, c.Multiplier);
  r.Field(c.BusCaptionHtt ? kHTT : kFSB, c.Bus);
  r.Field(kBusSpeed, c.BusSpeed);
}

void RunningClockSection(tReport& r, const tRunningClockText& c) {
  using namespace running_caption;
  r.Heading(kGroup);
  r.Field(kEffective, c.Effective);
  r.Field(kDerivedMultiplier, c.DerivedMultiplier);
  r.Field(kBase, c.Base);
  r.Field(kMax, c.Max);
  r.Field(kMin, c.Min);
}

void SensorsSection(tReport& r, const tSensors& sensors) {
  r.Heading(running_caption::kSensors);
  const std::vector<tTemperatureRow> rows = TemperatureRows(sensors, '.');
  if (rows.empty()) r.Line("Temperatures", "none found");
  for (const tTemperatureRow& row : rows)
    r.Field(row.Label, row.Value);
  if (sensors.PackageWatts) r.Field("Package power", PackagePowerText(sensors, '.'));
}

void FlagsSection(tReport& r, const tProcessorRecords& records, unsigned slot) {
  r.Heading(page_caption::kFeatureFlags);
  for (const tFlagView& view : kFlagViews) {
    const tFlagBits bits = FlagViewBits(records, slot, view);
    std::string set;
    for (unsigned bit = 0; bit < bits.Bits.size(); ++bit) {
      if (!bits.Bits[bit]) continue;
      const std::string_view caption = FlagCaption(view, bit);
      set.append(set.empty() ? "" : ", ").append(caption);
      if (caption == "Reserved") set.append(" (bit ").append(std::to_string(bit)) += ')';
    }
    if (!bits.Valid) set = "not reported";
    r.Line(FlagViewName(view), set.empty() ? "none" : set);
  }
}

void CacheSection(tReport& r, const tProcessorRecords& records, unsigned slot) {
  r.Heading(page_caption::kCache);
  for (int level = 1; level <= 3; ++level) {
    for (const tCacheBox& box : CacheLevelText(records, slot, level)) {
      if (!box.Visible) continue;
      std::string values;
      for (const tCacheRow& row : box.Rows) {
        if (row.Caption.empty()) continue;
        values.append(values.empty() ? "" : ", ").append(row.Caption).append(" ");
        values.append(row.Value.empty() ? kUnavailable : std::string_view(row.Value));
      }
      r.Line(box.Caption, Printable(values));
    }
  }
}

void TopologySection(tReport& r, const tTopologyPageText& t) {
  using namespace topology_caption;
  r.Heading(page_caption::kTopology);
  r.Field(kPackages, t.Packages);
  r.Field(kDies, t.Dies);
  r.Field(kCores, t.Cores);
  r.Field(kThreads, t.Threads);
  r.Field(kPerformanceCores.Report, t.PerformanceCores);
  r.Field(kEfficiencyCores.Report, t.EfficiencyCores);
  r.Field(kHypervisor, t.Hypervisor);
  r.Field(kX2ApicId, t.X2ApicId);
  r.Field(kCoreType, t.CoreType);
  r.Field(kPackage, t.Package);
  r.Field(kDie, t.Die);
  r.Field(kModule, t.Module);
  r.Field(kCore, t.Core);
  r.Field(kThread, t.Thread);
  r.Field(kPackageThreads.Report, t.PackageThreads);
  r.Field(kPackageCores.Report, t.PackageCores);
  r.Field(kSource, t.Source);
  r.Field(kX86Level, t.X86Level);
  r.Field(kBaseClock.Report, t.BaseClock);
  r.Field(kMaxClock.Report, t.MaxClock);
  r.Field(kBusClock.Report, t.BusClock);
  r.Field(kTscClock, t.TscClock);
}

void ManagementSection(tReport& r, const tEPM& epm) {
  r.Heading(page_caption::kManagement);
  for (const tPowerRow& row : kPowerRows)
    r.Line(row.Caption, epm.*row.Flag == 1 ? flag_caption::kYes : flag_caption::kNo);
}

std::string AccessText(tHardwareAccess access, std::chrono::milliseconds lostAfter) {
  switch (access) {
    case tHardwareAccess::Loaded:
      return "loaded";
    case tHardwareAccess::Lost:
      return LostText(lostAfter);
    case tHardwareAccess::NotLoaded:
      return std::string(kDriverNotLoaded);
    case tHardwareAccess::NotTried:
      return "not used for recorded processors";
    case tHardwareAccess::Skipped:
      return "not used (-nodriver)";
  }
  return {};
}

}  // namespace

std::string LostText(std::chrono::milliseconds lostAfter) {
  const long long tenths = (lostAfter.count() + 50) / 100;
  return "lost after " + std::to_string(tenths / 10) + "." + std::to_string(tenths % 10) + " s";
}

std::string TextReport(const cCPUid& engine, tHardwareAccess access,
                       std::string_view probedHypervisor, std::chrono::milliseconds lostAfter) {
  tReport r;
  const std::shared_ptr<const tProcessorRecords> records = engine.Records();
  const unsigned count =
      static_cast<unsigned>(std::min<std::size_t>(engine.CPUCount, records->SlotCount()));
  r.Heading(kProgramVersion);
  r.Line("Processors", std::to_string(count));
  r.Line("Hardware access", AccessText(access, lostAfter));
  r.Line("SMBIOS", std::string(SMBIOSReadName(engine.SMBIOSRead).Sentence));
  for (unsigned slot = 0; slot < count; ++slot) {
    r.Blank();
    r.Heading("==== " + ProcessorName(slot + 1) + " ====");
    ProcessorSection(r, ProcessorPageText(*records, slot));
    ClocksSection(r, ClocksText(engine.ClocksOf(slot), engine.EffectiveClockOf(slot),
                                records->FlagBrand[slot], records->CPUid_m[slot].Family, '.'));
    RunningClockSection(
        r, RunningClockText(engine.EffectiveClockOf(slot), records->FrequencyRanges[slot],
                            records->Frequencies[slot].BusMHz, '.'));
    FlagsSection(r, *records, slot);
    CacheSection(r, *records, slot);
    ManagementSection(r, records->EPM[slot]);
    TopologySection(r, TopologyPageText(*records, count, slot, probedHypervisor));
  }
  r.Blank();
  SensorsSection(r, engine.Sensors());
  return r.Take();
}
