// The command line of kestrelon-cli. Each key name and filter reaching the core is shown by the
// golden cases run through the command line; here, the forms and the refusals.
#include "cli/cli_options.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

namespace kestrelon::cli {
namespace {

using Args = std::vector<std::string>;
using Items = std::array<bool, 6>;

TEST(CliOptions, OptionForms) {
  const struct {
    Args args;
    int key;
    Items items;
  } cases[] = {
      {{"compare", "a", "b"}, 0, {true, false, false, false, false, false}},
      {{"sort", "--key=proto-next-hop", "in"}, 5, {true, false, false, false, false, false}},
      {{"sort", "in", "--key", "mask-dest"}, 2, {true, false, false, false, false, false}},
      {{"sort", "--strip", "cost,interface", "in"}, 0, {false, true, false, true, false, false}},
      {{"sort", "--strip=time,time", "--strip", "cost", "in"},
       0,
       {false, false, true, true, false, false}},
      {{"sort", "--dest-only", "--dest-only", "in"}, 0, {false, false, false, false, false, true}},
      {{"compare", "--dest-mask", "--", "--key", "-o"},
       0,
       {false, false, false, false, true, false}},
  };
  for (const auto& c : cases) {
    const CommandLine command = ParseCommandLine(c.args);
    EXPECT_TRUE(command.options.followOptions);
    EXPECT_EQ(command.options.KeyNumber(), c.key) << ::testing::PrintToString(c.args);
    EXPECT_EQ(command.options.infoDel, c.items) << ::testing::PrintToString(c.args);
  }
}

TEST(CliOptions, NamesOutputAndKeptFolder) {
  for (const Args& args : {Args{"sort", "-oout.txt", "-"}, Args{"sort", "--output", "out.txt", "-"},
                           Args{"sort", "-", "--output=out.txt"}}) {
    const CommandLine command = ParseCommandLine(args);
    EXPECT_EQ(command.mode, Mode::kSort);
    EXPECT_EQ(command.inputs, Args{"-"});
    EXPECT_EQ(command.output, "out.txt") << ::testing::PrintToString(args);
    EXPECT_FALSE(command.keepSortedIn);
  }
  EXPECT_FALSE(ParseCommandLine({"sort", "-o", "-", "in"}).output);
  const CommandLine command = ParseCommandLine(
      {"compare", "--keep-sorted", "kept", "a", "--strip", "cost", "-", "-o", "d"});
  EXPECT_EQ(command.mode, Mode::kCompare);
  EXPECT_EQ(command.inputs, (Args{"a", "-"}));
  EXPECT_EQ(command.keepSortedIn, "kept");
  EXPECT_EQ(command.output, "d");
  EXPECT_EQ(ParseCommandLine({"sort", "--", "--help"}).inputs, Args{"--help"});
}

TEST(CliOptions, HelpAndVersionWinBeforeDoubleDash) {
  EXPECT_EQ(ParseCommandLine({"-h"}).mode, Mode::kHelp);
  EXPECT_EQ(ParseCommandLine({"sort", "--key", "bogus", "--help"}).mode, Mode::kHelp);
  EXPECT_EQ(ParseCommandLine({"compare", "--version"}).mode, Mode::kVersion);
}

TEST(CliOptions, RefusesWhatCannotRun) {
  // clang-format off
  const Args bad[] = {
      {}, {"sorted", "in"}, {"--key", "dest", "sort", "in"}, {"sort"}, {"sort", "a", "b"},
      {"compare", "a"}, {"compare", "a", "b", "c"}, {"compare", "-", "-"}, {"sort", ""},
      {"sort", "--frobnicate", "in"}, {"sort", "-x", "in"}, {"sort", "--key", "destination", "in"},
      {"sort", "--key=", "in"}, {"sort", "in", "--key"},
      {"sort", "--key", "dest", "--key", "next-hop", "in"}, {"sort", "--strip", "", "in"},
      {"sort", "--strip", "time,", "in"}, {"sort", "--strip", ",cost", "in"},
      {"sort", "--strip", "interfaces", "in"}, {"sort", "--strip", "Time", "in"},
      {"sort", "--strip", "time", "--dest-mask", "in"},
      {"sort", "--dest-only", "--strip", "cost", "in"}, {"sort", "--dest-mask", "--dest-only", "in"},
      {"sort", "--dest-mask=yes", "in"}, {"sort", "-o", "a", "-o", "b", "in"}, {"sort", "in", "-o"},
      {"sort", "--keep-sorted", "dir", "in"}, {"compare", "--keep-sorted", "-", "a", "b"},
      {"compare", "--keep-sorted", "d", "--keep-sorted", "e", "a", "b"},
      {"routes"}, {"routes", "-", "-"}, {"routes", "--platform", "junos", "a"},
      {"routes", "--format", "xml", "a"}, {"routes", "--format", "csv", "--format", "csv", "a"},
      {"routes", "--verbose=yes", "a"}, {"routes", "--key", "dest", "a"},
      {"routes", "--strip", "time", "a"}, {"routes", "--keep-sorted", "d", "a"},
      {"sort", "--platform", "ios", "a"}, {"compare", "--format", "json", "a", "b"},
      {"diff", "a"}, {"diff", "a", "b", "c"}, {"diff", "-", "-"}, {"diff", "--ignore", "", "a", "b"},
      {"diff", "--ignore", "uptime,", "a", "b"}, {"diff", "--ignore", "none,metric", "a", "b"},
      {"diff", "--ignore", "interfaces", "a", "b"},
      {"diff", "--ignore", "metric", "--ignore", "uptime", "a", "b"}, {"diff", "--vrf", "", "a", "b"},
      {"diff", "--verbose", "a", "b"}, {"diff", "--key", "dest", "a", "b"},
      {"diff", "--keep-sorted", "d", "a", "b"}, {"routes", "--ignore", "uptime", "a"},
      {"compare", "--vrf", "red", "a", "b"}};
  // clang-format on
  for (const Args& args : bad) {
    EXPECT_THROW(ParseCommandLine(args), UsageError) << ::testing::PrintToString(args);
  }
}

TEST(CliOptions, RoutesTakesPlatformFormatVerboseAndSeveralInputs) {
  CommandLine command = ParseCommandLine({"routes", "a.log", "-", "b.log"});
  EXPECT_EQ(command.mode, Mode::kRoutes);
  EXPECT_EQ(command.inputs, (Args{"a.log", "-", "b.log"}));
  EXPECT_FALSE(command.platform);  // auto
  EXPECT_EQ(command.format, RoutesFormat::kJson);
  EXPECT_FALSE(command.verbose);

  command = ParseCommandLine(
      {"routes", "--platform=nxos", "--format", "csv", "--verbose", "-o", "out.csv", "a.log"});
  EXPECT_EQ(command.platform, tables::Platform::kNxos);
  EXPECT_EQ(command.format, RoutesFormat::kCsv);
  EXPECT_TRUE(command.verbose);
  EXPECT_EQ(command.output, "out.csv");
  EXPECT_FALSE(ParseCommandLine({"routes", "--platform", "auto", "a"}).platform);
  EXPECT_EQ(ParseCommandLine({"routes", "--format=text", "a"}).format, RoutesFormat::kText);
}

TEST(CliOptions, DiffTakesIgnoredFieldsVrfsAndTwoInputs) {
  using tables::RouteField;
  CommandLine command = ParseCommandLine({"diff", "before.log", "-"});
  EXPECT_EQ(command.mode, Mode::kDiff);
  EXPECT_EQ(command.inputs, (Args{"before.log", "-"}));
  EXPECT_EQ(command.format, RoutesFormat::kText);
  EXPECT_EQ(command.ignored, tables::RouteFields{RouteField::kUptime});
  EXPECT_TRUE(command.vrfs.empty());

  command = ParseCommandLine({"diff", "--ignore=metric,interface,metric", "--vrf", "red",
                              "--vrf=default", "--format", "json", "--platform", "eos", "a", "b"});
  EXPECT_EQ(command.ignored, (tables::RouteFields{RouteField::kMetric, RouteField::kInterface}));
  EXPECT_EQ(command.vrfs, (Args{"red", "default"}));
  EXPECT_EQ(command.format, RoutesFormat::kJson);
  EXPECT_EQ(command.platform, tables::Platform::kEos);
  EXPECT_TRUE(ParseCommandLine({"diff", "--ignore", "none", "a", "b"}).ignored.Empty());
}

}  // namespace
}  // namespace kestrelon::cli
