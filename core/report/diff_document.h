// A route diff's JSON document read back (what `diff --format json` writes): replayed to any
// writer of a diff as the events it was written from, and its parts given back as compact
// JSON. The reports of a fleet are made from these, so a run and the merge of its shares
// write the same bytes.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "tables/route_diff_sink.h"

namespace kestrelon::report {

class DiffDocument {
 public:
  // Parses text; name is for errors. Throws FileError when it is not a diff document.
  DiffDocument(std::string text, const std::string& name);
  ~DiffDocument();
  DiffDocument(const DiffDocument&) = delete;
  DiffDocument& operator=(const DiffDocument&) = delete;

  // Reads the file at path. Throws FileError.
  static std::unique_ptr<DiffDocument> Load(const std::string& path);

  // The value of key ("before", "after", "summary") as compact JSON.
  std::string Compact(std::string_view key) const;
  std::size_t changes() const;
  // Change i as compact JSON.
  std::string CompactChange(std::size_t i) const;

  // Gives sink the summary and every change. Of each capture's line account only what the
  // document keeps is rebuilt: the lines, those not understood and their first examples.
  void Replay(tables::RouteDiffSink& sink) const;

 private:
  class Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace kestrelon::report
