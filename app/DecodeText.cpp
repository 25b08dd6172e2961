#include "app/DecodeText.h"

#include <cstdio>
#include <string_view>
#include <tuple>
#include <vector>

#include "engine/decode/FieldDecoder.h"
#include "engine/decode/Topology.h"

namespace {

// What two processors must share to be shown once: every field but their own identifiers.
bool SameApartFromIds(const std::vector<tFieldValue>& a, const std::vector<tFieldValue>& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t k = 0; k < a.size(); ++k) {
    const tFieldValue& x = a[k];
    const tFieldValue& y = b[k];
    if (std::tie(x.Leaf, x.SubLeaf, x.Register, x.Hi, x.Lo, x.Row) !=
        std::tie(y.Leaf, y.SubLeaf, y.Register, y.Hi, y.Lo, y.Row))
      return false;
    const bool ownId = x.Row != nullptr && x.Row->OwnId;
    if (!ownId && x.Raw != y.Raw) return false;
  }
  return true;
}

// "0-3, 8, 10-11": ascending numbers with runs of three or more as ranges.
std::vector<std::string> RunsOf(const std::vector<std::uint32_t>& numbers, bool hex) {
  std::vector<std::string> runs;
  char text[48];
  const char* format = hex ? "0x%X" : "%u";
  for (std::size_t k = 0; k < numbers.size();) {
    std::size_t end = k;
    while (end + 1 < numbers.size() && numbers[end + 1] == numbers[end] + 1)
      ++end;
    if (end >= k + 2) {
      std::string run;
      std::snprintf(text, sizeof text, format, numbers[k]);
      run = text;
      std::snprintf(text, sizeof text, format, numbers[end]);
      runs.push_back(run + "-" + text);
      k = end + 1;
    } else {
      std::snprintf(text, sizeof text, format, numbers[k]);
      runs.emplace_back(text);
      ++k;
    }
  }
  return runs;
}

// `label` and the runs, wrapped at the column limit with the continuation indented.
void AppendWrapped(std::string& out, std::string_view label, const std::vector<std::string>& runs) {
  std::string line(label);
  for (std::size_t k = 0; k < runs.size(); ++k) {
    const std::string piece = runs[k] + (k + 1 < runs.size() ? "," : "");
    if (line.size() + 1 + piece.size() > kDecodeColumns && line.size() > label.size()) {
      out.append(line).push_back('\n');
      line = std::string(label.size(), ' ');
    }
    line.append(" ").append(piece);
  }
  out.append(line).push_back('\n');
}

void AppendField(std::string& out, const tFieldValue& f, bool several) {
  char prefix[96];
  const bool ownId = f.Row != nullptr && f.Row->OwnId;
  const std::string value = ownId && several ? "(each)" : FieldValueText(f);
  const std::string bits = FieldBits(f);
  std::snprintf(prefix, sizeof prefix, "    %s %-5s %-27.*s %10s  ",
                RegisterName(f.Register).data(), bits.c_str(),
                static_cast<int>(FieldName(f).size()), FieldName(f).data(), value.c_str());
  const std::string meaning = FieldMeaning(f);
  std::string line = prefix;
  if (line.size() + meaning.size() > kDecodeColumns) {
    // The meaning goes on a line of its own below, indented.
    while (!line.empty() && line.back() == ' ')
      line.pop_back();
    out.append(line).push_back('\n');
    line = std::string(8, ' ');
  }
  if (line.size() + meaning.size() > kDecodeColumns)
    line.append(meaning.substr(0, kDecodeColumns - line.size()));
  else
    line.append(meaning);
  out.append(line).push_back('\n');
}

}  // namespace

std::string DecodeText(std::span<const tCpuidStore> processors) {
  struct tGroup {
    std::vector<tFieldValue> Fields;
    std::vector<std::uint32_t> Slots;
    std::vector<std::uint32_t> ApicIds;
  };
  std::vector<tGroup> groups;
  for (std::size_t slot = 0; slot < processors.size(); ++slot) {
    std::vector<tFieldValue> fields = DecodeFields(processors[slot]);
    tGroup* group = nullptr;
    for (tGroup& g : groups) {
      if (SameApartFromIds(g.Fields, fields)) {
        group = &g;
        break;
      }
    }
    if (group == nullptr) group = &groups.emplace_back(tGroup{std::move(fields), {}, {}});
    group->Slots.push_back(static_cast<std::uint32_t>(slot));
    group->ApicIds.push_back(TopologyOf(processors[slot]).X2ApicId);
  }

  std::string out;
  for (const tGroup& g : groups) {
    if (!out.empty()) out.push_back('\n');
    const bool several = g.Slots.size() > 1;
    AppendWrapped(out, several ? "Processors" : "Processor", RunsOf(g.Slots, false));
    AppendWrapped(out, several ? "  APIC IDs" : "  APIC ID", RunsOf(g.ApicIds, true));
    const tFieldValue* previous = nullptr;
    for (const tFieldValue& f : g.Fields) {
      const bool newLeaf = previous == nullptr || previous->Leaf != f.Leaf;
      if (newLeaf) {
        char head[32];
        std::snprintf(head, sizeof head, "Leaf 0x%08X", f.Leaf);
        std::string line = std::string("\n") + head + "  " + std::string(f.Title->Title);
        out.append(line).push_back('\n');
      }
      if (newLeaf || previous->SubLeaf != f.SubLeaf) {
        const bool hasSubLeaves = RuleOf(f.Leaf) != nullptr;
        if (hasSubLeaves)
          out.append("  sub-leaf ").append(std::to_string(f.SubLeaf)).push_back('\n');
      }
      AppendField(out, f, several);
      previous = &f;
    }
  }
  return out;
}
