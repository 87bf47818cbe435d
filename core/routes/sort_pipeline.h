// One sort of one side, as five steps over files: staging into a private temporary folder, key
// building, the record sort, the sorted and filtered output, and removal of the staging file.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "files/file_writer.h"
#include "files/private_folder.h"
#include "routes/route_line_parser.h"
#include "routes/sort_keys.h"
#include "routes/sort_options.h"
#include "routes/staging.h"

namespace kestrelon::routes {

class SortPipeline {
 public:
  // The parser is shared with the compare for the window's lifetime: its carried mask length
  // flows from one to the other.
  explicit SortPipeline(RouteLineParser& parser) : parser_(parser) {}

  // Side Index is 1 or 2.
  void SetFiles(int Index, std::string orgFile, std::string tmpFile, std::string sortFile);
  const std::string& strOrgFile(int Index) const { return side(Index).orgFile; }
  const std::string& strTmpFile(int Index) const { return side(Index).tmpFile; }
  const std::string& strSortFile(int Index) const { return side(Index).sortFile; }
  std::int64_t lngLineCount(int Index) const { return side(Index).lineCount; }
  RouteLineParser& parser() { return parser_; }

  // Reads strOrgFile once and writes the repaired lines to strTmpFile, a new file.
  void StageLog(int Index);
  // Parses every staged line and records its key for the options' key number and its position.
  // Each routing table of a capture with several starts afresh, as a file of its own would.
  void BuildSortKeys(int Index, const SortOptions& options);
  // Orders the records, each routing table's on their own.
  void SortRecords(int Index);
  // Writes the staged lines in record order, re-indented and filtered, to result.
  void WriteSortResult(int Index, const SortOptions& options, OutputFile& result);
  // Deletes strTmpFile.
  void KillTmpFile(int Index);

  // Runs the five steps with the staging file in work; the result goes to result, which the
  // caller closes and puts in place. The staging file is removed on every path out.
  void SortInto(int Index, std::string orgFile, files::PrivateFolder& work, OutputFile& result,
                const SortOptions& options);

  // One whole sort: the staging file in a private folder of its own, the result written beside
  // sortFile and renamed into place when complete (it may replace its own input, which has been
  // read by then). On failure an earlier result is left as it was and the FileError is rethrown.
  void RunSort(int Index, std::string orgFile, std::string sortFile, const SortOptions& options);

 private:
  struct Side {
    std::string orgFile;
    std::string tmpFile;
    std::string sortFile;
    std::int64_t lineCount = 0;
    bool stagingWritten = false;  // this run created the staging file
  };
  Side& side(int Index);
  const Side& side(int Index) const;

  RouteLineParser& parser_;
  std::array<Side, 3> sides_;
  std::vector<SortRecord> records_;  // shared by both sides, re-created by each sort
  StagingMarks marks_;               // of the side staged last
  // Where each routing table's records start when a capture holds several, else {0}.
  std::vector<std::size_t> tableStarts_;
};

}  // namespace kestrelon::routes
