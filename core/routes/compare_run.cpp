#include "routes/compare_run.h"

#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

#include "files/file_error.h"
#include "files/file_writer.h"
#include "files/input_probe.h"
#include "files/line_sink.h"
#include "files/mapped_file.h"
#include "files/private_folder.h"
#include "files/same_file.h"
#include "routes/entry_channel.h"
#include "routes/entry_stream.h"
#include "routes/route_compare.h"

namespace kestrelon::routes {
namespace {

using files::SameFile;

void Refuse(const std::string& path, const std::string& why) {
  throw FileError("write", path, 0, why);
}

const std::string& HeaderName(const CompareRequest& r, int i) {
  return r.headerNames[i].empty() ? r.inputs[i] : r.headerNames[i];
}

}  // namespace

void CheckCompareNames(const CompareRequest& r) {
  for (int i = 0; i < 2; ++i) {
    if (SameFile(r.diffFile, r.inputs[i])) {
      Refuse(r.diffFile, "the compare result would replace one of the files it reads");
    }
  }
  if (!r.keepSortResults) {
    return;  // the sort results are private files
  }
  for (int i = 0; i < 2; ++i) {
    if (SameFile(r.sortResults[i], r.inputs[1 - i])) {
      Refuse(r.sortResults[i], "sort result " + std::to_string(i + 1) +
                                   " would replace input file " + std::to_string(2 - i));
    }
    // A lone sort may replace its own input; the compare's sort results lose the time
    // information, so the capture itself would be lost.
    if (SameFile(r.sortResults[i], r.inputs[i])) {
      Refuse(r.sortResults[i], "sort result " + std::to_string(i + 1) +
                                   " would replace input file " + std::to_string(i + 1) +
                                   ", which the compare must not lose");
    }
    if (SameFile(r.diffFile, r.sortResults[i])) {
      Refuse(r.diffFile, "the compare result would replace one of the files it reads");
    }
  }
  if (SameFile(r.sortResults[0], r.sortResults[1])) {
    Refuse(r.sortResults[1], "both sort results have the same name");
  }
}

void CheckInputsReadable(const CompareRequest& r) {
  for (const std::string& input : r.inputs) {
    files::EnsureReadable(input);
  }
  for (int i = 0; i < 2; ++i) {
    const files::MappedFile input(r.inputs[i]);
    if (!CaptureHasRouteLine(input.bytes())) {
      RefuseNoRouteLines(HeaderName(r, i));
    }
  }
}

namespace {

// Runs every task at once, the last one on this thread, and waits for all. Rethrows the first
// failure in task order, passing over a ChannelCancelled that only follows another failure.
void RunTogether(const std::vector<std::function<void()>>& tasks) {
  std::vector<std::exception_ptr> failures(tasks.size());
  const auto run = [&](std::size_t i) {
    try {
      tasks[i]();
    } catch (...) {
      failures[i] = std::current_exception();
    }
  };
  {
    std::vector<std::jthread> threads;
    for (std::size_t i = 0; i + 1 < tasks.size(); ++i) {
      threads.emplace_back(run, i);
    }
    run(tasks.size() - 1);
  }
  std::exception_ptr cancelled;
  for (const std::exception_ptr& failure : failures) {
    if (!failure) {
      continue;
    }
    try {
      std::rethrow_exception(failure);
    } catch (const ChannelCancelled&) {
      cancelled = failure;
    }
  }
  if (cancelled) {
    std::rethrow_exception(cancelled);
  }
}

// The two sides of one compare and the files it writes.
class Compare {
 public:
  Compare(SortPipeline& pipeline, const CompareRequest& r, const SortOptions& forced,
          files::PrivateFolder& work)
      : pipeline_(pipeline), r_(r), forced_(forced), work_(work) {
    for (int i = 0; i < 2; ++i) {
      pipeline_.SetFiles(i + 1, r.inputs[i], work.NewFile("staging" + std::to_string(i + 1)),
                         r.keepSortResults ? r.sortResults[i] : std::string());
    }
  }

  std::int64_t Run() {
    CreateResults();
    StageBoth();
    // Both sides' entries go straight to the merge, unless a side holds several routing tables,
    // which the merge pairs by name and so reads from whole files.
    if (pipeline_.TableHeadings(1) < 2 && pipeline_.TableHeadings(2) < 2) {
      if (const std::optional<std::int64_t> blocks = MergeAsWritten()) {
        return *blocks;  // put in place by the merge
      }
      CreateResults();  // the sorted lines held routing tables after all: through files
      StageBoth();
    }
    const std::int64_t blocks = MergeThroughFiles();
    Commit();
    return blocks;
  }

 private:
  // Created before any work, in the order a sequential compare creates them.
  void CreateResults() {
    for (int i = 0; i < 2; ++i) {
      kept_[i].reset();
      if (r_.keepSortResults) {
        kept_[i] = std::make_unique<files::AtomicOutputFile>(r_.sortResults[i]);
      }
    }
    difference_.reset();
    difference_ = std::make_unique<files::AtomicOutputFile>(r_.diffFile);
  }

  // Side Index, with its staging file removed when it fails.
  template <typename Work>
  void OnSide(int Index, Work work) {
    try {
      work();
    } catch (...) {
      pipeline_.Abandon(Index);
      throw;
    }
  }

  // Stages and sorts both sides at once: the records of a side that is staged first are sorted
  // while the other is still being staged.
  void StageBoth() {
    const auto stage = [this](int Index) {
      OnSide(Index, [this, Index] {
        pipeline_.StageLog(Index, forced_);
        pipeline_.SortRecords(Index);
      });
    };
    RunTogether({[&] { stage(1); }, [&] { stage(2); }});
    // The shared parser ends as the sorts one after the other leave it: side 2's key building
    // last. The merge parses both sides from there.
    pipeline_.TakeParserState(1);
    pipeline_.TakeParserState(2);
  }

  // Writes the sorted lines of side Index into sink.
  void WriteSide(int Index, files::LineSink& sink) {
    pipeline_.WriteSortResult(Index, forced_, sink);
    pipeline_.KillTmpFile(Index);
  }

  // The entries are found as each side's lines are written and merged at once; the sort results
  // that are not kept are never written. Empty when a side's sorted lines held two or more
  // routing-table headings after all (staging counts the lines it read, the merge those it
  // reads), and then nothing of the result is kept. The results are put in place as soon as the
  // merge has the last entry, while the sides let go of their inputs and records.
  std::optional<std::int64_t> MergeAsWritten() {
    const RouteLineParser carried = pipeline_.parser();
    std::array<EntryChannel, 2> channels;
    std::array<std::int64_t, 2> headings{};
    const auto side = [&](int Index) {
      EntryChannel& channel = channels[static_cast<std::size_t>(Index - 1)];
      try {
        OnSide(Index, [&] {
          EntryStream stream(carried, channel);
          if (files::AtomicOutputFile* kept = kept_[static_cast<std::size_t>(Index - 1)].get()) {
            files::FileLineSink file(*kept);
            files::TeeLineSink both(file, stream);
            pipeline_.WriteSortResult(Index, forced_, both);
            kept->Close();
          } else {
            pipeline_.WriteSortResult(Index, forced_, stream);
          }
          pipeline_.RemoveTmpFile(Index);
          stream.Finish();
          headings[static_cast<std::size_t>(Index - 1)] = stream.headings();
          channel.Close();  // nothing after this fails
        });
        pipeline_.LetGo(Index);
      } catch (...) {
        channels[0].Cancel();
        channels[1].Cancel();
        throw;
      }
    };
    std::int64_t blocks = 0;
    RunTogether({[&] { side(1); }, [&] { side(2); },
                 [&] {
                   try {
                     blocks = WriteDifferences(channels[0], channels[1], HeaderName(r_, 0),
                                               HeaderName(r_, 1), *difference_);
                     // Both sides have closed their channels: all they write is complete.
                     if (headings[0] < 2 && headings[1] < 2) {
                       Commit();
                     }
                   } catch (...) {
                     channels[0].Cancel();
                     channels[1].Cancel();
                     throw;
                   }
                 }});
    if (headings[0] >= 2 || headings[1] >= 2) {
      return std::nullopt;
    }
    return blocks;
  }

  // Both sides written to files, kept or private, then merged from them.
  std::int64_t MergeThroughFiles() {
    std::array<std::unique_ptr<files::OutputFile>, 2> privateResults;
    for (std::size_t i = 0; i < 2; ++i) {
      if (!kept_[i]) {
        privateResults[i] =
            std::make_unique<files::OutputFile>(work_.NewFile("sorted" + std::to_string(i + 1)));
      }
    }
    const auto side = [&](int Index) {
      OnSide(Index, [&] {
        const auto i = static_cast<std::size_t>(Index - 1);
        files::OutputFile& result = kept_[i] ? *kept_[i] : *privateResults[i];
        files::FileLineSink file(result);
        WriteSide(Index, file);
        result.Close();
      });
    };
    RunTogether({[&] { side(1); }, [&] { side(2); }});
    const auto written = [&](std::size_t i) -> const std::string& {
      return kept_[i] ? kept_[i]->writtenPath() : privateResults[i]->writtenPath();
    };
    const files::MappedFile before(written(0));
    const files::MappedFile after(written(1));
    return WriteDifferences(before.bytes(), after.bytes(), pipeline_.parser(), HeaderName(r_, 0),
                            HeaderName(r_, 1), *difference_);
  }

  void Commit() {
    if (r_.keepSortResults) {
      files::CommitTogether({kept_[0].get(), kept_[1].get(), difference_.get()});
    } else {
      difference_->Commit();
    }
  }

  SortPipeline& pipeline_;
  const CompareRequest& r_;
  const SortOptions& forced_;
  files::PrivateFolder& work_;
  std::array<std::unique_ptr<files::AtomicOutputFile>, 2> kept_;
  std::unique_ptr<files::AtomicOutputFile> difference_;
};

}  // namespace

std::int64_t RunCompare(SortPipeline& pipeline, const CompareRequest& r, CompareHooks& hooks) {
  CheckCompareNames(r);
  CheckInputsReadable(r);
  files::PrivateFolder work;
  const SortOptions forced = r.userOptions.ForcedForCompare();
  hooks.OptionsForced(forced);
  std::int64_t blocks = 0;
  try {
    // Both sides are sorted at once.
    hooks.SortStarting(1);
    hooks.SortStarting(2);
    Compare compare(pipeline, r, forced, work);
    blocks = compare.Run();
  } catch (...) {
    hooks.OptionsRestored(r.userOptions);
    throw;
  }
  hooks.OptionsRestored(r.userOptions);
  return blocks;
}

std::int64_t RunCompare(SortPipeline& pipeline, const CompareRequest& request) {
  CompareHooks none;
  return RunCompare(pipeline, request, none);
}

}  // namespace kestrelon::routes
