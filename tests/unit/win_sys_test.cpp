#include "settings/win_sys.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

namespace kestrelon::settings {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

// A fresh temporary folder per test, removed afterwards (permissions restored first).
class WinSysFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "kestrelon-winsys-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
    ini_ = Path("Kestrelon.ini");
  }

  void TearDown() override {
    std::error_code ec;
    chmod(dir_.c_str(), 0700);
    for (const auto& entry : fs::recursive_directory_iterator(dir_, ec)) {
      chmod(entry.path().c_str(), entry.is_directory() ? 0700 : 0600);
    }
    fs::remove_all(dir_, ec);
  }

  std::string Path(const std::string& name) const { return dir_ + "/" + name; }

  static void Write(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
  }

  static std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }

  // The names in the folder, to see that no temporary file stays behind.
  std::set<std::string> Names() const {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir_)) {
      names.insert(entry.path().filename().string());
    }
    return names;
  }

  std::string dir_;
  std::string ini_;
};

bool RunningAsRoot() {
  return geteuid() == 0;
}

TEST_F(WinSysFiles, NoSettingsFileReadsEmpty) {
  EXPECT_EQ(ReadIni(ini_, "Kestrelon", "SortExt1"), "");
  EXPECT_EQ(ReadIni(Path("missing/Kestrelon.ini"), "Kestrelon", "EnableOpt"), "");
  EXPECT_EQ(ReadIni(dir_, "Kestrelon", "EnableOpt"), "");  // a folder
  EXPECT_TRUE(Names().empty());
}

TEST_F(WinSysFiles, WriteCreatesFileSectionAndKeyAndReadsBack) {
  WriteIni(ini_, "Kestrelon", "SortExt1", ".srt");
  EXPECT_EQ(Read(ini_), "[Kestrelon]\r\nSortExt1=.srt\r\n");
  WriteIni(ini_, "Kestrelon", "EnableOpt", "0");
  WriteIni(ini_, "Kestrelon", "SortExt1", ".txt");
  EXPECT_EQ(Read(ini_), "[Kestrelon]\r\nSortExt1=.txt\r\nEnableOpt=0\r\n");
  EXPECT_EQ(ReadIni(ini_, "Kestrelon", "SortExt1"), ".txt");
  EXPECT_EQ(ReadIni(ini_, "kestrelon", "ENABLEOPT"), "0");
  EXPECT_EQ(ReadIni(ini_, "Kestrelon", "DiffExt"), "");
  EXPECT_EQ(Names(), std::set<std::string>{"Kestrelon.ini"});
}

TEST_F(WinSysFiles, LongValueIsCutTo254Bytes) {
  WriteIni(ini_, "Kestrelon", "SortExt1", std::string(300, 'x'));
  EXPECT_EQ(ReadIni(ini_, "Kestrelon", "SortExt1"), std::string(254, 'x'));
  // A character that would cross the limit is left out whole; an invalid byte counts as one.
  WriteIni(ini_, "Kestrelon", "SortExt2", std::string(253, 'a') + "\xE3\x81\x82");
  EXPECT_EQ(ReadIni(ini_, "Kestrelon", "SortExt2"), std::string(253, 'a'));
  WriteIni(ini_, "Kestrelon", "DiffExt", std::string(253, 'a') + "\xFF\xFF");
  EXPECT_EQ(ReadIni(ini_, "Kestrelon", "DiffExt"), std::string(253, 'a') + "\xFF");
}

TEST_F(WinSysFiles, ReadTrimsTrailingBlanksStripsQuotesAndCutsAtNul) {
  Write(ini_, "[Kestrelon]\r\nA=.srt  \t\r\nB=\"quoted value\"\r\nC=\"half\r\nD=x\0y\r\n"s);
  EXPECT_EQ(ReadIni(ini_, "Kestrelon", "A"), ".srt");
  EXPECT_EQ(ReadIni(ini_, "Kestrelon", "B"), "quoted value");
  EXPECT_EQ(ReadIni(ini_, "Kestrelon", "C"), "\"half");
  EXPECT_EQ(ReadIni(ini_, "Kestrelon", "D"), "x");
}

TEST_F(WinSysFiles, HandWrittenFileIsReadAndKeptByAWriteOfAnotherKey) {
  const std::string original =
      "; Kestrelon settings, edited by hand\r\n"
      "# another comment\r\n"
      "\r\n"
      "[Other]\r\n"
      "SortExt1=.wrong\r\n"
      "\r\n"
      "  [ kestrelon ]\r\n"
      "  sortext1 =  .srt  \r\n"
      ";DiffExt=.commented\r\n"
      "ENABLEOPT\t=\t1\r\n"
      "StoreSort = \"0\"\r\n"
      "\r\n"
      "[Last]\r\n"
      "x=y\r\n";
  Write(ini_, original);
  EXPECT_EQ(ReadIni(ini_, "Kestrelon", "SortExt1"), ".srt");
  EXPECT_EQ(ReadIni(ini_, "Kestrelon", "DiffExt"), "");
  EXPECT_EQ(ReadIni(ini_, "Kestrelon", "EnableOpt"), "1");
  EXPECT_EQ(ReadIni(ini_, "Kestrelon", "StoreSort"), "0");
  EXPECT_EQ(ReadIni(ini_, "Other", "SortExt1"), ".wrong");

  WriteIni(ini_, "Kestrelon", "DiffExt", ".dif");
  std::string expected = original;
  const std::string after = "StoreSort = \"0\"\r\n";
  expected.insert(expected.find(after) + after.size(), "DiffExt=.dif\r\n");
  EXPECT_EQ(Read(ini_), expected);

  WriteIni(ini_, "Kestrelon", "SortExt1", ".txt");
  expected.replace(expected.find("  sortext1 =  .srt  "), 20, "  sortext1 =  .txt");
  EXPECT_EQ(Read(ini_), expected);
  EXPECT_EQ(ReadIni(ini_, "Kestrelon", "DiffExt"), ".dif");
  EXPECT_EQ(ReadIni(ini_, "Kestrelon", "SortExt1"), ".txt");
}

TEST_F(WinSysFiles, ReadsEveryLineEndAndKeepsEachLinesOwn) {
  Write(ini_, "; lf\n[Kestrelon]\nA=1\rB=2\r\nC=3");
  EXPECT_EQ(ReadIni(ini_, "Kestrelon", "A"), "1");
  EXPECT_EQ(ReadIni(ini_, "Kestrelon", "B"), "2");
  EXPECT_EQ(ReadIni(ini_, "Kestrelon", "C"), "3");
  WriteIni(ini_, "Kestrelon", "B", "4");
  EXPECT_EQ(Read(ini_), "; lf\n[Kestrelon]\nA=1\rB=4\r\nC=3");
  WriteIni(ini_, "Kestrelon", "D", "5");
  EXPECT_EQ(Read(ini_), "; lf\n[Kestrelon]\nA=1\rB=4\r\nC=3\nD=5\n");
}

// A write of the value the file already holds leaves the file itself alone (the same inode: it
// was not replaced), whatever its line ends and blanks.
TEST_F(WinSysFiles, UnchangedValueIsNotWritten) {
  const std::string text = "[Kestrelon]\nEnableOpt = 0  \nStoreSort=1\n";
  Write(ini_, text);
  struct stat before {};
  ASSERT_EQ(stat(ini_.c_str(), &before), 0);
  WriteIni(ini_, "Kestrelon", "EnableOpt", "0");
  WriteIni(ini_, "kestrelon", "STORESORT", "1");
  struct stat after {};
  ASSERT_EQ(stat(ini_.c_str(), &after), 0);
  EXPECT_EQ(after.st_ino, before.st_ino);
  EXPECT_EQ(Read(ini_), text);
}

TEST_F(WinSysFiles, WriteIntoMissingFolderChangesNothing) {
  const std::string ini = Path("missing/Kestrelon.ini");
  EXPECT_NO_THROW(WriteIni(ini, "Kestrelon", "SortExt1", ".srt"));
  EXPECT_FALSE(fs::exists(Path("missing")));
  EXPECT_TRUE(Names().empty());
  EXPECT_NO_THROW(WriteIni("", "Kestrelon", "SortExt1", ".srt"));
}

TEST_F(WinSysFiles, WriteIntoReadOnlyFolderIsSilent) {
  if (RunningAsRoot())
    GTEST_SKIP() << "root ignores folder permissions";
  Write(ini_, "[Kestrelon]\r\nSortExt1=.srt\r\n");
  ASSERT_EQ(chmod(dir_.c_str(), 0555), 0);
  EXPECT_NO_THROW(WriteIni(ini_, "Kestrelon", "SortExt1", ".txt"));
  EXPECT_NO_THROW(WriteIni(ini_, "Kestrelon", "DiffExt", ".dif"));
  ASSERT_EQ(chmod(dir_.c_str(), 0700), 0);
  EXPECT_EQ(Read(ini_), "[Kestrelon]\r\nSortExt1=.srt\r\n");
  EXPECT_EQ(Names(), std::set<std::string>{"Kestrelon.ini"});
}

// A settings file that exists but cannot be read (here a named pipe, which no user can read
// as a file, root included) is never replaced.
TEST_F(WinSysFiles, UnreadableFileIsNotReplaced) {
  ASSERT_EQ(mkfifo(ini_.c_str(), 0600), 0);
  EXPECT_FALSE(ProfileReadable(ini_));
  EXPECT_EQ(ReadIni(ini_, "Kestrelon", "SortExt1"), "");
  WriteIni(ini_, "Kestrelon", "DiffExt", ".dif");
  struct stat st {};
  ASSERT_EQ(stat(ini_.c_str(), &st), 0);
  EXPECT_TRUE(S_ISFIFO(st.st_mode));
  EXPECT_EQ(Names(), std::set<std::string>{"Kestrelon.ini"});
  EXPECT_TRUE(ProfileReadable(Path("missing.ini")));
}

TEST_F(WinSysFiles, WriteKeepsThePermissionsOfTheFile) {
  Write(ini_, "[Kestrelon]\r\n");
  ASSERT_EQ(chmod(ini_.c_str(), 0640), 0);
  WriteIni(ini_, "Kestrelon", "EnableOpt", "1");
  struct stat st {};
  ASSERT_EQ(stat(ini_.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  EXPECT_EQ(ReadIni(ini_, "Kestrelon", "EnableOpt"), "1");
}

TEST_F(WinSysFiles, WriteThroughASymbolicLinkKeepsTheLink) {
  ASSERT_EQ(mkdir(Path("real").c_str(), 0700), 0);
  Write(Path("real/Kestrelon.ini"), "[Kestrelon]\r\n");
  ASSERT_EQ(symlink("real/Kestrelon.ini", ini_.c_str()), 0);
  WriteIni(ini_, "Kestrelon", "StoreSort", "1");
  EXPECT_TRUE(fs::is_symlink(ini_));
  EXPECT_EQ(Read(Path("real/Kestrelon.ini")), "[Kestrelon]\r\nStoreSort=1\r\n");
  EXPECT_EQ(Names(), (std::set<std::string>{"Kestrelon.ini", "real"}));
}

TEST_F(WinSysFiles, ValuesThatWouldBreakTheFileAreNotWritten) {
  WriteIni(ini_, "Kestrelon", "SortExt1", ".a\r\n[Evil]");
  WriteIni(ini_, "Kestrelon", "Sort=Ext1", ".srt");
  WriteIni(ini_, "Kest]relon", "SortExt1", ".srt");
  WriteIni(ini_, "Kestrelon", "SortExt1", ".a\0b"s);
  EXPECT_TRUE(Names().empty());
}

TEST(WinSys, CutAtNul) {
  EXPECT_EQ(CutAtNul("abc"), "abc");
  EXPECT_EQ(CutAtNul(""), "");
  EXPECT_EQ(CutAtNul("\0abc"s), "");
  EXPECT_EQ(CutAtNul("ab\0c\0"s), "ab");
  EXPECT_EQ(CutAtNul(std::string(256, '\0')), "");
}

TEST_F(WinSysFiles, FileExists) {
  const std::string file = Path("r1.log");
  Write(file, "x\r\n");
  ASSERT_EQ(mkdir(Path("folder").c_str(), 0700), 0);
  EXPECT_FALSE(FileExists(Path("missing.log")));
  EXPECT_FALSE(FileExists(Path("missing/r1.log")));
  EXPECT_FALSE(FileExists(file + "/r1.log"));  // a file used as a folder: ENOTDIR
  EXPECT_FALSE(FileExists(Path("folder")));
  EXPECT_FALSE(FileExists(dir_ + "/"));
  EXPECT_FALSE(FileExists(""));
  EXPECT_FALSE(FileExists(file + "\0x"s));
  EXPECT_TRUE(FileExists(file));
  EXPECT_TRUE(FileExists(dir_ + "/folder/../r1.log"));
}

TEST_F(WinSysFiles, FileExistsForAnUnreadableFileAndFolder) {
  const std::string file = Path("locked.log");
  Write(file, "x\r\n");
  ASSERT_EQ(chmod(file.c_str(), 0), 0);
  EXPECT_TRUE(FileExists(file));  // EACCES counts as existing; root reads it anyway
  ASSERT_EQ(mkdir(Path("closed").c_str(), 0), 0);
  EXPECT_FALSE(FileExists(Path("closed")));  // unreadable, but stat says folder
}

TEST(WinSys, ReadCheckState) {
  struct Case {
    const char* text;
    long long value;
  };
  const Case cases[] = {
      {"0", 0},
      {"1", 1},
      {"", 0},
      {"abc", 0},
      {"1abc", 1},
      {"  1", 1},
      {"\t \t1", 1},
      {"+1", 1},
      {"-1", -1},
      {"1.4", 1},
      {"1.6", 2},
      {".6", 1},
      {".4", 0},
      {"-0.5", 0},
      {"0.5", 0},
      {"1.5", 2},
      {"2.5", 2},
      {"3.5", 4},
      {"-1.5", -2},
      {"-2.5", -2},
      {"2.50000", 2},
      {"2.500001", 3},
      {"0.49999999", 0},
      {"1.", 1},
      {".", 0},
      {"-", 0},
      {"+.5", 0},
      {"- 1", 0},
      {"1e3", 1},
      {"0x10", 0},
      {"&H10", 0},
      {" \n1", 0},
      {"007", 7},
      {"1 2", 1},
      {"1,5", 1},
      {"1..5", 1},
      {"9223372036854775807", LLONG_MAX},
      {"9223372036854775807.5", LLONG_MAX},
      {"99999999999999999999999", LLONG_MAX},
      {"-9223372036854775808", LLONG_MIN},
      {"-99999999999999999999999.9", LLONG_MIN},
      {"9223372036854775806.5", 9223372036854775806},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ReadCheckState(c.text), c.value) << '"' << c.text << '"';
  }
}

}  // namespace
}  // namespace kestrelon::settings
