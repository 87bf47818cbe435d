#include "files/mapped_file.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "files/file_error.h"

namespace kestrelon::routes {
namespace {

// Closes a descriptor on every path out of the constructor.
struct Descriptor {
  int fd;
  ~Descriptor() {
    if (fd >= 0) {
      ::close(fd);
    }
  }
};

}  // namespace

MappedFile::MappedFile(const std::string& path) {
  Descriptor file{::open(path.c_str(), O_RDONLY | O_CLOEXEC)};
  if (file.fd < 0) {
    ThrowErrno("open for reading", path);
  }
  struct stat info {};
  if (::fstat(file.fd, &info) != 0) {
    ThrowErrno("read", path);
  }
  if (S_ISDIR(info.st_mode)) {
    throw FileError("read", path, EISDIR);
  }
  if (!S_ISREG(info.st_mode)) {
    throw FileError("read", path, 0, "not a regular file");
  }
  size_ = static_cast<std::size_t>(info.st_size);
  if (size_ == 0) {
    return;
  }
  void* data = ::mmap(nullptr, size_, PROT_READ, MAP_PRIVATE, file.fd, 0);
  if (data == MAP_FAILED) {
    ThrowErrno("read", path);
  }
  ::madvise(data, size_, MADV_SEQUENTIAL);
  data_ = static_cast<const char*>(data);
  mapped_ = true;
}

MappedFile::~MappedFile() {
  if (mapped_) {
    ::munmap(const_cast<char*>(data_), size_);
  }
}

}  // namespace kestrelon::routes
