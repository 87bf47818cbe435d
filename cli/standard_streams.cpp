#include "cli/standard_streams.h"

#include <cstring>
#include <vector>

#include "files/file_error.h"
#include "files/file_writer.h"
#include "files/mapped_file.h"
#include "files/signal_cleanup.h"

namespace kestrelon::cli {
namespace {

constexpr std::size_t kChunk = 1 << 16;

}  // namespace

void CopyOpenFileToFile(files::NativeFile& source, const std::string& sourceName,
                        const std::string& target, files::TextCheck* check) {
  try {
    files::OutputFile output(target);
    std::vector<char> buffer(kChunk);
    while (const std::size_t n = source.Read(buffer.data(), buffer.size(), sourceName)) {
      if (check != nullptr) {
        check->Take({buffer.data(), n});
      }
      output.Write({buffer.data(), n});
    }
    output.Close();
  } catch (const FileError& error) {
    if (error.path() != target) {
      throw;
    }
    // The copy is the program's own business: the user knows the input by its name.
    throw FileError("copy", sourceName, error.errnum(),
                    std::string(std::strerror(error.errnum())) + " (errno " +
                        std::to_string(error.errnum()) + ") in the temporary folder " +
                        files::TemporaryRoot());
  }
}

void CopyToFile(const std::string& source, const std::string& target, files::TextCheck* check) {
  files::NativeFile input = files::OpenForReading(source);
  CopyOpenFileToFile(input, source, target, check);
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
