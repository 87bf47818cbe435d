// A private temporary folder for one run (staging files, sort results, copied standard input),
// removed with everything in it when the run ends, however it ends.
#pragma once

#include <string>

namespace kestrelon::cli {

class PrivateFolder {
 public:
  // Creates a new folder, readable by this user only, under $TMPDIR or /tmp. Throws FileError.
  PrivateFolder();
  ~PrivateFolder();
  PrivateFolder(const PrivateFolder&) = delete;
  PrivateFolder& operator=(const PrivateFolder&) = delete;

  const std::string& path() const { return path_; }
  // The path of name inside the folder.
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

}  // namespace kestrelon::cli
