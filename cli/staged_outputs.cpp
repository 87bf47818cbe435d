#include "cli/staged_outputs.h"

#include "files/mapped_file.h"

namespace kestrelon::cli {

void StagedOutputs::Add(const std::string& source, const std::string& target) {
  const routes::MappedFile bytes(source);
  auto file = std::make_unique<routes::AtomicOutputFile>(target);
  if (!bytes.bytes().empty()) {  // an empty file maps to no address at all
    file->Write(bytes.bytes());
  }
  file->Close();
  files_.push_back(std::move(file));
}

void StagedOutputs::Commit() {
  for (const auto& file : files_) {
    file->Commit();
  }
}

}  // namespace kestrelon::cli
