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

const std::string kGolden = std::string(KESTRELON_TEST_DATA) + "/golden/";

// kind, input1, input2, key=N, filter=N,N..., expected
struct GoldenCase : std::vector<std::string> {};

void PrintTo(const GoldenCase& c, std::ostream* out) {
  *out << c[0] << " " << c[5];
}

std::vector<GoldenCase> LoadManifest() {
  std::ifstream in(kGolden + "MANIFEST.tsv");
  std::vector<GoldenCase> cases;
  std::string line;
  std::getline(in, line);  // column names
  while (std::getline(in, line)) {
    GoldenCase fields;
    std::istringstream row(line);
    for (std::string field; std::getline(row, field, '\t');) {
      fields.push_back(field);
    }
    if (fields.size() == 6) {
      cases.push_back(fields);
    }
  }
  return cases;
}

class GoldenCases : public ::testing::TestWithParam<GoldenCase> {};

TEST_P(GoldenCases, WriteTheExpectedBytes) {
  const GoldenCase& c = GetParam();
  SortOptions options;
  options.followOptions = c[0] != "sort-no-options";
  options.sortKey = {};
  options.sortKey[std::stoul(c[3].substr(4))] = true;
  options.infoDel = {};
  std::istringstream items(c[4].substr(7));
  for (std::string item; std::getline(items, item, ',');) {
    options.infoDel[std::stoul(item)] = true;
  }
  testing::TempDir dir;
  RouteLineParser parser;
  SortPipeline pipeline(parser);
  testing::WriteFile(dir / c[1], ReadFile(kGolden + c[1]));
  if (c[0] == "compare") {
    testing::WriteFile(dir / c[2], ReadFile(kGolden + c[2]));
    CompareRequest request;
    request.inputs = {dir / c[1], dir / c[2]};
    request.diffFile = dir / "out";
    request.headerNames = {c[1], c[2]};
    request.userOptions = options;
    RunCompare(pipeline, request);
  } else {
    pipeline.RunSort(1, dir / c[1], dir / "out", options);
  }
  EXPECT_EQ(ReadFile(dir / "out"), ReadFile(kGolden + c[5])) << c[5];
}

INSTANTIATE_TEST_SUITE_P(Golden, GoldenCases, ::testing::ValuesIn(LoadManifest()),
                         [](const ::testing::TestParamInfo<GoldenCase>& caseInfo) {
                           std::string name = caseInfo.param[5];
                           for (char& ch : name) {
                             ch = std::isalnum(static_cast<unsigned char>(ch)) ? ch : '_';
                           }
                           return name;
                         });

}  // namespace
}  // namespace kestrelon::routes
