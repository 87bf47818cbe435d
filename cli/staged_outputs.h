// The files a run delivers, written first beside their final names and renamed into place
// together at the end, so a failure while writing any of them changes none of the final names.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "files/file_writer.h"

namespace kestrelon::cli {

class StagedOutputs {
 public:
  // Copies the finished file source to a temporary file beside target. Throws FileError.
  void Add(const std::string& source, const std::string& target);
  // Renames every copy over its target, in the order added. Throws FileError.
  void Commit();

 private:
  // Each removes its temporary file unless committed.
  std::vector<std::unique_ptr<routes::AtomicOutputFile>> files_;
};

}  // namespace kestrelon::cli
