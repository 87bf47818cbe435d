#include "settings/win_sys.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <string>

#include "test_files.h"

namespace kestrelon::settings {
namespace {

using namespace kestrelon::testing;
using namespace std::string_literals;

ino_t Inode(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 ? info.st_ino : 0;
}

TEST(WinSys, WriteCreatesFileSectionAndKeyAndReadsBack) {
  TempDir dir;
  const std::string ini = dir / "Kestrelon.ini";
  EXPECT_EQ(ReadIni(ini, "Kestrelon", "SortExt1"), "");
  EXPECT_EQ(ReadIni(dir.path(), "Kestrelon", "SortExt1"), "");  // a folder
  WriteIni(ini, "Kestrelon", "SortExt1", ".srt");
  WriteIni(ini, "Kestrelon", "EnableOpt", "0");
  WriteIni(ini, "Kestrelon", "SortExt1", ".txt");
  EXPECT_EQ(ReadFile(ini), "[Kestrelon]\r\nSortExt1=.txt\r\nEnableOpt=0\r\n");
  EXPECT_EQ(ReadIni(ini, "kestrelon", "ENABLEOPT"), "0");
  // Values are cut to 254 bytes, at a character boundary (an invalid byte is one character).
  WriteIni(ini, "Kestrelon", "SortExt1", std::string(300, 'x'));
  EXPECT_EQ(ReadIni(ini, "Kestrelon", "SortExt1"), std::string(254, 'x'));
  WriteIni(ini, "Kestrelon", "SortExt2", std::string(253, 'a') + "\xE3\x81\x82");
  EXPECT_EQ(ReadIni(ini, "Kestrelon", "SortExt2"), std::string(253, 'a'));
  WriteIni(ini, "Kestrelon", "DiffExt", std::string(253, 'a') + "\xFF\xFF");
  EXPECT_EQ(ReadIni(ini, "Kestrelon", "DiffExt"), std::string(253, 'a') + "\xFF");
  EXPECT_EQ(ListFolder(dir.path()), "Kestrelon.ini\n");
}

TEST(WinSys, ReadTrimsBlanksStripsQuotesAndCutsAtNul) {
  TempDir dir;
  WriteFile(dir / "k.ini", "[K]\r\nA=.srt  \t\r\nB=\"quoted value\"\r\nC=\"half\r\nD=x\0y\r\n"s);
  EXPECT_EQ(ReadIni(dir / "k.ini", "K", "A"), ".srt");
  EXPECT_EQ(ReadIni(dir / "k.ini", "K", "B"), "quoted value");
  EXPECT_EQ(ReadIni(dir / "k.ini", "K", "C"), "\"half");
  EXPECT_EQ(ReadIni(dir / "k.ini", "K", "D"), "x");
}

// A write of the value the file holds leaves the file itself alone: the same inode.
TEST(WinSys, UnchangedValueIsNotWritten) {
  TempDir dir;
  const std::string ini = dir / "Kestrelon.ini";
  const std::string text = "[Kestrelon]\nEnableOpt = 0  \nStoreSort=1\n";
  WriteFile(ini, text);
  const ino_t before = Inode(ini);
  WriteIni(ini, "Kestrelon", "EnableOpt", "0");
  WriteIni(ini, "kestrelon", "STORESORT", "1");
  EXPECT_EQ(Inode(ini), before);
  EXPECT_EQ(ReadFile(ini), text);
}

// A file that exists but cannot be read (a named pipe, which root cannot read as a file
// either), a missing folder, names and values that would break the file: nothing is written.
TEST(WinSys, WritesThatWouldLoseOrBreakAFileAreNotDone) {
  TempDir dir;
  const std::string pipe = dir / "pipe.ini";
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  EXPECT_FALSE(ProfileReadable(pipe));
  WriteIni(pipe, "Kestrelon", "DiffExt", ".dif");
  EXPECT_TRUE(std::filesystem::is_fifo(pipe));
  WriteIni(dir / "missing/Kestrelon.ini", "Kestrelon", "SortExt1", ".srt");
  WriteIni("", "Kestrelon", "SortExt1", ".srt");
  const std::string ini = dir / "Kestrelon.ini";
  WriteIni(ini, "Kestrelon", "SortExt1", ".a\r\n[Evil]");
  WriteIni(ini, "Kestrelon", "Sort=Ext1", ".srt");
  WriteIni(ini, "Kest]relon", "SortExt1", ".srt");
  WriteIni(ini, "Kestrelon", "SortExt1", ".a\0b"s);
  EXPECT_EQ(ListFolder(dir.path()), "pipe.ini\n");
}

TEST(WinSys, WriteKeepsPermissionsAndSymbolicLinks) {
  TempDir dir;
  ASSERT_EQ(::mkdir((dir / "real").c_str(), 0700), 0);
  WriteFile(dir / "real/Kestrelon.ini", "[Kestrelon]\r\n");
  ASSERT_EQ(::chmod((dir / "real/Kestrelon.ini").c_str(), 0640), 0);
  ASSERT_EQ(::symlink("real/Kestrelon.ini", (dir / "Kestrelon.ini").c_str()), 0);
  WriteIni(dir / "Kestrelon.ini", "Kestrelon", "StoreSort", "1");
  EXPECT_TRUE(std::filesystem::is_symlink(dir / "Kestrelon.ini"));
  EXPECT_EQ(ReadFile(dir / "real/Kestrelon.ini"), "[Kestrelon]\r\nStoreSort=1\r\n");
  struct stat st {};
  ASSERT_EQ(::stat((dir / "real/Kestrelon.ini").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  EXPECT_EQ(ListFolder(dir / "real"), "Kestrelon.ini\n");
}

TEST(WinSys, FileExists) {
  TempDir dir;
  const std::string file = dir / "r1.log";
  WriteFile(file, "x\r\n");
  ASSERT_EQ(::chmod(file.c_str(), 0), 0);  // EACCES counts as existing
  ASSERT_EQ(::mkdir((dir / "folder").c_str(), 0), 0);
  for (const std::string& missing : {dir / "missing.log", dir / "missing/r1.log", file + "/r1.log",
                                     dir / "folder", dir.path() + "/", ""s, file + "\0x"s}) {
    EXPECT_FALSE(FileExists(missing)) << missing;
  }
  EXPECT_TRUE(FileExists(file));
  EXPECT_TRUE(FileExists(dir / "folder/../r1.log"));
  EXPECT_EQ(CutAtNul("ab\0c\0"s), "ab");
  ::chmod((dir / "folder").c_str(), 0700);
}

TEST(WinSys, ReadCheckStateRoundsHalfToEven) {
  // clang-format off
  const std::pair<const char*, long long> cases[] = {
      {"1", 1}, {"", 0}, {"abc", 0}, {"1abc", 1}, {"\t \t1", 1}, {"-1", -1}, {"1.4", 1}, {"1.6", 2},
      {".6", 1}, {"0.5", 0}, {"1.5", 2}, {"2.5", 2}, {"-1.5", -2}, {"2.500001", 3}, {"1e3", 1},
      {"0x10", 0}, {" \n1", 0}, {"- 1", 0}, {"1..5", 1}, {"9223372036854775807.5", LLONG_MAX},
      {"-99999999999999999999999.9", LLONG_MIN}};
  // clang-format on
  for (const auto& [text, value] : cases) {
    EXPECT_EQ(ReadCheckState(text), value) << '"' << text << '"';
  }
}

}  // namespace
}  // namespace kestrelon::settings
