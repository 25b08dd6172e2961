#include "app/FleetSummary.h"

#include <algorithm>
#include <memory>

#include "app/JsonWriter.h"
#include "app/TerminalText.h"
#include "app/Utf8Text.h"
#include "engine/CPUid.h"
#include "engine/Version.h"
#include "engine/decode/CoreType.h"
#include "engine/decode/DisplaySignature.h"
#include "platform/ReplayProcessorServices.h"

namespace {

tProcessorKind KindOf(const tProcessorRecords& e, std::size_t i) {
  tProcessorKind kind;
  const tCpuidStore& store = e.CPUstore[i];
  const tDisplaySignature signature = DisplaySignatureOf(store);
  kind.Vendor = TrimmedUtf8Of1252(e.CPUid_m[i].Vendor.View());
  kind.Family = signature.Family;
  kind.Model = signature.Model;
  kind.Stepping = signature.Stepping;
  kind.Brand = TrimmedUtf8Of1252(e.CPUid_m[i].BrandString.View());
  kind.CodeName = TrimmedUtf8Of1252(e.nameinfo[i].CodeName.View());
  kind.CoreType = std::string(CoreTypeName(e.CoreTypes[i]));
  kind.Level = X86LevelOf(store);
  for (const std::string_view name : FeatureNames(e.FeatureWords[i]))
    kind.Features.emplace_back(name);
  return kind;
}

// "1 3-5 7" of indexes counted from 1.
std::string Ranges(const std::vector<std::size_t>& indexes) {
  std::string text;
  for (std::size_t k = 0; k < indexes.size();) {
    std::size_t end = k;
    while (end + 1 < indexes.size() && indexes[end + 1] == indexes[end] + 1)
      ++end;
    if (!text.empty()) text += ' ';
    text += std::to_string(indexes[k] + 1);
    if (end > k) text += '-' + std::to_string(indexes[end] + 1);
    k = end + 1;
  }
  return text;
}

std::string LevelText(tX86Level level) {
  const std::string_view name = X86LevelName(level);
  return name.empty() ? "none" : std::string(name);
}

// Rows of cells as columns, each as wide as its widest cell; the last column is not padded.
std::string Columns(const std::vector<std::vector<std::string>>& rows) {
  std::vector<std::size_t> widths;
  for (const auto& row : rows) {
    widths.resize(std::max(widths.size(), row.size()));
    for (std::size_t c = 0; c < row.size(); ++c)
      widths[c] = std::max(widths[c], row[c].size());
  }
  std::string text;
  for (const auto& row : rows) {
    std::string line;
    for (std::size_t c = 0; c < row.size(); ++c) {
      if (c > 0) line += "  ";
      line += row[c];
      if (c + 1 < row.size()) line.append(widths[c] - row[c].size(), ' ');
    }
    while (!line.empty() && line.back() == ' ')
      line.pop_back();
    text += line + '\n';
  }
  return text;
}

}  // namespace

bool tProcessorKind::SameKind(const tProcessorKind& o) const {
  return Vendor == o.Vendor && Family == o.Family && Model == o.Model && Stepping == o.Stepping &&
         Brand == o.Brand && CodeName == o.CodeName && CoreType == o.CoreType && Level == o.Level &&
         Features == o.Features;
}

tFleetSummary SummariseFleet(const std::vector<std::string>& names,
                             const std::vector<std::vector<tCpuidStore>>& machines) {
  tFleetSummary summary;
  summary.Machines = names;
  for (std::size_t m = 0; m < machines.size(); ++m) {
    std::vector<platform::tCpuidRecording> recordings;
    for (const tCpuidStore& store : machines[m])
      recordings.push_back(RecordingOf(store));
    cCPUid engine(std::make_unique<platform::cReplayProcessorServices>(std::move(recordings)),
                  true);
    const std::shared_ptr<const tProcessorRecords> records = engine.Records();
    const std::size_t count = std::min<std::size_t>(engine.CPUCount, records->SlotCount());
    for (std::size_t i = 0; i < count; ++i) {
      tProcessorKind kind = KindOf(*records, i);
      auto known = std::find_if(summary.Kinds.begin(), summary.Kinds.end(),
                                [&](const tProcessorKind& k) { return k.SameKind(kind); });
      if (known == summary.Kinds.end()) {
        summary.Kinds.push_back(std::move(kind));
        known = summary.Kinds.end() - 1;
      }
      if (known->Machines.empty() || known->Machines.back() != m) known->Machines.push_back(m);
      ++known->Processors;
    }
    engine.Destroy();
  }

  // Every feature any kind has, in the order of the first kind that has it; those that some
  // kind lacks differ.
  std::vector<std::string> seen;
  for (const tProcessorKind& kind : summary.Kinds)
    for (const std::string& feature : kind.Features)
      if (std::find(seen.begin(), seen.end(), feature) == seen.end()) seen.push_back(feature);
  for (const std::string& feature : seen) {
    tFeatureSpread spread{feature, {}};
    for (std::size_t k = 0; k < summary.Kinds.size(); ++k) {
      const auto& features = summary.Kinds[k].Features;
      if (std::find(features.begin(), features.end(), feature) != features.end())
        spread.Kinds.push_back(k);
    }
    if (spread.Kinds.size() < summary.Kinds.size()) summary.Differing.push_back(std::move(spread));
  }
  if (!summary.Kinds.empty()) {
    summary.CommonLevel = std::min_element(summary.Kinds.begin(), summary.Kinds.end(),
                                           [](const tProcessorKind& a, const tProcessorKind& b) {
                                             return a.Level < b.Level;
                                           })
                              ->Level;
  }
  return summary;
}

std::string FleetSummaryText(const tFleetSummary& s) {
  std::size_t processors = 0;
  for (const tProcessorKind& kind : s.Kinds)
    processors += kind.Processors;
  std::string text =
      std::to_string(s.Machines.size()) + " machines (files), " + std::to_string(processors) +
      " logical processors, " + std::to_string(s.Kinds.size()) +
      " kinds of processor; the level all of them have: " + LevelText(s.CommonLevel) + "\n\n";
  std::vector<std::vector<std::string>> rows{{"kind", "machines", "processors", "level", "vendor",
                                              "family", "model", "stepping", "core type",
                                              "code name", "brand"}};
  for (std::size_t k = 0; k < s.Kinds.size(); ++k) {
    const tProcessorKind& kind = s.Kinds[k];
    rows.push_back({std::to_string(k + 1), std::to_string(kind.Machines.size()),
                    std::to_string(kind.Processors), LevelText(kind.Level), kind.Vendor,
                    std::to_string(kind.Family), std::to_string(kind.Model),
                    std::to_string(kind.Stepping), kind.CoreType.empty() ? "-" : kind.CoreType,
                    kind.CodeName.empty() ? "-" : kind.CodeName,
                    kind.Brand.empty() ? "-" : kind.Brand});
  }
  text += Columns(rows);
  if (s.Differing.empty()) return text + "\nNo feature differs between the kinds.\n";
  text += "\nFeatures that differ, with the kinds that have them:\n";
  std::vector<std::vector<std::string>> features;
  for (const tFeatureSpread& spread : s.Differing)
    features.push_back({"  " + spread.Feature, Ranges(spread.Kinds)});
  return text + Columns(features);
}

std::string FleetSummaryJson(const tFleetSummary& s) {
  using tLayout = tJsonWriter::tLayout;
  tJsonWriter w;
  w.BeginObject();
  w.Key("program").Utf8Text(kProgramVersion);
  w.Key("machines").BeginArray(tLayout::Inline);
  // A file name is bytes: one that is not UTF-8 is written as Windows-1252, so that the
  // document stays UTF-8.
  for (const std::string& name : s.Machines)
    PrintableUtf8(name) ? w.Utf8Text(name) : w.Text1252(name);
  w.EndArray();
  w.Key("common_x86_64_level").Utf8Text(X86LevelName(s.CommonLevel));
  w.Key("kinds").BeginArray();
  for (std::size_t k = 0; k < s.Kinds.size(); ++k) {
    const tProcessorKind& kind = s.Kinds[k];
    w.BeginObject(tLayout::Inline).Key("kind").Unsigned(k + 1);
    w.Key("machines").BeginArray();
    for (const std::size_t m : kind.Machines)
      w.Unsigned(m + 1);
    w.EndArray().Key("processors").Unsigned(kind.Processors);
    w.Key("vendor").Utf8Text(kind.Vendor).Key("family").Unsigned(kind.Family);
    w.Key("model").Unsigned(kind.Model).Key("stepping").Unsigned(kind.Stepping);
    w.Key("brand").Utf8Text(kind.Brand).Key("code_name").Utf8Text(kind.CodeName);
    w.Key("core_type").Utf8Text(kind.CoreType);
    w.Key("x86_64_level").Utf8Text(X86LevelName(kind.Level));
    w.Key("features").BeginArray();
    for (const std::string& feature : kind.Features)
      w.Utf8Text(feature);
    w.EndArray().EndObject();
  }
  w.EndArray();
  w.Key("differing_features").BeginArray();
  for (const tFeatureSpread& spread : s.Differing) {
    w.BeginObject(tLayout::Inline).Key("feature").Utf8Text(spread.Feature);
    w.Key("kinds").BeginArray();
    for (const std::size_t k : spread.Kinds)
      w.Unsigned(k + 1);
    w.EndArray().EndObject();
  }
  w.EndArray();
  w.EndObject();
  return w.Finish();
}
