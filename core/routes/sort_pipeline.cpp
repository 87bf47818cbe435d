#include "routes/sort_pipeline.h"

#include <unistd.h>

#include <cerrno>
#include <optional>
#include <span>
#include <stdexcept>

#include "files/capture_text.h"
#include "files/file_error.h"
#include "files/input_probe.h"
#include "files/line_cursor.h"
#include "files/line_sink.h"
#include "files/mapped_file.h"
#include "routes/sorted_output.h"
#include "routes/staging.h"

namespace kestrelon::routes {

SortPipeline::Side& SortPipeline::side(int Index) {
  if (Index != 1 && Index != 2) {
    throw std::out_of_range("side index " + std::to_string(Index));
  }
  return sides_[static_cast<std::size_t>(Index)];
}

const SortPipeline::Side& SortPipeline::side(int Index) const {
  return const_cast<SortPipeline*>(this)->side(Index);
}

void SortPipeline::SetFiles(int Index, std::string orgFile, std::string tmpFile,
                            std::string sortFile) {
  Side& s = side(Index);
  s.orgFile = std::move(orgFile);
  s.tmpFile = std::move(tmpFile);
  s.sortFile = std::move(sortFile);
}

void SortPipeline::StageLog(int Index) {
  Side& s = side(Index);
  s.lineCount = 0;
  marks_ = {};
  const MappedFile input(s.orgFile);
  const CaptureText text(input.bytes());
  OutputFile staging(s.tmpFile);
  s.stagingWritten = true;
  FileLineSink sink(staging);
  s.lineCount = StageLines(text.text(), sink, &marks_);
  staging.Close();
}

void SortPipeline::BuildSortKeys(int Index, const SortOptions& options) {
  const Side& s = side(Index);
  records_.clear();
  records_.shrink_to_fit();
  records_.reserve(static_cast<std::size_t>(s.lineCount));
  const int keyNumber = options.KeyNumber();
  // A capture with one routing table or none is one table, whatever it says.
  const bool severalTables = marks_.tables.size() >= 2;
  tableStarts_.assign(1, 0);
  auto nextTable = marks_.tables.begin();
  auto nextExpanded = marks_.expanded.begin();
  const MappedFile staging(s.tmpFile);
  LineCursor cursor(staging.bytes());
  std::int16_t lineState = kLineStateReset;
  for (std::int64_t i = 0; i < s.lineCount && !cursor.AtEnd(); ++i) {
    if (severalTables && nextTable != marks_.tables.end() && *nextTable == i) {
      ++nextTable;
      lineState = kLineStateReset;
      if (i > 0) {
        tableStarts_.push_back(static_cast<std::size_t>(i));
      }
    }
    const bool expanded = nextExpanded != marks_.expanded.end() && *nextExpanded == i;
    if (expanded) {
      ++nextExpanded;
    }
    const std::uint64_t position = cursor.Position();
    const ParsedLine parsed = parser_.Parse(cursor.Next(), lineState);
    records_.push_back(MakeSortRecord(keyNumber, parsed, lineState, position, expanded));
  }
  if (static_cast<std::int64_t>(records_.size()) != s.lineCount) {
    throw FileError("read", s.tmpFile, 0, "the staging file changed while it was being read");
  }
}

void SortPipeline::SortRecords(int Index) {
  side(Index);
  if (tableStarts_.size() <= 1) {
    SortByKey(records_);
    return;
  }
  for (std::size_t t = 0; t < tableStarts_.size(); ++t) {
    const std::size_t end = t + 1 < tableStarts_.size() ? tableStarts_[t + 1] : records_.size();
    SortByKey(std::span(records_).subspan(tableStarts_[t], end - tableStarts_[t]));
  }
}

void SortPipeline::WriteSortResult(int Index, const SortOptions& options, OutputFile& result) {
  const Side& s = side(Index);
  const MappedFile staging(s.tmpFile);
  const std::string_view bytes = staging.bytes();
  std::optional<SortedLineWriter> writer;
  auto nextTable = tableStarts_.begin();
  for (std::size_t i = 0; i < records_.size(); ++i) {
    if (nextTable != tableStarts_.end() && *nextTable == i) {
      ++nextTable;
      writer.emplace(options);  // no path is indented under another table's line
    }
    const SortRecord& record = records_[i];
    const std::size_t start = static_cast<std::size_t>(record.position);
    const std::string_view line = bytes.substr(start, FindLineEnd(bytes, start) - start);
    result.WriteLine(writer->Process(line, record.expanded()));
  }
}

void SortPipeline::KillTmpFile(int Index) {
  Side& s = side(Index);
  if (::unlink(s.tmpFile.c_str()) != 0 && errno != ENOENT) {
    ThrowErrno("delete", s.tmpFile);
  }
  s.stagingWritten = false;
}

void SortPipeline::SortInto(int Index, std::string orgFile, files::PrivateFolder& work,
                            OutputFile& result, const SortOptions& options) {
  SetFiles(Index, std::move(orgFile), work.NewFile("staging" + std::to_string(Index)),
           result.path());
  Side& s = side(Index);
  s.stagingWritten = false;
  try {
    StageLog(Index);
    BuildSortKeys(Index, options);
    SortRecords(Index);
    WriteSortResult(Index, options, result);
    KillTmpFile(Index);
  } catch (...) {
    if (s.stagingWritten) {
      ::unlink(s.tmpFile.c_str());
      s.stagingWritten = false;
    }
    records_.clear();
    throw;
  }
}

void SortPipeline::RunSort(int Index, std::string orgFile, std::string sortFile,
                           const SortOptions& options) {
  EnsureReadable(orgFile);  // a missing input is told before a missing output folder
  files::PrivateFolder work;
  AtomicOutputFile result(sortFile);
  SortInto(Index, std::move(orgFile), work, result, options);
  result.Commit();
}

}  // namespace kestrelon::routes
