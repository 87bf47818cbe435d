// Bad inputs and failing file operations through the whole sort and compare, each in a fresh
// folder: the run either gives a sound result or fails with FileError, and in every case the
// inputs keep their bytes and nothing half-written is left behind.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <random>
#include <string>

#include "files/file_error.h"
#include "files/line_sink.h"
#include "files/signal_cleanup.h"
#include "routes/compare_run.h"
#include "routes/route_compare.h"
#include "routes/sort_pipeline.h"
#include "routes/staging.h"
#include "test_files.h"

namespace kestrelon::routes {
namespace {

using kestrelon::testing::Exists;
using kestrelon::testing::ListFolder;
using kestrelon::testing::ReadFile;
using kestrelon::testing::TempDir;
using kestrelon::testing::WriteFile;

const std::string kCapture =
    "r1#show ip route\r\n"
    "Codes: C - connected, S - static, O - OSPF\r\n"
    "\r\n"
    "Gateway of last resort is 10.0.0.1 to network 0.0.0.0\r\n"
    "\r\n"
    "     172.16.0.0/24 is subnetted, 2 subnets\r\n"
    "C       172.16.1.0 is directly connected, Ethernet0\r\n"
    "O       10.1.1.0/24 [110/20] via 10.2.2.2, 00:01:02, Ethernet0\r\n"
    "                    [110/20] via 10.3.3.3, 00:01:02, Ethernet1\r\n"
    "S*   0.0.0.0/0 [1/0] via 10.0.0.1\r\n"
    "r1#\r\n";

SortOptions Filtered() {
  SortOptions options;
  options.followOptions = true;
  options.infoDel = {false, true, true, true, false, false};
  return options;
}

void Sort(const std::string& input, const std::string& result,
          const SortOptions& options = SortOptions()) {
  RouteLineParser parser;
  SortPipeline pipeline(parser);
  pipeline.RunSort(1, input, result, options);
}

// A compare of before.log and after.log in dir, with the usual names beside them.
CompareRequest Request(const TempDir& dir) {
  CompareRequest request;
  request.inputs = {dir / "before.log", dir / "after.log"};
  request.sortResults = {dir / "before.srt", dir / "after.srt"};
  request.diffFile = dir / "after.dif";
  return request;
}

std::int64_t Compare(const CompareRequest& request) {
  RouteLineParser parser;
  SortPipeline pipeline(parser);
  return RunCompare(pipeline, request);
}

std::string Equivalent(const CompareRequest& request) {
  return "前: " + request.inputs[0] + "\r\n後: " + request.inputs[1] + "\r\n\r\n同等です\r\n";
}

// The FileError that action throws; fails the test when it throws none.
FileError ErrorOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const FileError& error) {
    return error;
  }
  ADD_FAILURE() << "no FileError";
  return FileError("none", "", 0);
}

// Random bytes with runs of NULs and every other byte value, the same on every run.
std::string BinaryBytes(std::size_t size) {
  std::mt19937 random(20240611);
  std::string bytes(size, '\0');
  for (std::size_t i = 0; i < size; ++i) {
    bytes[i] = (i / 512) % 3 == 0 ? '\0' : static_cast<char>(random() & 0xFF);
  }
  return bytes;
}

TEST(ReliabilityCore, EmptyFileSortsToNothingAndItsCompareIsRefused) {
  TempDir dir;
  WriteFile(dir / "cap.log", "");
  Sort(dir / "cap.log", dir / "cap.srt");
  EXPECT_EQ(ReadFile(dir / "cap.srt"), "");
  EXPECT_EQ(ReadFile(dir / "cap.log"), "");
  EXPECT_EQ(ListFolder(dir.path()), "cap.log\ncap.srt\n");

  TempDir compareDir;
  const CompareRequest request = Request(compareDir);
  WriteFile(request.inputs[0], "");
  WriteFile(request.inputs[1], "");
  EXPECT_THROW(Compare(request), FileError);
  EXPECT_EQ(ListFolder(compareDir.path()), "after.log\nbefore.log\n");
}

TEST(ReliabilityCore, BinaryFileGivesOneLineForEachStagedLine) {
  TempDir dir;
  const std::string bytes = BinaryBytes(256 * 1024);
  WriteFile(dir / "cap.log", bytes);
  Sort(dir / "cap.log", dir / "cap.srt", Filtered());
  EXPECT_EQ(ReadFile(dir / "cap.log"), bytes);
  EXPECT_EQ(ListFolder(dir.path()), "cap.log\ncap.srt\n");

  VectorLineSink staged;
  const std::int64_t lines = StageLines(bytes, staged);
  const std::string result = ReadFile(dir / "cap.srt");
  std::int64_t crlf = 0, cr = 0, lf = 0;
  for (std::size_t i = 0; i < result.size(); ++i) {
    cr += result[i] == '\r';
    lf += result[i] == '\n';
    crlf += result.compare(i, 2, "\r\n") == 0;
  }
  EXPECT_EQ(crlf, lines);
  EXPECT_EQ(cr, lines);
  EXPECT_EQ(lf, lines);

  TempDir compareDir;
  const CompareRequest request = Request(compareDir);
  // Random bytes hold no route line: the compare is refused before anything is written.
  WriteFile(request.inputs[0], bytes);
  WriteFile(request.inputs[1], bytes);
  EXPECT_THROW(Compare(request), FileError);
  EXPECT_EQ(ReadFile(request.inputs[0]), bytes);
  EXPECT_EQ(ReadFile(request.inputs[1]), bytes);
  EXPECT_EQ(ListFolder(compareDir.path()), "after.log\nbefore.log\n");
}

TEST(ReliabilityCore, SingleLineOf50MegabytesIsWrittenWhole) {
  TempDir dir;
  const std::string pattern = "0123456789 abcdefghijklmnopqrstuvwxyz ./,:ABCDEFGHIJ";
  std::string line(50u * 1024 * 1024, 'x');
  for (std::size_t i = 0; i + 1 < line.size(); ++i) {
    line[i] = pattern[i % pattern.size()];
  }
  WriteFile(dir / "cap.log", line);
  Sort(dir / "cap.log", dir / "cap.srt");
  EXPECT_TRUE(ReadFile(dir / "cap.srt") == line + "\r\n");
  EXPECT_TRUE(ReadFile(dir / "cap.log") == line);
  EXPECT_EQ(ListFolder(dir.path()), "cap.log\ncap.srt\n");
}

TEST(ReliabilityCore, InvalidUtf8IsWrittenBackUnchanged) {
  TempDir dir;
  const std::string input =
      "r1#show ip route \xC0\xAF\n"
      "S       10.2.0.0/16 [1/0] via 10.0.0.1, \xFF\xFEx\n"
      "C       10.1.0.0/16 is directly connected, Eth\xC3\n"
      "\xED\xA0\x80\x80 junk\n";
  WriteFile(dir / "cap.log", input);
  Sort(dir / "cap.log", dir / "cap.srt");
  EXPECT_EQ(ReadFile(dir / "cap.srt"),
            "r1#show ip route \xC0\xAF\r\n"
            "C       10.1.0.0/16 is directly connected, Eth\xC3\r\n"
            "S       10.2.0.0/16 [1/0] via 10.0.0.1, \xFF\xFEx\r\n"
            "\xED\xA0\x80\x80 junk\r\n");
  EXPECT_EQ(ReadFile(dir / "cap.log"), input);
  EXPECT_EQ(ListFolder(dir.path()), "cap.log\ncap.srt\n");

  TempDir compareDir;
  const CompareRequest request = Request(compareDir);
  const std::string after =
      "C       10.1.0.0/16 is directly connected, Eth\xC3\xA9\n"
      "S       10.2.0.0/16 [1/0] via 10.0.0.1, \xFF\xFEx\n";
  WriteFile(request.inputs[0], input);
  WriteFile(request.inputs[1], after);
  EXPECT_EQ(Compare(request), 1);
  EXPECT_EQ(ReadFile(request.diffFile),
            "前: " + request.inputs[0] + "\r\n後: " + request.inputs[1] +
                "\r\n\r\n"
                "前< C       10.1.0.0/16 is directly connected, Eth\xC3\r\n"
                "後> C       10.1.0.0/16 is directly connected, Eth\xC3\xA9\r\n"
                "\r\n"
                " 1 の違いがあります\r\n");
  EXPECT_EQ(ReadFile(request.inputs[0]), input);
  EXPECT_EQ(ReadFile(request.inputs[1]), after);
  EXPECT_EQ(ListFolder(compareDir.path()), "after.dif\nafter.log\nbefore.log\n");
}

TEST(ReliabilityCore, CarriageReturnOnlyAndMixedLineEnds) {
  TempDir dir;
  const std::string mixed =
      "C       10.2.0.0/16 is directly connected, E0\r"
      "C       10.1.0.0/16 is directly connected, E1\r\n"
      "S       10.3.0.0/16 [1/0] via 10.0.0.1\n"
      "\r"
      "end";
  WriteFile(dir / "mixed.log", mixed);
  Sort(dir / "mixed.log", dir / "mixed.srt");
  EXPECT_EQ(ReadFile(dir / "mixed.srt"),
            "C       10.1.0.0/16 is directly connected, E1\r\n"
            "C       10.2.0.0/16 is directly connected, E0\r\n"
            "S       10.3.0.0/16 [1/0] via 10.0.0.1\r\n"
            "\r\n"
            "end\r\n");
  EXPECT_EQ(ReadFile(dir / "mixed.log"), mixed);

  WriteFile(dir / "cr.log", "\r\r\r");
  Sort(dir / "cr.log", dir / "cr.srt");
  EXPECT_EQ(ReadFile(dir / "cr.srt"), "\r\n\r\n\r\n");
  EXPECT_EQ(ReadFile(dir / "cr.log"), "\r\r\r");
  EXPECT_EQ(ListFolder(dir.path()), "cr.log\ncr.srt\nmixed.log\nmixed.srt\n");

  // The same capture with CR alone and with LF alone compares as equal.
  TempDir compareDir;
  const CompareRequest request = Request(compareDir);
  std::string crOnly = kCapture;
  std::string lfOnly = kCapture;
  for (std::size_t at; (at = crOnly.find("\r\n")) != std::string::npos;) {
    crOnly.erase(at + 1, 1);
  }
  for (std::size_t at; (at = lfOnly.find("\r\n")) != std::string::npos;) {
    lfOnly.erase(at, 1);
  }
  WriteFile(request.inputs[0], crOnly);
  WriteFile(request.inputs[1], lfOnly);
  EXPECT_EQ(Compare(request), 0);
  EXPECT_EQ(ReadFile(request.diffFile), Equivalent(request));
  EXPECT_EQ(ReadFile(request.inputs[0]), crOnly);
  EXPECT_EQ(ReadFile(request.inputs[1]), lfOnly);
}

TEST(ReliabilityCore, FolderAsInputIsAFileErrorAndLeavesNoStagingFile) {
  TempDir dir;
  std::filesystem::create_directory(dir / "cap.log");
  const FileError error = ErrorOf([&] { Sort(dir / "cap.log", dir / "cap.srt"); });
  EXPECT_EQ(error.path(), dir / "cap.log");
  EXPECT_EQ(ListFolder(dir.path()), "cap.log\n");

  TempDir compareDir;
  const CompareRequest request = Request(compareDir);
  WriteFile(request.inputs[0], kCapture);
  std::filesystem::create_directory(request.inputs[1]);
  const FileError compareError = ErrorOf([&] { Compare(request); });
  EXPECT_EQ(compareError.path(), request.inputs[1]);
  EXPECT_EQ(ReadFile(request.inputs[0]), kCapture);
  EXPECT_EQ(ListFolder(compareDir.path()), "after.log\nbefore.log\n");
}

TEST(ReliabilityCore, FolderAsResultIsAFileErrorAndLeavesNoFileBehind) {
  TempDir dir;
  WriteFile(dir / "cap.log", kCapture);
  std::filesystem::create_directory(dir / "cap.srt");
  const FileError error = ErrorOf([&] { Sort(dir / "cap.log", dir / "cap.srt"); });
  EXPECT_EQ(error.path(), dir / "cap.srt");
  EXPECT_EQ(ReadFile(dir / "cap.log"), kCapture);
  EXPECT_EQ(ListFolder(dir.path()), "cap.log\ncap.srt\n");
  EXPECT_EQ(ListFolder(dir / "cap.srt"), "");
}

TEST(ReliabilityCore, MissingInputIsAFileErrorNamingItAndWritesNothing) {
  TempDir dir;
  const FileError error = ErrorOf([&] { Sort(dir / "cap.log", dir / "cap.srt"); });
  EXPECT_EQ(error.path(), dir / "cap.log");
  EXPECT_EQ(error.errnum(), ENOENT);
  EXPECT_NE(std::string(error.what()).find(dir / "cap.log"), std::string::npos);
  EXPECT_EQ(ListFolder(dir.path()), "");

  for (int missing = 0; missing < 2; ++missing) {
    TempDir compareDir;
    const CompareRequest request = Request(compareDir);
    WriteFile(request.inputs[1 - missing], kCapture);
    const FileError compareError = ErrorOf([&] { Compare(request); });
    EXPECT_EQ(compareError.path(), request.inputs[missing]);
    EXPECT_NE(std::string(compareError.what()).find(request.inputs[missing]), std::string::npos);
    EXPECT_EQ(ReadFile(request.inputs[1 - missing]), kCapture);
    EXPECT_EQ(ListFolder(compareDir.path()), missing == 0 ? "after.log\n" : "before.log\n");
  }
}

TEST(ReliabilityCore, MissingOutputFolderIsAFileErrorAndLeavesNoStagingFile) {
  TempDir dir;
  WriteFile(dir / "cap.log", kCapture);
  const FileError error = ErrorOf([&] { Sort(dir / "cap.log", dir / "no-such-folder/cap.srt"); });
  EXPECT_EQ(error.path(), dir / "no-such-folder/cap.srt");
  EXPECT_EQ(ReadFile(dir / "cap.log"), kCapture);
  EXPECT_EQ(ListFolder(dir.path()), "cap.log\n");

  TempDir compareDir;
  CompareRequest request = Request(compareDir);
  request.diffFile = compareDir / "no-such-folder/after.dif";
  WriteFile(request.inputs[0], kCapture);
  WriteFile(request.inputs[1], kCapture);
  const FileError compareError = ErrorOf([&] { Compare(request); });
  EXPECT_EQ(compareError.path(), request.diffFile);
  EXPECT_EQ(ReadFile(request.inputs[0]), kCapture);
  EXPECT_EQ(ReadFile(request.inputs[1]), kCapture);
  EXPECT_EQ(ListFolder(compareDir.path()), "after.log\nbefore.log\n");
}

TEST(ReliabilityCore, CompareResultNamedLikeAnInputIsRefusedBeforeAnyWrite) {
  TempDir dir;
  CompareRequest request = Request(dir);
  WriteFile(request.inputs[0], kCapture);
  WriteFile(request.inputs[1], kCapture + "S       10.9.0.0/16 [1/0] via 10.0.0.1\r\n");
  const std::string before = ReadFile(request.inputs[0]);
  const std::string after = ReadFile(request.inputs[1]);
  ASSERT_EQ(::link(request.inputs[1].c_str(), (dir / "alias.log").c_str()), 0);
  for (const std::string& name :
       {request.inputs[0], request.inputs[1], dir / "sub/../before.log", dir / "alias.log"}) {
    request.diffFile = name;
    const FileError error = ErrorOf([&] { Compare(request); });
    EXPECT_EQ(error.path(), name);
    EXPECT_EQ(ReadFile(request.inputs[0]), before);
    EXPECT_EQ(ReadFile(request.inputs[1]), after);
    EXPECT_EQ(ListFolder(dir.path()), "after.log\nalias.log\nbefore.log\n");
  }
}

// Runs action in a child process whose files may not grow past limit bytes, with the programs'
// signal set-up, which ignores SIGXFSZ so that the write fails with EFBIG instead. Returns the
// child's exit status: 3 for a FileError with EFBIG, 0 when the action succeeded, other values for
// other failures.
int RunWithFileSizeLimit(rlim_t limit, const std::function<void()>& action) {
  const pid_t child = ::fork();
  if (child == 0) {
    files::InstallSignalCleanup();  // ignores SIGXFSZ, as the programs do
    const rlimit small{limit, limit};
    if (::setrlimit(RLIMIT_FSIZE, &small) != 0) {
      ::_exit(6);
    }
    try {
      action();
      ::_exit(0);
    } catch (const FileError& error) {
      ::_exit(error.errnum() == EFBIG ? 3 : 4);
    } catch (...) {
      ::_exit(5);
    }
  }
  int status = 0;
  EXPECT_EQ(::waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status));
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string ManyRoutes(int count) {
  std::string text = "r1#show ip route\r\n";
  for (int i = 0; i < count; ++i) {
    text += "O       10." + std::to_string(i / 250) + "." + std::to_string(i % 250) +
            ".0/24 [110/20] via 10.255.0." + std::to_string(i % 200 + 1) +
            ", 00:01:02, GigabitEthernet0/" + std::to_string(i % 4) + "\r\n";
  }
  return text + "r1#\r\n";
}

TEST(ReliabilityCore, SortWhoseWriteFailsMidwayLeavesTheEarlierResult) {
  TempDir dir;
  const std::string input = ManyRoutes(4000);
  ASSERT_GT(input.size(), 128u * 1024);
  const std::string earlier = "an earlier result\r\n";
  WriteFile(dir / "cap.log", input);
  WriteFile(dir / "cap.srt", earlier);
  EXPECT_EQ(RunWithFileSizeLimit(64 * 1024, [&] { Sort(dir / "cap.log", dir / "cap.srt"); }), 3);
  EXPECT_EQ(ReadFile(dir / "cap.srt"), earlier);
  EXPECT_EQ(ReadFile(dir / "cap.log"), input);
  EXPECT_EQ(ListFolder(dir.path()), "cap.log\ncap.srt\n");
}

TEST(ReliabilityCore, CompareWhoseResultWriteFailsMidwayLeavesTheEarlierResult) {
  // The difference file is longer than either sort result (a prefix on every line), so a limit
  // between their sizes fails the last write only. The sizes come from a run without limit.
  const std::string after = ManyRoutes(3000);
  const std::string before = "C       192.0.2.0/24 is directly connected, Ethernet0\r\n";
  std::uintmax_t sortSize = 0, diffSize = 0;
  {
    TempDir dir;
    CompareRequest request = Request(dir);
    request.keepSortResults = true;
    WriteFile(request.inputs[0], before);
    WriteFile(request.inputs[1], after);
    ASSERT_EQ(Compare(request), 3001);
    sortSize = std::filesystem::file_size(request.sortResults[1]);
    diffSize = std::filesystem::file_size(request.diffFile);
    ASSERT_GT(diffSize, sortSize + 4096);
  }
  TempDir dir;
  const CompareRequest request = Request(dir);
  const std::string earlier = "an earlier difference file\r\n";
  WriteFile(request.inputs[0], before);
  WriteFile(request.inputs[1], after);
  WriteFile(request.diffFile, earlier);
  EXPECT_EQ(RunWithFileSizeLimit((sortSize + diffSize) / 2, [&] { Compare(request); }), 3);
  EXPECT_EQ(ReadFile(request.diffFile), earlier);
  EXPECT_EQ(ReadFile(request.inputs[0]), before);
  EXPECT_EQ(ReadFile(request.inputs[1]), after);
  EXPECT_EQ(ListFolder(dir.path()), "after.dif\nafter.log\nbefore.log\n");
}

// A compare with a missing input fails before anything is written: sort results of earlier
// runs under the same names keep their bytes, whether or not sort results are kept.
TEST(ReliabilityCore, CompareWithAMissingInputKeepsEarlierSortResults) {
  for (const bool keep : {false, true}) {
    for (int missing = 0; missing < 2; ++missing) {
      SCOPED_TRACE("missing input " + std::to_string(missing + 1) + (keep ? ", kept" : ""));
      TempDir dir;
      CompareRequest request = Request(dir);
      request.keepSortResults = keep;
      const std::string earlier = "an earlier sort result\r\n";
      WriteFile(request.inputs[1 - missing], kCapture);
      WriteFile(request.sortResults[0], earlier);
      WriteFile(request.sortResults[1], earlier);
      const FileError error = ErrorOf([&] { Compare(request); });
      EXPECT_EQ(error.path(), request.inputs[missing]);
      EXPECT_EQ(ReadFile(request.inputs[1 - missing]), kCapture);
      EXPECT_EQ(ListFolder(dir.path()), missing == 0 ? "after.log\nafter.srt\nbefore.srt\n"
                                                     : "after.srt\nbefore.log\nbefore.srt\n");
      for (const std::string& result : request.sortResults) {
        EXPECT_TRUE(Exists(result) && ReadFile(result) == earlier) << result;
      }
    }
  }
}

// A kept sort result named like its own input is refused by the compare, which would otherwise
// replace the capture with a copy without its timers.
TEST(ReliabilityCore, CompareRefusesAKeptSortResultNamedLikeItsInput) {
  TempDir dir;
  CompareRequest request = Request(dir);
  request.keepSortResults = true;
  request.sortResults[0] = request.inputs[0];
  WriteFile(request.inputs[0], kCapture);
  WriteFile(request.inputs[1], kCapture);
  const FileError error = ErrorOf([&] { Compare(request); });
  EXPECT_EQ(error.path(), request.inputs[0]);
  EXPECT_EQ(ReadFile(request.inputs[0]), kCapture);
  EXPECT_EQ(ReadFile(request.inputs[1]), kCapture);
  EXPECT_EQ(ListFolder(dir.path()), "after.log\nbefore.log\n");
}

// Routes with a second path each: staging expands every path, so the staging file holds them.
std::string ManyRoutesWithPaths(int count) {
  std::string text;
  for (int i = 0; i < count; ++i) {
    text += "O       10." + std::to_string(i / 250) + "." + std::to_string(i % 250) +
            ".0/24 [110/20] via 10.255.0.1, 00:01:02, GigabitEthernet0/1\r\n" +
            std::string(20, ' ') + "[110/20] via 10.255.0.2, 00:01:02, GigabitEthernet0/2\r\n";
  }
  return text;
}

// A compare whose first sort fails midway (the staging file outgrows the file size limit)
// leaves both inputs and an earlier sort result as they were, and nothing else.
TEST(ReliabilityCore, CompareWhoseFirstSortFailsMidwayKeepsEverything) {
  TempDir dir;
  CompareRequest request = Request(dir);
  const std::string input = ManyRoutesWithPaths(2000);
  WriteFile(request.inputs[0], input);
  WriteFile(request.inputs[1], kCapture);
  WriteFile(request.sortResults[0], "earlier\r\n");
  EXPECT_EQ(RunWithFileSizeLimit(64 * 1024, [&] { Compare(request); }), 3);
  EXPECT_EQ(ReadFile(request.inputs[0]), input);
  EXPECT_EQ(ReadFile(request.inputs[1]), kCapture);
  EXPECT_EQ(ReadFile(request.sortResults[0]), "earlier\r\n");
  EXPECT_EQ(ListFolder(dir.path()), "after.log\nbefore.log\nbefore.srt\n");
}

// A kept sort result that outgrows the file size limit stops the compare while the merge waits
// for its entries on another thread: the earlier results stay, and nothing else is left.
TEST(ReliabilityCore, CompareWhoseKeptSortResultFailsMidwayKeepsEverything) {
  TempDir dir;
  CompareRequest request = Request(dir);
  request.keepSortResults = true;
  const std::string input = ManyRoutes(4000);
  WriteFile(request.inputs[0], input);
  WriteFile(request.inputs[1], input);
  WriteFile(request.sortResults[1], "earlier\r\n");
  WriteFile(request.diffFile, "earlier\r\n");
  EXPECT_EQ(RunWithFileSizeLimit(64 * 1024, [&] { Compare(request); }), 3);
  EXPECT_EQ(ReadFile(request.inputs[0]), input);
  EXPECT_EQ(ReadFile(request.sortResults[1]), "earlier\r\n");
  EXPECT_EQ(ReadFile(request.diffFile), "earlier\r\n");
  EXPECT_EQ(ListFolder(dir.path()), "after.dif\nafter.log\nafter.srt\nbefore.log\n");
}

// A capture compared with itself has no difference. The look-ahead parses a rebuilt extra path
// in the parser that both sides share; when that path has a mask of its own (here the hex digits
// run on past the "[") the parse moves the carried length between the reads of the two sides,
// and the entry gets one line on one side and two on the other.
TEST(ReliabilityCore, CaptureComparedWithItselfHasNoDifference) {
  TempDir dir;
  const CompareRequest request = Request(dir);
  const std::string capture =
      "C       1.2.3.0 0x0[zzzzzzzz\r\n"
      "                   [123456 x\r\n"
      "C       1.0.0.0/24 is directly connected, E0\r\n";
  WriteFile(request.inputs[0], capture);
  WriteFile(request.inputs[1], capture);
  EXPECT_EQ(Compare(request), 0);
  EXPECT_EQ(ReadFile(request.diffFile), Equivalent(request));
}

// The same fault as the fuzzer found it (the merge alone, its minimised input): a hex mask of
// two digits ends at the "[" of the entry's line, and the aligned path rebuilt from it reads
// as a mask of its own.
TEST(ReliabilityCore, MergeOfATextWithItselfHasNoBlock) {
  const std::string text = "R    0.2.0.0 0xF0[\n" + std::string(15, ' ') + "[ [ 9  ";
  RouteLineParser parser;
  VectorLineSink sink;
  EXPECT_EQ(MergeSortedLogs(text, text, parser, sink), 0);
  EXPECT_TRUE(sink.lines.empty());
}

}  // namespace
}  // namespace kestrelon::routes
