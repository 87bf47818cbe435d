// The platform services on POSIX systems (Linux first): descriptors, stat, rename, mmap.
#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <system_error>

#include "files/file_error.h"
#include "files/platform.h"

namespace kestrelon::files {
namespace {

int Fd(const NativeFile& file) {
  return static_cast<int>(file.native());
}

constexpr int kTerminationSignals[] = {SIGHUP, SIGINT, SIGPIPE, SIGTERM};

// The maps the SIGBUS handler may mend: a slot is free while its start is null.
struct MapSlot {
  std::atomic<const char*> start{nullptr};
  std::atomic<std::size_t> size{0};
  std::atomic<bool> cut{false};
};
constexpr int kMapSlots = 64;
MapSlot mapSlots[kMapSlots];

int RegisterMap(const char* start, std::size_t size) {
  for (int i = 0; i < kMapSlots; ++i) {
    const char* expected = nullptr;
    if (mapSlots[i].start.compare_exchange_strong(expected, start)) {
      mapSlots[i].cut.store(false);
      mapSlots[i].size.store(size);
      return i;
    }
  }
  return -1;  // the table is full: a cut file then ends the program as SIGBUS does
}

// A read past the end of a mapped file that another program cut short: the pages from the one
// that faulted to the end of the map become zero pages, so the read goes on and the owner of the
// map learns from its slot that the file changed. Async-signal-safe: atomics and mmap only.
void OnBusError(int signalNumber, siginfo_t* info, void*) {
  const auto* at = static_cast<const char*>(info->si_addr);
  for (MapSlot& slot : mapSlots) {
    const char* start = slot.start.load();
    const std::size_t size = slot.size.load();
    if (start == nullptr || at < start || at >= start + size) {
      continue;
    }
    const auto page = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
    const auto from = reinterpret_cast<std::uintptr_t>(at) / page * page;
    const std::uintptr_t end = reinterpret_cast<std::uintptr_t>(start) + size;
    if (::mmap(reinterpret_cast<void*>(from), end - from, PROT_READ,
               MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0) != MAP_FAILED) {
      slot.cut.store(true);
      return;
    }
  }
  // Not a map of ours, or it could not be mended: the default action ends the program.
  ::signal(signalNumber, SIG_DFL);
}

FileKind KindOfMode(mode_t mode) {
  if (S_ISREG(mode)) {
    return FileKind::kRegular;
  }
  return S_ISDIR(mode) ? FileKind::kFolder : FileKind::kOther;
}

NativeFile Open(const std::string& path, int flags, mode_t mode, const char* operation) {
  const int fd = ::open(path.c_str(), flags | O_CLOEXEC, mode);
  if (fd < 0) {
    ThrowErrno(operation, path);
  }
  return NativeFile(fd);
}

}  // namespace

NativeFile::~NativeFile() {
  CloseQuietly();
}

NativeFile::NativeFile(NativeFile&& other) noexcept : handle_(other.handle_), owned_(other.owned_) {
  other.handle_ = -1;
}

NativeFile& NativeFile::operator=(NativeFile&& other) noexcept {
  if (this != &other) {
    CloseQuietly();
    handle_ = other.handle_;
    owned_ = other.owned_;
    other.handle_ = -1;
  }
  return *this;
}

FileKind NativeFile::Kind(const std::string& name) const {
  struct stat info {};
  if (::fstat(Fd(*this), &info) != 0) {
    ThrowErrno("read", name);
  }
  return KindOfMode(info.st_mode);
}

std::uint64_t NativeFile::Size(const std::string& name) const {
  struct stat info {};
  if (::fstat(Fd(*this), &info) != 0) {
    ThrowErrno("read", name);
  }
  return static_cast<std::uint64_t>(info.st_size);
}

std::size_t NativeFile::Read(char* data, std::size_t size, const std::string& name) {
  while (true) {
    const ssize_t n = ::read(Fd(*this), data, size);
    if (n >= 0) {
      return static_cast<std::size_t>(n);
    }
    if (errno != EINTR) {
      ThrowErrno("read", name);
    }
  }
}

void NativeFile::Write(std::string_view bytes, const std::string& name) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(Fd(*this), bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR) {
        continue;
      }
      ThrowErrno("write", name);
    }
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
}

void NativeFile::Sync(const std::string& name) {
  if (::fsync(Fd(*this)) != 0) {
    ThrowErrno("write", name);
  }
}

void NativeFile::Close(const std::string& name) {
  if (handle_ == -1) {
    return;
  }
  const int fd = Fd(*this);
  const bool owned = owned_;
  handle_ = -1;
  if (owned && ::close(fd) != 0) {
    ThrowErrno("write", name);
  }
}

void NativeFile::CloseQuietly() noexcept {
  if (handle_ != -1 && owned_) {
    ::close(Fd(*this));
  }
  handle_ = -1;
}

NativeFile NativeFile::StandardInput() {
  return NativeFile(STDIN_FILENO, false);
}

NativeFile NativeFile::StandardOutput() {
  return NativeFile(STDOUT_FILENO, false);
}

NativeFile OpenForReading(const std::string& path, bool waitForWriter) {
  // O_NONBLOCK opens a FIFO at once; reads of regular files ignore it.
  return Open(path, waitForWriter ? O_RDONLY : O_RDONLY | O_NONBLOCK, 0, "open for reading");
}

std::optional<NativeFile> CreateExclusive(const std::string& path) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd >= 0) {
    return NativeFile(fd);
  }
  if (errno == EEXIST) {
    return std::nullopt;
  }
  ThrowErrno("create", path);
}

void ReplaceFile(const std::string& from, const std::string& to) {
  if (::rename(from.c_str(), to.c_str()) != 0) {
    ThrowErrno("replace", to);
  }
}

void RemoveFile(const std::string& path) {
  if (::unlink(path.c_str()) != 0 && errno != ENOENT) {
    ThrowErrno("delete", path);
  }
}

void RemoveFileQuietly(const std::string& path) noexcept {
  ::unlink(path.c_str());
}

void RemoveTreeQuietly(const std::string& path) noexcept {
  std::error_code ignored;
  std::filesystem::remove_all(path, ignored);
}

void RemoveEmptyFolderQuietly(const std::string& path) noexcept {
  ::rmdir(path.c_str());
}

int MakeHardLink(const std::string& target, const std::string& link) noexcept {
  return ::link(target.c_str(), link.c_str()) == 0 ? 0 : errno;
}

FileKind KindOf(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) == 0) {
    return KindOfMode(info.st_mode);
  }
  if (errno == ENOENT || errno == ENOTDIR) {
    return FileKind::kMissing;
  }
  ThrowErrno("examine", path);
}

bool SameFileIdentity(const std::string& a, const std::string& b) {
  struct stat infoA {};
  struct stat infoB {};
  return ::stat(a.c_str(), &infoA) == 0 && ::stat(b.c_str(), &infoB) == 0 &&
         infoA.st_dev == infoB.st_dev && infoA.st_ino == infoB.st_ino;
}

std::string ResolveLinks(const std::string& path) {
  char* real = ::realpath(path.c_str(), nullptr);
  if (real == nullptr) {
    return path;
  }
  std::string resolved = real;
  ::free(real);
  return resolved;
}

void CopyPermissions(const std::string& model, NativeFile& file, const std::string& name) {
  struct stat info {};
  if (::stat(model.c_str(), &info) != 0) {
    return;
  }
  // The owner first: a change of owner may clear the set-id bits. An ordinary user may still
  // give the file the group when a member of it.
  if (::fchown(Fd(file), info.st_uid, info.st_gid) != 0) {
    [[maybe_unused]] const int ignored = ::fchown(Fd(file), static_cast<uid_t>(-1), info.st_gid);
  }
  if (::fchmod(Fd(file), info.st_mode & 07777) != 0) {
    ThrowErrno("write", name);
  }
}

void CheckWritable(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) {
    return;  // missing: the creation tells whether the folder takes a file
  }
  if (S_ISDIR(info.st_mode)) {
    return;  // the rename tells
  }
  if ((info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
    throw FileError("write", path, EACCES, "the file is write-protected");
  }
  if (::access(path.c_str(), W_OK) != 0 && errno == EACCES) {
    ThrowErrno("write", path);
  }
}

std::optional<NativeFile> OpenToWriteThrough(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0 || S_ISREG(info.st_mode) || S_ISDIR(info.st_mode)) {
    return std::nullopt;
  }
  NativeFile file = Open(path, O_WRONLY | O_TRUNC | O_NOCTTY, 0, "open for writing");
  if (file.Kind(path) == FileKind::kRegular) {
    return std::nullopt;  // replaced meanwhile by a file: that one is renamed over as usual
  }
  return file;
}

std::string TemporaryRoot() {
  const char* tmpdir = std::getenv("TMPDIR");
  std::string root = (tmpdir != nullptr && *tmpdir != '\0') ? tmpdir : "/tmp";
  while (root.size() > 1 && root.back() == '/') {
    root.pop_back();
  }
  return root;
}

std::string CreatePrivateFolder(const std::string& root, std::string_view prefix) {
  std::string pattern = root + "/" + std::string(prefix) + "XXXXXX";
  if (::mkdtemp(pattern.data()) == nullptr) {  // mode 0700
    ThrowErrno("create a temporary folder in", root);
  }
  return pattern;
}

NativeFile CreateLockFile(const std::string& path) {
  NativeFile file = Open(path, O_WRONLY | O_CREAT | O_EXCL, 0600, "create");
  if (::flock(Fd(file), LOCK_EX | LOCK_NB) != 0) {
    ThrowErrno("lock", path);
  }
  return file;
}

std::optional<NativeFile> TakeAbandonedLock(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
  if (fd < 0) {
    return std::nullopt;
  }
  NativeFile file(fd);
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    return std::nullopt;
  }
  return file;
}

std::filesystem::path PathOf(const std::string& utf8) {
  return std::filesystem::path(utf8);
}

std::string FileNameOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::vector<std::string> ProgramStart(int argc, char* argv[]) {
  return std::vector<std::string>(argv + 1, argv + argc);
}

std::uint32_t ProcessId() {
  return static_cast<std::uint32_t>(::getpid());
}

void InstallTerminationHandler(void (*onSignal)(int signalNumber)) {
  struct sigaction action {};
  action.sa_handler = onSignal;
  action.sa_flags = SA_RESTART;
  ::sigemptyset(&action.sa_mask);
  for (const int signalNumber : kTerminationSignals) {
    ::sigaddset(&action.sa_mask, signalNumber);
  }
  for (const int signalNumber : kTerminationSignals) {
    struct sigaction previous {};
    // A signal ignored by whoever started the program (nohup, a background job) stays ignored.
    if (::sigaction(signalNumber, nullptr, &previous) == 0 && previous.sa_handler == SIG_IGN) {
      continue;
    }
    ::sigaction(signalNumber, &action, nullptr);
  }
  struct sigaction ignore {};
  ignore.sa_handler = SIG_IGN;
  ::sigemptyset(&ignore.sa_mask);
  ::sigaction(SIGXFSZ, &ignore, nullptr);
  struct sigaction busError {};
  busError.sa_sigaction = OnBusError;
  busError.sa_flags = SA_SIGINFO;
  ::sigemptyset(&busError.sa_mask);
  ::sigaction(SIGBUS, &busError, nullptr);
}

void PrepareRemovalAtSignal() noexcept {}

void RemoveFileAtSignal(const char* path) noexcept {
  ::unlink(path);
}

void RemoveFolderAtSignal(const char* path) noexcept {
  ::rmdir(path);
}

void EndBySignal(int signalNumber) noexcept {
  struct sigaction action {};
  action.sa_handler = SIG_DFL;
  ::sigemptyset(&action.sa_mask);
  ::sigaction(signalNumber, &action, nullptr);
  ::raise(signalNumber);
  sigset_t unblock;
  ::sigemptyset(&unblock);
  ::sigaddset(&unblock, signalNumber);
  ::pthread_sigmask(SIG_UNBLOCK, &unblock, nullptr);
  ::_exit(128 + signalNumber);  // not reached unless the default action was to go on
}

MemoryMap::MemoryMap(const NativeFile& file, std::size_t size, const std::string& name) {
  if (size == 0) {
    return;
  }
  void* data = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, Fd(file), 0);
  if (data == MAP_FAILED) {
    ThrowErrno("read", name);
  }
  ::madvise(data, size, MADV_SEQUENTIAL);
  data_ = static_cast<const char*>(data);
  size_ = size;
  slot_ = RegisterMap(data_, size_);
}

bool MemoryMap::Cut() const {
  return slot_ >= 0 && mapSlots[slot_].cut.load();
}

MemoryMap::~MemoryMap() {
  if (data_ != nullptr) {
    if (slot_ >= 0) {
      mapSlots[slot_].size.store(0);
      mapSlots[slot_].start.store(nullptr);
    }
    ::munmap(const_cast<char*>(data_), size_);
  }
}

}  // namespace kestrelon::files
