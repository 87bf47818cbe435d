// Where a processing step puts the lines it produces: a file, or memory in tests and fuzzing.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "files/file_writer.h"

namespace kestrelon::files {

class LineSink {
 public:
  virtual ~LineSink() = default;
  virtual void Put(std::string_view line) = 0;
};

// Writes each line with CR LF.
class FileLineSink : public LineSink {
 public:
  explicit FileLineSink(OutputFile& file) : file_(file) {}
  void Put(std::string_view line) override { file_.WriteLine(line); }

 private:
  OutputFile& file_;
};

// Puts each line into both sinks.
class TeeLineSink : public LineSink {
 public:
  TeeLineSink(LineSink& first, LineSink& second) : first_(first), second_(second) {}
  void Put(std::string_view line) override {
    first_.Put(line);
    second_.Put(line);
  }

 private:
  LineSink& first_;
  LineSink& second_;
};

class VectorLineSink : public LineSink {
 public:
  void Put(std::string_view line) override { lines.emplace_back(line); }
  std::vector<std::string> lines;
};

}  // namespace kestrelon::files
