#include "app/TextReport.h"

#include <algorithm>
#include <memory>
#include <string_view>

#include "engine/CPUid.h"
#include "engine/Version.h"
#include "engine/store/Windows1252.h"
#include "view/PageText.h"

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
  r.Heading("Processor");
  r.Field("CPU Name", p.CpuName);
  r.Field("Vendor String", p.VendorString);
  r.Field("Rating", p.Rating);
  r.Field("Core CodeName", p.CodeName);
  r.Field("Platform", p.Platform);
  r.Field("Extended Name", p.ExtName);
  r.Field("Family", p.Family);
  r.Field("Model", p.Model);
  r.Field("Stepping", p.Stepping);
  r.Field("Ext. Family", p.ExtFamily);
  r.Field("Ext. Model", p.ExtModel);
  r.Field("Ext. Stepping", p.ExtStepping);
  r.Field("Tech. Process", p.TechProcess);
  r.Field("Trans. Quantity", p.TranQuantity);
  r.Field("Brand ID", p.BrandID);
  r.Field("Die Size", p.DieSize);
  r.Field("APIC ID", p.APICID);
  r.Line("Logo", p.LogoFile);

  std::string features;
  for (const tFeatureLabel& label : p.Features) {
    if (label.Enabled) features.append(features.empty() ? "" : " ").append(label.Caption);
  }
  if (p.Power.Enabled) features.append(features.empty() ? "" : " ").append(p.Power.Caption);
  for (const tFeatureLabel& label : p.Extensions) {
    if (label.Enabled) features.append(features.empty() ? "" : " ").append(label.Caption);
  }
  r.Line("Features", features.empty() ? kUnavailable : std::string_view(features));

  r.Field("Level 1 Data", p.Level1Data);
  r.Field(p.Level1InstrCaption, p.Level1Instr);
  r.Field("Level 2", p.Level2);
  r.Field("Level 3", p.Level3);
}

void ClocksSection(tReport& r, const tClocksText& c) {
  r.Heading("Clocks");
  r.Field("Core", c.Core);
  r.Field("Multiplier", c.Multiplier);
  r.Field(c.BusCaptionHtt ? "HTT" : "FSB", c.Bus);
  r.Field("Bus Speed", c.BusSpeed);
}

void FlagsSection(tReport& r, const tProcessorRecords& records, unsigned slot) {
  r.Heading("Feature Flags");
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
  r.Heading("Cache");
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
  r.Heading("Topology");
  r.Field("Packages", t.Packages);
  r.Field("Dies", t.Dies);
  r.Field("Cores", t.Cores);
  r.Field("Threads", t.Threads);
  r.Field("Performance Cores", t.PerformanceCores);
  r.Field("Efficiency Cores", t.EfficiencyCores);
  r.Field("Hypervisor", t.Hypervisor);
  r.Field("x2APIC ID", t.X2ApicId);
  r.Field("Core Type", t.CoreType);
  r.Field("Package", t.Package);
  r.Field("Die", t.Die);
  r.Field("Module", t.Module);
  r.Field("Core", t.Core);
  r.Field("Thread", t.Thread);
  r.Field("Package Threads", t.PackageThreads);
  r.Field("Package Cores", t.PackageCores);
  r.Field("Source", t.Source);
  r.Field("Base Clock", t.BaseClock);
  r.Field("Maximum Clock", t.MaxClock);
  r.Field("Bus Clock", t.BusClock);
  r.Field("TSC Rate", t.TscClock);
}

void ManagementSection(tReport& r, const tEPM& epm) {
  r.Heading("Management");
  for (const tPowerRow& row : kPowerRows)
    r.Line(row.Caption, epm.*row.Flag == 1 ? "Yes" : "No");
}

std::string_view AccessText(tHardwareAccess access) {
  switch (access) {
    case tHardwareAccess::Loaded:
      return "loaded";
    case tHardwareAccess::NotLoaded:
      return "Couldn't Load Driver";
    case tHardwareAccess::NotTried:
      return "not used for recorded processors";
    case tHardwareAccess::Skipped:
      return "not used (-nodriver)";
  }
  return {};
}

}  // namespace

std::string TextReport(const cCPUid& engine, tHardwareAccess access,
                       std::string_view probedHypervisor) {
  tReport r;
  const std::shared_ptr<const tProcessorRecords> records = engine.Records();
  const unsigned count =
      static_cast<unsigned>(std::min<std::size_t>(engine.CPUCount, records->SlotCount()));
  r.Heading(kProgramVersion);
  r.Line("Processors", std::to_string(count));
  r.Line("Hardware access", AccessText(access));
  r.Line("SMBIOS", engine.NoDMI != 0 ? "not read" : "read");
  for (unsigned slot = 0; slot < count; ++slot) {
    r.Blank();
    r.Heading("==== CPU #" + std::to_string(slot + 1) + " ====");
    ProcessorSection(r, ProcessorPageText(*records, slot));
    ClocksSection(r, ClocksText(engine.ClocksOf(slot), engine.EffectiveClockOf(slot),
                                records->FlagBrand[slot], records->CPUid_m[slot].Family, '.'));
    FlagsSection(r, *records, slot);
    CacheSection(r, *records, slot);
    ManagementSection(r, records->EPM[slot]);
    TopologySection(r, TopologyPageText(*records, count, slot, probedHypervisor));
  }
  return r.Take();
}
