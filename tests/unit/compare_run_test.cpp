#include "routes/compare_run.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "files/file_error.h"
#include "test_files.h"

namespace kestrelon::routes {
namespace {

using kestrelon::testing::ListFolder;
using kestrelon::testing::ReadFile;
using kestrelon::testing::ScopedTmpdir;
using kestrelon::testing::TempDir;
using kestrelon::testing::WriteFile;

const std::string kBefore =
    "R1#show ip route\r\n"
    "C       10.1.0.0/16 is directly connected, E0\r\n"
    "S       10.2.0.0/16 [1/0] via 10.1.0.9\r\n";
const std::string kAfter =
    "R1#show ip route\r\n"
    "C       10.1.0.0/16 is directly connected, E0\r\n";

// a.log and b.log in a folder of their own, compared into b.dif with the sort results kept as
// a.s and b.s.
struct Fixture {
  TempDir dir;
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
  std::int64_t Run() {
    RouteLineParser parser;
    SortPipeline pipeline(parser);
    return RunCompare(pipeline, request);
  }
};

struct NameCase {
  const char* name;
  std::function<void(CompareRequest&, const TempDir&)> spoil;
  int refused;  // which name the message gives: 0 the difference file, 1 or 2 a sort result
};

// Each case is refused by one check alone, so removing any check fails its case.
const NameCase kRefusedNames[] = {
    {"result is input 1", [](CompareRequest& r, const TempDir& d) { r.diffFile = d / "a.log"; }, 0},
    {"result is input 2", [](CompareRequest& r, const TempDir& d) { r.diffFile = d / "./b.log"; },
     0},
    {"result is kept sort 1", [](CompareRequest& r, const TempDir& d) { r.diffFile = d / "a.s"; },
     0},
    {"result is kept sort 2", [](CompareRequest& r, const TempDir& d) { r.diffFile = d / "b.s"; },
     0},
    {"kept sort 1 is input 2",
     [](CompareRequest& r, const TempDir& d) { r.sortResults[0] = d / "b.log"; }, 1},
    {"kept sort 2 is input 1",
     [](CompareRequest& r, const TempDir& d) { r.sortResults[1] = d / "a.log"; }, 2},
    {"kept sort 1 is input 1",
     [](CompareRequest& r, const TempDir& d) { r.sortResults[0] = d / "x/../a.log"; }, 1},
    {"kept sort 2 is input 2",
     [](CompareRequest& r, const TempDir& d) { r.sortResults[1] = d / "b.log"; }, 2},
    {"kept sorts alike", [](CompareRequest& r, const TempDir& d) { r.sortResults[1] = d / "a.s"; },
     2},
};

TEST(CompareRun, NamesThatWouldReplaceAFileItReadsAreRefusedBeforeAnyWrite) {
  for (const NameCase& c : kRefusedNames) {
    SCOPED_TRACE(c.name);
    Fixture f;
    c.spoil(f.request, f.dir);
    const std::string refused =
        c.refused == 0 ? f.request.diffFile : f.request.sortResults[c.refused - 1];
    try {
      f.Run();
      ADD_FAILURE() << "not refused";
    } catch (const FileError& error) {
      EXPECT_EQ(error.path(), refused);
    }
    EXPECT_EQ(ListFolder(f.dir.path()), "a.log\nb.log\n");
    EXPECT_EQ(ReadFile(f.dir / "a.log"), kBefore);
    EXPECT_EQ(ReadFile(f.dir / "b.log"), kAfter);
  }
}

// Sort results that are not kept are private files: their names may be anything, as with empty
// extensions on a fresh install, where sort result 2 and the difference file share a name.
TEST(CompareRun, NamesOfSortResultsThatAreNotKeptAreNotUsed) {
  for (const NameCase& c : kRefusedNames) {
    if (c.refused == 0 && std::string(c.name).find("input") != std::string::npos) {
      continue;  // the difference file may never replace an input
    }
    SCOPED_TRACE(c.name);
    Fixture f;
    f.request.keepSortResults = false;
    c.spoil(f.request, f.dir);
    EXPECT_EQ(f.Run(), 1);
    EXPECT_EQ(ReadFile(f.dir / "a.log"), kBefore);
    EXPECT_EQ(ReadFile(f.dir / "b.log"), kAfter);
    EXPECT_TRUE(ReadFile(f.request.diffFile).starts_with("前: a.log\r\n後: b.log\r\n"));
  }
}

TEST(CompareRun, FailureLeavesEarlierResultsAsTheyWere) {
  TempDir tmp;
  Fixture f;
  const ScopedTmpdir tmpdir(tmp.path());
  WriteFile(f.dir / "a.s", "earlier 1\n");
  WriteFile(f.dir / "b.s", "earlier 2\n");
  std::filesystem::create_directory(f.dir / "b.dif");
  try {
    f.Run();
    ADD_FAILURE() << "no error";
  } catch (const FileError& error) {
    EXPECT_EQ(error.path(), f.request.diffFile);
  }
  EXPECT_EQ(ReadFile(f.dir / "a.s"), "earlier 1\n");
  EXPECT_EQ(ReadFile(f.dir / "b.s"), "earlier 2\n");
  EXPECT_EQ(ListFolder(f.dir.path()), "a.log\na.s\nb.dif\nb.log\nb.s\n");
  EXPECT_EQ(ListFolder(tmp.path()), "");
}

// What the window sees: the forced options, each sort, the user's options again, also after a
// failure; nothing at all for refused names.
TEST(CompareRun, HooksSeeTheForcedOptionsEachSortAndTheRestore) {
  struct Recorder : CompareHooks {
    std::vector<std::string> calls;
    SortOptions forced;
    void OptionsForced(const SortOptions& options) override {
      forced = options;
      calls.push_back("forced");
    }
    void SortStarting(int side) override { calls.push_back("sort " + std::to_string(side)); }
    void OptionsRestored(const SortOptions& options) override {
      calls.push_back(options.infoDel[1] ? "restored" : "restored wrongly");
    }
  };
  SortOptions user;
  user.followOptions = false;
  user.sortKey = {false, true, false, false, false, false};
  user.infoDel = {false, true, false, false, false, false};
  const std::vector<std::string> all = {"forced", "sort 1", "sort 2", "restored"};
  for (const char* diffFile : {"b.dif", "no-such-folder/b.dif", "b.log"}) {
    SCOPED_TRACE(diffFile);
    Fixture f;
    f.request.userOptions = user;
    f.request.diffFile = f.dir / diffFile;
    Recorder recorder;
    RouteLineParser parser;
    SortPipeline pipeline(parser);
    const bool succeeds = std::string(diffFile) == "b.dif";
    if (succeeds) {
      EXPECT_EQ(RunCompare(pipeline, f.request, recorder), 1);
    } else {
      EXPECT_THROW(RunCompare(pipeline, f.request, recorder), FileError);
    }
    EXPECT_EQ(recorder.calls, std::string(diffFile) == "b.log" ? std::vector<std::string>{} : all);
    if (!recorder.calls.empty()) {
      EXPECT_TRUE(recorder.forced.followOptions);
      EXPECT_EQ(recorder.forced.KeyNumber(), 0);
      EXPECT_TRUE(recorder.forced.infoDel[1] && recorder.forced.infoDel[2]);
    }
  }
}

}  // namespace
}  // namespace kestrelon::routes
