// One sort of one side, as steps over files: staging with key building in one pass, the record
// sort, the sorted and filtered output, and removal of the staging file. The staging file in a
// private temporary folder holds only the lines that staging changed; the others are read from
// the input again when the result is written.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "files/capture_text.h"
#include "files/file_writer.h"
#include "files/line_sink.h"
#include "files/mapped_file.h"
#include "files/private_folder.h"
#include "routes/route_line_parser.h"
#include "routes/sort_keys.h"
#include "routes/sort_options.h"

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

  // Reads strOrgFile once, stages its lines and builds each staged line's sort key for the
  // options' key number as it goes (each routing table of a capture with several starts
  // afresh, as a file of its own would). The lines that staging changed go to strTmpFile, a new
  // file. The side's own parser does the parsing: the shared one is left alone, so both sides
  // may be staged at once; TakeParserState() passes the carried mask length on.
  void StageLog(int Index, const SortOptions& options);
  // The shared parser takes what the side's key building left in it, as if it had parsed.
  void TakeParserState(int Index);
  // The number of routing-table headings staged: two or more make the sort go table by table.
  std::size_t TableHeadings(int Index) const { return side(Index).headings; }
  // Orders the records, each routing table's on their own.
  void SortRecords(int Index);
  // Puts the staged lines in record order, re-indented and filtered, into result.
  void WriteSortResult(int Index, const SortOptions& options, files::LineSink& result);
  // Deletes strTmpFile, and lets go of the input and the records.
  void KillTmpFile(int Index);
  // The two halves of KillTmpFile, for a caller that lets go later: deletes strTmpFile; lets go
  // of the input and the records (never throws).
  void RemoveTmpFile(int Index);
  void LetGo(int Index) noexcept;
  // After a failure: removes the staging file if this run made it, and lets go of the input and
  // the records. Never throws.
  void Abandon(int Index);

  // Runs the steps with the staging file in work; the result goes to result, which the caller
  // closes and puts in place. The staging file is removed on every path out.
  void SortInto(int Index, std::string orgFile, files::PrivateFolder& work,
                files::OutputFile& result, const SortOptions& options);

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
    // From staging to the writer: the unchanged lines are read from the input again.
    std::optional<files::MappedFile> input;
    std::optional<files::CaptureText> text;
    RecordArray records;
    std::size_t headings = 0;
    // Where each routing table's records start when a capture holds several, else {0}.
    std::vector<std::size_t> tableStarts;
    RouteLineParser parser;  // as the side's key building left it
  };
  Side& side(int Index);
  const Side& side(int Index) const;
  void Release(Side& s);

  RouteLineParser& parser_;
  std::array<Side, 3> sides_;
};

}  // namespace kestrelon::routes
