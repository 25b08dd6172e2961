// The Topology page: the machine's counts, the selected processor's place and core type, the
// hypervisor and the reported clocks; the processor selector names the kind of each core.
#include "ui/TopologyPage.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <string>

#include "platform/ReplayProcessorServices.h"
#include "tests/support/EngineFixtures.h"
#include "tests/window/MainWindowFixture.h"
#include "ui/ExtEdit.h"

namespace {

// Two threads of a performance core, then two efficiency cores.
std::vector<tCpuidStore> Hybrid() {
  return {RaptorLakeStore(0, false), RaptorLakeStore(1, false), RaptorLakeStore(48, true),
          RaptorLakeStore(50, true)};
}

QString Shown(const TTopologyPage& page, const char* field) {
  return page.findChild<TExtEdit*>(field)->text();
}
bool Enabled(const TTopologyPage& page, const char* field) {
  return page.findChild<TExtEdit*>(field)->isEnabled();
}

TEST(TopologyPageWindow, TheMachineAndTheSelectedProcessor) {
  const auto engine = IdentifiedStores(Hybrid());
  TTopologyPage page(nullptr);
  page.ShowTopology(*engine, 4, 3, "");
  const std::pair<const char*, const char*> fields[] = {
      {"PackagesV", "1"},
      {"CoresV", "3"},
      {"ThreadsV", "4"},
      {"PCoresV", "1, 2 threads"},
      {"ECoresV", "2, 2 threads"},
      {"HypervisorV", "none"},
      {"X2ApicIdV", "50"},
      {"CoreTypeV", "Efficiency"},
      {"CoreV", "2"},  // the third core of the package, in the order the processors come
      {"ThreadV", "0"},
      {"PkgThreadsV", "20"},
      {"SourceV", "leaf 0x1F"},
      {"BaseV", "3500 MHz"},
      {"MaximumV", "5300 MHz"},
      {"BusV", "100 MHz"},
  };
  for (const auto& [field, text] : fields) {
    EXPECT_EQ(Shown(page, field), text) << field;
    EXPECT_TRUE(Enabled(page, field)) << field;
  }
  EXPECT_FALSE(Enabled(page, "TscV")) << "no leaf 0x15";
  EXPECT_EQ(page.findChild<QGroupBox*>("SelectedGB")->title(), "Selected Processor: CPU #4");

  // A processor of one kind of core says no kind and counts no cores of a kind.
  const auto plain =
      IdentifiedStores({StoreOf("AuthenticAMD", 1, {{1, 0, {0x00A10F11, 0, 0, 0}}})});
  page.ShowTopology(*plain, 1, 0, "VMware");
  EXPECT_FALSE(Enabled(page, "CoreTypeV"));
  EXPECT_FALSE(Enabled(page, "PCoresV"));
  EXPECT_EQ(Shown(page, "CoreTypeV"), "Efficiency") << "a greyed field keeps its text";
  EXPECT_EQ(Shown(page, "HypervisorV"), "VMware (found by probing)");
}

TEST(TopologyPageWindow, ShowsTheX86_64Level) {
  // Leaf 1 EDX fpu, cx8, cmov, mmx, fxsr, sse, sse2; ECX pni, ssse3, cx16, sse4_1, sse4_2,
  // popcnt; 0x80000001 ECX lahf_lm, EDX lm: the psABI's x86-64-v2.
  const auto v2 = IdentifiedStores({StoreOf("GenuineIntel", 1,
                                            {{1, 0, {0x106A5, 0, 0x00982201, 0x07808101}},
                                             {0x80000000, 0, {0x80000001, 0, 0, 0}},
                                             {0x80000001, 0, {0, 0, 1, 1u << 29}}})});
  TTopologyPage page(nullptr);
  page.ShowTopology(*v2, 1, 0, "");
  EXPECT_EQ(Shown(page, "X86LevelV"), "x86-64-v2");
  EXPECT_TRUE(Enabled(page, "X86LevelV"));
  // Without long mode there is no level to show.
  const auto hybrid = IdentifiedStores(Hybrid());
  page.ShowTopology(*hybrid, 4, 0, "");
  EXPECT_FALSE(Enabled(page, "X86LevelV"));
}

TEST(TopologyPageWindow, CaptionsStandBeforeTheirFieldsInsideTheirGroups) {
  TTopologyPage page(nullptr);
  for (const TExtEdit* field : page.findChildren<TExtEdit*>()) {
    const std::string name = field->objectName().toStdString();
    const auto* caption =
        page.findChild<QLabel*>(QString::fromStdString(name.substr(0, name.size() - 1)));
    ASSERT_NE(caption, nullptr) << name;
    EXPECT_EQ(caption->parentWidget(), field->parentWidget()) << name;
    EXPECT_LT(caption->geometry().right(), field->x()) << name;
    EXPECT_TRUE(QRect(QPoint(0, 0), field->parentWidget()->size()).contains(field->geometry()))
        << name;
  }
  for (const QGroupBox* group : page.findChildren<QGroupBox*>())
    EXPECT_LE(group->geometry().bottom(), 470) << "above the tabs";
}

// The window's captions are the short ones where the label has little room (the text report
// writes them out).
TEST(TopologyPageWindow, CaptionsOfTheThreeGroups) {
  TTopologyPage page(nullptr);
  const std::pair<const char*, const char*> captions[] = {
      {"Packages", "Packages"},
      {"Dies", "Dies"},
      {"Cores", "Cores"},
      {"Threads", "Threads"},
      {"PCores", "Performance"},
      {"ECores", "Efficiency"},
      {"Hypervisor", "Hypervisor"},
      {"X2ApicId", "x2APIC ID"},
      {"CoreType", "Core Type"},
      {"Package", "Package"},
      {"Die", "Die"},
      {"Module", "Module"},
      {"Core", "Core"},
      {"Thread", "Thread"},
      {"PkgThreads", "Pkg. Threads"},
      {"PkgCores", "Pkg. Cores"},
      {"Source", "Source"},
      {"Base", "Base"},
      {"Maximum", "Maximum"},
      {"Bus", "Bus"},
      {"Tsc", "TSC Rate"},
  };
  for (const auto& [label, caption] : captions) {
    const auto* shown = page.findChild<QLabel*>(label);
    ASSERT_NE(shown, nullptr) << label;
    EXPECT_EQ(shown->text(), caption) << label;
  }
}

TEST(TopologyPageWindow, SelectorNamesTheKindOfEachCoreAndThePageFollowsIt) {
  tTestWindow w([] {
    std::vector<platform::tCpuidRecording> recordings;
    for (const tCpuidStore& store : Hybrid())
      recordings.push_back(RecordingOf(store));
    return std::make_unique<platform::cReplayProcessorServices>(recordings);
  });
  auto* selector = w.Find<QComboBox>("CpuSelectionV");
  QStringList items;
  for (int i = 0; i < selector->count(); ++i)
    items << selector->itemText(i);
  EXPECT_EQ(items, (QStringList{"CPU #1 (P-core)", "CPU #2 (P-core)", "CPU #3 (E-core)",
                                "CPU #4 (E-core)"}));
  EXPECT_EQ(w.TextOf("X2ApicIdV"), "0");
  selector->setCurrentIndex(2);
  EXPECT_EQ(w.TextOf("X2ApicIdV"), "48");
  EXPECT_EQ(w.TextOf("CoreTypeV"), "Efficiency");
  // CPUID names no hypervisor here, and the processors are this machine's: the probes are asked.
  EXPECT_EQ(w.TextOf("HypervisorV"), "VMware (found by probing)");
}

// Two listings: the selector and the selected processor's group name the file of each
// processor; the machine at a glance is the selected processor's machine; the page says why
// the driver did not load, and nothing where it did.
TEST(TopologyPageWindow, EachListingsFileAndMachineAndWhyTheDriverDidNotLoad) {
  auto listings = [] {
    std::vector<platform::tCpuidRecording> recordings;
    std::vector<platform::tRecordingSource> sources;
    for (const tCpuidStore& store : Hybrid()) {
      recordings.push_back(RecordingOf(store));
      sources.push_back({"/data/raptor-lake.txt", 0});
    }
    recordings.push_back(RecordingOf(RaptorLakeStore(0, false)));
    sources.push_back({"/data/second.txt", 1});
    return std::make_unique<platform::cReplayProcessorServices>(recordings, sources);
  };
  tTestWindow w(listings);
  auto* selector = w.Find<QComboBox>("CpuSelectionV");
  ASSERT_EQ(selector->count(), 5);
  EXPECT_EQ(selector->itemText(0), "CPU #1 (P-core, raptor-lake.txt)");
  EXPECT_EQ(selector->itemText(4), "CPU #5 (P-core, second.txt)");
  EXPECT_EQ(selector->itemData(4, Qt::ToolTipRole).toString(), "/data/second.txt");
  auto* glance = w.Find<QLabel>("GlanceV");
  ASSERT_NE(glance, nullptr);
  // The first machine: one performance core of two threads, two efficiency cores.
  EXPECT_TRUE(glance->text().contains("1 performance, 2 threads; 2 efficiency, 2 threads"))
      << glance->text().toStdString();
  EXPECT_TRUE(glance->text().contains(kTestDriverRefusal));
  selector->setCurrentIndex(4);
  EXPECT_TRUE(w.Find<QGroupBox>("SelectedGB")->title().endsWith("second.txt"))
      << w.Find<QGroupBox>("SelectedGB")->title().toStdString();
  EXPECT_TRUE(glance->text().contains("1 performance, 1 thread<")) << glance->text().toStdString();
  // The machines are summed in the Machine group: 2 packages.
  EXPECT_EQ(w.TextOf("PackagesV"), "2");

  tTestWindow loaded(listings, {}, true);
  EXPECT_FALSE(loaded.Find<QLabel>("GlanceV")->text().contains(kTestDriverRefusal));
}

}  // namespace
