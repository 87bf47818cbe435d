#include "routes/sort_pipeline.h"

#include <cerrno>
#include <optional>
#include <span>
#include <stdexcept>

#include "files/file_error.h"
#include "files/input_probe.h"
#include "files/line_cursor.h"
#include "files/line_sink.h"
#include "files/mapped_file.h"
#include "files/platform.h"
#include "routes/sorted_output.h"
#include "routes/staging.h"

namespace kestrelon::routes {
namespace {

constexpr std::uint64_t kMaxOffset = std::uint64_t{1} << SortRecord::kOffsetBits;
constexpr std::uint64_t kMaxLines = std::uint64_t{1} << SortRecord::kLineNumberBits;

// The line of bytes that starts at offset.
std::string_view LineAt(std::string_view bytes, std::uint64_t offset) {
  const auto start = static_cast<std::size_t>(offset);
  return bytes.substr(start, files::FindLineEnd(bytes, start) - start);
}

// Key building as staging hands on its lines: each line parsed in file order and its record
// made; a changed line is written to the staging file, an unchanged one is found in the input.
class KeyBuilder : public StagedLineSink {
 public:
  KeyBuilder(int keyNumber, std::string_view input, files::OutputFile& staging,
             RecordArray& records, RouteLineParser& parser)
      : keyNumber_(keyNumber),
        input_(input),
        staging_(staging),
        records_(records),
        parser_(parser) {}

  void Take(const StagedLine& line) override {
    const std::uint64_t number = count_++;
    if (number >= kMaxLines) {
      throw FileError("read", staging_.path(), EFBIG, "too many lines");
    }
    if (line.tableHeading) {
      headings_.push_back(number);
      if (headings_.size() == 2) {
        RedoFirstTable();
      }
    }
    if (headings_.size() >= 2 && headings_.back() == number) {
      lineState_ = kLineStateReset;  // each table starts afresh
    }
    TextPlace place{false, line.source};
    if (!line.unchanged) {
      place = {true, written_};
      written_ += line.text.size() + 2;
      if (written_ >= kMaxOffset) {
        throw FileError("write", staging_.path(), EFBIG);
      }
      staging_.WriteLine(line.text);
    }
    const ParsedLine parsed = parser_.Parse(line.text, lineState_);
    records_.Add(MakeSortRecord(keyNumber_, parsed, lineState_, number, line.expanded, place));
  }

  const std::vector<std::uint64_t>& headings() const { return headings_; }

 private:
  // Only a second heading shows that the capture goes table by table, and then the lines from
  // the first heading on start afresh: their keys are built again.
  void RedoFirstTable() {
    staging_.Flush();
    const files::MappedFile staged(staging_.writtenPath());
    std::int16_t state = kLineStateReset;
    for (std::uint64_t i = headings_[0]; i < count_ - 1; ++i) {
      const SortRecord old = records_[i];
      const TextPlace place = old.text();
      const std::string_view line = LineAt(place.inStaging ? staged.bytes() : input_, place.offset);
      const ParsedLine parsed = parser_.Parse(line, state);
      records_[i] = MakeSortRecord(keyNumber_, parsed, state, i, old.expanded(), place);
    }
  }

  int keyNumber_;
  std::string_view input_;
  files::OutputFile& staging_;
  RecordArray& records_;
  RouteLineParser& parser_;
  std::int16_t lineState_ = kLineStateReset;
  std::uint64_t count_ = 0;
  std::uint64_t written_ = 0;  // bytes of the staging file
  std::vector<std::uint64_t> headings_;
};

}  // namespace

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

void SortPipeline::Release(Side& s) {
  s.records = RecordArray();
  s.text.reset();
  s.input.reset();
}

void SortPipeline::StageLog(int Index, const SortOptions& options) {
  Side& s = side(Index);
  Release(s);
  s.stagingWritten = false;
  s.lineCount = 0;
  s.headings = 0;
  s.tableStarts.assign(1, 0);
  s.input.emplace(s.orgFile);
  s.text.emplace(s.input->bytes());
  if (s.text->text().size() >= kMaxOffset) {
    throw FileError("read", s.orgFile, EFBIG);
  }
  files::OutputFile staging(s.tmpFile);
  s.stagingWritten = true;
  KeyBuilder builder(options.KeyNumber(), s.text->text(), staging, s.records, s.parser);
  s.lineCount = StageLines(s.text->text(), builder);
  staging.Close();
  s.records.Fit();
  // A capture with one routing table or none is one table, whatever it says.
  s.headings = builder.headings().size();
  if (s.headings >= 2) {
    for (const std::uint64_t heading : builder.headings()) {
      if (heading > 0) {
        s.tableStarts.push_back(static_cast<std::size_t>(heading));
      }
    }
  }
}

void SortPipeline::TakeParserState(int Index) {
  parser_ = side(Index).parser;
}

void SortPipeline::SortRecords(int Index) {
  Side& s = side(Index);
  const std::span<SortRecord> all = s.records.all();
  for (std::size_t t = 0; t < s.tableStarts.size(); ++t) {
    const std::size_t end = t + 1 < s.tableStarts.size() ? s.tableStarts[t + 1] : all.size();
    SortByKey(all.subspan(s.tableStarts[t], end - s.tableStarts[t]));
  }
}

void SortPipeline::WriteSortResult(int Index, const SortOptions& options, files::LineSink& result) {
  const Side& s = side(Index);
  const files::MappedFile staging(s.tmpFile);
  const std::string_view staged = staging.bytes();
  const std::string_view input = s.text ? s.text->text() : std::string_view();
  std::optional<SortedLineWriter> writer;
  auto nextTable = s.tableStarts.begin();
  const auto count = static_cast<std::size_t>(s.lineCount);
  for (std::size_t i = 0; i < count; ++i) {
    if (nextTable != s.tableStarts.end() && *nextTable == i) {
      ++nextTable;
      writer.emplace(options);  // no path is indented under another table's line
    }
    const SortRecord& record = s.records[i];
    const TextPlace place = record.text();
    const std::string_view bytes = place.inStaging ? staged : input;
    if (place.offset > bytes.size()) {
      throw FileError("read", s.tmpFile, 0, "the staging file changed while it was being read");
    }
    result.Put(writer->Process(LineAt(bytes, place.offset), record.expanded()));
  }
  if (s.input) {
    s.input->CheckUnchanged();  // another program cut the capture short while it was read
  }
}

void SortPipeline::KillTmpFile(int Index) {
  LetGo(Index);
  RemoveTmpFile(Index);
}

void SortPipeline::RemoveTmpFile(int Index) {
  Side& s = side(Index);
  files::RemoveFile(s.tmpFile);
  s.stagingWritten = false;
}

void SortPipeline::LetGo(int Index) noexcept {
  Release(side(Index));
}

void SortPipeline::SortInto(int Index, std::string orgFile, files::PrivateFolder& work,
                            files::OutputFile& result, const SortOptions& options) {
  SetFiles(Index, std::move(orgFile), work.NewFile("staging" + std::to_string(Index)),
           result.path());
  try {
    StageLog(Index, options);
    TakeParserState(Index);
    SortRecords(Index);
    files::FileLineSink sink(result);
    WriteSortResult(Index, options, sink);
    KillTmpFile(Index);
  } catch (...) {
    Abandon(Index);
    throw;
  }
}

void SortPipeline::Abandon(int Index) {
  Side& s = side(Index);
  if (s.stagingWritten) {
    files::RemoveFileQuietly(s.tmpFile);
    s.stagingWritten = false;
  }
  Release(s);
}

void SortPipeline::RunSort(int Index, std::string orgFile, std::string sortFile,
                           const SortOptions& options) {
  files::EnsureReadable(orgFile);  // a missing input is told before a missing output folder
  files::PrivateFolder work;
  files::AtomicOutputFile result(sortFile);
  SortInto(Index, std::move(orgFile), work, result, options);
  result.Commit();
}

}  // namespace kestrelon::routes
