// Removal of a run's temporary files when a termination signal (SIGHUP, SIGINT, SIGPIPE,
// SIGTERM; Ctrl+C, Ctrl+Break or a closed console on Windows) ends the program. This unit holds
// the core's one piece of global mutable state: a fixed table of the paths to remove, which the
// signal handler reads with async-signal-safe calls only (atomic slot states, the platform's
// removal at a signal). The handler then ends the program as the signal would, so a shell sees
// the status 128+signal.
#pragma once

#include <string>

namespace kestrelon::files {

// Installs the handler for the termination signals (each one the program did not inherit as
// ignored) and ignores SIGXFSZ, so a file-size limit makes a write fail with EFBIG like any other
// write error. Each program's main() calls it once, before any work.
void InstallSignalCleanup();

// For a program whose run ends by putting its result in place (kestrelon-cli): once the next
// commit of result files (files/file_writer.h) has renamed them, the run has succeeded, and a
// termination signal still removes what is registered but ends the program with status 0.
void SucceedAtCommit();
// Called by that commit, with signals held, once the files are in place.
void NoteCommit();
// The run has succeeded now (its result was written to standard output, say).
void MarkRunSucceeded();

// Registers a path to remove if a termination signal comes while the object lives: a file is
// unlinked, a folder (after every file) removed when empty. Throws FileError when the table is
// full or the path too long.
class RemoveOnSignal {
 public:
  enum class Kind { kFile, kFolder };
  explicit RemoveOnSignal(const std::string& path, Kind kind = Kind::kFile);
  ~RemoveOnSignal();
  RemoveOnSignal(RemoveOnSignal&& other) noexcept;
  RemoveOnSignal& operator=(RemoveOnSignal&&) = delete;
  RemoveOnSignal(const RemoveOnSignal&) = delete;
  RemoveOnSignal& operator=(const RemoveOnSignal&) = delete;

  // Ends the registration early: the file was renamed into place or removed.
  void Release();

 private:
  int slot_ = -1;
};

// While one lives, a termination signal waits: its clean-up and the end of the program happen
// when the last one goes. Held around steps that must not be cut in two, such as creating a
// temporary file and registering it, or putting several results in place together. Once a
// signal has come, a thread's first hold never returns: the program ends instead.
class HoldSignals {
 public:
  HoldSignals();
  ~HoldSignals();
  HoldSignals(const HoldSignals&) = delete;
  HoldSignals& operator=(const HoldSignals&) = delete;
};

}  // namespace kestrelon::files
