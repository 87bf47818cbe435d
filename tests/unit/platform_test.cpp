#include "files/platform.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <string>

#include "files/file_error.h"
#include "test_files.h"

namespace kestrelon::files {
namespace {

using testing::TempDir;
using testing::WriteFile;

// What a path is, as the callers tell a missing input from a folder or a pipe.
TEST(Platform, KindOf) {
  TempDir dir;
  WriteFile(dir / "file", "x");
  ASSERT_EQ(::mkdir((dir / "folder").c_str(), 0700), 0);
  ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
  const struct {
    std::string name;
    FileKind kind;
  } cases[] = {
      {"file", FileKind::kRegular},         {"folder", FileKind::kFolder},
      {"fifo", FileKind::kOther},           {"missing", FileKind::kMissing},
      {"missing/file", FileKind::kMissing}, {"file/below", FileKind::kMissing},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(KindOf(dir / c.name), c.kind) << c.name;
  }
}

// A FIFO without a writer opens at once for a look, and says what it is.
TEST(Platform, OpenToExamineDoesNotWaitForAWriter) {
  TempDir dir;
  ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
  const NativeFile fifo = OpenForReading(dir / "fifo", /*waitForWriter=*/false);
  EXPECT_EQ(fifo.Kind("fifo"), FileKind::kOther);
  try {
    OpenForReading(dir / "missing");
    FAIL() << "opened a missing file";
  } catch (const FileError& error) {
    EXPECT_EQ(error.errnum(), ENOENT);
    EXPECT_EQ(error.path(), dir / "missing");
  }
}

// Exclusive creation never replaces a file; a hard link is the same file, and not made twice.
TEST(Platform, ExclusiveFilesAndLinks) {
  TempDir dir;
  auto created = CreateExclusive(dir / "new");
  ASSERT_TRUE(created);
  created->Write("bytes", "new");
  created->Close("new");
  EXPECT_FALSE(CreateExclusive(dir / "new"));
  EXPECT_EQ(testing::ReadFile(dir / "new"), "bytes");

  EXPECT_EQ(MakeHardLink(dir / "new", dir / "link"), 0);
  EXPECT_EQ(MakeHardLink(dir / "new", dir / "link"), EEXIST);
  EXPECT_TRUE(SameFileIdentity(dir / "new", dir / "link"));
  WriteFile(dir / "other", "bytes");
  EXPECT_FALSE(SameFileIdentity(dir / "new", dir / "other"));
  EXPECT_FALSE(SameFileIdentity(dir / "new", dir / "missing"));

  ReplaceFile(dir / "other", dir / "new");
  EXPECT_FALSE(SameFileIdentity(dir / "new", dir / "link"));
  RemoveFile(dir / "missing");  // no failure
  EXPECT_EQ(testing::ListFolder(dir.path()), "link\nnew\n");
}

}  // namespace
}  // namespace kestrelon::files
