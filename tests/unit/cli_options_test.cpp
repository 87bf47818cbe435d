#include "cli/cli_options.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

namespace kestrelon::cli {
namespace {

using Args = std::vector<std::string>;
using Items = std::array<bool, 6>;

TEST(CliOptions, KeyNamesGiveTheKeyNumbersInBothForms) {
  const char* names[] = {"dest",          "next-hop",   "mask-dest",
                         "mask-next-hop", "proto-dest", "proto-next-hop"};
  for (int k = 0; k < 6; ++k) {
    for (const Args& args : {Args{"sort", "--key", names[k], "in.log"},
                             Args{"sort", std::string("--key=") + names[k], "in.log"}}) {
      const CommandLine command = ParseCommandLine(args);
      EXPECT_TRUE(command.options.followOptions);
      EXPECT_EQ(command.options.KeyNumber(), k) << names[k];
      int checked = 0;
      for (bool item : command.options.sortKey) {
        checked += item ? 1 : 0;
      }
      EXPECT_EQ(checked, 1) << names[k];
    }
  }
  const CommandLine plain = ParseCommandLine({"compare", "a", "b"});
  EXPECT_TRUE(plain.options.followOptions);
  EXPECT_EQ(plain.options.KeyNumber(), 0);
  EXPECT_EQ(plain.options.infoDel, (Items{true, false, false, false, false, false}));
}

TEST(CliOptions, FilterOptionsCheckTheFilterItems) {
  struct Case {
    Args options;
    Items items;
  };
  const Case cases[] = {
      {{}, {true, false, false, false, false, false}},
      {{"--strip", "interface"}, {false, true, false, false, false, false}},
      {{"--strip=time"}, {false, false, true, false, false, false}},
      {{"--strip", "cost"}, {false, false, false, true, false, false}},
      {{"--strip", "cost,interface"}, {false, true, false, true, false, false}},
      {{"--strip", "time,time,cost"}, {false, false, true, true, false, false}},
      {{"--strip", "interface", "--strip", "time"}, {false, true, true, false, false, false}},
      {{"--strip=interface,time,cost"}, {false, true, true, true, false, false}},
      {{"--dest-mask"}, {false, false, false, false, true, false}},
      {{"--dest-only"}, {false, false, false, false, false, true}},
      {{"--dest-only", "--dest-only"}, {false, false, false, false, false, true}},
  };
  for (const Case& c : cases) {
    Args args{"sort"};
    args.insert(args.end(), c.options.begin(), c.options.end());
    args.push_back("in.log");
    const CommandLine command = ParseCommandLine(args);
    EXPECT_EQ(command.options.infoDel, c.items) << ::testing::PrintToString(c.options);
    EXPECT_TRUE(command.options.FilterActive());
  }
}

TEST(CliOptions, NamesOutputAndKeptFolder) {
  CommandLine command = ParseCommandLine({"sort", "-o", "out.txt", "-"});
  EXPECT_EQ(command.mode, Mode::kSort);
  EXPECT_EQ(command.inputs, (Args{"-"}));
  EXPECT_EQ(command.output, "out.txt");
  EXPECT_FALSE(command.keepSortedIn);

  for (const Args& args :
       {Args{"sort", "-oout.txt", "in"}, Args{"sort", "--output", "out.txt", "in"},
        Args{"sort", "in", "--output=out.txt"}}) {
    EXPECT_EQ(ParseCommandLine(args).output, "out.txt") << ::testing::PrintToString(args);
  }
  EXPECT_FALSE(ParseCommandLine({"sort", "-o", "-", "in"}).output);
  EXPECT_FALSE(ParseCommandLine({"sort", "in"}).output);

  command = ParseCommandLine(
      {"compare", "--keep-sorted", "kept", "before.log", "--strip", "cost", "-", "-o", "d.txt"});
  EXPECT_EQ(command.mode, Mode::kCompare);
  EXPECT_EQ(command.inputs, (Args{"before.log", "-"}));
  EXPECT_EQ(command.keepSortedIn, "kept");
  EXPECT_EQ(command.output, "d.txt");
  EXPECT_EQ(ParseCommandLine({"compare", "--keep-sorted=k/", "a", "b"}).keepSortedIn, "k/");
}

TEST(CliOptions, DoubleDashEndsTheOptions) {
  const CommandLine command = ParseCommandLine({"compare", "--dest-only", "--", "--key", "-o"});
  EXPECT_EQ(command.inputs, (Args{"--key", "-o"}));
  EXPECT_EQ(command.options.infoDel, (Items{false, false, false, false, false, true}));
  EXPECT_EQ(ParseCommandLine({"sort", "--", "--help"}).inputs, (Args{"--help"}));
  EXPECT_EQ(ParseCommandLine({"sort", "--", "-"}).inputs, (Args{"-"}));
}

TEST(CliOptions, HelpAndVersionWinBeforeDoubleDash) {
  EXPECT_EQ(ParseCommandLine({"--help"}).mode, Mode::kHelp);
  EXPECT_EQ(ParseCommandLine({"-h"}).mode, Mode::kHelp);
  EXPECT_EQ(ParseCommandLine({"--version"}).mode, Mode::kVersion);
  EXPECT_EQ(ParseCommandLine({"sort", "--key", "bogus", "--help"}).mode, Mode::kHelp);
  EXPECT_EQ(ParseCommandLine({"compare", "--version"}).mode, Mode::kVersion);
}

TEST(CliOptions, RefusesWhatCannotRun) {
  const Args bad[] = {
      {},
      {"sorted", "in"},
      {"--key", "dest", "sort", "in"},
      {"sort"},
      {"sort", "a", "b"},
      {"compare", "a"},
      {"compare", "a", "b", "c"},
      {"compare", "-", "-"},
      {"sort", ""},
      {"sort", "--frobnicate", "in"},
      {"sort", "-x", "in"},
      {"sort", "--key", "destination", "in"},
      {"sort", "--key=", "in"},
      {"sort", "in", "--key"},
      {"sort", "--key", "dest", "--key", "next-hop", "in"},
      {"sort", "--strip", "", "in"},
      {"sort", "--strip", "time,", "in"},
      {"sort", "--strip", ",cost", "in"},
      {"sort", "--strip", "interfaces", "in"},
      {"sort", "--strip", "Time", "in"},
      {"sort", "--strip", "time", "--dest-mask", "in"},
      {"sort", "--dest-only", "--strip", "cost", "in"},
      {"sort", "--dest-mask", "--dest-only", "in"},
      {"sort", "--dest-mask=yes", "in"},
      {"sort", "-o", "a", "-o", "b", "in"},
      {"sort", "in", "-o"},
      {"sort", "--keep-sorted", "dir", "in"},
      {"compare", "--keep-sorted", "-", "a", "b"},
      {"compare", "--keep-sorted", "d", "--keep-sorted", "e", "a", "b"},
  };
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

TEST(CliOptions, RoutesRefusesWhatCannotRun) {
  const Args bad[] = {
      {"routes"},
      {"routes", "-", "-"},
      {"routes", "--platform", "junos", "a"},
      {"routes", "--format", "xml", "a"},
      {"routes", "--format", "csv", "--format", "csv", "a"},
      {"routes", "--verbose=yes", "a"},
      {"routes", "--key", "dest", "a"},
      {"routes", "--strip", "time", "a"},
      {"routes", "--keep-sorted", "d", "a"},
      {"sort", "--platform", "ios", "a"},
      {"compare", "--format", "json", "a", "b"},
  };
  for (const Args& args : bad) {
    EXPECT_THROW(ParseCommandLine(args), UsageError) << ::testing::PrintToString(args);
  }
}

}  // namespace
}  // namespace kestrelon::cli
