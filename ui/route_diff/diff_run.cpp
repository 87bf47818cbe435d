#include "ui/route_diff/diff_run.h"

#include <array>

#include "files/capture_text.h"
#include "files/mapped_file.h"

namespace kestrelon::ui::route_diff {

std::optional<DiffResult> RunRouteDiff(const DiffRequest& request, const std::atomic<bool>& cancel,
                                       DiffProgress& progress) {
  std::array<std::optional<files::MappedFile>, 2> files;
  std::array<std::optional<files::CaptureText>, 2> texts;  // a byte order mark, UTF-16
  std::array<tables::DiffCapture, 2> captures;
  const std::array<const std::string*, 2> names = {&request.before, &request.after};
  const std::array<const std::string*, 2> sources = {&request.beforeSource, &request.afterSource};
  for (std::size_t i = 0; i < 2; ++i) {
    files[i].emplace(*names[i]);
    texts[i].emplace(files[i]->bytes());
    captures[i].text = texts[i]->text();
    captures[i].source = *sources[i];
    captures[i].name = *names[i];
    captures[i].release = [&files, &texts, i] {
      texts[i].reset();
      files[i].reset();
    };
  }
  DiffResult result;
  ChangeCollector collector(result, cancel, progress, request.summaryOnly);
  try {
    tables::DiffRouteCaptures(captures[0], captures[1], request.options, collector);
  } catch (const DiffCancelled&) {
    if (cancel.load() || !request.summaryOnly) {
      return std::nullopt;
    }
  }
  return result;
}

}  // namespace kestrelon::ui::route_diff
