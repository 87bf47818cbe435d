// The route diff on any two texts. The input is split at the first separator line into a
// before and an after capture (without one, the whole input is both). Checks that a capture
// diffed with itself has no change, that the counts agree (the routes paired are as many on
// each side, the parts add up to the whole), and that every writer takes the events.
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "files/file_error.h"
#include "fuzz_common.h"
#include "tables/diff_csv_writer.h"
#include "tables/diff_json_writer.h"
#include "tables/diff_text_writer.h"
#include "tables/route_diff.h"

using kestrelon::fuzz::Require;
namespace t = kestrelon::tables;

namespace {

// Counts the events and passes them on to each writer.
class Checked : public t::RouteDiffSink {
 public:
  void Begin(const t::DiffSummary& s) override {
    summary = s;
    for (t::RouteDiffSink* writer : writers_) {
      writer->Begin(s);
    }
  }
  void Change(const t::RouteChangeEvent& change) override {
    Require((change.before != nullptr) == (change.change != t::RouteChange::kAdded),
            "a record before unless added");
    Require((change.after != nullptr) == (change.change != t::RouteChange::kRemoved),
            "a record after unless removed");
    Require(change.fields.Empty() == (change.change != t::RouteChange::kChanged),
            "fields named for a changed route only");
    ++changes;
    for (t::RouteDiffSink* writer : writers_) {
      writer->Change(change);
    }
  }
  void End() override {
    for (t::RouteDiffSink* writer : writers_) {
      writer->End();
    }
  }

  t::DiffSummary summary;
  std::size_t changes = 0;

 private:
  t::StringByteSink text_, json_, csv_;
  t::TextDiffWriter textWriter_{text_};
  t::JsonDiffWriter jsonWriter_{json_};
  t::CsvDiffWriter csvWriter_{csv_};
  std::vector<t::RouteDiffSink*> writers_{&textWriter_, &jsonWriter_, &csvWriter_};
};

void CheckCounts(const t::DiffSummary& s, std::size_t changes) {
  const t::DiffCounts& all = s.total;
  Require(all.Changes() == changes, "the summary counts every change");
  Require(all.removed + all.changed <= all.before && all.added + all.changed <= all.after,
          "no more changes than routes");
  Require(all.before - all.removed == all.after - all.added, "routes pair one to one");
  t::DiffCounts sum;
  for (const auto& [vrf, c] : s.vrfs) {
    sum.before += c.before;
    sum.after += c.after;
    sum.removed += c.removed;
    sum.added += c.added;
    sum.changed += c.changed;
  }
  Require(sum.before == all.before && sum.after == all.after && sum.removed == all.removed &&
              sum.added == all.added && sum.changed == all.changed,
          "the VRFs add up to the whole");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const kestrelon::fuzz::TwoTexts texts(data, size);
  const t::DiffCapture b{texts.before(), "before", "before"};
  const t::DiffCapture a{texts.after(), "after", "after"};
  t::DiffOptions options;
  options.ignored = {};  // every field counts, uptime too

  try {
    Checked self;
    Require(t::DiffRouteCaptures(b, b, options, self) == 0 && self.changes == 0,
            "a capture diffed with itself has no change");
    CheckCounts(self.summary, 0);
  } catch (const kestrelon::FileError&) {
    // a capture without routes or of no known platform
  }
  try {
    Checked both;
    const std::size_t changes = t::DiffRouteCaptures(b, a, options, both);
    Require(changes == both.changes, "the count returned is the events'");
    CheckCounts(both.summary, changes);
  } catch (const kestrelon::FileError&) {
  }
  return 0;
}
