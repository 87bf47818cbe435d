// What every HTML report shares: one page with its style inside (no fonts, scripts, style
// sheets or images from elsewhere, nothing that needs a script), laid out to print on A4, the
// labels in the report's language, and texts from captures escaped.
#pragma once

#include <string>
#include <string_view>

#include "report/report_language.h"
#include "tables/route_diff_sink.h"

namespace kestrelon::report {

struct HtmlLabels {
  std::string_view lang;  // the page's lang attribute
  std::string_view routeDiff, folderDiff;
  std::string_view before, after, made, options, ignored, nothing;
  std::string_view summary, devices, device, status;
  std::string_view platformBefore, platformAfter, routesBefore, routesAfter;
  std::string_view removed, added, changed, notUnderstood;
  std::string_view chart, noChangeChart, perVrf, perProtocol, changes, noChanges;
  std::string_view vrf, protocol, prefix, change, side, flags, cost, nextHops, uptime;
  std::string_view same, changedDevice, missingBefore, missingAfter, unreadable;
  std::string_view share, of, routes, note;
};

const HtmlLabels& LabelsFor(Language language);

// text as HTML: control characters shown as "\x1b", then &, <, >, " and ' as references.
std::string HtmlText(std::string_view text);

// The page up to its body's first element, with title.
std::string PageStart(const HtmlLabels& labels, std::string_view title);
std::string PageEnd();

// The label of a change ("removed") and of a device's status.
std::string_view ChangeLabel(const HtmlLabels& labels, tables::RouteChange change);

}  // namespace kestrelon::report
