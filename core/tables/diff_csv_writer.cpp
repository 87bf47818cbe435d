#include "tables/diff_csv_writer.h"

#include <string>

#include "tables/text_writer.h"

namespace kestrelon::tables {
namespace {

constexpr std::string_view kColumns[] = {"change",        "vrf",
                                         "afi",           "prefix",
                                         "fields",        "before_protocol",
                                         "before_flags",  "before_distance",
                                         "before_metric", "before_next_hops",
                                         "before_uptime", "after_protocol",
                                         "after_flags",   "after_distance",
                                         "after_metric",  "after_next_hops",
                                         "after_uptime",  "before_source",
                                         "after_source"};

}  // namespace

void CsvDiffWriter::Begin(const DiffSummary& summary) {
  notUnderstoodBefore_ = summary.beforeReading.lines.notUnderstood();
  notUnderstoodAfter_ = summary.afterReading.lines.notUnderstood();
  WriteHeader();
}

void CsvDiffWriter::WriteHeader() {
  if (headerWritten_) {
    return;
  }
  headerWritten_ = true;
  if (!leadColumn_.empty()) {
    csv_.Text(leadColumn_);
  }
  for (const std::string_view column : kColumns) {
    csv_.Text(column);
  }
  csv_.EndRow();
}

void CsvDiffWriter::StartRow() {
  if (!leadColumn_.empty()) {
    csv_.Text(lead_);
  }
}

void CsvDiffWriter::Note(std::string_view change, std::string_view text) {
  StartRow();
  csv_.Text(change);
  for (int i = 0; i < 3; ++i) {
    csv_.Null();
  }
  csv_.Text(text);
  for (int i = 0; i < 14; ++i) {
    csv_.Null();
  }
  csv_.EndRow();
}

void CsvDiffWriter::Side(const RouteView* route) {
  if (route == nullptr) {
    for (int i = 0; i < 6; ++i) {
      csv_.Null();
    }
    return;
  }
  csv_.Text(route->protocol);
  csv_.Text(route->flags);
  route->distance ? csv_.Number(*route->distance) : csv_.Null();
  route->metric ? csv_.Number(*route->metric) : csv_.Null();
  csv_.Text(NextHopsText(*route, true));
  csv_.Optional(route->uptime);
}

void CsvDiffWriter::Change(const RouteChangeEvent& change) {
  const RouteView& route = change.route();
  StartRow();
  csv_.Text(RouteChangeName(change.change));
  csv_.Text(route.vrf);
  csv_.Text(AfiName(route.afi));
  csv_.Text(route.prefix);
  std::string fields;
  for (const RouteField field : change.fields.List()) {
    fields.append(fields.empty() ? "" : ";").append(RouteFieldName(field));
  }
  csv_.Text(fields);
  Side(change.before);
  Side(change.after);
  for (const RouteView* side : {change.before, change.after}) {
    side != nullptr ? csv_.Text(SourceName(side->source)) : csv_.Null();
  }
  csv_.EndRow();
}

void CsvDiffWriter::End() {
  if (notUnderstoodBefore_ + notUnderstoodAfter_ > 0) {
    Note("not_understood", "before " + std::to_string(notUnderstoodBefore_) + ";after " +
                               std::to_string(notUnderstoodAfter_));
    notUnderstoodBefore_ = notUnderstoodAfter_ = 0;  // said once, however often End is called
  }
  csv_.Flush();
}

}  // namespace kestrelon::tables
