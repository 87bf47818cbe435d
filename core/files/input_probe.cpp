#include "files/input_probe.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "files/file_error.h"

namespace kestrelon::routes {

void EnsureReadable(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) {
    ThrowErrno("open for reading", path);
  }
  struct stat info {};
  const bool folder = ::fstat(fd, &info) == 0 && S_ISDIR(info.st_mode);
  ::close(fd);
  if (folder) {
    throw FileError("open for reading", path, EISDIR);
  }
}

}  // namespace kestrelon::routes
