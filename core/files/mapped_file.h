// A whole file mapped read-only into memory, for the sequential and random line reads of a sort.
#pragma once

#include <string>
#include <string_view>

namespace kestrelon::routes {

class MappedFile {
 public:
  // Maps path; throws FileError when it cannot be opened or read (a folder included).
  explicit MappedFile(const std::string& path);
  ~MappedFile();
  MappedFile(const MappedFile&) = delete;
  MappedFile& operator=(const MappedFile&) = delete;

  std::string_view bytes() const { return {data_, size_}; }

 private:
  const char* data_ = nullptr;
  std::size_t size_ = 0;
  bool mapped_ = false;
};

}  // namespace kestrelon::routes
