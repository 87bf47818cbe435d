// Test helpers: a fresh temporary folder per test, whole-file reads and writes, and texts made of
// lines.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kestrelon::testing {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

// Points $TMPDIR, where runs put their private folders, at path while it lives.
class ScopedTmpdir {
 public:
  explicit ScopedTmpdir(const std::string& path);
  ~ScopedTmpdir();
  ScopedTmpdir(const ScopedTmpdir&) = delete;
  ScopedTmpdir& operator=(const ScopedTmpdir&) = delete;

 private:
  std::string saved_;
  bool had_ = false;
};

std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& bytes);
// The names in a folder, sorted.
std::string ListFolder(const std::string& path);

// n blanks, for lines whose columns count.
inline std::string B(int n) {
  return std::string(static_cast<std::size_t>(n), ' ');
}

// The lines, each ended by end.
inline std::string JoinLines(const std::vector<std::string>& lines, std::string_view end = "\r\n") {
  std::string text;
  for (const std::string& line : lines) {
    text += line;
    text += end;
  }
  return text;
}

}  // namespace kestrelon::testing
