// Where a writer puts the bytes it produces: an output file, or memory in tests and fuzzing.
#pragma once

#include <string>
#include <string_view>

#include "files/file_writer.h"

namespace kestrelon::tables {

class ByteSink {
 public:
  virtual ~ByteSink() = default;
  virtual void Write(std::string_view bytes) = 0;
};

class FileByteSink : public ByteSink {
 public:
  explicit FileByteSink(files::OutputFile& file) : file_(file) {}
  void Write(std::string_view bytes) override { file_.Write(bytes); }

 private:
  files::OutputFile& file_;
};

class StringByteSink : public ByteSink {
 public:
  void Write(std::string_view bytes) override { text.append(bytes); }
  std::string text;
};

}  // namespace kestrelon::tables
