#include "files/file_writer.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>
#include <random>

#include "files/file_error.h"

namespace kestrelon::files {
namespace {

constexpr std::size_t kBufferSize = 1 << 20;
constexpr int kNameAttempts = 100;

files::NativeFile CreateNewFile(const std::string& path) {
  // A file of a private folder is registered before it exists: a signal's clean-up must not run
  // between its creation and the end of the program.
  const files::HoldSignals hold;
  std::optional<files::NativeFile> file = files::CreateExclusive(path);
  if (!file) {
    throw FileError("create", path, EEXIST);
  }
  return std::move(*file);
}

// A name beside target that no run uses: the process id and a random number, so a leftover of
// a killed run is never taken for this run's file.
std::string UniqueNameBeside(const std::string& target, std::random_device& random,
                             const char* suffix) {
  return target + ".~" + std::to_string(files::ProcessId()) + "-" + std::to_string(random()) +
         suffix;
}

// A hard link to target beside it, so that target can be brought back; empty when target does
// not exist or the file system cannot link.
std::string LinkBackup(const std::string& target) {
  std::random_device random;
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    const std::string name = UniqueNameBeside(target, random, ".bak");
    const int error = files::MakeHardLink(target, name);
    if (error == 0) {
      return name;
    }
    if (error != EEXIST) {
      return {};
    }
  }
  return {};
}

bool IsFolder(const std::string& path) {
  try {
    return files::KindOf(path) == files::FileKind::kFolder;
  } catch (const FileError&) {
    return false;  // the rename tells why
  }
}

bool Exists(const std::string& path) {
  try {
    return files::KindOf(path) != files::FileKind::kMissing;
  } catch (const FileError&) {
    return false;
  }
}

}  // namespace

OutputFile::OutputFile(const std::string& path) : OutputFile(path, CreateNewFile(path), path) {}

OutputFile::OutputFile(std::string path, files::NativeFile file, std::string reportPath)
    : path_(std::move(path)),
      reportPath_(std::move(reportPath)),
      file_(std::move(file)),
      buffer_(kBufferSize) {}

OutputFile::~OutputFile() {
  CloseQuietly();
}

void OutputFile::CloseQuietly() {
  file_.CloseQuietly();
}

void OutputFile::Flush() {
  file_.Write({buffer_.data(), used_}, reportPath_);
  used_ = 0;
}

void OutputFile::Write(std::string_view bytes) {
  if (bytes.empty()) {
    return;  // an empty view may carry a null pointer, which memcpy must not see
  }
  if (used_ + bytes.size() > buffer_.size()) {
    Flush();
  }
  if (bytes.size() >= buffer_.size() / 2) {  // a writer's own full buffer: no second copy
    Flush();
    file_.Write(bytes, reportPath_);
    return;
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
  if (!file_.IsOpen()) {
    return;
  }
  Flush();
  file_.Close(reportPath_);
}

AtomicOutputFile::AtomicOutputFile(const std::string& target)
    : AtomicOutputFile(target, [&target] {
        files::CheckWritable(target);
        if (std::optional<files::NativeFile> device = files::OpenToWriteThrough(target)) {
          return Temporary{target, std::move(*device), std::nullopt};
        }
        std::random_device random;
        for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
          std::string name = UniqueNameBeside(target, random, ".tmp");
          // Created and registered, or neither: a signal in between would leave it behind.
          const files::HoldSignals hold;
          std::optional<files::NativeFile> file;
          try {
            file = files::CreateExclusive(name);
          } catch (const FileError& error) {
            throw FileError("create", target, error.errnum());
          }
          if (file) {
            try {
              files::RemoveOnSignal removal(name);
              // Never more open to others than the file it replaces, while written or after.
              files::CopyPermissions(target, *file, target);
              return Temporary{std::move(name), std::move(*file), std::move(removal)};
            } catch (...) {
              file->CloseQuietly();
              files::RemoveFileQuietly(name);
              throw;
            }
          }
        }
        throw FileError("create", target, EEXIST);
      }()) {}

AtomicOutputFile::AtomicOutputFile(std::string target, Temporary temporary)
    : OutputFile(std::move(temporary.name), std::move(temporary.file), target),
      target_(std::move(target)),
      removal_(std::move(temporary.removal)) {}

AtomicOutputFile::~AtomicOutputFile() {
  if (!committed_) {
    CloseQuietly();
    if (!WrittenThrough()) {
      files::RemoveFileQuietly(writtenPath());
    }
  }
}

void AtomicOutputFile::Commit() {
  CommitTogether({this});
}

void AtomicOutputFile::CommitDurably() {
  if (WrittenThrough()) {
    Commit();
    return;
  }
  Flush();
  files::CopyPermissions(target_, native(), path());
  native().Sync(path());
  Commit();
}

void CommitTogether(std::initializer_list<AtomicOutputFile*> files) {
  for (AtomicOutputFile* file : files) {
    file->Close();
  }
  // rename() would fail on a folder only after the files before it were in place.
  for (AtomicOutputFile* file : files) {
    if (!file->WrittenThrough() && IsFolder(file->target_)) {
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
    if (file->WrittenThrough()) {
      file->committed_ = true;  // its bytes are where they go; nothing to rename or undo
      continue;
    }
    Undo undo{file, undoable && Exists(file->target_), {}};
    if (undo.existed) {
      undo.backup = LinkBackup(file->target_);
    }
    try {
      files::ReplaceFile(file->writtenPath(), file->target_);
    } catch (const FileError&) {
      if (!undo.backup.empty()) {
        files::RemoveFileQuietly(undo.backup);
      }
      for (auto it = done.rbegin(); it != done.rend(); ++it) {
        if (!it->backup.empty()) {
          try {
            files::ReplaceFile(it->backup, it->file->target_);
          } catch (const FileError&) {
          }  // the new file stays rather than nothing
        } else if (!it->existed) {
          files::RemoveFileQuietly(it->file->target_);
        }  // else the earlier file is gone for good; the new one stays rather than nothing
      }
      throw;
    }
    file->committed_ = true;
    file->removal_->Release();
    done.push_back(std::move(undo));
  }
  for (const Undo& undo : done) {
    if (!undo.backup.empty()) {
      files::RemoveFileQuietly(undo.backup);
    }
  }
  files::NoteCommit();  // while the hold still keeps a signal waiting
}

}  // namespace kestrelon::files
