// Every case of tests/data/golden/MANIFEST.tsv: a capture sorted or two compared, and the bytes
// the result must hold.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "routes/compare_run.h"
#include "routes/sort_pipeline.h"
#include "test_files.h"

namespace kestrelon::routes {
namespace {

using kestrelon::testing::ReadFile;
using kestrelon::testing::TempDir;

const std::string kGolden = std::string(KESTRELON_TEST_DATA) + "/golden/";

struct GoldenCase {
  std::string kind, input1, input2, key, filter, expected;
};

void PrintTo(const GoldenCase& c, std::ostream* out) {
  *out << c.kind << " " << c.expected;
}

std::vector<GoldenCase> LoadManifest() {
  std::ifstream in(kGolden + "MANIFEST.tsv");
  std::vector<GoldenCase> cases;
  std::string line;
  std::getline(in, line);  // column names
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    GoldenCase c;
    std::getline(fields, c.kind, '\t');
    std::getline(fields, c.input1, '\t');
    std::getline(fields, c.input2, '\t');
    std::getline(fields, c.key, '\t');
    std::getline(fields, c.filter, '\t');
    std::getline(fields, c.expected, '\t');
    if (!c.kind.empty()) {
      cases.push_back(c);
    }
  }
  return cases;
}

SortOptions OptionsOf(const GoldenCase& c) {
  SortOptions options;
  options.followOptions = c.kind != "sort-no-options";
  options.sortKey = {};
  options.sortKey[static_cast<std::size_t>(std::stoi(c.key.substr(4)))] = true;
  options.infoDel = {};
  std::istringstream items(c.filter.substr(7));
  for (std::string item; std::getline(items, item, ',');) {
    options.infoDel[static_cast<std::size_t>(std::stoi(item))] = true;
  }
  return options;
}

class GoldenCases : public ::testing::TestWithParam<GoldenCase> {};

TEST_P(GoldenCases, WriteTheExpectedBytes) {
  const GoldenCase& c = GetParam();
  TempDir dir;
  RouteLineParser parser;
  SortPipeline pipeline(parser);
  std::string written;
  if (c.kind == "compare") {
    testing::WriteFile(dir / c.input1, ReadFile(kGolden + c.input1));
    testing::WriteFile(dir / c.input2, ReadFile(kGolden + c.input2));
    CompareRequest request;
    request.inputs = {dir / c.input1, dir / c.input2};
    request.diffFile = dir / "a.dif";
    request.headerNames = {c.input1, c.input2};
    request.userOptions = OptionsOf(c);
    RunCompare(pipeline, request);
    written = ReadFile(dir / "a.dif");
  } else {
    testing::WriteFile(dir / c.input1, ReadFile(kGolden + c.input1));
    pipeline.RunSort(1, dir / c.input1, dir / "out.srt", OptionsOf(c));
    written = ReadFile(dir / "out.srt");
  }
  EXPECT_EQ(written, ReadFile(kGolden + c.expected)) << c.expected;
}

INSTANTIATE_TEST_SUITE_P(Golden, GoldenCases, ::testing::ValuesIn(LoadManifest()),
                         [](const ::testing::TestParamInfo<GoldenCase>& caseInfo) {
                           std::string name = caseInfo.param.expected;
                           for (char& ch : name) {
                             if (!isalnum(static_cast<unsigned char>(ch)))
                               ch = '_';
                           }
                           return name;
                         });

}  // namespace
}  // namespace kestrelon::routes
