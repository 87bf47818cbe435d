// The one error type of the core: a file operation that failed, with the path and the
// system's reason. Front ends catch it and tell the user; the core never prints.
#pragma once

#include <stdexcept>
#include <string>

namespace kestrelon {

class FileError : public std::runtime_error {
 public:
  // operation: what was being done, as a short phrase ("open for reading", "write", "delete").
  // errnum: the errno value, 0 when the failure is not a system error.
  FileError(std::string operation, std::string path, int errnum, std::string detail = {});

  const std::string& operation() const { return operation_; }
  const std::string& path() const { return path_; }
  int errnum() const { return errnum_; }

 private:
  std::string operation_;
  std::string path_;
  int errnum_;
};

// Throws FileError for the current errno.
[[noreturn]] void ThrowErrno(const std::string& operation, const std::string& path);

}  // namespace kestrelon
