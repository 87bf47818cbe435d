#include "files/private_folder.h"

#include <filesystem>
#include <system_error>

#include "files/file_error.h"
#include "files/platform.h"

namespace kestrelon::files {
namespace {

constexpr std::string_view kPrefix = "kestrelon.";
constexpr std::string_view kLock = "/.lock";

// Removes the folders in root that runs killed outright left behind: their lock file exists and
// no program holds it. Folders without one (being created now) are left alone.
void RemoveLeftFolders(const std::string& root, const std::string& own) {
  std::error_code error;
  for (std::filesystem::directory_iterator it(PathOf(root), error), end; !error && it != end;
       it.increment(error)) {
    const std::string name = it->path().filename().string();
    if (!name.starts_with(kPrefix) || !it->is_directory(error) || it->is_symlink(error)) {
      continue;
    }
    const std::string folder = root + "/" + name;
    if (folder == own) {
      continue;
    }
    if (const std::optional<NativeFile> lock = TakeAbandonedLock(folder + std::string(kLock))) {
      RemoveTreeQuietly(folder);  // under the lock, so no other run takes it meanwhile
    }
  }
}

}  // namespace

PrivateFolder::PrivateFolder() {
  const std::string root = TemporaryRoot();
  {
    const HoldSignals hold;  // created and registered, or neither
    path_ = CreatePrivateFolder(root, kPrefix);
    try {
      folderRemoval_.emplace(path_, RemoveOnSignal::Kind::kFolder);
      // Locked before it has its name, so that no other run sees the name unlocked.
      const std::string fresh = NewFile(".lock.new");
      const std::string lock = NewFile(std::string(kLock.substr(1)));
      lock_ = CreateLockFile(fresh);
      ReplaceFile(fresh, lock);
    } catch (...) {
      lock_.CloseQuietly();
      RemoveTreeQuietly(path_);
      throw;
    }
  }
  RemoveLeftFolders(root, path_);
}

PrivateFolder::~PrivateFolder() {
  RemoveTreeQuietly(path_);
  lock_.CloseQuietly();
}

std::string PrivateFolder::NewFile(const std::string& name) {
  std::string file = path_ + "/" + name;
  fileRemovals_.emplace_back(file);
  return file;
}

}  // namespace kestrelon::files
