// The platform services on Windows: the wide-character file functions with UTF-8 names, file
// mappings, the command line as UTF-16. Errors carry the system's own text and the errno value
// that means the same, so callers test them as on POSIX.
#include <windows.h>
// These need windows.h first.
#include <fcntl.h>
#include <io.h>
#include <shellapi.h>
// windows.h makes ReplaceFile a macro; this unit defines its own.
#undef ReplaceFile

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <system_error>

#include "files/file_error.h"
#include "files/platform.h"

namespace kestrelon::files {
namespace {

// One read or write call moves at most this much (the calls take a 32-bit count).
constexpr DWORD kMaxChunk = 1u << 30;

// What a termination signal needs: the installed handler, the main thread (stopped before its
// files are closed and removed) and the files and views the program has open.
std::atomic<void (*)(int)> terminationHandler{nullptr};
std::atomic<HANDLE> mainThread{nullptr};
std::atomic<DWORD> mainThreadId{0};
constexpr int kTracked = 64;
std::atomic<HANDLE> openFiles[kTracked];
std::atomic<const void*> openViews[kTracked];

template <typename T>
void Track(std::atomic<T>* table, T value) {
  for (int i = 0; i < kTracked; ++i) {
    T expected = nullptr;
    if (table[i].compare_exchange_strong(expected, value)) {
      return;
    }
  }  // a full table only means a file that a signal may leave behind
}

template <typename T>
void Untrack(std::atomic<T>* table, T value) {
  for (int i = 0; i < kTracked; ++i) {
    T expected = value;
    if (table[i].compare_exchange_strong(expected, nullptr)) {
      return;
    }
  }
}

HANDLE Handle(const NativeFile& file) {
  return reinterpret_cast<HANDLE>(file.native());
}

std::intptr_t Native(HANDLE handle) {
  return reinterpret_cast<std::intptr_t>(handle);
}

std::wstring Wide(std::string_view utf8) {
  if (utf8.empty()) {
    return {};
  }
  const int size = static_cast<int>(utf8.size());
  const int length = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, wide.data(), length);
  return wide;
}

std::string Utf8(std::wstring_view wide) {
  if (wide.empty()) {
    return {};
  }
  const int size = static_cast<int>(wide.size());
  const int length =
      ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<std::size_t>(length), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, utf8.data(), length, nullptr, nullptr);
  return utf8;
}

int ErrnoOf(DWORD error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
      return ENOENT;
    case ERROR_DIRECTORY:
      return ENOTDIR;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      return EACCES;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
      return EEXIST;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return ENOSPC;
    case ERROR_WRITE_PROTECT:
      return EROFS;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
      return ENOMEM;
    case ERROR_TOO_MANY_OPEN_FILES:
      return EMFILE;
    case ERROR_INVALID_HANDLE:
      return EBADF;
    case ERROR_BROKEN_PIPE:
    case ERROR_NO_DATA:
      return EPIPE;
    case ERROR_NOT_SAME_DEVICE:
      return EXDEV;
    case ERROR_DIR_NOT_EMPTY:
      return ENOTEMPTY;
    case ERROR_FILENAME_EXCED_RANGE:
      return ENAMETOOLONG;
    default:
      return EIO;
  }
}

// The system's text for error, without its line end.
std::string SystemText(DWORD error) {
  wchar_t* buffer = nullptr;
  const DWORD length = ::FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, error, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::string text = length > 0 ? Utf8(std::wstring_view(buffer, length)) : std::string();
  ::LocalFree(buffer);
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) {
    text.pop_back();
  }
  return text + " (Windows error " + std::to_string(error) + ")";
}

[[noreturn]] void ThrowError(const std::string& operation, const std::string& path, DWORD error) {
  throw FileError(operation, path, ErrnoOf(error), SystemText(error));
}

[[noreturn]] void ThrowLastError(const std::string& operation, const std::string& path) {
  ThrowError(operation, path, ::GetLastError());
}

// Every file is opened so that others may read it, and rename or delete it.
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

HANDLE OpenHandle(const std::string& path, DWORD access, DWORD disposition) {
  // Backup semantics let a folder open, so it is told apart from a missing file.
  return ::CreateFileW(Wide(path).c_str(), access, kShareAll, nullptr, disposition,
                       FILE_ATTRIBUTE_NORMAL | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

// path in a fixed buffer: no allocation at a signal. False when it does not fit.
bool WideAtSignal(const char* path, wchar_t (&wide)[4096]) {
  return ::MultiByteToWideChar(CP_UTF8, 0, path, -1, wide, 4096) > 0;
}

// An open file of the program, which a termination signal closes before removing files.
NativeFile Tracked(HANDLE handle) {
  Track(openFiles, handle);
  return NativeFile(Native(handle));
}

BOOL WINAPI OnConsoleEvent(DWORD event) {
  int signalNumber = 0;
  switch (event) {
    case CTRL_C_EVENT:
      signalNumber = SIGINT;
      break;
    case CTRL_BREAK_EVENT:
      signalNumber = SIGBREAK;
      break;
    case CTRL_CLOSE_EVENT:
    case CTRL_LOGOFF_EVENT:
    case CTRL_SHUTDOWN_EVENT:
      signalNumber = SIGTERM;
      break;
    default:
      return FALSE;
  }
  void (*handler)(int) = terminationHandler.load();
  if (handler == nullptr) {
    return FALSE;
  }
  handler(signalNumber);
  return TRUE;  // held: the program ends when the hold is over
}

bool IsMissing(DWORD error) {
  return ErrnoOf(error) == ENOENT || error == ERROR_DIRECTORY;
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
  const DWORD type = ::GetFileType(Handle(*this));
  if (type == FILE_TYPE_UNKNOWN && ::GetLastError() != NO_ERROR) {
    ThrowLastError("read", name);
  }
  if (type != FILE_TYPE_DISK) {
    return FileKind::kOther;
  }
  BY_HANDLE_FILE_INFORMATION info{};
  if (!::GetFileInformationByHandle(Handle(*this), &info)) {
    ThrowLastError("read", name);
  }
  return (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? FileKind::kFolder
                                                            : FileKind::kRegular;
}

std::uint64_t NativeFile::Size(const std::string& name) const {
  LARGE_INTEGER size{};
  if (!::GetFileSizeEx(Handle(*this), &size)) {
    ThrowLastError("read", name);
  }
  return static_cast<std::uint64_t>(size.QuadPart);
}

std::size_t NativeFile::Read(char* data, std::size_t size, const std::string& name) {
  DWORD done = 0;
  const DWORD want = size < kMaxChunk ? static_cast<DWORD>(size) : kMaxChunk;
  if (!::ReadFile(Handle(*this), data, want, &done, nullptr)) {
    const DWORD error = ::GetLastError();
    if (error == ERROR_BROKEN_PIPE || error == ERROR_HANDLE_EOF) {
      return 0;  // the writer of a pipe has gone: its end
    }
    ThrowError("read", name, error);
  }
  return done;
}

void NativeFile::Write(std::string_view bytes, const std::string& name) {
  while (!bytes.empty()) {
    DWORD done = 0;
    const DWORD want = bytes.size() < kMaxChunk ? static_cast<DWORD>(bytes.size()) : kMaxChunk;
    if (!::WriteFile(Handle(*this), bytes.data(), want, &done, nullptr)) {
      ThrowLastError("write", name);
    }
    if (done == 0) {
      ThrowError("write", name, ERROR_DISK_FULL);
    }
    bytes.remove_prefix(done);
  }
}

void NativeFile::Sync(const std::string& name) {
  if (!::FlushFileBuffers(Handle(*this))) {
    ThrowLastError("write", name);
  }
}

void NativeFile::Close(const std::string& name) {
  if (handle_ == -1) {
    return;
  }
  const HANDLE handle = Handle(*this);
  const bool owned = owned_;
  handle_ = -1;
  if (owned) {
    Untrack(openFiles, handle);
    if (!::CloseHandle(handle)) {
      ThrowLastError("write", name);
    }
  }
}

void NativeFile::CloseQuietly() noexcept {
  if (handle_ != -1 && owned_) {
    Untrack(openFiles, Handle(*this));
    ::CloseHandle(Handle(*this));
  }
  handle_ = -1;
}

NativeFile NativeFile::StandardInput() {
  return NativeFile(Native(::GetStdHandle(STD_INPUT_HANDLE)), false);
}

NativeFile NativeFile::StandardOutput() {
  return NativeFile(Native(::GetStdHandle(STD_OUTPUT_HANDLE)), false);
}

NativeFile OpenForReading(const std::string& path, bool) {
  const HANDLE handle = OpenHandle(path, GENERIC_READ, OPEN_EXISTING);
  if (handle == INVALID_HANDLE_VALUE) {
    ThrowLastError("open for reading", path);
  }
  return Tracked(handle);
}

std::optional<NativeFile> CreateExclusive(const std::string& path) {
  const HANDLE handle = OpenHandle(path, GENERIC_READ | GENERIC_WRITE, CREATE_NEW);
  if (handle != INVALID_HANDLE_VALUE) {
    return Tracked(handle);
  }
  const DWORD error = ::GetLastError();
  if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS) {
    return std::nullopt;
  }
  ThrowError("create", path, error);
}

void ReplaceFile(const std::string& from, const std::string& to) {
  if (!::MoveFileExW(Wide(from).c_str(), Wide(to).c_str(), MOVEFILE_REPLACE_EXISTING)) {
    ThrowLastError("replace", to);
  }
}

void RemoveFile(const std::string& path) {
  if (!::DeleteFileW(Wide(path).c_str())) {
    const DWORD error = ::GetLastError();
    if (!IsMissing(error)) {
      ThrowError("delete", path, error);
    }
  }
}

void RemoveFileQuietly(const std::string& path) noexcept {
  ::DeleteFileW(Wide(path).c_str());
}

void RemoveTreeQuietly(const std::string& path) noexcept {
  std::error_code ignored;
  std::filesystem::remove_all(PathOf(path), ignored);
}

void RemoveEmptyFolderQuietly(const std::string& path) noexcept {
  ::RemoveDirectoryW(Wide(path).c_str());
}

int MakeHardLink(const std::string& target, const std::string& link) noexcept {
  if (::CreateHardLinkW(Wide(link).c_str(), Wide(target).c_str(), nullptr)) {
    return 0;
  }
  return ErrnoOf(::GetLastError());
}

FileKind KindOf(const std::string& path) {
  const DWORD attributes = ::GetFileAttributesW(Wide(path).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    const DWORD error = ::GetLastError();
    if (IsMissing(error)) {
      return FileKind::kMissing;
    }
    ThrowError("examine", path, error);
  }
  return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? FileKind::kFolder : FileKind::kRegular;
}

bool SameFileIdentity(const std::string& a, const std::string& b) {
  const auto identity = [](const std::string& path, BY_HANDLE_FILE_INFORMATION& info) {
    const HANDLE handle = OpenHandle(path, 0, OPEN_EXISTING);
    if (handle == INVALID_HANDLE_VALUE) {
      return false;
    }
    const bool known = ::GetFileInformationByHandle(handle, &info) != 0;
    ::CloseHandle(handle);
    return known;
  };
  BY_HANDLE_FILE_INFORMATION infoA{};
  BY_HANDLE_FILE_INFORMATION infoB{};
  return identity(a, infoA) && identity(b, infoB) &&
         infoA.dwVolumeSerialNumber == infoB.dwVolumeSerialNumber &&
         infoA.nFileIndexHigh == infoB.nFileIndexHigh && infoA.nFileIndexLow == infoB.nFileIndexLow;
}

// The settings file lives in the program's folder, which links rarely reach on Windows.
std::string ResolveLinks(const std::string& path) {
  return path;
}

// A replaced file takes the access list of its folder; there are no permission bits to copy.
void CopyPermissions(const std::string&, NativeFile&, const std::string&) {}

void CheckWritable(const std::string& path) {
  const DWORD attributes = ::GetFileAttributesW(Wide(path).c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0 &&
      (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
    throw FileError("write", path, EACCES, "the file is read-only");
  }
}

// Devices ("NUL", "CON") are written by name on Windows; a rename never reaches them.
std::optional<NativeFile> OpenToWriteThrough(const std::string&) {
  return std::nullopt;
}

std::string TemporaryRoot() {
  std::string root;
  if (const wchar_t* tmpdir = ::_wgetenv(L"TMPDIR"); tmpdir != nullptr && *tmpdir != L'\0') {
    root = Utf8(tmpdir);
  } else {
    wchar_t buffer[MAX_PATH + 1];
    const DWORD length = ::GetTempPathW(MAX_PATH + 1, buffer);
    root = Utf8(std::wstring_view(buffer, length));
  }
  while (root.size() > 1 && (root.back() == '\\' || root.back() == '/')) {
    root.pop_back();
  }
  return root;
}

std::string CreatePrivateFolder(const std::string& root, std::string_view prefix) {
  static constexpr char kLetters[] =
      "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  std::random_device random;
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string name = root + "/" + std::string(prefix);
    for (int i = 0; i < 6; ++i) {
      name += kLetters[random() % (sizeof kLetters - 1)];
    }
    if (::CreateDirectoryW(Wide(name).c_str(), nullptr)) {
      return name;
    }
    const DWORD error = ::GetLastError();
    if (error != ERROR_ALREADY_EXISTS) {
      ThrowError("create a temporary folder in", root, error);
    }
  }
  ThrowError("create a temporary folder in", root, ERROR_ALREADY_EXISTS);
}

NativeFile CreateLockFile(const std::string& path) {
  std::optional<NativeFile> file = CreateExclusive(path);
  if (!file) {
    throw FileError("create", path, EEXIST);
  }
  return std::move(*file);
}

std::optional<NativeFile> TakeAbandonedLock(const std::string&) {
  return std::nullopt;
}

std::filesystem::path PathOf(const std::string& utf8) {
  return std::filesystem::path(Wide(utf8));
}

std::string FileNameOf(const std::string& path) {
  const std::size_t separator = path.find_last_of("/\\");
  return separator == std::string::npos ? path : path.substr(separator + 1);
}

std::vector<std::string> ProgramStart(int, char*[]) {
  // What is written and read is bytes: no CR added before LF, no end at a Ctrl+Z.
  ::_setmode(::_fileno(stdin), _O_BINARY);
  ::_setmode(::_fileno(stdout), _O_BINARY);
  ::_setmode(::_fileno(stderr), _O_BINARY);
  // The arguments as the user typed them, not through the ANSI code page.
  int count = 0;
  wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
  std::vector<std::string> args;
  for (int i = 1; wide != nullptr && i < count; ++i) {
    args.push_back(Utf8(wide[i]));
  }
  ::LocalFree(wide);
  return args;
}

std::uint32_t ProcessId() {
  return static_cast<std::uint32_t>(::GetCurrentProcessId());
}

void InstallTerminationHandler(void (*onSignal)(int signalNumber)) {
  HANDLE thread = nullptr;
  ::DuplicateHandle(::GetCurrentProcess(), ::GetCurrentThread(), ::GetCurrentProcess(), &thread, 0,
                    FALSE, DUPLICATE_SAME_ACCESS);
  mainThread.store(thread);
  mainThreadId.store(::GetCurrentThreadId());
  terminationHandler.store(onSignal);
  ::SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
}

// The console's handler runs on a thread of its own: the main thread stops first, so that no
// file is opened or written while the files are closed and removed. Nothing here allocates
// (the stopped thread may hold the heap's lock).
void PrepareRemovalAtSignal() noexcept {
  if (::GetCurrentThreadId() != mainThreadId.load() && mainThread.load() != nullptr) {
    ::SuspendThread(mainThread.load());
  }
  for (std::atomic<const void*>& view : openViews) {
    if (const void* address = view.exchange(nullptr)) {
      ::UnmapViewOfFile(address);
    }
  }
  for (std::atomic<HANDLE>& file : openFiles) {
    if (const HANDLE handle = file.exchange(nullptr)) {
      ::CloseHandle(handle);
    }
  }
}

void RemoveFileAtSignal(const char* path) noexcept {
  wchar_t wide[4096];
  if (WideAtSignal(path, wide)) {
    ::DeleteFileW(wide);
  }
}

void RemoveFolderAtSignal(const char* path) noexcept {
  wchar_t wide[4096];
  if (WideAtSignal(path, wide)) {
    ::RemoveDirectoryW(wide);
  }
}

void EndBySignal(int signalNumber) noexcept {
  ::TerminateProcess(::GetCurrentProcess(), static_cast<UINT>(128 + signalNumber));
  ::ExitProcess(static_cast<UINT>(128 + signalNumber));
}

MemoryMap::MemoryMap(const NativeFile& file, std::size_t size, const std::string& name) {
  if (size == 0) {
    return;
  }
  const HANDLE mapping = ::CreateFileMappingW(Handle(file), nullptr, PAGE_READONLY, 0, 0, nullptr);
  if (mapping == nullptr) {
    ThrowLastError("read", name);
  }
  void* data = ::MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, size);
  const DWORD error = ::GetLastError();
  ::CloseHandle(mapping);  // the view keeps the mapping
  if (data == nullptr) {
    ThrowError("read", name, error);
  }
  data_ = static_cast<const char*>(data);
  size_ = size;
  Track<const void*>(openViews, data_);
}

bool MemoryMap::Cut() const {
  return false;
}

MemoryMap::~MemoryMap() {
  if (data_ != nullptr) {
    Untrack<const void*>(openViews, data_);
    ::UnmapViewOfFile(data_);
  }
}

}  // namespace kestrelon::files
