#include "files/file_error.h"

#include <cerrno>
#include <cstring>

namespace kestrelon {
namespace {

std::string Describe(const std::string& operation, const std::string& path, int errnum,
                     const std::string& detail) {
  std::string text = "cannot " + operation + " \"" + path + "\"";
  if (!detail.empty()) {
    text += ": " + detail;
  } else if (errnum != 0) {
    text += ": " + std::string(std::strerror(errnum)) + " (errno " + std::to_string(errnum) + ")";
  }
  return text;
}

}  // namespace

FileError::FileError(std::string operation, std::string path, int errnum, std::string detail)
    : std::runtime_error(Describe(operation, path, errnum, detail)),
      operation_(std::move(operation)),
      path_(std::move(path)),
      errnum_(errnum) {}

void ThrowErrno(const std::string& operation, const std::string& path) {
  throw FileError(operation, path, errno);
}

}  // namespace kestrelon
