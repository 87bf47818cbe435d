#include "routes/compare_run.h"

#include <gtest/gtest.h>

#include <string>

#include "files/file_error.h"
#include "test_files.h"

namespace kestrelon::routes {
namespace {

using namespace kestrelon::testing;

const std::string kBefore =
    "R1#show ip route\r\n"
    "C       10.1.0.0/16 is directly connected, E0\r\n"
    "S       10.2.0.0/16 [1/0] via 10.1.0.9\r\n";
const std::string kAfter = "R1#show ip route\r\nC       10.1.0.0/16 is directly connected, E0\r\n";

// a.log and b.log in a folder of their own, compared into b.dif, the sort results kept as a.s
// and b.s; the private folders go into tmp.
struct Fixture {
  TempDir dir, tmp;
  ScopedTmpdir tmpdir{tmp.path()};
  CompareRequest request;
  Fixture() {
    WriteFile(dir / "a.log", kBefore);
    WriteFile(dir / "b.log", kAfter);
    request.inputs = {dir / "a.log", dir / "b.log"};
    request.sortResults = {dir / "a.s", dir / "b.s"};
    request.diffFile = dir / "b.dif";
    request.headerNames = {"a.log", "b.log"};
    request.keepSortResults = true;
  }
  std::int64_t Run(CompareHooks&& hooks = CompareHooks()) {
    RouteLineParser parser;
    SortPipeline pipeline(parser);
    return RunCompare(pipeline, request, hooks);
  }
  // The FileError of the run and its path; the run must fail.
  std::string FailingPath() {
    try {
      Run();
    } catch (const FileError& error) {
      return error.path();
    }
    ADD_FAILURE() << "no FileError";
    return "";
  }
};

// Each case is refused by one check alone, so removing any check fails its case.
const struct {
  const char* name;
  int field;  // 0 the difference file, 1 or 2 a sort result
  const char* given;
} kRefusedNames[] = {
    {"result is input 1", 0, "a.log"},
    {"result is input 2", 0, "./b.log"},
    {"result is kept sort 1", 0, "a.s"},
    {"result is kept sort 2", 0, "b.s"},
    {"kept sort 1 is input 2", 1, "b.log"},
    {"kept sort 2 is input 1", 2, "a.log"},
    {"kept sort 1 is input 1", 1, "x/../a.log"},
    {"kept sort 2 is input 2", 2, "b.log"},
    {"kept sorts alike", 2, "a.s"},
};

TEST(CompareRun, NamesThatWouldReplaceAFileItReadsAreRefusedBeforeAnyWrite) {
  for (const auto& c : kRefusedNames) {
    SCOPED_TRACE(c.name);
    Fixture f;
    std::string& name = c.field == 0 ? f.request.diffFile : f.request.sortResults[c.field - 1];
    name = f.dir / c.given;
    EXPECT_EQ(f.FailingPath(), name);
    EXPECT_EQ(ListFolder(f.dir.path()), "a.log\nb.log\n");
    EXPECT_EQ(ReadFile(f.dir / "a.log"), kBefore);
    EXPECT_EQ(ReadFile(f.dir / "b.log"), kAfter);
  }
}

}  // namespace
}  // namespace kestrelon::routes
