#include "files/signal_cleanup.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <functional>
#include <string>
#include <thread>

#include "files/file_error.h"
#include "files/file_writer.h"
#include "files/mapped_file.h"
#include "files/private_folder.h"
#include "test_files.h"

namespace kestrelon::files {
namespace {

using namespace kestrelon::testing;

// Runs body in a child process with the programs' signal set-up; gives its wait status.
int InChild(const std::function<void()>& body) {
  const pid_t child = ::fork();
  if (child == 0) {
    InstallSignalCleanup();
    body();
    ::_exit(0);
  }
  int status = 0;
  EXPECT_EQ(::waitpid(child, &status, 0), child);
  return status;
}

// A run stopped while its private folder and a result's temporary file exist leaves neither,
// and the user's earlier result as it was.
TEST(SignalCleanup, TerminationSignalsRemoveTheRunsTemporaryFiles) {
  for (const int signalNumber : {SIGINT, SIGTERM, SIGHUP, SIGPIPE}) {
    SCOPED_TRACE(signalNumber);
    TempDir dir;
    TempDir tmp;
    const ScopedTmpdir tmpdir(tmp.path());
    WriteFile(dir / "r.txt", "earlier\n");
    const int status = InChild([&] {
      PrivateFolder work;
      files::OutputFile staging(work.NewFile("staging1"));
      staging.WriteLine("staged");
      staging.Close();
      files::AtomicOutputFile result(dir / "r.txt");
      result.WriteLine("half");
      ::raise(signalNumber);
      ::_exit(9);
    });
    ASSERT_TRUE(WIFSIGNALED(status)) << status;
    EXPECT_EQ(WTERMSIG(status), signalNumber);
    EXPECT_EQ(ListFolder(tmp.path()), "");
    EXPECT_EQ(ListFolder(dir.path()), "r.txt\n");
    EXPECT_EQ(ReadFile(dir / "r.txt"), "earlier\n");
  }
}

// A signal that comes while held waits until the held step is done.
TEST(SignalCleanup, HeldSignalActsWhenTheHoldEnds) {
  TempDir dir;
  const int status = InChild([&] {
    files::AtomicOutputFile result(dir / "r.txt");
    result.WriteLine("whole");
    {
      const HoldSignals hold;
      ::raise(SIGTERM);
      result.Commit();
    }
    ::_exit(9);
  });
  ASSERT_TRUE(WIFSIGNALED(status)) << status;
  EXPECT_EQ(WTERMSIG(status), SIGTERM);
  EXPECT_EQ(ListFolder(dir.path()), "r.txt\n");
  EXPECT_EQ(ReadFile(dir / "r.txt"), "whole\r\n");
}

// A capture that another program cuts short while it is mapped: the reads past the new end find
// zeros instead of ending the program with SIGBUS, and the reader is told the file changed.
TEST(SignalCleanup, FileCutShortWhileMappedIsToldNotFatal) {
  TempDir dir;
  const std::string path = dir / "capture.log";
  WriteFile(path, std::string(3 * 65536, 'x'));
  const int status = InChild([&] {
    const MappedFile file(path);
    if (::truncate(path.c_str(), 100) != 0) {
      ::_exit(8);
    }
    std::size_t zeros = 0;
    for (const char c : file.bytes()) {
      zeros += c == '\0' ? 1 : 0;
    }
    try {
      file.CheckUnchanged();
    } catch (const FileError& error) {
      const bool named = std::strstr(error.what(), "capture.log\": the file changed") != nullptr;
      ::_exit(zeros >= 2 * 65536 && named ? 3 : 4);
    }
    ::_exit(5);
  });
  ASSERT_TRUE(WIFEXITED(status)) << status;
  EXPECT_EQ(WEXITSTATUS(status), 3);
}

// A run whose result is in place has succeeded, though a signal came while it was renamed; the
// private folder still goes.
TEST(SignalCleanup, SignalAfterTheResultIsInPlaceEndsWithSuccess) {
  TempDir dir;
  TempDir tmp;
  const ScopedTmpdir tmpdir(tmp.path());
  const int status = InChild([&] {
    SucceedAtCommit();
    PrivateFolder work;
    files::AtomicOutputFile result(dir / "r.txt");
    result.WriteLine("whole");
    {
      const HoldSignals hold;
      ::raise(SIGINT);
      result.Commit();
    }
    ::_exit(9);
  });
  ASSERT_TRUE(WIFEXITED(status)) << status;
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_EQ(ReadFile(dir / "r.txt"), "whole\r\n");
  EXPECT_EQ(ListFolder(tmp.path()), "");
}

// While a signal waits for a hold, another thread starting a file never makes it: the clean-up
// may have run already, so the file would be left behind.
TEST(SignalCleanup, NoFileIsStartedOnceTheProgramIsEnding) {
  TempDir dir;
  const int status = InChild([&] {
    {
      const HoldSignals hold;
      ::raise(SIGTERM);
      std::thread([&] { files::OutputFile late(dir / "late.txt"); }).detach();
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    ::_exit(9);
  });
  ASSERT_TRUE(WIFSIGNALED(status)) << status;
  EXPECT_EQ(WTERMSIG(status), SIGTERM);
  EXPECT_EQ(ListFolder(dir.path()), "");
}

// A signal the program was started with ignored (nohup, a background job) stays ignored.
TEST(SignalCleanup, InheritedIgnoreIsKept) {
  const pid_t child = ::fork();
  if (child == 0) {
    ::signal(SIGHUP, SIG_IGN);
    InstallSignalCleanup();
    ::raise(SIGHUP);
    ::_exit(0);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
}

}  // namespace
}  // namespace kestrelon::files
