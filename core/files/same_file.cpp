#include "files/same_file.h"

#include <sys/stat.h>

#include <filesystem>
#include <system_error>

namespace kestrelon::routes {

bool SameFile(const std::string& a, const std::string& b) {
  if (a == b) {
    return true;
  }
  std::error_code error;
  const auto absoluteA = std::filesystem::absolute(a, error).lexically_normal();
  const auto absoluteB = std::filesystem::absolute(b, error).lexically_normal();
  if (!error && absoluteA == absoluteB) {
    return true;
  }
  struct stat infoA {};
  struct stat infoB {};
  return ::stat(a.c_str(), &infoA) == 0 && ::stat(b.c_str(), &infoB) == 0 &&
         infoA.st_dev == infoB.st_dev && infoA.st_ino == infoB.st_ino;
}

}  // namespace kestrelon::routes
