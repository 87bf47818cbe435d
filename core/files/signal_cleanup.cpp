#include "files/signal_cleanup.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "files/file_error.h"
#include "files/platform.h"

namespace kestrelon::files {
namespace {

// A slot goes free -> filling -> ready -> free as a path is registered and released. The handler
// takes a ready slot (ready -> taken) before it reads the path, so the path cannot change under
// it even when the handler runs on another thread; a taken slot is never used again.
enum SlotState : int { kFree, kFilling, kReady, kTaken };

constexpr int kSlots = 32;
constexpr std::size_t kPathCapacity = 4096;  // PATH_MAX on Linux, the NUL included

struct Slot {
  std::atomic<int> state{kFree};
  bool folder = false;
  char path[kPathCapacity] = {};
};

static_assert(std::atomic<int>::is_always_lock_free, "the handler may only use lock-free atomics");

// The registry: constant-initialized, so it exists before any constructor runs.
Slot slots[kSlots];
std::atomic<int> holds{0};
// Once set, never cleared: the program is ending.
std::atomic<int> pendingSignal{0};
// Holds of the calling thread, so that a nested hold never waits for the one around it.
thread_local int holdsHere = 0;
// Whether the run has its result: kRunning, kArmed (the next commit gives it), kSucceeded.
enum RunState : int { kRunning, kArmed, kSucceeded };
std::atomic<int> runState{kRunning};

// Ends the program at a signal: as the signal does, unless the run already has its result in
// place, which a signal cannot undo: then it has succeeded.
[[noreturn]] void End(int signalNumber) {
  if (runState.load() == kSucceeded) {
    std::_Exit(0);
  }
  EndBySignal(signalNumber);
}

// Async-signal-safe: atomics and the platform's *AtSignal calls only. Files first, so that
// folders are empty.
void RemoveRegistered() {
  PrepareRemovalAtSignal();
  for (const bool folders : {false, true}) {
    for (Slot& slot : slots) {
      if (slot.state.load() != kReady || slot.folder != folders) {
        continue;
      }
      int expected = kReady;
      if (slot.state.compare_exchange_strong(expected, kTaken)) {
        if (folders) {
          RemoveFolderAtSignal(slot.path);
        } else {
          RemoveFileAtSignal(slot.path);
        }
      }
    }
  }
}

void OnTerminationSignal(int signalNumber) {
  const int savedErrno = errno;
  pendingSignal.store(signalNumber);
  if (holds.load() > 0) {
    errno = savedErrno;
    return;  // the last HoldSignals acts on it
  }
  RemoveRegistered();
  End(signalNumber);
}

// Gives up one hold; the last one acts on a signal that came meanwhile.
void LetGo() {
  if (holds.fetch_sub(1) == 1) {
    if (const int signalNumber = pendingSignal.load(); signalNumber != 0) {
      RemoveRegistered();
      End(signalNumber);
    }
  }
}

}  // namespace

void InstallSignalCleanup() {
  InstallTerminationHandler(OnTerminationSignal);
}

void SucceedAtCommit() {
  runState.store(kArmed);
}

void NoteCommit() {
  int expected = kArmed;
  runState.compare_exchange_strong(expected, kSucceeded);
}

void MarkRunSucceeded() {
  runState.store(kSucceeded);
}

RemoveOnSignal::RemoveOnSignal(const std::string& path, Kind kind) {
  if (path.empty() || path.size() >= kPathCapacity || path.find('\0') != std::string::npos) {
    throw FileError("create", path, ENAMETOOLONG);
  }
  for (int i = 0; i < kSlots; ++i) {
    Slot& slot = slots[i];
    int expected = kFree;
    if (slot.state.compare_exchange_strong(expected, kFilling)) {
      std::memcpy(slot.path, path.c_str(), path.size() + 1);
      slot.folder = kind == Kind::kFolder;
      slot.state.store(kReady);
      slot_ = i;
      return;
    }
  }
  throw FileError("create", path, EMFILE, "too many temporary files at once");
}

RemoveOnSignal::RemoveOnSignal(RemoveOnSignal&& other) noexcept : slot_(other.slot_) {
  other.slot_ = -1;
}

RemoveOnSignal::~RemoveOnSignal() {
  Release();
}

void RemoveOnSignal::Release() {
  if (slot_ < 0) {
    return;
  }
  int expected = kReady;
  slots[slot_].state.compare_exchange_strong(expected, kFree);  // taken: the program is ending
  slot_ = -1;
}

HoldSignals::HoldSignals() {
  holds.fetch_add(1);
  if (holdsHere++ > 0 || pendingSignal.load() == 0) {
    return;
  }
  // The program is ending and its clean-up may have run already: what the hold guards (a file
  // created and registered) must not start on this thread, or it would be left behind. The last
  // hold, or the handler itself, ends the program; this thread waits for that.
  --holdsHere;
  LetGo();
  for (;;) {
    std::this_thread::sleep_for(std::chrono::hours(1));
  }
}

HoldSignals::~HoldSignals() {
  --holdsHere;
  LetGo();
}

}  // namespace kestrelon::files
