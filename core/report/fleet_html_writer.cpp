#include "report/fleet_html_writer.h"

#include <algorithm>

#include "report/diff_document.h"
#include "report/fleet_text_writer.h"
#include "report/html_diff_writer.h"
#include "report/html_page.h"

namespace kestrelon::report {
namespace {

std::string_view StatusLabel(const HtmlLabels& labels, DeviceStatus status) {
  switch (status) {
    case DeviceStatus::kSame:
      return labels.same;
    case DeviceStatus::kChanged:
      return labels.changedDevice;
    case DeviceStatus::kMissingBefore:
      return labels.missingBefore;
    case DeviceStatus::kMissingAfter:
      return labels.missingAfter;
    case DeviceStatus::kUnreadable:
      break;
  }
  return labels.unreadable;
}

std::string Row(std::string_view label, std::string_view html) {
  return "<tr><th>" + std::string(label) + "</th><td>" + std::string(html) + "</td></tr>\r\n";
}

std::string Header(const FleetHeader& header, const FleetTotals& totals, const HtmlLabels& labels) {
  std::string html =
      "<h1>" + std::string(labels.folderDiff) + "</h1>\r\n<table class=\"head\">\r\n";
  html.append(
      Row(labels.before, "<span class=\"mono\">" + HtmlText(header.beforeFolder) + "</span>"));
  html.append(
      Row(labels.after, "<span class=\"mono\">" + HtmlText(header.afterFolder) + "</span>"));
  html.append(Row(labels.made, HtmlText(header.made)));
  html.append(Row(labels.options, HtmlText(OptionsText(header))));
  std::string fields;
  for (const tables::RouteField field : header.ignored.List()) {
    fields.append(fields.empty() ? "" : ", ").append(tables::RouteFieldName(field));
  }
  html.append(Row(labels.ignored, fields.empty() ? std::string(labels.nothing) : fields));
  if (header.shardCount > 0) {
    html.append(Row(labels.share, std::to_string(header.shardIndex) + " " + std::string(labels.of) +
                                      " " + std::to_string(header.shardCount)));
  }
  std::string counts = std::to_string(totals.devices) + ": ";
  const std::pair<std::string_view, std::size_t> parts[] = {
      {labels.same, totals.same},
      {labels.changedDevice, totals.changed},
      {labels.missingBefore, totals.missingBefore},
      {labels.missingAfter, totals.missingAfter},
      {labels.unreadable, totals.unreadable}};
  for (const auto& [label, n] : parts) {
    counts.append(label).append(" ").append(std::to_string(n));
    counts.append(label == labels.unreadable ? "" : ", ");
  }
  html.append(Row(labels.devices, counts));
  html.append(Row(labels.changes,
                  "<span class=\"removed\">" + std::string(labels.removed) + " " +
                      std::to_string(totals.routes.removed) + "</span> <span class=\"added\">" +
                      std::string(labels.added) + " " + std::to_string(totals.routes.added) +
                      "</span> <span class=\"changed\">" + std::string(labels.changed) + " " +
                      std::to_string(totals.routes.changed) + "</span>"));
  html.append("</table>\r\n");
  return html;
}

std::string DeviceTable(const std::vector<DeviceResult>& devices, const HtmlLabels& labels) {
  std::string html = "<h2>" + std::string(labels.summary) + "</h2>\r\n<table class=\"devices\">";
  html.append("<thead><tr>");
  for (const std::string_view heading :
       {labels.device, labels.status, labels.platformBefore, labels.platformAfter,
        labels.routesBefore, labels.routesAfter, labels.removed, labels.added, labels.changed,
        labels.notUnderstood, labels.note}) {
    html.append("<th>").append(heading).append("</th>");
  }
  html.append("</tr></thead>\r\n<tbody>\r\n");
  for (std::size_t i = 0; i < devices.size(); ++i) {
    const DeviceResult& device = devices[i];
    const std::string status(DeviceStatusName(device.status));
    html.append("<tr class=\"device\" data-status=\"")
        .append(status)
        .append("\"><td class=\"mono\">");
    if (device.status == DeviceStatus::kChanged) {
      html.append("<a href=\"#device-").append(std::to_string(i)).append("\">");
      html.append(HtmlText(device.device)).append("</a>");
    } else {
      html.append(HtmlText(device.device));
    }
    html.append("</td><td class=\"").append(status).append("\">");
    html.append(StatusLabel(labels, device.status)).append("</td>");
    const auto platform = [&](const std::optional<tables::Platform>& p) {
      html.append("<td>").append(p ? tables::PlatformName(*p) : "").append("</td>");
    };
    platform(device.platformBefore);
    platform(device.platformAfter);
    // A number only where it was counted: a side read, changes of a pair diffed.
    const bool before = device.platformBefore.has_value();
    const bool after = device.platformAfter.has_value();
    const bool diffed = !device.diffDocument.empty();
    const std::pair<bool, std::size_t> cells[] = {
        {before, device.counts.before},
        {after, device.counts.after},
        {diffed, device.counts.removed},
        {diffed, device.counts.added},
        {diffed, device.counts.changed},
        {before || after, device.notUnderstoodBefore + device.notUnderstoodAfter}};
    for (const auto& [counted, n] : cells) {
      html.append("<td class=\"n\">").append(counted ? std::to_string(n) : "").append("</td>");
    }
    std::string reason = device.reason;
    if (device.status == DeviceStatus::kMissingBefore) {
      reason = *device.afterFile + (reason.empty() ? "" : "; " + reason);
    } else if (device.status == DeviceStatus::kMissingAfter) {
      reason = *device.beforeFile + (reason.empty() ? "" : "; " + reason);
    }
    html.append("<td class=\"mono\">").append(HtmlText(reason)).append("</td></tr>\r\n");
  }
  html.append("</tbody></table>\r\n");
  return html;
}

// Stacked bars, one per changed device: removed, added, changed, in the table's colours.
std::string Chart(const std::vector<DeviceResult>& devices, const HtmlLabels& labels) {
  std::string html = "<h2>" + std::string(labels.chart) + "</h2>\r\n";
  std::size_t most = 0;
  std::size_t bars = 0;
  for (const DeviceResult& device : devices) {
    if (device.status == DeviceStatus::kChanged) {
      most = std::max(most, device.counts.Changes());
      ++bars;
    }
  }
  if (bars == 0) {
    return html.append("<p>").append(labels.noChangeChart).append("</p>\r\n");
  }
  constexpr int kLabel = 170, kBar = 420, kRow = 18, kTop = 22;
  const int width = kLabel + kBar + 80;
  const int height = kTop + static_cast<int>(bars) * kRow + 4;
  html.append("<svg role=\"img\" width=\"")
      .append(std::to_string(width))
      .append("\" height=\"")
      .append(std::to_string(height))
      .append("\" viewBox=\"0 0 ")
      .append(std::to_string(width))
      .append(" ")
      .append(std::to_string(height))
      .append("\"><title>")
      .append(labels.chart)
      .append("</title>\r\n");
  // The legend.
  const std::pair<std::string_view, std::string_view> keys[] = {
      {labels.removed, "#d9534f"}, {labels.added, "#4cae4c"}, {labels.changed, "#f0ad4e"}};
  int x = kLabel;
  for (const auto& [label, colour] : keys) {
    html.append("<rect x=\"")
        .append(std::to_string(x))
        .append("\" y=\"4\" width=\"10\" height=\"10\" fill=\"")
        .append(colour)
        .append("\"/><text x=\"")
        .append(std::to_string(x + 14))
        .append("\" y=\"13\">")
        .append(label)
        .append("</text>\r\n");
    x += 90;
  }
  int y = kTop;
  for (const DeviceResult& device : devices) {
    if (device.status != DeviceStatus::kChanged) {
      continue;
    }
    std::string name = device.device;
    if (name.size() > 26) {
      name = name.substr(0, 24) + "..";
    }
    html.append("<text x=\"")
        .append(std::to_string(kLabel - 6))
        .append("\" y=\"")
        .append(std::to_string(y + 12))
        .append("\" text-anchor=\"end\">")
        .append(HtmlText(name))
        .append("</text>");
    double at = kLabel;
    const std::size_t parts[] = {device.counts.removed, device.counts.added, device.counts.changed};
    for (std::size_t k = 0; k < 3; ++k) {
      const double w = most == 0 ? 0
                                 : static_cast<double>(kBar) * static_cast<double>(parts[k]) /
                                       static_cast<double>(most);
      if (parts[k] > 0) {
        char rect[160];
        std::snprintf(rect, sizeof rect,
                      "<rect x=\"%.1f\" y=\"%d\" width=\"%.1f\" height=\"%d\" fill=\"%s\"/>", at,
                      y + 2, std::max(w, 1.0), kRow - 5, keys[k].second.data());
        html.append(rect);
      }
      at += w;
    }
    html.append("<text x=\"")
        .append(std::to_string(static_cast<int>(at) + 6))
        .append("\" y=\"")
        .append(std::to_string(y + 12))
        .append("\">")
        .append(std::to_string(device.counts.Changes()))
        .append("</text>\r\n");
    y += kRow;
  }
  html.append("</svg>\r\n");
  return html;
}

}  // namespace

void WriteFleetHtml(const FleetReport& report, tables::ByteSink& out, Language language) {
  const HtmlLabels& labels = LabelsFor(language);
  std::string html = PageStart(labels, labels.folderDiff);
  html.append(Header(report.header, report.Totals(), labels));
  html.append(DeviceTable(report.devices, labels));
  html.append(Chart(report.devices, labels));
  out.Write(html);
  for (std::size_t i = 0; i < report.devices.size(); ++i) {
    const DeviceResult& device = report.devices[i];
    if (device.status != DeviceStatus::kChanged) {
      continue;
    }
    out.Write("<section class=\"device\" id=\"device-" + std::to_string(i) + "\">\r\n<h2>" +
              HtmlText(device.device) + "</h2>\r\n");
    HtmlDiffWriter writer(out, language, nullptr);
    DiffDocument::Load(device.diffDocument)->Replay(writer);
    out.Write("</section>\r\n");
  }
  out.Write(PageEnd());
}

}  // namespace kestrelon::report
