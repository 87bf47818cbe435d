#include "report/html_diff_writer.h"

#include <array>

#include "tables/text_writer.h"

namespace kestrelon::report {
namespace {

constexpr std::size_t kFlushAt = 1 << 16;
constexpr std::array<std::string_view, 3> kChangeClass = {"removed", "added", "changed"};

// hops: the one cell of a change that may wrap (a route of many paths).
std::string Cell(std::string_view text, bool highlighted, bool hops = false) {
  std::string html = "<td class=\"mono";
  html.append(highlighted ? " hl" : "").append(hops ? " hops\">" : "\">");
  return html.append(HtmlText(text)).append("</td>");
}

void CountTable(std::string& html, const HtmlLabels& labels, std::string_view heading,
                std::string_view caption,
                const std::vector<std::pair<std::string, tables::DiffCounts>>& rows) {
  html.append("<div><h3>").append(caption).append("</h3>\r\n<table><thead><tr><th>");
  html.append(heading).append("</th><th>").append(labels.routesBefore).append("</th><th>");
  html.append(labels.routesAfter).append("</th><th>").append(labels.removed).append("</th><th>");
  html.append(labels.added).append("</th><th>").append(labels.changed);
  html.append("</th></tr></thead><tbody>\r\n");
  for (const auto& [name, counts] : rows) {
    html.append("<tr><td class=\"mono\">").append(HtmlText(name)).append("</td>");
    for (const std::size_t n :
         {counts.before, counts.after, counts.removed, counts.added, counts.changed}) {
      html.append("<td class=\"n\">").append(std::to_string(n)).append("</td>");
    }
    html.append("</tr>\r\n");
  }
  html.append("</tbody></table></div>\r\n");
}

}  // namespace

void HtmlDiffWriter::Begin(const tables::DiffSummary& summary) {
  const tables::RouteFields& ignored = summary.ignored;
  if (header_ != nullptr) {
    html_.append(PageStart(labels_, labels_.routeDiff));
    html_.append("<h1>").append(labels_.routeDiff).append("</h1>\r\n");
  }
  html_.append("<table class=\"head\">\r\n");
  const auto side = [&](std::string_view label, const std::string& source,
                        tables::Platform platform, std::size_t routes, std::size_t notUnderstood) {
    html_.append("<tr><th>").append(label).append("</th><td><span class=\"mono\">");
    html_.append(HtmlText(source)).append("</span> (").append(tables::PlatformName(platform));
    html_.append("), ").append(std::to_string(routes)).append(" ").append(labels_.routes);
    if (notUnderstood > 0) {
      html_.append("; <span class=\"unreadable\">").append(labels_.notUnderstood).append(": ");
      html_.append(std::to_string(notUnderstood)).append("</span>");
    }
    html_.append("</td></tr>\r\n");
  };
  side(labels_.before, summary.beforeSource, summary.beforePlatform, summary.total.before,
       summary.beforeReading.lines.notUnderstood());
  side(labels_.after, summary.afterSource, summary.afterPlatform, summary.total.after,
       summary.afterReading.lines.notUnderstood());
  if (header_ != nullptr) {
    html_.append("<tr><th>").append(labels_.made).append("</th><td>");
    html_.append(HtmlText(header_->made)).append("</td></tr>\r\n<tr><th>");
    html_.append(labels_.options).append("</th><td>").append(HtmlText(header_->options));
    html_.append("</td></tr>\r\n");
  }
  std::string fields;
  for (const tables::RouteField field : ignored.List()) {
    fields.append(fields.empty() ? "" : ", ").append(tables::RouteFieldName(field));
  }
  html_.append("<tr><th>").append(labels_.ignored).append("</th><td>");
  html_.append(fields.empty() ? labels_.nothing : fields).append("</td></tr>\r\n");
  const tables::DiffCounts& total = summary.total;
  html_.append("<tr><th>").append(labels_.changes).append("</th><td>");
  html_.append("<span class=\"removed\">").append(labels_.removed).append(" ");
  html_.append(std::to_string(total.removed)).append("</span> <span class=\"added\">");
  html_.append(labels_.added).append(" ").append(std::to_string(total.added));
  html_.append("</span> <span class=\"changed\">").append(labels_.changed).append(" ");
  html_.append(std::to_string(total.changed)).append("</span></td></tr>\r\n</table>\r\n");
  html_.append("<div class=\"counts\">\r\n");
  CountTable(html_, labels_, labels_.vrf, labels_.perVrf, summary.vrfs);
  CountTable(html_, labels_, labels_.protocol, labels_.perProtocol, summary.protocols);
  html_.append("</div>\r\n");
  Flush();
}

void HtmlDiffWriter::Change(const tables::RouteChangeEvent& change) {
  if (changes_++ == 0) {
    html_.append("<h3>").append(labels_.changes).append("</h3>\r\n<table class=\"changes\">");
    html_.append("<thead><tr><th>").append(labels_.vrf).append("</th><th>");
    html_.append(labels_.prefix).append("</th><th>").append(labels_.change).append("</th><th>");
    html_.append(labels_.side).append("</th><th>").append(labels_.protocol).append("</th><th>");
    html_.append(labels_.flags).append("</th><th>").append(labels_.cost).append("</th><th>");
    html_.append(labels_.nextHops).append("</th><th>").append(labels_.uptime);
    html_.append("</th></tr></thead>\r\n");
  }
  const tables::RouteView& route = change.route();
  const std::string_view kind = kChangeClass[static_cast<std::size_t>(change.change)];
  const int rows = (change.before != nullptr ? 1 : 0) + (change.after != nullptr ? 1 : 0);
  const std::string span = rows > 1 ? " rowspan=\"2\"" : "";
  html_.append("<tbody class=\"change ").append(kind).append("\"><tr><td class=\"mono\"");
  html_.append(span).append(">").append(HtmlText(route.vrf)).append("</td><td class=\"mono\"");
  html_.append(span).append(">").append(HtmlText(route.prefix)).append("</td><td");
  html_.append(span).append(">").append(ChangeLabel(labels_, change.change));
  std::string fields;
  for (const tables::RouteField field : change.fields.List()) {
    fields.append(fields.empty() ? ": " : ", ").append(tables::RouteFieldName(field));
  }
  html_.append(fields).append("</td>");
  const auto record = [&](std::string_view label, const tables::RouteView& view) {
    const tables::RouteFields& f = change.fields;
    html_.append("<td>").append(label).append("</td>");
    html_.append(Cell(view.protocol, f.Has(tables::RouteField::kProtocol)));
    html_.append(Cell(view.flags, f.Has(tables::RouteField::kFlags)));
    html_.append(Cell(tables::CostText(view),
                      f.Has(tables::RouteField::kDistance) || f.Has(tables::RouteField::kMetric)));
    html_.append(Cell(tables::NextHopsText(view),
                      f.Has(tables::RouteField::kNextHops) || f.Has(tables::RouteField::kInterface),
                      true));
    html_.append(Cell(view.uptime.value_or(""), f.Has(tables::RouteField::kUptime)));
    html_.append("</tr>");
  };
  if (change.before != nullptr) {
    record(labels_.before, *change.before);
  }
  if (change.after != nullptr) {
    html_.append(change.before != nullptr ? "\r\n<tr>" : "");
    record(labels_.after, *change.after);
  }
  html_.append("</tbody>\r\n");
  if (html_.size() >= kFlushAt) {
    Flush();
  }
}

void HtmlDiffWriter::End() {
  if (changes_ == 0) {
    html_.append("<p>").append(labels_.noChanges).append("</p>\r\n");
  } else {
    html_.append("</table>\r\n");
  }
  if (header_ != nullptr) {
    html_.append(PageEnd());
  }
  Flush();
}

void HtmlDiffWriter::Flush() {
  out_.Write(html_);
  html_.clear();
}

}  // namespace kestrelon::report
