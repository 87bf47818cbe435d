// A whole file mapped read-only into memory, for the sequential and random line reads of a sort.
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

 private:
  files::NativeFile file_;
  files::MemoryMap map_;
};

}  // namespace kestrelon::files
