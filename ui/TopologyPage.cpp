#include "ui/TopologyPage.h"

#include <QGroupBox>
#include <QLabel>

#include "engine/ProcessorRecords.h"
#include "ui/Controls.h"
#include "ui/ExtEdit.h"
#include "view/Captions.h"
#include "view/MachineSummary.h"
#include "view/PageText.h"

namespace {

enum tGroup : std::uint8_t { kMachineGroup, kProcessorGroup, kClocksGroup, kGlanceGroup };

struct tGroupPlace {
  const char* Name;
  const char* Caption;
  int Top;
  int Height;
};
// Four groups across the page, one above the other, in the look of the Processor page.
constexpr tGroupPlace kGroups[] = {
    {"MachineGB", "Machine", 3, 111},
    {"SelectedGB", "Selected Processor", 118, 131},
    {"ReportedClocksGB", "Reported Clocks", 253, 71},
    {"GlanceGB", "At a Glance", 328, 142},
};

constexpr int kGlancePixels = 10;

// A caption and its field: the caption right-aligned from LabelLeft to just before the field.
struct tFieldPlace {
  tGroup Group;
  const char* Label;
  std::string_view Caption;
  const char* Value;
  int Left;
  int Top;
  int Width;
  int LabelLeft;
  tShownField tTopologyPageText::*Text;
};

using T = tTopologyPageText;
namespace cap = topology_caption;
constexpr tFieldPlace kFields[] = {
    {kMachineGroup, "Packages", cap::kPackages, "PackagesV", 96, 22, 50, 6, &T::Packages},
    {kMachineGroup, "Dies", cap::kDies, "DiesV", 218, 22, 50, 150, &T::Dies},
    {kMachineGroup, "Cores", cap::kCores, "CoresV", 357, 22, 55, 272, &T::Cores},
    {kMachineGroup, "Threads", cap::kThreads, "ThreadsV", 96, 42, 50, 6, &T::Threads},
    {kMachineGroup, "PCores", cap::kPerformanceCores.Window, "PCoresV", 96, 62, 105, 6,
     &T::PerformanceCores},
    {kMachineGroup, "ECores", cap::kEfficiencyCores.Window, "ECoresV", 300, 62, 112, 205,
     &T::EfficiencyCores},
    {kMachineGroup, "Hypervisor", cap::kHypervisor, "HypervisorV", 96, 82, 316, 6, &T::Hypervisor},
    {kProcessorGroup, "X2ApicId", cap::kX2ApicId, "X2ApicIdV", 96, 22, 105, 6, &T::X2ApicId},
    {kProcessorGroup, "CoreType", cap::kCoreType, "CoreTypeV", 300, 22, 112, 205, &T::CoreType},
    {kProcessorGroup, "Package", cap::kPackage, "PackageV", 96, 42, 50, 6, &T::Package},
    {kProcessorGroup, "Die", cap::kDie, "DieV", 218, 42, 50, 150, &T::Die},
    {kProcessorGroup, "Module", cap::kModule, "ModuleV", 357, 42, 55, 272, &T::Module},
    {kProcessorGroup, "Core", cap::kCore, "CoreV", 96, 62, 50, 6, &T::Core},
    {kProcessorGroup, "Thread", cap::kThread, "ThreadV", 218, 62, 50, 150, &T::Thread},
    {kProcessorGroup, "PkgThreads", cap::kPackageThreads.Window, "PkgThreadsV", 96, 82, 50, 6,
     &T::PackageThreads},
    {kProcessorGroup, "PkgCores", cap::kPackageCores.Window, "PkgCoresV", 218, 82, 50, 150,
     &T::PackageCores},
    {kProcessorGroup, "Source", cap::kSource, "SourceV", 96, 102, 316, 6, &T::Source},
    {kProcessorGroup, "X86Level", cap::kX86Level, "X86LevelV", 357, 62, 55, 272, &T::X86Level},
    {kClocksGroup, "Base", cap::kBaseClock.Window, "BaseV", 96, 22, 105, 6, &T::BaseClock},
    {kClocksGroup, "Maximum", cap::kMaxClock.Window, "MaximumV", 300, 22, 112, 205, &T::MaxClock},
    {kClocksGroup, "Bus", cap::kBusClock.Window, "BusV", 96, 42, 105, 6, &T::BusClock},
    {kClocksGroup, "Tsc", cap::kTscClock, "TscV", 300, 42, 112, 205, &T::TscClock},
};

}  // namespace

TTopologyPage::TTopologyPage(QWidget* parent) : QWidget(parent) {
  setObjectName("TopologyPageContent");
  std::array<QGroupBox*, std::size(kGroups)> groups{};
  static_assert(std::size(kGroups) == 4);
  for (std::size_t g = 0; g < groups.size(); ++g) {
    groups[g] = PlaceGroup(this, kGroups[g].Name, QString::fromLatin1(kGroups[g].Caption), 4,
                           kGroups[g].Top, 425, kGroups[g].Height);
  }
  selected_ = groups[kProcessorGroup];
  static_assert(std::size(kFields) == kFieldCount);
  for (std::size_t k = 0; k < kFieldCount; ++k) {
    const tFieldPlace& place = kFields[k];
    QGroupBox* group = groups[place.Group];
    fields_[k].Caption = PlaceFieldCaption(group, place.Label, FromText(place.Caption),
                                           place.LabelLeft, place.Left, place.Top);
    fields_[k].Value = PlaceValue(group, place.Value, place.Left, place.Top, place.Width);
  }
  // The summary: a caption and a value a line, as many lines as the machine needs.
  glance_ = PlaceLabel(groups[kGlanceGroup], "GlanceV", QString(), 8, 18, 409);
  glance_->resize(409, kGroups[kGlanceGroup].Height - 22);
  // A size smaller than the fields' leaves room for a hybrid part's rows and the driver's.
  glance_->setFont(TahomaFont(kGlancePixels));
  glance_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  glance_->setTextFormat(Qt::RichText);
  glance_->setWordWrap(true);
  resize(childrenRect().right() + 4, childrenRect().bottom() + 4);
}

void TTopologyPage::ShowTopology(const tProcessorRecords& records, std::size_t identified,
                                 unsigned slot, std::string_view probedHypervisor) {
  if (slot >= records.SlotCount()) return;
  const tTopologyPageText page = TopologyPageText(records, identified, slot, probedHypervisor);
  QString title = QStringLiteral("Selected Processor: ") + FromText(ProcessorName(slot + 1));
  if (!page.Listing.empty()) {
    // The file, as much of its name as the group's width leaves room for.
    const QString file = QString::fromStdString(page.Listing);
    const int room =
        selected_->width() - selected_->fontMetrics().horizontalAdvance(title + " - ") - 24;
    title += QStringLiteral(" - ") + selected_->fontMetrics().elidedText(file, Qt::ElideLeft, room);
  }
  selected_->setTitle(title);
  for (std::size_t k = 0; k < kFieldCount; ++k) {
    const tShownField& shown = page.*(kFields[k].Text);
    ShowField(fields_[k].Caption, fields_[k].Value, FromText(shown.Text), shown.Enabled);
  }
  ShowGlance(records, identified, slot);
}

void TTopologyPage::ShowGlance(const tProcessorRecords& records, std::size_t identified,
                               unsigned slot) {
  for (const tMachineSummary& summary : MachineSummaries(records, identified)) {
    if (slot < summary.FirstSlot || slot >= summary.FirstSlot + summary.Slots) continue;
    QString rows;
    for (const tSummaryLine& line : summary.Lines) {
      rows +=
          QStringLiteral("<tr><td>%1</td><td style=\"color:#000080\">%2</td></tr>")
              .arg(FromText(line.Caption).toHtmlEscaped(),
                   line.Text.empty() ? QStringLiteral("-") : FromText(line.Text).toHtmlEscaped());
    }
    if (!driverRefusal_.isEmpty()) {
      rows += QStringLiteral("<tr><td>%1</td><td style=\"color:#000080\">%2</td></tr>")
                  .arg(FromText(summary_caption::kDriver).toHtmlEscaped(),
                       driverRefusal_.toHtmlEscaped());
    }
    glance_->setText(
        QStringLiteral("<table cellspacing=\"0\" cellpadding=\"0\">%1</table>").arg(rows));
    return;
  }
  glance_->clear();
}
