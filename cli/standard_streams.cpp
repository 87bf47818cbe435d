#include "cli/standard_streams.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "files/file_error.h"
#include "files/file_writer.h"
#include "files/mapped_file.h"

namespace kestrelon::cli {
namespace {

constexpr std::size_t kChunk = 1 << 16;

// Closes a descriptor this unit opened.
class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) {
      ::close(fd_);
    }
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

}  // namespace

void CopyDescriptorToFile(int fd, const std::string& sourceName, const std::string& target) {
  routes::OutputFile output(target);
  std::vector<char> buffer(kChunk);
  while (true) {
    const ssize_t n = ::read(fd, buffer.data(), buffer.size());
    if (n < 0) {
      if (errno == EINTR) {
        continue;
      }
      ThrowErrno("read", sourceName);
    }
    if (n == 0) {
      break;
    }
    output.Write({buffer.data(), static_cast<std::size_t>(n)});
  }
  output.Close();
}

void CopyToFile(const std::string& source, const std::string& target) {
  const Descriptor input(::open(source.c_str(), O_RDONLY | O_CLOEXEC));
  if (input.get() < 0) {
    ThrowErrno("open for reading", source);
  }
  CopyDescriptorToFile(input.get(), source, target);
}

void WriteStandardOutput(std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(STDOUT_FILENO, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR) {
        continue;
      }
      ThrowErrno("write", kStandardOutputName);
    }
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
}

void CopyFileToStandardOutput(const std::string& path) {
  const routes::MappedFile file(path);
  WriteStandardOutput(file.bytes());
}

}  // namespace kestrelon::cli
