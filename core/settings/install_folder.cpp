#include "settings/install_folder.h"

namespace kestrelon::settings {

namespace {

std::string_view WithoutTrailingSlashes(std::string_view path) {
  while (path.size() > 1 && path.back() == '/') {
    path.remove_suffix(1);
  }
  return path;
}

}  // namespace

bool IsInstalledProgramFolder(std::string_view programFolder, std::string_view installBinDir) {
  const std::string_view folder = WithoutTrailingSlashes(programFolder);
  if (folder == "/usr" || folder.starts_with("/usr/")) {
    return true;
  }
  const std::string_view bin = WithoutTrailingSlashes(installBinDir);
  return !bin.empty() && folder == bin;
}

}  // namespace kestrelon::settings
