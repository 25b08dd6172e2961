#include "app/CommandLine.h"

#include <gtest/gtest.h>

namespace {

tOptions Parsed(const std::vector<std::string_view>& args) {
  auto result = ParseCommandLine(args);
  if (const auto* error = std::get_if<std::string>(&result)) {
    ADD_FAILURE() << "rejected: " << *error;
    return {};
  }
  return std::get<tOptions>(result);
}

std::string Rejected(const std::vector<std::string_view>& args) {
  auto result = ParseCommandLine(args);
  if (std::holds_alternative<std::string>(result)) return std::get<std::string>(result);
  ADD_FAILURE() << "accepted";
  return {};
}

TEST(CommandLine, HonoursNoDmiOnlyAsTheFirstArgumentExactlyAsWritten) {
  EXPECT_TRUE(Parsed({"-nodmi"}).SkipDMI);
  EXPECT_TRUE(Parsed({"-nodmi", "--report"}).SkipDMI);
  EXPECT_FALSE(Parsed({"--report", "-nodmi"}).SkipDMI);
  EXPECT_FALSE(Parsed({}).SkipDMI);
  EXPECT_NE(Rejected({"-NODMI"}).find("-NODMI"), std::string::npos);
  EXPECT_NE(Rejected({"--nodmi"}).find("--nodmi"), std::string::npos);
}

TEST(CommandLine, NoDriverLeadsOrFollowsALeadingNoDmiAndNoDmiStaysFirstOnly) {
  struct {
    std::vector<std::string_view> args;
    bool skipDmi, noDriver;
  } const rows[] = {
      {{"-nodriver"}, false, true},
      {{"-nodriver", "--report"}, false, true},
      {{"-nodmi", "-nodriver"}, true, true},
      {{"-nodmi", "-nodriver", "--report"}, true, true},
      // -nodmi keeps its one place: second is too late for it.
      {{"-nodriver", "-nodmi"}, false, true},
      {{"--report", "-nodriver"}, false, false},
      {{"-nodmi", "--report", "-nodriver"}, true, false},
      {{"-nodriver", "-nodriver"}, false, true},
  };
  for (const auto& row : rows) {
    const tOptions options = Parsed(row.args);
    EXPECT_EQ(options.SkipDMI, row.skipDmi) << row.args.size() << " " << row.args[0];
    EXPECT_EQ(options.NoDriver, row.noDriver) << row.args.size() << " " << row.args[0];
  }
  EXPECT_NE(Rejected({"-NODRIVER"}).find("-NODRIVER"), std::string::npos);
}

TEST(CommandLine, KeepsLoadFilesInTheOrderGiven) {
  const tOptions options = Parsed({"--load", "b.txt", "--report", "--load=a.txt", "--load", "-x"});
  EXPECT_TRUE(options.Report);
  EXPECT_EQ(options.LoadFiles, (std::vector<std::string>{"b.txt", "a.txt", "-x"}));
}

TEST(CommandLine, RejectsWhatItCannotUseWithAReasonNamingIt) {
  struct Case {
    std::vector<std::string_view> args;
    const char* named;
  };
  const Case cases[] = {
      {{"--load"}, "--load"},
      {{"--report", "--load"}, "--load"},
      {{"--load="}, "--load"},
      {{"--json"}, "--json"},
      {{"--report", "--xml"}, "--xml"},
      {{"report"}, "report"},
      {{"-"}, "'-'"},
      {{"--explain", "--report"}, "--explain"},
      {{"--dump", "--explain"}, "--explain"},
      {{"--decode", "--report"}, "--decode"},
      {{"--dump", "--decode"}, "--decode"},
  };
  for (const Case& c : cases) {
    const std::string reason = Rejected(c.args);
    EXPECT_NE(reason.find(c.named), std::string::npos) << reason;
    EXPECT_EQ(reason.find('\n'), std::string::npos) << "one line: " << reason;
  }
}

TEST(CommandLine, FormatsGoWithWhatTheyWrite) {
  struct {
    std::vector<std::string_view> args;
    tFormat format;
    bool json;
  } const accepted[] = {
      {{"--report", "--format", "prometheus"}, tFormat::Prometheus, false},
      {{"--report", "--format", "json"}, tFormat::Json, true},
      {{"--report", "--json", "--format", "json"}, tFormat::Json, true},
      {{"--report", "--format", "text"}, tFormat::Text, false},
      {{"--summary", "--json", "--load", "a"}, tFormat::Json, true},
      {{"--dump", "--format", "cpuid"}, tFormat::Cpuid, false},
      {{"--dump", "--format", "hwloc", "--output", "d"}, tFormat::Hwloc, false},
  };
  for (const auto& row : accepted) {
    const tOptions options = Parsed(row.args);
    EXPECT_EQ(options.Format, row.format) << row.args[1];
    EXPECT_EQ(options.Json, row.json) << row.args[1];
  }
  EXPECT_EQ(Parsed({"--dump", "--format", "hwloc", "--output", "d"}).Output, "d");
  EXPECT_TRUE(Parsed({"--summary", "--load", "a", "--load", "b"}).Summary);

  struct {
    std::vector<std::string_view> args;
    const char* named;
  } const refused[] = {
      {{"--report", "--format"}, "--format"},
      {{"--report", "--format", "xml"}, "'xml'"},
      {{"--report", "--format", "hwloc"}, "--dump"},
      {{"--dump", "--format", "prometheus"}, "--report"},
      {{"--format", "json"}, "--report or --summary"},
      {{"--report", "--json", "--format", "prometheus"}, "disagree"},
      {{"--report", "--format", "json", "--format", "text"}, "two different"},
      {{"--dump", "--format", "hwloc"}, "--output"},
      {{"--dump", "--output", "d"}, "--output"},
      {{"--dump", "--format", "hwloc", "--output"}, "--output"},
      {{"--summary"}, "--load"},
      {{"--summary", "--report", "--load", "a"}, "--summary"},
      {{"--summary", "--format", "prometheus", "--load", "a"}, "prometheus"},
  };
  for (const auto& row : refused) {
    const std::string reason = Rejected(row.args);
    EXPECT_NE(reason.find(row.named), std::string::npos) << reason;
  }
}

TEST(CommandLine, ReportJsonHelpAndVersionAreFlags) {
  const tOptions options = Parsed({"--report", "--json", "--help", "--version"});
  EXPECT_TRUE(options.Report && options.Json && options.Help && options.Version);
  EXPECT_TRUE(Parsed({"-h"}).Help);
  EXPECT_TRUE(Parsed({"--explain", "--load", "x.txt"}).Explain);
}

}  // namespace

namespace {

TEST(CommandLine, DecodeTakesLoadedListingsAndIsNamedInTheHelp) {
  const tOptions options = Parsed({"--decode", "--load", "a.txt"});
  EXPECT_TRUE(options.Decode);
  EXPECT_FALSE(options.Report);
  EXPECT_EQ(options.LoadFiles, (std::vector<std::string>{"a.txt"}));
  EXPECT_NE(UsageText().find("  --decode "), std::string::npos);
}

}  // namespace
