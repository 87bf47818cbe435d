#include "cli/standard_streams.h"

#include <vector>

#include "files/file_writer.h"
#include "files/mapped_file.h"
#include "files/signal_cleanup.h"

namespace kestrelon::cli {
namespace {

constexpr std::size_t kChunk = 1 << 16;

}  // namespace

void CopyOpenFileToFile(files::NativeFile& source, const std::string& sourceName,
                        const std::string& target) {
  files::OutputFile output(target);
  std::vector<char> buffer(kChunk);
  while (const std::size_t n = source.Read(buffer.data(), buffer.size(), sourceName)) {
    output.Write({buffer.data(), n});
  }
  output.Close();
}

void CopyToFile(const std::string& source, const std::string& target) {
  files::NativeFile input = files::OpenForReading(source);
  CopyOpenFileToFile(input, source, target);
}

void WriteStandardOutput(std::string_view bytes) {
  files::NativeFile::StandardOutput().Write(bytes, kStandardOutputName);
}

void CopyFileToStandardOutput(const std::string& path) {
  const files::MappedFile file(path);
  WriteStandardOutput(file.bytes());
  files::MarkRunSucceeded();  // the result is out: a late signal no longer fails the run
}

}  // namespace kestrelon::cli
