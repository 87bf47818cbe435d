#include "files/mapped_file.h"

#include <cerrno>

#include "files/file_error.h"

namespace kestrelon::files {
namespace {

// The open file, when it is a regular file.
files::NativeFile OpenRegularFile(const std::string& path) {
  files::NativeFile file = files::OpenForReading(path);
  switch (file.Kind(path)) {
    case files::FileKind::kRegular:
      return file;
    case files::FileKind::kFolder:
      throw FileError("read", path, EISDIR);
    default:
      throw FileError("read", path, 0, "not a regular file");
  }
}

}  // namespace

MappedFile::MappedFile(const std::string& path)
    : path_(path),
      file_(OpenRegularFile(path)),
      map_(file_, static_cast<std::size_t>(file_.Size(path)), path) {}

void MappedFile::CheckUnchanged() const {
  if (map_.Cut() || file_.Size(path_) < map_.bytes().size()) {
    throw FileError("read", path_, 0, "the file changed while it was being read (it got shorter)");
  }
}

}  // namespace kestrelon::files
