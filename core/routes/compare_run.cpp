#include "routes/compare_run.h"

#include <memory>

#include "files/file_error.h"
#include "files/file_writer.h"
#include "files/input_probe.h"
#include "files/mapped_file.h"
#include "files/private_folder.h"
#include "files/same_file.h"
#include "routes/route_compare.h"

namespace kestrelon::routes {
namespace {

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
    EnsureReadable(input);
  }
  for (int i = 0; i < 2; ++i) {
    const MappedFile input(r.inputs[i]);
    if (!CaptureHasRouteLine(input.bytes())) {
      RefuseNoRouteLines(HeaderName(r, i));
    }
  }
}

std::int64_t RunCompare(SortPipeline& pipeline, const CompareRequest& r, CompareHooks& hooks) {
  CheckCompareNames(r);
  CheckInputsReadable(r);
  files::PrivateFolder work;
  const SortOptions forced = r.userOptions.ForcedForCompare();
  hooks.OptionsForced(forced);
  std::int64_t blocks = 0;
  try {
    std::array<std::unique_ptr<AtomicOutputFile>, 2> kept;
    std::array<std::unique_ptr<OutputFile>, 2> sorted;
    for (int i = 0; i < 2; ++i) {
      hooks.SortStarting(i + 1);
      if (r.keepSortResults) {
        kept[i] = std::make_unique<AtomicOutputFile>(r.sortResults[i]);
      } else {
        sorted[i] = std::make_unique<OutputFile>(work.NewFile("sorted" + std::to_string(i + 1)));
      }
      OutputFile& result = r.keepSortResults ? *kept[i] : *sorted[i];
      pipeline.SortInto(i + 1, r.inputs[i], work, result, forced);
      result.Close();
    }
    const auto written = [&](int i) -> const std::string& {
      return r.keepSortResults ? kept[i]->writtenPath() : sorted[i]->writtenPath();
    };
    AtomicOutputFile difference(r.diffFile);
    {
      const MappedFile before(written(0));
      const MappedFile after(written(1));
      blocks = WriteDifferences(before.bytes(), after.bytes(), pipeline.parser(), HeaderName(r, 0),
                                HeaderName(r, 1), difference);
    }
    if (r.keepSortResults) {
      CommitTogether({kept[0].get(), kept[1].get(), &difference});
    } else {
      difference.Commit();
    }
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
