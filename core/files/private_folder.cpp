#include "files/private_folder.h"

#include "files/file_error.h"
#include "files/platform.h"

namespace kestrelon::files {

PrivateFolder::PrivateFolder() {
  const HoldSignals hold;  // created and registered, or neither
  path_ = CreatePrivateFolder(TemporaryRoot(), "kestrelon.");
  try {
    folderRemoval_.emplace(path_, RemoveOnSignal::Kind::kFolder);
  } catch (...) {
    RemoveEmptyFolderQuietly(path_);
    throw;
  }
}

PrivateFolder::~PrivateFolder() {
  RemoveTreeQuietly(path_);
}

std::string PrivateFolder::NewFile(const std::string& name) {
  std::string file = path_ + "/" + name;
  fileRemovals_.emplace_back(file);
  return file;
}

}  // namespace kestrelon::files
