// A private temporary folder for one run: staging files, sort results that are not kept, copies
// of standard input. Nothing of the user's can be in it, so the fixed names inside never replace
// a file, and two runs at once never share one. It is removed with everything in it when the run
// ends, also when a termination signal ends the program.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "files/signal_cleanup.h"

namespace kestrelon::files {

class PrivateFolder {
 public:
  // Creates a new folder, open to this user only, under $TMPDIR, else /tmp (on Windows the
  // system's temporary folder). Throws FileError.
  PrivateFolder();
  ~PrivateFolder();
  PrivateFolder(const PrivateFolder&) = delete;
  PrivateFolder& operator=(const PrivateFolder&) = delete;

  const std::string& path() const { return path_; }

  // The path of name inside the folder, registered for removal on a termination signal. The
  // caller creates the file.
  std::string NewFile(const std::string& name);

 private:
  std::string path_;
  std::optional<RemoveOnSignal> folderRemoval_;
  std::vector<RemoveOnSignal> fileRemovals_;
};

}  // namespace kestrelon::files
