#include "files/file_writer.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <random>

#include "files/file_error.h"

namespace kestrelon::routes {
namespace {

constexpr std::size_t kBufferSize = 1 << 20;

int CreateFile(const std::string& path) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) {
    ThrowErrno("create", path);
  }
  return fd;
}

// A new file beside target, created exclusively with the usual permissions (umask applies).
std::pair<std::string, int> CreateTemporaryBeside(const std::string& target) {
  std::random_device random;
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::string name =
        target + ".~" + std::to_string(::getpid()) + "-" + std::to_string(random()) + ".tmp";
    const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) {
      return {name, fd};
    }
    if (errno != EEXIST) {
      ThrowErrno("create", target);
    }
  }
  throw FileError("create", target, EEXIST);
}

}  // namespace

OutputFile::OutputFile(const std::string& path) : OutputFile(path, CreateFile(path), path) {}

OutputFile::OutputFile(std::string path, int fd, std::string reportPath)
    : path_(std::move(path)), reportPath_(std::move(reportPath)), fd_(fd), buffer_(kBufferSize) {}

OutputFile::~OutputFile() {
  CloseQuietly();
}

void OutputFile::CloseQuietly() {
  if (fd_ >= 0) {
    ::close(fd_);
    fd_ = -1;
  }
}

void OutputFile::Flush() {
  const char* p = buffer_.data();
  std::size_t left = used_;
  while (left > 0) {
    const ssize_t n = ::write(fd_, p, left);
    if (n < 0) {
      if (errno == EINTR) {
        continue;
      }
      ThrowErrno("write", reportPath_);
    }
    p += n;
    left -= static_cast<std::size_t>(n);
  }
  used_ = 0;
}

void OutputFile::Write(std::string_view bytes) {
  if (bytes.empty()) {
    return;  // an empty view may carry a null pointer, which memcpy must not see
  }
  if (used_ + bytes.size() > buffer_.size()) {
    Flush();
    if (bytes.size() > buffer_.size()) {
      buffer_.resize(bytes.size());
    }
  }
  std::memcpy(buffer_.data() + used_, bytes.data(), bytes.size());
  used_ += bytes.size();
}

void OutputFile::WriteLine(std::string_view text) {
  Write(text);
  Write("\r\n");
}

void OutputFile::Close() {
  if (fd_ < 0) {
    return;
  }
  Flush();
  const int fd = fd_;
  fd_ = -1;
  if (::close(fd) != 0) {
    ThrowErrno("write", reportPath_);
  }
}

AtomicOutputFile::AtomicOutputFile(const std::string& target)
    : AtomicOutputFile(target, CreateTemporaryBeside(target)) {}

AtomicOutputFile::AtomicOutputFile(std::string target, std::pair<std::string, int> temporary)
    : OutputFile(std::move(temporary.first), temporary.second, target),
      target_(std::move(target)) {}

AtomicOutputFile::~AtomicOutputFile() {
  if (!committed_) {
    CloseQuietly();
    ::unlink(actualPath().c_str());
  }
}

void AtomicOutputFile::Commit() {
  Close();
  if (::rename(actualPath().c_str(), target_.c_str()) != 0) {
    ThrowErrno("replace", target_);
  }
  committed_ = true;
}

}  // namespace kestrelon::routes
