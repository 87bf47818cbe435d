#include "files/private_folder.h"

#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <system_error>

#include "files/file_error.h"

namespace kestrelon::files {
namespace {

std::string TemporaryRoot() {
  const char* tmpdir = std::getenv("TMPDIR");
  std::string root = (tmpdir != nullptr && *tmpdir != '\0') ? tmpdir : "/tmp";
  while (root.size() > 1 && root.back() == '/') {
    root.pop_back();
  }
  return root;
}

}  // namespace

PrivateFolder::PrivateFolder() {
  const std::string root = TemporaryRoot();
  std::string pattern = root + "/kestrelon.XXXXXX";
  const HoldSignals hold;  // created and registered, or neither
  if (::mkdtemp(pattern.data()) == nullptr) {
    ThrowErrno("create a temporary folder in", root);
  }
  path_ = std::move(pattern);
  try {
    folderRemoval_.emplace(path_, RemoveOnSignal::Kind::kFolder);
  } catch (...) {
    ::rmdir(path_.c_str());
    throw;
  }
}

PrivateFolder::~PrivateFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::string PrivateFolder::NewFile(const std::string& name) {
  std::string file = path_ + "/" + name;
  fileRemovals_.emplace_back(file);
  return file;
}

}  // namespace kestrelon::files
