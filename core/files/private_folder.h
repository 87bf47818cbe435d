// A private temporary folder for one run: staging files, sort results that are not kept, copies
// of standard input. Nothing of the user's can be in it, so the fixed names inside never replace
// a file, and two runs at once never share one. It is removed with everything in it when the run
// ends, also when a termination signal ends the program. A run killed outright (SIGKILL, power
// loss) cannot remove its folder: each folder holds a locked file while its run lives, and a new
// folder's creation removes the folders of the same prefix whose lock nobody holds.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "files/platform.h"
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
  // The path of name inside the folder, not registered: for a run that holds more files than
  // the signal table has room for (a fleet's per-device files). A termination signal leaves
  // such files, and so the folder, to the next run, which removes folders no run holds.
  std::string NewUnregisteredFile(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
  std::optional<RemoveOnSignal> folderRemoval_;
  std::vector<RemoveOnSignal> fileRemovals_;
  NativeFile lock_;  // held while the folder is in use; let go after the folder is removed
};

}  // namespace kestrelon::files
