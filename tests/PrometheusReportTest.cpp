// The metrics in Prometheus's text format: label values escaped as the format asks, one HELP
// and TYPE line a metric, the identification of each processor in its info labels, and only
// the clocks that were measured or reported.
#include "app/PrometheusReport.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/EngineFixtures.h"

namespace {

TEST(PrometheusReport, EscapesLabelValues) {
  const struct {
    std::string_view In;
    std::string_view Out;
  } rows[] = {
      {"plain", "plain"},
      {"a\"b", "a\\\"b"},
      {"back\\slash", "back\\\\slash"},
      {"two\nlines", "two\\nlines"},
      {std::string_view("nul\0!", 5), "nul\xEF\xBF\xBD!"},
      {"tab\t", "tab\xEF\xBF\xBD"},
      {"\xC2\xB5m", "\xC2\xB5m"},  // UTF-8 passes
  };
  for (const auto& row : rows)
    EXPECT_EQ(PrometheusLabelValue(row.In), row.Out) << row.In;
}

std::string NoMicrocode(int) {
  return "0xdeadbeef";
}

TEST(PrometheusReport, NamesEachProcessorAndLeavesOutWhatNobodyMeasured) {
  // Two processors of a Raptor Lake hybrid (x2APIC 0: a performance core, 48: an efficiency
  // core); leaf 0x16 reports 3500 / 5300 / 100 MHz.
  const auto engine = IdentifiedStores({RaptorLakeStore(0, false), RaptorLakeStore(48, true)});
  const std::string text = PrometheusReport(*engine, false, NoMicrocode);

  for (const char* metric : {"lumarian_cpu_info", "lumarian_cpu_frequency_hertz",
                             "lumarian_machine_threads", "lumarian_driver_loaded"}) {
    const std::string help = std::string("# HELP ") + metric + " ";
    const std::string type = std::string("# TYPE ") + metric + " gauge\n";
    EXPECT_EQ(text.find(help), text.rfind(help)) << metric;
    EXPECT_NE(text.find(type), std::string::npos) << metric;
  }
  EXPECT_NE(text.find("lumarian_cpu_info{cpu=\"1\",vendor=\"GenuineIntel\",family=\"6\","),
            std::string::npos)
      << text;
  EXPECT_NE(text.find(",core_type=\"efficiency\",microcode=\"\","), std::string::npos)
      << "a loaded processor's microcode is not this machine's";
  EXPECT_NE(text.find("lumarian_cpu_frequency_hertz{cpu=\"0\",kind=\"max\"} 5.3e+09\n"),
            std::string::npos);
  EXPECT_NE(text.find("lumarian_cpu_frequency_hertz{cpu=\"0\",kind=\"bus_reported\"} 1e+08\n"),
            std::string::npos);
  EXPECT_EQ(text.find("kind=\"tsc\""), std::string::npos) << "nothing measured a replay";
  EXPECT_EQ(text.find("lumarian_cpu_multiplier{"), std::string::npos);
  EXPECT_NE(text.find("lumarian_machine_processors 2\n"), std::string::npos);
  EXPECT_NE(text.find("lumarian_machine_cores_by_type{type=\"efficiency\"} 1\n"),
            std::string::npos);
  EXPECT_NE(text.find("lumarian_driver_loaded 0\n"), std::string::npos);
  EXPECT_EQ(text.back(), '\n');
}

}  // namespace
