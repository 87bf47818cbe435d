#include "files/input_probe.h"

#include <cerrno>

#include "files/file_error.h"
#include "files/platform.h"

namespace kestrelon::files {

void EnsureReadable(const std::string& path) {
  const files::NativeFile file = files::OpenForReading(path, /*waitForWriter=*/false);
  if (file.Kind(path) == files::FileKind::kFolder) {
    throw FileError("open for reading", path, EISDIR);
  }
}

}  // namespace kestrelon::files
