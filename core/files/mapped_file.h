// A whole file mapped read-only into memory, for the sequential and random line reads of a sort.
// Another program may cut the file short meanwhile (a log rewritten): the reads then find zeros,
// and CheckUnchanged, called once the reading is done, tells.
#pragma once

#include <string>
#include <string_view>

#include "files/platform.h"

namespace kestrelon::files {

class MappedFile {
 public:
  // Maps path; throws FileError when it cannot be opened or read (a folder included).
  explicit MappedFile(const std::string& path);

  std::string_view bytes() const { return map_.bytes(); }
  // Throws FileError naming the file when it became shorter while it was mapped, so that what
  // was read from it cannot be trusted.
  void CheckUnchanged() const;

 private:
  std::string path_;
  files::NativeFile file_;
  files::MemoryMap map_;
};

}  // namespace kestrelon::files
