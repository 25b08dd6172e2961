#include "app/ExplanationReport.h"

#include <algorithm>
#include <map>
#include <vector>

#include "engine/decode/Caches.h"
#include "engine/decode/DisplaySignature.h"
#include "engine/decode/Topology.h"
#include "engine/naming/ModernNaming.h"

namespace {

// At most this many rows that came close are shown; the first are the ones that failed
// the latest key.
constexpr std::size_t kCloseRows = 8;

constexpr std::string_view kHowToRecord =
    "record this processor with `lumarian --dump > cpuid.txt` and send the file";

void Line(std::string& text, std::string_view caption, std::string_view value) {
  text += "  ";
  text += caption;
  text.append(caption.size() < 18 ? 18 - caption.size() : 1, ' ');
  text += value;
  text += '\n';
}

std::string Hex2(unsigned value) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string text{kDigits[(value >> 4) & 0xF], kDigits[value & 0xF]};
  if (value > 0xFF) text.insert(text.begin(), kDigits[(value >> 8) & 0xF]);
  return text + "h";
}

std::string Size(std::uint32_t kb) {
  return kb == 0 ? "none" : std::to_string(kb) + " KB";
}

// The rows of the processor's maker, family and model that did not win, with the key each
// failed, or "matched, less specific".
std::vector<std::string> CloseRows(const tModernName& modern, tMaker maker,
                                   const tDisplaySignature& signature) {
  std::vector<std::pair<tKeyCheck, std::string>> close;
  for (const tCodeNameRow& row : CodeNameRows()) {
    if (&row == modern.Row) continue;
    const tKeyCheck check = CheckRow(row, maker, signature, modern.Evidence);
    if (check == tKeyCheck::Maker || check == tKeyCheck::Family || check == tKeyCheck::Model)
      continue;
    const std::string why = check == tKeyCheck::Matched
                                ? "matched, less specific"
                                : std::string(KeyCheckName(check)) + " differs";
    close.emplace_back(check, DescribeKeys(row.Keys) + ": " + why);
  }
  // Matched rows first, then those that failed a later key.
  std::stable_sort(close.begin(), close.end(), [](const auto& a, const auto& b) {
    const auto rank = [](tKeyCheck c) { return c == tKeyCheck::Matched ? 0xFF : int(c); };
    return rank(a.first) > rank(b.first);
  });
  std::vector<std::string> lines;
  for (std::size_t k = 0; k < close.size() && k < kCloseRows; ++k)
    lines.push_back(close[k].second);
  if (close.size() > kCloseRows)
    lines.push_back("and " + std::to_string(close.size() - kCloseRows) + " more");
  return lines;
}

std::string Explanation(const tProcessorRecords& records, unsigned slot) {
  std::string text;
  const tCpuidStore& store = records.CPUstore[slot];
  const tModernName& modern = records.ModernNames[slot];
  const std::string vendor = VendorStringOf(store);
  const tDisplaySignature signature = DisplaySignatureOf(store);
  Line(text, "Vendor", vendor);
  Line(text, "Signature",
       "family " + Hex2(signature.Family) + ", model " + Hex2(signature.Model) + ", stepping " +
           std::to_string(signature.Stepping));
  const tNamingEvidence& e = modern.Evidence;
  Line(text, "Brand", e.Brand.empty() ? "none" : "\"" + e.Brand + "\"");
  Line(text, "Package counts",
       std::to_string(e.Cores) + " cores, " + std::to_string(e.Threads) +
           " logical processors (as one package's leaves report them)");
  Line(text, "Cache sizes", "L2 " + Size(e.Level2KB) + ", L3 " + Size(e.Level3KB));
  const std::string topology(TopologySourceName(records.Topologies[slot].Source));
  Line(text, "Topology from", topology.empty() ? "no leaf" : topology);
  const std::string caches(CacheSourceName(records.CacheReports[slot].Source));
  Line(text, "Caches from", caches.empty() ? "no leaf" : caches);

  const std::optional<tMaker> maker = MakerOf(vendor);
  if (!maker || !modern.Covered) {
    Line(text, "Named by",
         "the vendor's table of its generation (the code-name table does not "
         "speak for it)");
    return text;
  }
  if (modern.Row == nullptr) {
    Line(text, "Row",
         "none: no row of the code-name table describes this processor; " +
             std::string(kHowToRecord));
  } else {
    Line(text, "Row", DescribeKeys(modern.Row->Keys));
    const std::string_view codeName = modern.CodeName();
    Line(text, "Code name",
         codeName.empty() ? "none known (the row gives the micro-architecture only)"
                          : std::string(codeName));
    Line(text, "Source", modern.Row->Source);
  }
  const std::string micro = modern.Microarchitecture();
  if (!micro.empty()) Line(text, "Microarchitecture", micro);
  const std::vector<std::string> close = CloseRows(modern, *maker, signature);
  for (std::size_t k = 0; k < close.size(); ++k)
    Line(text, k == 0 ? "Came close" : "", close[k]);
  return text;
}

std::string SlotList(const std::vector<unsigned>& slots) {
  std::string text;
  for (std::size_t k = 0; k < slots.size();) {
    std::size_t run = k;
    while (run + 1 < slots.size() && slots[run + 1] == slots[run] + 1)
      ++run;
    if (!text.empty()) text += ", ";
    text += std::to_string(slots[k] + 1);
    if (run > k) text += "-" + std::to_string(slots[run] + 1);
    k = run + 1;
  }
  return text;
}

}  // namespace

std::string ExplanationReport(const cCPUid& engine) {
  const std::shared_ptr<const tProcessorRecords> records = engine.Records();
  const unsigned count =
      static_cast<unsigned>(std::min<std::size_t>(engine.CPUCount, records->SlotCount()));
  // Processors whose explanations read alike are one distinct processor.
  std::vector<std::pair<std::string, std::vector<unsigned>>> distinct;
  for (unsigned slot = 0; slot < count; ++slot) {
    std::string text = Explanation(*records, slot);
    const auto same = std::find_if(distinct.begin(), distinct.end(),
                                   [&](const auto& d) { return d.first == text; });
    if (same != distinct.end()) {
      same->second.push_back(slot);
    } else {
      distinct.push_back({std::move(text), {slot}});
    }
  }
  std::string report;
  for (const auto& [text, slots] : distinct) {
    if (!report.empty()) report += '\n';
    report += (slots.size() == 1 ? "Processor " : "Processors ") + SlotList(slots) + "\n";
    report += text;
  }
  if (count == 0) report = "No processor was identified; " + std::string(kHowToRecord) + "\n";
  return report;
}
