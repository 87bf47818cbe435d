#include "names/batch_args.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kestrelon::names {
namespace {

void ExpectNames(std::string_view text, bool firstGiven, const std::string& first, bool secondGiven,
                 const std::string& second) {
  SCOPED_TRACE(std::string(text));
  BatchNames n = SplitBatchArguments(text);
  EXPECT_EQ(n.firstGiven, firstGiven);
  EXPECT_EQ(n.first, first);
  EXPECT_EQ(n.secondGiven, secondGiven);
  EXPECT_EQ(n.second, second);
}

TEST(BatchArgs, OneName) {
  ExpectNames("a.log", true, "a.log", false, "");
}

TEST(BatchArgs, TwoNames) {
  ExpectNames("a.log b.log", true, "a.log", true, "b.log");
}

TEST(BatchArgs, QuotedNamesKeepTheirBlanks) {
  ExpectNames("\"my dir\\a.log\"", true, "my dir\\a.log", false, "");
  ExpectNames("\"my dir\\a.log\" \"your dir\\b.log\"", true, "my dir\\a.log", true,
              "your dir\\b.log");
  ExpectNames("\"my dir/a.log\" b.log", true, "my dir/a.log", true, "b.log");
}

TEST(BatchArgs, SeveralBlanksActAsOne) {
  ExpectNames("a.log    b.log", true, "a.log", true, "b.log");
  ExpectNames("\"a.log\"   \"b.log\"", true, "a.log", true, "b.log");
}

TEST(BatchArgs, ThirdNameIsIgnored) {
  ExpectNames("a.log b.log c.log", true, "a.log", true, "b.log");
  ExpectNames("\"a\" \"b\" \"c\"", true, "a", true, "b");
}

TEST(BatchArgs, UnclosedQuoteRunsToTheEnd) {
  ExpectNames("\"a b.log", true, "a b.log", false, "");
  ExpectNames("x.log \"a b.log", true, "x.log", true, "a b.log");
}

TEST(BatchArgs, QuoteInTheMiddleSwitchesTheDelimiter) {
  ExpectNames("a\"b c\"d e", true, "ab c", true, "d");
  ExpectNames("my\" dir\\a.log\" b.log", true, "my dir\\a.log", true, "b.log");
}

TEST(BatchArgs, EmptyText) {
  ExpectNames("", false, "", false, "");
}

TEST(BatchArgs, EmptyQuotedNameIsGiven) {
  ExpectNames("\"\"", true, "", false, "");
  ExpectNames("\"\" \"b.log\"", true, "", true, "b.log");
}

TEST(BatchArgs, LiteralQuirksOfTheSplitter) {
  // A leading blank completes an empty first name at once.
  ExpectNames(" a.log", true, "", true, "a.log");
  // A text that ends right after an opening quote completes no name.
  ExpectNames("\"", false, "", false, "");
  ExpectNames("a.log \"", true, "a.log", false, "");
  // Tabs are not blanks here.
  ExpectNames("a\tb", true, "a\tb", false, "");
}

TEST(BatchArgs, JoinArgumentsQuotesEachArgument) {
  EXPECT_EQ(JoinArguments({}), "");
  EXPECT_EQ(JoinArguments({"a.log"}), "\"a.log\"");
  EXPECT_EQ(JoinArguments({"my dir/a.log", "b.log"}), "\"my dir/a.log\" \"b.log\"");
  EXPECT_EQ(JoinArguments({""}), "\"\"");
}

TEST(BatchArgs, JoinedArgumentsSplitBackWhole) {
  const std::vector<std::vector<std::string>> cases = {
      {"a.log"}, {"my dir/a.log", "your  dir/b.log"}, {"a", "b", "c"}, {"", "b.log"}};
  for (const auto& args : cases) {
    BatchNames n = SplitBatchArguments(JoinArguments(args));
    EXPECT_TRUE(n.firstGiven);
    EXPECT_EQ(n.first, args[0]);
    EXPECT_EQ(n.secondGiven, args.size() > 1);
    EXPECT_EQ(n.second, args.size() > 1 ? args[1] : "");
  }
}

}  // namespace
}  // namespace kestrelon::names
