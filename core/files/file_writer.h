// Buffered output files that throw FileError. OutputFile writes a file in place (the staging
// file); AtomicOutputFile writes beside the target and renames into place only on Commit(), so a
// failed run leaves an earlier file of that name as it was.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kestrelon::routes {

class OutputFile {
 public:
  // Creates or truncates path.
  explicit OutputFile(const std::string& path);
  ~OutputFile();
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  void Write(std::string_view bytes);
  // Writes text and a CR LF.
  void WriteLine(std::string_view text);
  // Flushes and closes; throws when that fails.
  void Close();
  // The name errors report.
  const std::string& path() const { return reportPath_; }

 protected:
  OutputFile(std::string path, int fd, std::string reportPath);
  const std::string& actualPath() const { return path_; }
  void Flush();
  void CloseQuietly();

 private:
  std::string path_;
  std::string reportPath_;
  int fd_ = -1;
  std::vector<char> buffer_;
  std::size_t used_ = 0;
};

class AtomicOutputFile : public OutputFile {
 public:
  explicit AtomicOutputFile(const std::string& target);
  // Removes the temporary file unless Commit() succeeded.
  ~AtomicOutputFile();

  // Closes the temporary file and renames it over the target.
  void Commit();

 private:
  AtomicOutputFile(std::string target, std::pair<std::string, int> temporary);
  std::string target_;
  bool committed_ = false;
};

}  // namespace kestrelon::routes
