#include "tables/diff_text_writer.h"

#include <algorithm>
#include <array>
#include <vector>

#include "tables/text_writer.h"
#include "tables/visible_text.h"

namespace kestrelon::tables {
namespace {

constexpr std::string_view kLineEnd = "\r\n";
constexpr std::size_t kFlushAt = 1 << 16;

std::string FieldList(RouteFields fields, std::string_view none) {
  std::string text;
  for (const RouteField field : fields.List()) {
    text.append(text.empty() ? "" : ", ").append(RouteFieldName(field));
  }
  return text.empty() ? std::string(none) : text;
}

// One table of counts: a name column, then the numbers, right-aligned under their headings.
void CountTable(std::string& text, std::string_view heading,
                const std::vector<std::pair<std::string, DiffCounts>>& rows) {
  using Row = std::array<std::string, 6>;
  std::vector<Row> cells = {
      {std::string(heading), "before", "after", "removed", "added", "changed"}};
  for (const auto& [name, counts] : rows) {
    cells.push_back({VisibleText(name), std::to_string(counts.before), std::to_string(counts.after),
                     std::to_string(counts.removed), std::to_string(counts.added),
                     std::to_string(counts.changed)});
  }
  std::array<std::size_t, 6> widths{};
  for (const Row& row : cells) {
    for (std::size_t c = 0; c < row.size(); ++c) {
      widths[c] = std::max(widths[c], row[c].size());
    }
  }
  for (const Row& row : cells) {
    text.append(row[0]).append(widths[0] - row[0].size(), ' ');
    for (std::size_t c = 1; c < row.size(); ++c) {
      text.append(widths[c] - row[c].size() + 2, ' ').append(row[c]);
    }
    text.append(kLineEnd);
  }
}

// "O E2  *  [110/20]  10.1.1.2 Gi0/0; 10.1.1.3 Gi0/1  00:01:02": the record without its key,
// its control characters escaped.
std::string RecordText(const RouteView& route) {
  std::string text(route.protocol);
  for (const std::string& cell : {std::string(route.flags), CostText(route), NextHopsText(route),
                                  std::string(route.uptime.value_or(""))}) {
    if (!cell.empty()) {
      text.append(text.empty() ? "" : "  ").append(cell);
    }
  }
  return VisibleText(text);
}

}  // namespace

void TextDiffWriter::Begin(const DiffSummary& summary) {
  const auto side = [&](std::string_view label, const std::string& source, Platform platform,
                        std::size_t routes, std::size_t notUnderstood) {
    text_.append(label).append(VisibleText(source)).append(" (").append(PlatformName(platform));
    text_.append("), ").append(std::to_string(routes)).append(" routes");
    if (notUnderstood > 0) {
      text_.append(", ").append(std::to_string(notUnderstood));
      text_.append(notUnderstood == 1 ? " line" : " lines").append(" not understood");
    }
    text_.append(kLineEnd);
  };
  side("before: ", summary.beforeSource, summary.beforePlatform, summary.total.before,
       summary.beforeReading.lines.notUnderstood());
  side("after:  ", summary.afterSource, summary.afterPlatform, summary.total.after,
       summary.afterReading.lines.notUnderstood());
  text_.append("ignored: ").append(FieldList(summary.ignored, "nothing")).append(kLineEnd);
  if (summary.acrossPlatforms) {
    // Each platform prints its own protocol names, distances, flags and interface names.
    text_.append("across platforms: protocols compared by source; distance, flags and ");
    text_.append("interfaces not compared; routes not in use left out (");
    text_.append(std::to_string(summary.leftOutBefore)).append(" before, ");
    text_.append(std::to_string(summary.leftOutAfter)).append(" after)").append(kLineEnd);
  }
  const DiffCounts& total = summary.total;
  if (total.Changes() == 0) {
    text_.append("changes: none");
  } else {
    text_.append("changes: ").append(std::to_string(total.Changes()));
    text_.append(" (").append(std::to_string(total.removed)).append(" removed, ");
    text_.append(std::to_string(total.added)).append(" added, ");
    text_.append(std::to_string(total.changed)).append(" changed)");
  }
  text_.append(kLineEnd).append(kLineEnd);
  CountTable(text_, "vrf", summary.vrfs);
  text_.append(kLineEnd);
  CountTable(text_, "protocol", summary.protocols);
  Flush();
}

void TextDiffWriter::Change(const RouteChangeEvent& change) {
  const RouteView& route = change.route();
  if (!grouped_ || route.vrf != vrf_) {
    vrf_.assign(route.vrf);
    grouped_ = true;
    text_.append(kLineEnd).append("vrf ").append(VisibleText(vrf_)).append(kLineEnd);
  }
  static constexpr std::array<std::string_view, 3> kMarks = {"- ", "+ ", "~ "};
  text_.append(kMarks[static_cast<std::size_t>(change.change)]).append(VisibleText(route.prefix));
  text_.append("  ").append(RouteChangeName(change.change));
  if (change.change == RouteChange::kChanged) {
    text_.append(": ").append(FieldList(change.fields, ""));
  }
  text_.append(kLineEnd);
  if (change.before != nullptr) {
    text_.append("    before  ").append(RecordText(*change.before)).append(kLineEnd);
  }
  if (change.after != nullptr) {
    text_.append("    after   ").append(RecordText(*change.after)).append(kLineEnd);
  }
  if (text_.size() >= kFlushAt) {
    Flush();
  }
}

void TextDiffWriter::End() {
  Flush();
}

void TextDiffWriter::Flush() {
  out_.Write(text_);
  text_.clear();
}

}  // namespace kestrelon::tables
