// Test helpers: a fresh temporary folder per test, and whole-file reads and writes.
#pragma once

#include <string>

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

}  // namespace kestrelon::testing
