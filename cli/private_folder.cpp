#include "cli/private_folder.h"

#include <stdlib.h>

#include <filesystem>
#include <system_error>

#include "files/file_error.h"

namespace kestrelon::cli {
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
  std::string pattern = root + "/kestrelon-cli.XXXXXX";
  if (::mkdtemp(pattern.data()) == nullptr) {
    ThrowErrno("create a temporary folder in", root);
  }
  path_ = std::move(pattern);
}

PrivateFolder::~PrivateFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

}  // namespace kestrelon::cli
