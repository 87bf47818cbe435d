// Buffered output files that throw FileError. OutputFile writes a new file, never replacing one
// (the staging file and other files of a private folder); AtomicOutputFile writes a temporary
// file beside its target and renames it into place only on Commit(), so a failed run leaves an
// earlier file of that name as it was. A target that is a device or a FIFO is written through,
// as the shell's ">" would, never renamed over; a target the user may not write is refused.
#pragma once

#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "files/platform.h"
#include "files/signal_cleanup.h"

namespace kestrelon::files {

class OutputFile {
 public:
  // Creates path, which must not exist yet.
  explicit OutputFile(const std::string& path);
  virtual ~OutputFile();
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  void Write(std::string_view bytes);
  // Writes text and a CR LF.
  void WriteLine(std::string_view text);
  // Writes out what is buffered, so that the file can be read back while still open.
  void Flush();
  // Flushes and closes; throws when that fails. Closing again does nothing.
  void Close();
  // The name errors report.
  const std::string& path() const { return reportPath_; }
  // The file the bytes go to, to read them back once closed.
  const std::string& writtenPath() const { return path_; }

 protected:
  OutputFile(std::string path, files::NativeFile file, std::string reportPath);
  void CloseQuietly();
  files::NativeFile& native() { return file_; }

 private:
  std::string path_;
  std::string reportPath_;
  files::NativeFile file_;
  std::vector<char> buffer_;
  std::size_t used_ = 0;
};

class AtomicOutputFile : public OutputFile {
 public:
  // Creates the temporary file beside target, registered for removal on a termination signal,
  // with the mode, owner and group of an existing target; or opens a device or FIFO target to
  // write through it. Throws FileError, also for a target this user may not write.
  explicit AtomicOutputFile(const std::string& target);
  // Removes the temporary file unless committed.
  ~AtomicOutputFile() override;

  // Closes the temporary file and renames it over the target.
  void Commit();
  // Commit for a small file the user keeps (the settings): the new file first takes the
  // permission bits of the one it replaces and is put on the disk, so that a crash leaves the
  // old file or the new one whole.
  void CommitDurably();

 private:
  friend void CommitTogether(std::initializer_list<AtomicOutputFile*> files);
  struct Temporary {
    std::string name;
    files::NativeFile file;
    std::optional<files::RemoveOnSignal> removal;  // none when written through
  };
  AtomicOutputFile(std::string target, Temporary temporary);

  bool WrittenThrough() const { return !removal_.has_value(); }

  std::string target_;
  std::optional<files::RemoveOnSignal> removal_;
  bool committed_ = false;
};

// Puts several finished files in place as one: every one is closed and checked first, and when a
// rename fails after others succeeded, those are undone (the earlier files come back from links
// made just before). Termination signals wait until it is over. Throws FileError.
void CommitTogether(std::initializer_list<AtomicOutputFile*> files);

}  // namespace kestrelon::files
