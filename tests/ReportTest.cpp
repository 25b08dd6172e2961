// The JSON writer's escaping and numbers, and both reports of a replayed processor.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/JsonReport.h"
#include "app/JsonWriter.h"
#include "app/TextReport.h"
#include "platform/ReplayProcessorServices.h"
#include "smbios/get_dmi.h"
#include "tests/support/EngineFixtures.h"

namespace {

std::string OneText(std::string_view text) {
  tJsonWriter w;
  w.BeginArray(tJsonWriter::tLayout::Inline).Text1252(text).EndArray();
  return w.Finish();
}

TEST(JsonWriter, ConvertsWindows1252AndEscapesControls) {
  EXPECT_EQ(OneText("CMOS 0,13\xB5m"), "[\"CMOS 0,13\xC2\xB5m\"]\n");
  EXPECT_EQ(OneText(std::string_view("A\0B", 3)), "[\"A\\u0000B\"]\n");
  EXPECT_EQ(OneText("\x80\x99"), "[\"\xE2\x82\xAC\xE2\x84\xA2\"]\n");  // euro, trade mark
  EXPECT_EQ(OneText("\x81\x9D"), "[\"\\u0081\\u009d\"]\n");            // no character: C1 controls
  EXPECT_EQ(OneText("\"\\\t\x7F\xFF"), "[\"\\\"\\\\\\u0009\\u007f\xC3\xBF\"]\n");
}

TEST(JsonWriter, NumbersRoundTripAndAlwaysLookLikeNumbers) {
  tJsonWriter w;
  w.BeginArray(tJsonWriter::tLayout::Inline);
  w.Double(0.0).Double(2009.64).Double(400.0 / 3.0).Single(10.5f).Single(12.49f);
  w.Unsigned(4294967295u).Boolean(true);
  w.EndArray();
  EXPECT_EQ(w.Finish(), "[0.0, 2009.64, 133.33333333333334, 10.5, 12.49, 4294967295, true]\n");
}

TEST(JsonWriter, LaysOutNestedContainers) {
  tJsonWriter w;
  w.BeginObject().Key("a").Unsigned(1).Key("b").BeginObject(tJsonWriter::tLayout::Inline);
  w.Key("c").BeginArray().Unsigned(2).Unsigned(3).EndArray().EndObject();
  w.Key("d").BeginArray().EndArray().EndObject();
  EXPECT_EQ(w.Finish(), "{\n  \"a\": 1,\n  \"b\": {\"c\": [2, 3]},\n  \"d\": []\n}\n");
}

TEST(Reports, CarryEveryRecordOfEveryProcessor) {
  const auto e = IdentifiedData({IdentifiedFixture("amd-0000670-k7-morgan.txt")->CPUdata[0],
                                 IdentifiedFixture("intel-celeron-d-347.txt")->CPUdata[0]});
  const std::string json = JsonReport(*e, false);
  EXPECT_NE(json.find("\"cpu_count\": 2"), std::string::npos);
  EXPECT_NE(json.find("\"slot\": 1"), std::string::npos);
  EXPECT_NE(json.find("\"tFlagBrand\": \"amd\""), std::string::npos);
  EXPECT_NE(json.find("\"tFlagBrand\": \"intel\""), std::string::npos);
  for (const char* key : {"\"tCPUid_m\"", "\"tCPUfeatures\"", "\"tFeaturesFlags\"", "\"tEPM\"",
                          "\"tClocks\"", "\"MultiplierMethod\"", "\"tlevel1\"", "\"tlevel2\"",
                          "\"tlevel3\"", "\"tnameinfo\"", "\"tCPUdata\""}) {
    EXPECT_NE(json.find(key), json.rfind(key)) << key << " once per processor";
  }
  EXPECT_NE(json.find("{\"leaf\": \"80000001\", \"eax\": \"00000770\", \"ebx\": \"00000000\", "
                      "\"ecx\": \"00000000\", \"edx\": \"C1C7F9FF\"}"),
            std::string::npos);

  const std::string text = TextReport(*e, tHardwareAccess::NotLoaded);
  EXPECT_NE(text.find("==== CPU #2 ===="), std::string::npos);
  // What the hardware access line says of each state of the device.
  const struct {
    tHardwareAccess access;
    std::chrono::milliseconds lostAfter;
    const char* line;
  } accessRows[] = {
      {tHardwareAccess::Loaded, {}, "loaded"},
      {tHardwareAccess::Lost, std::chrono::milliseconds(2549), "lost after 2.5 s"},
      {tHardwareAccess::Lost, std::chrono::milliseconds(2550), "lost after 2.6 s"},
      {tHardwareAccess::Lost, std::chrono::milliseconds(40), "lost after 0.0 s"},
      {tHardwareAccess::Lost, std::chrono::milliseconds(61000), "lost after 61.0 s"},
      {tHardwareAccess::NotLoaded, {}, "Couldn't Load Driver"},
      {tHardwareAccess::Skipped, {}, "not used (-nodriver)"},
  };
  for (const auto& row : accessRows) {
    const std::string report = TextReport(*e, row.access, {}, row.lostAfter);
    const std::size_t at = report.find("Hardware access");
    ASSERT_NE(at, std::string::npos);
    const std::size_t end = report.find('\n', at);
    std::string shown = report.substr(at, end - at);
    shown.erase(0, shown.find_first_not_of(' ', std::string("Hardware access").size()));
    EXPECT_EQ(shown, row.line);
  }
  EXPECT_NE(text.find("AMD Duron(tm) processor\n"), std::string::npos) << "NULs cut";
  EXPECT_NE(text.find("Intel(R) Celeron(R) D CPU 3.06GHz\n"), std::string::npos)
      << "leading spaces dropped";
}

// A recorded processor keeps every answer of its recording, sub-leaves and leaves past the
// 27 included, and the report lists them by leaf then sub-leaf.
TEST(Reports, ListEveryRecordedLeafAndTheDisplaySignature) {
  platform::tCpuidRecording recording = RecordingOf(tRawCpu::Intel(6, 7, 1).Data());
  recording.front().Result.EAX = 0x1F;   // maximum standard leaf
  recording[1].Result.EAX = 0x000B0671;  // Raptor Lake
  recording.push_back({0x40000000, 0, {0x40000001, 0x4B4D564B, 0x564B4D56, 0x4D}});
  recording.push_back({4, 1, {0x00004122, 0x01C0003F, 0x3F, 0}});
  recording.push_back({0x1A, 0, {0x40000001, 0, 0, 0}});
  const cCPUid engine(std::make_unique<platform::cReplayProcessorServices>(
                          std::vector<platform::tCpuidRecording>{recording}),
                      true);
  ASSERT_EQ(engine.CPUstore[0].Size(), kCapturedLeaves + 3);
  EXPECT_EQ(engine.CPUstore[0].OsCpu, -1);

  const std::string json = JsonReport(engine, false);
  EXPECT_NE(json.find("\"os_cpu\": -1,"), std::string::npos);
  const std::size_t four = json.find("{\"leaf\": \"00000004\", \"subleaf\": 0,");
  const std::size_t fourOne = json.find(
      "{\"leaf\": \"00000004\", \"subleaf\": 1, \"eax\": \"00004122\", \"ebx\": "
      "\"01C0003F\", \"ecx\": \"0000003F\", \"edx\": \"00000000\"}");
  const std::size_t five = json.find("{\"leaf\": \"00000005\", \"subleaf\": 0,");
  const std::size_t hyper = json.find("{\"leaf\": \"40000000\", \"subleaf\": 0,");
  const std::size_t extended = json.find("{\"leaf\": \"80000000\", \"subleaf\": 0,");
  ASSERT_NE(fourOne, std::string::npos);
  EXPECT_LT(four, fourOne);
  EXPECT_LT(fourOne, five);
  EXPECT_LT(five, hyper);
  EXPECT_LT(hyper, extended);
  // 6/B7h stepping 1 is Raptor Lake-S (kernel RAPTORLAKE; InstLatx64 B0671), Intel 7, whose
  // performance cores are Raptor Cove.
  EXPECT_NE(json.find("\"identity\": {\"family\": 6, \"model\": 183, \"stepping\": 1, "
                      "\"microarchitecture\": \"Raptor Cove\", \"code_name\": \"Raptor Lake-S\", "
                      "\"process\": \"Intel 7\", \"segment\": \"desktop\", "
                      "\"core_type\": \"performance\", \"x86_64_level\": \"\"}"),
            std::string::npos)
      << "no leaf 0x80000001 in range, so no long mode: no level";
}

TEST(Reports, TheExtendedNameEndsWhereTheBrandDoes) {
  // This brand pads its 34 characters with spaces to 48.
  const auto e = IdentifiedFixture("amd-ryzen-7-3700x-8-core-processor.txt");
  EXPECT_NE(TextReport(*e, tHardwareAccess::NotLoaded).find("AMD Ryzen 7 3700X 8-Core Processor\n"),
            std::string::npos);
}

// The text report heads its sections with the pages and groups it follows and captions its
// lines as the window captions their fields, in the window's order.
TEST(Reports, TheTextReportsSectionsAndCaptionsFollowThePages) {
  const auto e = IdentifiedFixture("intel-pentium-4-cpu-3.20ghz.txt");
  const std::string text = TextReport(*e, tHardwareAccess::NotLoaded);
  const char* const lines[] = {
      "Processor\n",
      "  CPU Name ",
      "  Vendor String ",
      "  Rating ",
      "  Core CodeName ",
      "  Platform ",
      "  Extended Name ",
      "  Family ",
      "  Model ",
      "  Stepping ",
      "  Ext. Family ",
      "  Ext. Model ",
      "  Ext. Stepping ",
      "  Tech. Process ",
      "  Trans. Quantity ",
      "  Brand ID ",
      "  Die Size ",
      "  APIC ID ",
      "  Logo ",
      "  Features ",
      "  Level 1 Data ",
      "  Level 1 Trace ",
      "  Level 2 ",
      "  Level 3 ",
      "Clocks\n",
      "  Core ",
      "  Multiplier ",
      "  FSB ",
      "  Bus Speed ",
      "Feature Flags\n",
      "Cache\n",
      "  L1 Trace Cache ",
      "Management\n",
      "  Temperature Sensor ",
      "  Frequency ID Control[FID] ",
      "  Voltage ID Control[VID] ",
      "  Thermal Trip ",
      "  Thermal Monitoring ",
      "  Software Thermal Control ",
      "Topology\n",
  };
  std::size_t at = 0;
  for (const char* line : lines) {
    const std::size_t found = text.find(std::string("\n") + line, at);
    ASSERT_NE(found, std::string::npos) << "missing or out of order: " << line;
    at = found + 1;
  }
}

TEST(Reports, TextReportNeutralisesControlCharactersOfHostileBrandStrings) {
  tRawCpu cpu;
  cpu.Brand("\x1B]0;owned\x07 CPU");
  const std::string text = TextReport(*Identified({cpu}), tHardwareAccess::NotLoaded);
  EXPECT_EQ(text.find('\x1B'), std::string::npos);
  EXPECT_EQ(text.find('\x07'), std::string::npos);
  EXPECT_NE(text.find("?]0;owned? CPU"), std::string::npos);
}

TEST(Reports, WhatTodaysProcessorsReportAndTheMachine) {
  const auto e = IdentifiedStores({RaptorLakeStore(0, false), RaptorLakeStore(1, false),
                                   RaptorLakeStore(48, true), RaptorLakeStore(50, true)});
  const std::string json = JsonReport(*e, false);
  EXPECT_NE(json.find("\"machine\": {\"packages\": 1, \"dies\": 1, \"cores\": 3, \"threads\": 4, "
                      "\"core_types\": {\"performance\": 1, \"efficiency\": 2}}"),
            std::string::npos);
  // The fourth processor: x2APIC 50 is core field 25, the package's third core.
  const std::size_t fourth = json.find("\"slot\": 3");
  ASSERT_NE(fourth, std::string::npos);
  const std::size_t topology = json.find(
      "\"topology\": {\"x2apic_id\": 50, \"package\": 0, \"die\": 0, \"module\": 0, \"core\": 2, "
      "\"thread\": 0, \"package_threads\": 20, \"package_cores\": 20}",
      fourth);
  const std::size_t identity = json.find("\"identity\"", fourth);
  const std::size_t caches = json.find("\"caches\": []", fourth);
  const std::size_t tlbs = json.find("\"tlbs\": []", fourth);
  const std::size_t features = json.find("\"features\": []", fourth);
  const std::size_t hypervisor = json.find("\"hypervisor\": \"\"", fourth);
  const std::size_t frequency = json.find(
      "\"frequency\": {\"base_mhz\": 3500, \"max_mhz\": 5300, \"bus_mhz\": 100, \"tsc_mhz\": 0",
      fourth);
  for (const std::size_t at : {topology, identity, caches, tlbs, features, hypervisor, frequency})
    ASSERT_NE(at, std::string::npos);
  EXPECT_LT(identity, caches);
  EXPECT_LT(caches, tlbs);
  EXPECT_LT(tlbs, topology);
  EXPECT_LT(topology, features);
  EXPECT_LT(features, hypervisor);
  EXPECT_LT(hypervisor, frequency);

  const std::string text = TextReport(*e, tHardwareAccess::NotTried, "VMware", {}, true);
  const std::size_t cpu4 = text.find("==== CPU #4 ====");
  ASSERT_NE(cpu4, std::string::npos);
  for (const char* line : {"Topology\n", "  Core Type                       Efficiency\n",
                           "  Performance Cores               1, 2 threads\n",
                           "  x2APIC ID                       50\n",
                           "  Hypervisor                      VMware (found by probing)\n"})
    EXPECT_NE(text.find(line, cpu4), std::string::npos) << line;
}

// Processors alike but for their APIC IDs share a block that lists them and their places;
// --all keeps a block each. Raptor Lake: x2APIC 0 and 1 are one performance core's threads,
// 48 and 50 two efficiency cores (cores 1 and 2 of the package).
TEST(Reports, ProcessorsAlikeButForTheirPlacesShareABlock) {
  const auto e = IdentifiedStores({RaptorLakeStore(0, false), RaptorLakeStore(1, false),
                                   RaptorLakeStore(48, true), RaptorLakeStore(50, true),
                                   RaptorLakeStore(52, true)});
  const std::string grouped = TextReport(*e, tHardwareAccess::NotTried);
  for (const char* line :
       {"==== 2 processors alike ====\n  Processors                      #1, #2\n",
        "==== 3 processors alike ====\n  Processors                      #3 to #5\n",
        "  x2APIC ID                       48, 50, 52\n",
        "  Core                            1, 2, 3\n", "  Thread                          0, 1\n",
        "  Package                         0\n"})
    EXPECT_NE(grouped.find(line), std::string::npos) << line;
  EXPECT_EQ(grouped.find("==== CPU #"), std::string::npos);

  const std::string every = TextReport(*e, tHardwareAccess::NotTried, {}, {}, true);
  for (const char* line : {"==== CPU #1 ====", "==== CPU #5 ===="})
    EXPECT_NE(every.find(line), std::string::npos) << line;
  EXPECT_EQ(every.find("alike"), std::string::npos);

  // A processor that differs in more than its place keeps its own block, and the list of the
  // others skips it.
  const auto mixed = IdentifiedStores({RaptorLakeStore(0, false), RaptorLakeStore(48, true),
                                       RaptorLakeStore(2, false), RaptorLakeStore(4, false)});
  const std::string split = TextReport(*mixed, tHardwareAccess::NotTried);
  EXPECT_NE(split.find("  Processors                      #1, #3, #4\n"), std::string::npos);
  EXPECT_NE(split.find("==== CPU #2 ===="), std::string::npos);
}

// The summary of each machine comes first, and no line is wider than 100 columns, however
// long the values: a listing's path has no place to break.
TEST(Reports, StartWithTheMachineAndKeepWithinAHundredColumns) {
  const std::string longName = "/tmp/" + std::string(150, 'x') + ".txt";
  cCPUid e(std::make_unique<platform::cReplayProcessorServices>(
               std::vector<platform::tCpuidRecording>{RecordingOf(RaptorLakeStore(0, false)),
                                                      RecordingOf(RaptorLakeStore(48, true))},
               std::vector<platform::tRecordingSource>{{longName, 0}, {"short.txt", 1}}),
           true);
  const std::string text = TextReport(e, tHardwareAccess::NotTried);
  EXPECT_NE(text.find("  Listing                         /tmp/xxx"), std::string::npos);
  const std::size_t machine = text.find("\nMachine\n  Listing                         /tmp/");
  ASSERT_NE(machine, std::string::npos);
  EXPECT_LT(machine, text.find("===="));
  std::size_t widest = 0, lines = 0;
  for (std::size_t at = 0, end; (end = text.find('\n', at)) != std::string::npos; at = end + 1) {
    widest = std::max(widest, end - at);
    ++lines;
  }
  EXPECT_LE(widest, 100u);
  EXPECT_GT(lines, 50u);
}

}  // namespace

namespace {

// Firmware tables as a machine offers them: none, refused, or a processor entry.
class tTablesSource final : public ISMBIOSSource {
 public:
  enum class tOffer { Nothing, Refused, Tables };
  explicit tTablesSource(tOffer offer) : offer_(offer) {}
  bool KernelTables(std::vector<std::uint8_t>& entryPoint,
                    std::vector<std::uint8_t>& table) override {
    if (offer_ != tOffer::Tables) return false;
    // A 3.0 entry point and one processor structure (type 4, length 0x2A), then the end.
    entryPoint = {'_', 'S', 'M', '3', '_', 0, 0x18, 3, 0, 0, 1, 0};
    entryPoint.resize(0x18, 0);
    table.assign(0x2A, 0);
    table[0] = 4;
    table[1] = 0x2A;
    table.insert(table.end(), {0, 0, 127, 4, 0, 0, 0, 0});
    entryPoint[0x0C] = static_cast<std::uint8_t>(table.size());
    return true;
  }
  bool BIOSArea(std::vector<std::uint8_t>&) override { return false; }
  bool ReadPhysical(std::uint64_t, std::size_t, std::vector<std::uint8_t>&) override {
    return false;
  }
  bool PermissionDenied() const override { return offer_ == tOffer::Refused; }

 private:
  tOffer offer_;
};

TEST(Reports, SayWhatBecameOfTheFirmwareTables) {
  using tOffer = tTablesSource::tOffer;
  struct Case {
    bool skip;
    std::optional<tOffer> offer;  // none: recorded processors, no machine behind them
    const char* word;
    const char* line;
  };
  const Case cases[] = {
      {false, tOffer::Tables, "read", "read"},
      {true, tOffer::Tables, "skipped", "skipped (-nodmi)"},
      {false, std::nullopt, "recorded", "not read: recorded processors carry none"},
      {false, tOffer::Nothing, "no tables", "not available: this machine offers none"},
      {false, tOffer::Refused, "no permission",
       "not available: no permission to read them (root may)"},
  };
  const platform::tCpuidRecording recording = RecordingOf(tRawCpu::Intel(6, 7, 1).Data());
  for (const Case& c : cases) {
    SCOPED_TRACE(c.word);
    std::unique_ptr<ISMBIOSSource> source;
    if (c.offer) source = std::make_unique<tTablesSource>(*c.offer);
    const cCPUid engine(std::make_unique<platform::cReplayProcessorServices>(
                            std::vector<platform::tCpuidRecording>{recording}),
                        c.skip, std::move(source));
    const std::string json = JsonReport(engine, false);
    EXPECT_NE(json.find(std::string("\"smbios\": \"") + c.word + "\","), std::string::npos);
    const bool read = std::string_view(c.word) == "read";
    EXPECT_NE(json.find(read ? "\"nodmi\": false," : "\"nodmi\": true,"), std::string::npos);
    const std::string text = TextReport(engine, tHardwareAccess::NotTried, "", {});
    const std::size_t at = text.find("\n  SMBIOS ");
    ASSERT_NE(at, std::string::npos) << text.substr(0, 300);
    const std::size_t end = text.find('\n', at + 1);
    const std::string line = text.substr(at + 1, end - at - 1);
    EXPECT_EQ(line.substr(line.find_first_not_of(' ', 8)), c.line);
  }
}

}  // namespace
