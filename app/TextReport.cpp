#include "app/TextReport.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <memory>
#include <string_view>
#include <vector>

#include "app/SMBIOSReadNames.h"
#include "engine/CPUid.h"
#include "engine/Version.h"
#include "engine/store/Windows1252.h"
#include "view/Captions.h"
#include "view/MachineSummary.h"
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

// What a line of a processor's block says: the same for processors alike, where it sits
// (from its APIC ID), or what was measured of it.
enum class tRole : std::uint8_t { Same, Place, Measured };

struct tEntry {
  bool Heading = false;
  std::string Caption;
  std::string Value;
  tRole Role = tRole::Same;
};

// The lines of one processor's block, before they are laid out.
// A file's name as it was given (bytes of the command line, not Windows-1252), with control
// characters replaced.
std::string PrintableFile(std::string_view name) {
  std::string out(name);
  for (char& c : out) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
  }
  return out;
}

class tBlock {
 public:
  void Heading(std::string_view title) { entries_.push_back({true, std::string(title), {}}); }
  void Field(std::string_view caption, const tShownField& field, tRole role = tRole::Same) {
    Line(caption, field.Enabled ? Printable(field.Text) : std::string(kUnavailable), role);
  }
  void Line(std::string_view caption, std::string_view value, tRole role = tRole::Same) {
    entries_.push_back({false, std::string(caption), std::string(value), role});
  }
  const std::vector<tEntry>& Entries() const { return entries_; }
  // What processors alike share: every line but the values of places and measurements.
  std::string Likeness() const {
    std::string key;
    for (const tEntry& e : entries_) {
      key.append(e.Caption).push_back('\0');
      if (e.Role == tRole::Same) key.append(e.Value);
      key.push_back('\n');
    }
    return key;
  }

 private:
  std::vector<tEntry> entries_;
};

class tReport {
 public:
  void Heading(std::string_view title) { out_.append(title).append("\n"); }
  // "  Caption           value"
  void Field(std::string_view caption, const tShownField& field) {
    Line(caption, field.Enabled ? Printable(field.Text) : std::string(kUnavailable));
  }
  // Long values break after a comma, else after a space, else inside a word, onto lines
  // indented to the value column: no line is wider than kLineWidth.
  void Line(std::string_view caption, std::string_view value) {
    out_.append("  ").append(caption);
    std::size_t column = 2 + caption.size();
    const std::size_t indent = 2 + kCaptionWidth;
    out_.append(column < indent ? indent - column : 1, ' ');
    column = std::max(column + 1, indent);
    while (column + value.size() > kLineWidth) {
      const std::size_t room = kLineWidth > column ? kLineWidth - column : 0;
      std::size_t cut = value.rfind(", ", room - 1);
      std::size_t skip = 2;
      if (cut == std::string_view::npos || cut == 0) {
        cut = value.rfind(' ', room);
        skip = 1;
      }
      if (cut == std::string_view::npos || cut == 0) {
        // One word wider than the room (a file's path) breaks where the room ends.
        cut = std::max<std::size_t>(room, 1);
        skip = 0;
      }
      out_.append(value.substr(0, skip == 2 ? cut + 1 : cut)).append("\n").append(indent, ' ');
      value.remove_prefix(cut + skip);
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

void ProcessorSection(tBlock& r, const tProcessorPageText& p) {
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
  r.Field(kAPICID, p.APICID, tRole::Place);
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

void ClocksSection(tBlock& r, const tClocksText& c) {
  using namespace clock_caption;
  r.Heading(processor_caption::kClocksGroup);
  r.Field(kCore, c.Core, tRole::Measured);
  r.Field(kMultiplier, c.Multiplier, tRole::Measured);
  r.Field(c.BusCaptionHtt ? kHTT : kFSB, c.Bus, tRole::Measured);
  r.Field(kBusSpeed, c.BusSpeed, tRole::Measured);
}

void RunningClockSection(tBlock& r, const tRunningClockText& c) {
  using namespace running_caption;
  r.Heading(kGroup);
  r.Field(kEffective, c.Effective, tRole::Measured);
  r.Field(kDerivedMultiplier, c.DerivedMultiplier, tRole::Measured);
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

void FlagsSection(tBlock& r, const tProcessorRecords& records, unsigned slot) {
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

void CacheSection(tBlock& r, const tProcessorRecords& records, unsigned slot) {
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

void TopologySection(tBlock& r, const tTopologyPageText& t) {
  using namespace topology_caption;
  r.Heading(page_caption::kTopology);
  r.Field(kPackages, t.Packages);
  r.Field(kDies, t.Dies);
  r.Field(kCores, t.Cores);
  r.Field(kThreads, t.Threads);
  r.Field(kPerformanceCores.Report, t.PerformanceCores);
  r.Field(kEfficiencyCores.Report, t.EfficiencyCores);
  r.Field(kHypervisor, t.Hypervisor);
  r.Field(kX2ApicId, t.X2ApicId, tRole::Place);
  r.Field(kCoreType, t.CoreType);
  r.Field(kPackage, t.Package, tRole::Place);
  r.Field(kDie, t.Die, tRole::Place);
  r.Field(kModule, t.Module, tRole::Place);
  r.Field(kCore, t.Core, tRole::Place);
  r.Field(kThread, t.Thread, tRole::Place);
  r.Field(kPackageThreads.Report, t.PackageThreads);
  r.Field(kPackageCores.Report, t.PackageCores);
  r.Field(kSource, t.Source);
  r.Field(kX86Level, t.X86Level);
  if (!t.Listing.empty()) r.Line(kListing, PrintableFile(t.Listing));
  r.Field(kBaseClock.Report, t.BaseClock);
  r.Field(kMaxClock.Report, t.MaxClock);
  r.Field(kBusClock.Report, t.BusClock);
  r.Field(kTscClock, t.TscClock);
}

void ManagementSection(tBlock& r, const tEPM& epm) {
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

namespace {

// "#1 to #4, #7": processor numbers, runs of three or more as ranges.
std::string NumberList(const std::vector<unsigned>& slots) {
  std::string text;
  for (std::size_t k = 0; k < slots.size();) {
    std::size_t run = k;
    while (run + 1 < slots.size() && slots[run + 1] == slots[run] + 1)
      ++run;
    auto number = [&](std::size_t at) { return "#" + std::to_string(slots[at] + 1); };
    text.append(text.empty() ? "" : ", ").append(number(k));
    if (run >= k + 2) {
      text.append(" to ").append(number(run));
    } else if (run == k + 1) {
      text.append(", ").append(number(run));
    }
    k = run + 1;
  }
  return text;
}

// The texts of one line over the processors of a group: one where they agree; else, for
// places, every processor's in turn, and for measurements the first few that differ.
std::string GroupValue(const std::vector<const tBlock*>& members, std::size_t line) {
  constexpr std::size_t kMeasuredShown = 4;
  const tEntry& first = members.front()->Entries()[line];
  std::vector<std::string> values, distinct;
  for (const tBlock* member : members) {
    const std::string& value = member->Entries()[line].Value;
    values.push_back(value);
    if (std::find(distinct.begin(), distinct.end(), value) == distinct.end())
      distinct.push_back(value);
  }
  if (distinct.size() == 1) return first.Value;
  const std::vector<std::string>& shown = first.Role == tRole::Place ? values : distinct;
  std::string text;
  for (std::size_t k = 0; k < shown.size(); ++k) {
    if (first.Role == tRole::Measured && k == kMeasuredShown) return text + ", ...";
    text.append(k == 0 ? "" : ", ").append(shown[k]);
  }
  return text;
}

void Summary(tReport& r, const tMachineSummary& summary) {
  r.Heading(summary_caption::kMachine);
  if (!summary.Listing.empty()) r.Line(topology_caption::kListing, PrintableFile(summary.Listing));
  for (const tSummaryLine& line : summary.Lines)
    r.Line(line.Caption, line.Text.empty() ? std::string(kUnavailable) : Printable(line.Text));
}

}  // namespace

std::string TextReport(const cCPUid& engine, tHardwareAccess access,
                       std::string_view probedHypervisor, std::chrono::milliseconds lostAfter,
                       bool everyProcessor, std::string_view driverRefusal) {
  tReport r;
  const std::shared_ptr<const tProcessorRecords> records = engine.Records();
  const unsigned count =
      static_cast<unsigned>(std::min<std::size_t>(engine.CPUCount, records->SlotCount()));
  r.Heading(kProgramVersion);
  r.Line("Processors", std::to_string(count));
  r.Line("Hardware access", AccessText(access, lostAfter));
  if (!driverRefusal.empty()) r.Line("Why", driverRefusal);
  r.Line("SMBIOS", std::string(SMBIOSReadName(engine.SMBIOSRead).Sentence));
  for (const tMachineSummary& summary : MachineSummaries(*records, count)) {
    r.Blank();
    Summary(r, summary);
  }

  std::vector<tBlock> blocks(count);
  for (unsigned slot = 0; slot < count; ++slot) {
    tBlock& b = blocks[slot];
    ProcessorSection(b, ProcessorPageText(*records, slot));
    ClocksSection(b, ClocksText(engine.ClocksOf(slot), engine.EffectiveClockOf(slot),
                                records->FlagBrand[slot], records->CPUid_m[slot].Family, '.'));
    RunningClockSection(
        b, RunningClockText(engine.EffectiveClockOf(slot), records->FrequencyRanges[slot],
                            records->Frequencies[slot].BusMHz, '.'));
    FlagsSection(b, *records, slot);
    CacheSection(b, *records, slot);
    ManagementSection(b, records->EPM[slot]);
    TopologySection(b, TopologyPageText(*records, count, slot, probedHypervisor));
  }
  // Processors alike but for where they sit share a block, in the order of their first.
  std::vector<std::vector<unsigned>> groups;
  std::map<std::string, std::size_t> groupOf;
  for (unsigned slot = 0; slot < count; ++slot) {
    const std::string key = everyProcessor ? std::to_string(slot) : blocks[slot].Likeness();
    const auto [at, added] = groupOf.try_emplace(key, groups.size());
    if (added) groups.emplace_back();
    groups[at->second].push_back(slot);
  }
  for (const std::vector<unsigned>& group : groups) {
    std::vector<const tBlock*> members;
    for (const unsigned slot : group)
      members.push_back(&blocks[slot]);
    r.Blank();
    if (group.size() == 1) {
      r.Heading("==== " + ProcessorName(group.front() + 1) + " ====");
    } else {
      r.Heading("==== " + std::to_string(group.size()) + " processors alike ====");
      r.Line("Processors", NumberList(group));
    }
    const std::vector<tEntry>& entries = members.front()->Entries();
    for (std::size_t line = 0; line < entries.size(); ++line) {
      if (entries[line].Heading) {
        r.Heading(entries[line].Caption);
      } else {
        r.Line(entries[line].Caption, GroupValue(members, line));
      }
    }
  }
  r.Blank();
  SensorsSection(r, engine.Sensors());
  return r.Take();
}
