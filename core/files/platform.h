// The operating system's file and process services that the core and the command line use,
// behind one small interface: platform_posix.cpp and platform_windows.cpp implement it. Paths
// are UTF-8 on both; failures throw FileError with an errno value (Windows errors are mapped
// onto the errno values that mean the same).
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrelon::files {

enum class FileKind { kMissing, kRegular, kFolder, kOther };

// An open file of the system, closed when it goes.
class NativeFile {
 public:
  NativeFile() = default;
  // Takes a descriptor (POSIX) or handle (Windows); for the platform files.
  explicit NativeFile(std::intptr_t handle, bool owned = true) : handle_(handle), owned_(owned) {}
  ~NativeFile();
  NativeFile(NativeFile&& other) noexcept;
  NativeFile& operator=(NativeFile&& other) noexcept;
  NativeFile(const NativeFile&) = delete;
  NativeFile& operator=(const NativeFile&) = delete;

  bool IsOpen() const { return handle_ != -1; }
  std::intptr_t native() const { return handle_; }
  // What the open file is (a folder opens for reading too) and its size; name is for errors.
  FileKind Kind(const std::string& name) const;
  std::uint64_t Size(const std::string& name) const;
  // Reads at most size bytes, 0 at the end; interrupted reads are retried.
  std::size_t Read(char* data, std::size_t size, const std::string& name);
  // Writes every byte.
  void Write(std::string_view bytes, const std::string& name);
  // Puts the written bytes on the disk.
  void Sync(const std::string& name);
  // Closes; a failure the system reports then is a failed write.
  void Close(const std::string& name);
  // Closes without a word (on paths that already fail).
  void CloseQuietly() noexcept;

  // Standard input and output, in binary mode; not closed when they go.
  static NativeFile StandardInput();
  static NativeFile StandardOutput();

 private:
  std::intptr_t handle_ = -1;
  bool owned_ = true;
};

// Opens path for reading. A FIFO waits for its writer, unless waitForWriter is false: then it
// opens at once (to examine what a path is, never to read a FIFO).
NativeFile OpenForReading(const std::string& path, bool waitForWriter = true);
// Creates path only when nothing has that name (mode 0666 less the umask): nullopt when
// something has.
std::optional<NativeFile> CreateExclusive(const std::string& path);

// Renames from over to, replacing a file of that name in one step.
void ReplaceFile(const std::string& from, const std::string& to);
// Deletes path; a missing file is no failure.
void RemoveFile(const std::string& path);
// Deletes path if it can, without a word (clean-up on a path that already fails).
void RemoveFileQuietly(const std::string& path) noexcept;
// Deletes a folder and all it holds, without a word.
void RemoveTreeQuietly(const std::string& path) noexcept;
// Deletes an empty folder, without a word.
void RemoveEmptyFolderQuietly(const std::string& path) noexcept;
// Makes link a second name of the existing file target: 0, or the errno value of the failure
// (EEXIST when link exists; others when the file system cannot link).
int MakeHardLink(const std::string& target, const std::string& link) noexcept;

// What path names, following links; kMissing also for a missing folder on the way. Other
// failures (no permission to look) throw FileError("examine", path).
FileKind KindOf(const std::string& path);
// Whether two existing paths reach one file (links and other spellings included).
bool SameFileIdentity(const std::string& a, const std::string& b);
// path with its symbolic links resolved; path itself when that fails or there are none.
std::string ResolveLinks(const std::string& path);
// Gives the file at path the permission bits of the file at model, where the system has them,
// and its owner and group as far as the system lets this user (failures to do that are quiet).
void CopyPermissions(const std::string& model, NativeFile& file, const std::string& name);
// Throws FileError("write", path, EACCES) when path exists and this user may not write it, or
// it is write-protected (no write permission for anyone): as rm does, root is refused that too.
void CheckWritable(const std::string& path);
// When path names something that is neither a regular file nor a folder (a device, a FIFO), opens
// it for writing as the shell's ">" would, waiting for a FIFO's reader; nullopt otherwise.
std::optional<NativeFile> OpenToWriteThrough(const std::string& path);

// The folder for temporary files: $TMPDIR, else the system's own; no separator at the end.
std::string TemporaryRoot();
// A new folder in root that only this user can enter, named prefix plus random characters.
std::string CreatePrivateFolder(const std::string& root, std::string_view prefix);

// Creates path and takes an exclusive advisory lock on it, held while the file is open (POSIX
// flock, which the system lets go when the program ends in any way). Throws FileError.
NativeFile CreateLockFile(const std::string& path);
// Takes the lock of an existing lock file that no running program holds; nullopt when one holds
// it or it cannot be opened. On Windows always nullopt: a folder there is never taken for left.
std::optional<NativeFile> TakeAbandonedLock(const std::string& path);

// A path object for a UTF-8 name, for std::filesystem.
std::filesystem::path PathOf(const std::string& utf8);
// The last part of path, after the last separator ("/"; on Windows "\" as well).
std::string FileNameOf(const std::string& path);
// Readies a command-line program's process (standard streams carry bytes unchanged) and gives
// its arguments after its name, in UTF-8.
std::vector<std::string> ProgramStart(int argc, char* argv[]);
// A number that tells this process from others running now.
std::uint32_t ProcessId();

// The system's side of ending on a termination signal (files/signal_cleanup.h holds the rest).
// The platform files keep what it needs as global state: the installed handler, and on Windows
// the main thread and the files the program has open.
//
// Calls onSignal with the signal's number when the program is asked to end: SIGHUP, SIGINT,
// SIGPIPE or SIGTERM on POSIX (each unless it was inherited as ignored), and SIGXFSZ is ignored;
// a SIGBUS in a MemoryMap whose file got shorter puts zero pages in place of what is gone and
// marks the map cut (MemoryMap::Cut), so that the reader goes on and the program can tell;
// on Windows Ctrl+C (SIGINT), Ctrl+Break (SIGBREAK) and a closed console or session (SIGTERM).
// onSignal may run on another thread (Windows) or interrupt any code (POSIX): it may only use
// atomics and the *AtSignal functions below, and ends the program by EndBySignal or returns to
// let the program go on until it does.
void InstallTerminationHandler(void (*onSignal)(int signalNumber));
// Before the files of a run are removed at a signal: on Windows, stops the main thread and
// closes the files it has open, which could not be deleted otherwise; nothing on POSIX.
void PrepareRemovalAtSignal() noexcept;
void RemoveFileAtSignal(const char* path) noexcept;
void RemoveFolderAtSignal(const char* path) noexcept;
// Ends the program as the signal does: the shell sees the status 128 + signalNumber.
[[noreturn]] void EndBySignal(int signalNumber) noexcept;

// A whole file mapped read-only into memory.
class MemoryMap {
 public:
  // Maps size bytes of file (size 0 maps nothing).
  MemoryMap(const NativeFile& file, std::size_t size, const std::string& name);
  ~MemoryMap();
  MemoryMap(const MemoryMap&) = delete;
  MemoryMap& operator=(const MemoryMap&) = delete;
  std::string_view bytes() const { return {data_, size_}; }
  // Whether the file became shorter while mapped and a read past its new end found zeros
  // instead (POSIX; a mapped file cannot be cut short on Windows).
  bool Cut() const;

 private:
  const char* data_ = nullptr;
  std::size_t size_ = 0;
  int slot_ = -1;  // in the table the SIGBUS handler reads
};

}  // namespace kestrelon::files
