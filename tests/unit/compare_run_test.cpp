#include "routes/compare_run.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "files/file_error.h"
#include "files/signal_cleanup.h"
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

// A kept sort result that outgrows the file size limit stops the compare while the merge waits
// for its entries on another thread: the earlier results stay, and nothing else is left. (The
// programs ignore SIGXFSZ, so the write fails with EFBIG.)
TEST(CompareRun, KeptSortResultFailingMidwayKeepsEverything) {
  Fixture f;
  std::string input;
  for (int i = 0; i < 4000; ++i) {
    input += "O       10." + std::to_string(i / 250) + "." + std::to_string(i % 250) +
             ".0/24 [110/20] via 10.255.0.1, 00:01:02, GigabitEthernet0/1\r\n";
  }
  WriteFile(f.dir / "a.log", input);
  WriteFile(f.dir / "b.log", input);
  WriteFile(f.dir / "b.s", "earlier\r\n");
  WriteFile(f.dir / "b.dif", "earlier\r\n");
  const pid_t child = ::fork();
  if (child == 0) {
    files::InstallSignalCleanup();
    const rlimit small{64 * 1024, 64 * 1024};
    ::setrlimit(RLIMIT_FSIZE, &small);
    try {
      f.Run();
    } catch (const FileError& error) {
      ::_exit(error.errnum() == EFBIG ? 3 : 4);
    }
    ::_exit(0);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 3) << status;
  EXPECT_EQ(ReadFile(f.dir / "a.log"), input);
  EXPECT_EQ(ReadFile(f.dir / "b.s"), "earlier\r\n");
  EXPECT_EQ(ReadFile(f.dir / "b.dif"), "earlier\r\n");
  EXPECT_EQ(ListFolder(f.dir.path()) + ListFolder(f.tmp.path()), "a.log\nb.dif\nb.log\nb.s\n");
}

}  // namespace
}  // namespace kestrelon::routes
