#include "files/same_file.h"

#include <filesystem>
#include <system_error>

#include "files/platform.h"

namespace kestrelon::files {

bool SameFile(const std::string& a, const std::string& b) {
  if (a == b) {
    return true;
  }
  std::error_code error;
  const auto absoluteA = std::filesystem::absolute(files::PathOf(a), error).lexically_normal();
  const auto absoluteB = std::filesystem::absolute(files::PathOf(b), error).lexically_normal();
  if (!error && absoluteA == absoluteB) {
    return true;
  }
  return files::SameFileIdentity(a, b);
}

}  // namespace kestrelon::files
