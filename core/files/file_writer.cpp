#include "files/file_writer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <random>

#include "files/file_error.h"

namespace kestrelon::routes {
namespace {

constexpr std::size_t kBufferSize = 1 << 20;
constexpr int kNameAttempts = 100;

int CreateNewFile(const std::string& path) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) {
    ThrowErrno("create", path);
  }
  return fd;
}

// A name beside target that no run uses: the process id and a random number, so a leftover of
// a killed run is never taken for this run's file.
std::string UniqueNameBeside(const std::string& target, std::random_device& random,
                             const char* suffix) {
  return target + ".~" + std::to_string(::getpid()) + "-" + std::to_string(random()) + suffix;
}

// A hard link to target beside it, so that target can be brought back; empty when target does
// not exist or the file system cannot link.
std::string LinkBackup(const std::string& target) {
  std::random_device random;
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    const std::string name = UniqueNameBeside(target, random, ".bak");
    if (::link(target.c_str(), name.c_str()) == 0) {
      return name;
    }
    if (errno != EEXIST) {
      return {};
    }
  }
  return {};
}

bool IsFolder(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace

OutputFile::OutputFile(const std::string& path) : OutputFile(path, CreateNewFile(path), path) {}

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
  if (used_ + text.size() + 2 <= buffer_.size()) {  // the common case: one copy, no checks
    char* at = buffer_.data() + used_;
    if (!text.empty()) {
      std::memcpy(at, text.data(), text.size());
    }
    at[text.size()] = '\r';
    at[text.size() + 1] = '\n';
    used_ += text.size() + 2;
    return;
  }
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
    : AtomicOutputFile(target, [&target] {
        std::random_device random;
        for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
          std::string name = UniqueNameBeside(target, random, ".tmp");
          // Created and registered, or neither: a signal in between would leave it behind.
          const files::HoldSignals hold;
          const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
          if (fd >= 0) {
            try {
              files::RemoveOnSignal removal(name);
              return Temporary{std::move(name), fd, std::move(removal)};
            } catch (...) {
              ::close(fd);
              ::unlink(name.c_str());
              throw;
            }
          }
          if (errno != EEXIST) {
            ThrowErrno("create", target);
          }
        }
        throw FileError("create", target, EEXIST);
      }()) {}

AtomicOutputFile::AtomicOutputFile(std::string target, Temporary temporary)
    : OutputFile(std::move(temporary.name), temporary.fd, target),
      target_(std::move(target)),
      removal_(std::move(temporary.removal)) {}

AtomicOutputFile::~AtomicOutputFile() {
  if (!committed_) {
    CloseQuietly();
    ::unlink(writtenPath().c_str());
  }
}

void AtomicOutputFile::Commit() {
  CommitTogether({this});
}

void CommitTogether(std::initializer_list<AtomicOutputFile*> files) {
  for (AtomicOutputFile* file : files) {
    file->Close();
  }
  // rename() would fail on a folder only after the files before it were in place.
  for (AtomicOutputFile* file : files) {
    if (IsFolder(file->target_)) {
      throw FileError("replace", file->target_, EISDIR);
    }
  }
  struct Undo {
    AtomicOutputFile* file;
    bool existed;        // the target was there before
    std::string backup;  // a link to it, empty when none could be made
  };
  const files::HoldSignals hold;
  const bool undoable = files.size() > 1;
  std::vector<Undo> done;
  for (AtomicOutputFile* file : files) {
    Undo undo{file, undoable && ::access(file->target_.c_str(), F_OK) == 0, {}};
    if (undo.existed) {
      undo.backup = LinkBackup(file->target_);
    }
    if (::rename(file->writtenPath().c_str(), file->target_.c_str()) != 0) {
      const int error = errno;
      if (!undo.backup.empty()) {
        ::unlink(undo.backup.c_str());
      }
      for (auto it = done.rbegin(); it != done.rend(); ++it) {
        if (!it->backup.empty()) {
          ::rename(it->backup.c_str(), it->file->target_.c_str());
        } else if (!it->existed) {
          ::unlink(it->file->target_.c_str());
        }  // else the earlier file is gone for good; the new one stays rather than nothing
      }
      errno = error;
      ThrowErrno("replace", file->target_);
    }
    file->committed_ = true;
    file->removal_.Release();
    done.push_back(std::move(undo));
  }
  for (const Undo& undo : done) {
    if (!undo.backup.empty()) {
      ::unlink(undo.backup.c_str());
    }
  }
}

}  // namespace kestrelon::routes
