#include "routes/table_sections.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kestrelon::routes {
namespace {

std::vector<std::string> Describe(std::string_view text) {
  std::vector<std::string> out;
  for (const TableSection& s : SplitTableSections(text)) {
    out.push_back((s.headed ? "[" + std::string(s.name) + "] " : "- ") + std::string(s.text));
  }
  return out;
}

TEST(TableSections, SplitAtEveryHeadingThatStartsALine) {
  EXPECT_EQ(Describe("R1#\r\nRouting Table:  red \r\nC x\r\nRouting Table: blue\rS y\r"),
            (std::vector<std::string>{"- R1#\r\n", "[red] Routing Table:  red \r\nC x\r\n",
                                      "[blue] Routing Table: blue\rS y\r"}));
  EXPECT_EQ(Describe("Routing Table: A\nx Routing Table: B\n"),
            (std::vector<std::string>{"[A] Routing Table: A\nx Routing Table: B\n"}));
  EXPECT_EQ(Describe("no heading\n"), (std::vector<std::string>{"- no heading\n"}));
  EXPECT_EQ(Describe(""), (std::vector<std::string>{}));
  EXPECT_EQ(Describe("Routing Table:"), (std::vector<std::string>{"[] Routing Table:"}));
}

TEST(TableSections, SeveralTablesNeedTwoHeadings) {
  EXPECT_FALSE(HasSeveralTables(SplitTableSections("R1#\nRouting Table: A\nC x\n")));
  EXPECT_TRUE(HasSeveralTables(SplitTableSections("Routing Table: A\nRouting Table: A\n")));
}

}  // namespace
}  // namespace kestrelon::routes
