#include "names/batch_args.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kestrelon::names {
namespace {

TEST(BatchArgs, SplitsTheTextIntoTwoNames) {
  const struct {
    std::string text;
    bool firstGiven;
    std::string first;
    bool secondGiven;
    std::string second;
  } cases[] = {
      {"", false, "", false, ""},
      {"a.log", true, "a.log", false, ""},
      {"a.log    b.log c.log", true, "a.log", true, "b.log"},  // blanks act as one; a third goes
      {"\"my dir\\a.log\" \"your dir\\b.log\"", true, "my dir\\a.log", true, "your dir\\b.log"},
      {"\"a.log\"   \"b.log\" \"c\"", true, "a.log", true, "b.log"},
      {"x.log \"a b.log", true, "x.log", true, "a b.log"},  // an unclosed quote runs to the end
      {"a\"b c\"d e", true, "ab c", true, "d"},             // a quote switches the delimiter
      {"\"\" \"b.log\"", true, "", true, "b.log"},
      {" a.log", true, "", true, "a.log"},  // a leading blank completes an empty name
      {"\"", false, "", false, ""},
      {"a.log \"", true, "a.log", false, ""},
      {"a\tb", true, "a\tb", false, ""},  // tabs are no blanks here
  };
  for (const auto& c : cases) {
    const BatchNames n = SplitBatchArguments(c.text);
    EXPECT_EQ(std::tie(n.firstGiven, n.first, n.secondGiven, n.second),
              std::tie(c.firstGiven, c.first, c.secondGiven, c.second))
        << c.text;
  }
}

TEST(BatchArgs, JoinedArgumentsSplitBackWhole) {
  EXPECT_EQ(JoinArguments({"my dir/a.log", "b.log"}), "\"my dir/a.log\" \"b.log\"");
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {"a.log"}, {"my dir/a.log", "your  dir/b.log"}, {"a", "b", "c"}, {"", "b.log"}}) {
    const BatchNames n = SplitBatchArguments(JoinArguments(args));
    EXPECT_TRUE(n.firstGiven);
    EXPECT_EQ(n.first, args[0]);
    EXPECT_EQ(n.secondGiven, args.size() > 1);
    EXPECT_EQ(n.second, args.size() > 1 ? args[1] : "");
  }
}

}  // namespace
}  // namespace kestrelon::names
