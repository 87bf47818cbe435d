#include "files/file_writer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "files/file_error.h"
#include "test_files.h"

namespace kestrelon::files {
namespace {

using namespace kestrelon::testing;

TEST(FileWriter, OutputFileNeverReplacesAFile) {
  TempDir dir;
  WriteFile(dir / "taken", "the user's\n");
  EXPECT_THROW(OutputFile(dir / "taken"), FileError);
  EXPECT_EQ(ReadFile(dir / "taken"), "the user's\n");
}

TEST(FileWriter, AtomicOutputFileTouchesTheTargetOnlyOnCommit) {
  TempDir dir;
  WriteFile(dir / "r.txt", "earlier\n");
  {
    AtomicOutputFile file(dir / "r.txt");
    file.WriteLine("never committed");
  }
  EXPECT_EQ(ListFolder(dir.path()), "r.txt\n");
  AtomicOutputFile file(dir / "r.txt");
  file.WriteLine("new");
  EXPECT_EQ(ReadFile(dir / "r.txt"), "earlier\n");
  file.Commit();
  EXPECT_EQ(ReadFile(dir / "r.txt"), "new\r\n");
  EXPECT_EQ(ListFolder(dir.path()), "r.txt\n");
}

// When a later rename fails, the files already put in place are undone: an earlier file comes
// back, a new one goes. Here the second temporary file vanishes with its folder.
TEST(FileWriter, CommitTogetherIsAllOrNothing) {
  TempDir dir;
  std::filesystem::create_directory(dir / "gone");
  WriteFile(dir / "first", "earlier\n");
  AtomicOutputFile first(dir / "first");
  AtomicOutputFile fresh(dir / "fresh");
  AtomicOutputFile last(dir / "gone/last");
  first.WriteLine("1");
  fresh.WriteLine("2");
  last.WriteLine("3");
  first.Close();
  fresh.Close();
  last.Close();
  std::filesystem::remove_all(dir / "gone");
  try {
    CommitTogether({&first, &fresh, &last});
    ADD_FAILURE() << "no error";
  } catch (const FileError& error) {
    EXPECT_EQ(error.path(), dir / "gone/last");
  }
  EXPECT_EQ(ReadFile(dir / "first"), "earlier\n");
  EXPECT_EQ(ListFolder(dir.path()), "first\n");
}

}  // namespace
}  // namespace kestrelon::files
