// The command line of kestrelon-cli. Each key name and filter reaching the core is shown by the
// golden cases run through the command line; here, the forms and the refusals.
#include "cli/cli_options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kestrelon::cli {
namespace {

using Args = std::vector<std::string>;

// A parsed command line in one line: mode, key, strip items, inputs, and what else it gives.
std::string Describe(const CommandLine& c) {
  const char* const modes[] = {"help", "version", "sort", "compare", "routes", "diff"};
  std::string text = modes[static_cast<int>(c.mode)];
  text += " key" + std::to_string(c.options.KeyNumber()) + " items";
  for (const bool item : c.options.infoDel) {
    text += item ? '1' : '0';
  }
  for (const std::string& input : c.inputs) {
    text += " <" + input + ">";
  }
  text += c.output ? " -o " + *c.output : "";
  text += c.keepSortedIn ? " keep " + *c.keepSortedIn : "";
  text += c.platform ? " " + std::string(tables::PlatformName(*c.platform)) : "";
  if (c.mode == Mode::kRoutes || c.mode == Mode::kDiff) {
    text += std::string(" format") + "jct"[static_cast<int>(c.format)];
  }
  text += c.verbose ? " verbose" : "";
  if (c.mode == Mode::kDiff) {
    text += " ignore";
    for (const tables::RouteField field : c.ignored.List()) {
      text += " " + std::string(tables::RouteFieldName(field));
    }
  }
  for (const std::string& vrf : c.vrfs) {
    text += " vrf " + vrf;
  }
  return text;
}

TEST(CliOptions, OptionForms) {
  const std::pair<Args, const char*> cases[] = {
      {{"compare", "a", "b"}, "compare key0 items100000 <a> <b>"},
      {{"sort", "--key=proto-next-hop", "in"}, "sort key5 items100000 <in>"},
      {{"sort", "in", "--key", "mask-dest"}, "sort key2 items100000 <in>"},
      {{"sort", "--strip", "cost,interface", "in"}, "sort key0 items010100 <in>"},
      {{"sort", "--strip=time,time", "--strip", "cost", "in"}, "sort key0 items001100 <in>"},
      {{"sort", "--dest-only", "--dest-only", "in"}, "sort key0 items000001 <in>"},
      {{"compare", "--dest-mask", "--", "--key", "-o"}, "compare key0 items000010 <--key> <-o>"},
      {{"sort", "-oout.txt", "-"}, "sort key0 items100000 <-> -o out.txt"},
      {{"sort", "--output", "out.txt", "-"}, "sort key0 items100000 <-> -o out.txt"},
      {{"sort", "-", "--output=out.txt"}, "sort key0 items100000 <-> -o out.txt"},
      {{"sort", "-o", "-", "in"}, "sort key0 items100000 <in>"},
      {{"compare", "--keep-sorted", "kept", "a", "--strip", "cost", "-", "-o", "d"},
       "compare key0 items000100 <a> <-> -o d keep kept"},
      {{"sort", "--", "--help"}, "sort key0 items100000 <--help>"},
      {{"routes", "a.log", "-", "b.log"}, "routes key0 items100000 <a.log> <-> <b.log> formatj"},
      {{"routes", "--platform=nxos", "--format", "csv", "--verbose", "-o", "out.csv", "a.log"},
       "routes key0 items100000 <a.log> -o out.csv nxos formatc verbose"},
      {{"routes", "--platform", "auto", "--format=text", "a"},
       "routes key0 items100000 <a> formatt"},
      {{"diff", "before.log", "-"}, "diff key0 items100000 <before.log> <-> formatt ignore uptime"},
      {{"diff", "--ignore=metric,interface,metric", "--vrf", "red", "--vrf=default", "--format",
        "json", "--platform", "eos", "a", "b"},
       "diff key0 items100000 <a> <b> eos formatj ignore metric interface vrf red vrf default"},
      {{"diff", "--ignore", "none", "a", "b"}, "diff key0 items100000 <a> <b> formatt ignore"},
  };
  for (const auto& [args, described] : cases) {
    const CommandLine command = ParseCommandLine(args);
    EXPECT_TRUE(command.options.followOptions);
    EXPECT_EQ(Describe(command), described) << ::testing::PrintToString(args);
  }
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
      {"routes"}, {"routes", "-", "-"}, {"routes", "--platform", "vms", "a"},
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

}  // namespace
}  // namespace kestrelon::cli
