#include "report/fleet_text_writer.h"

#include <algorithm>
#include <array>
#include <vector>

#include "report/diff_document.h"
#include "tables/diff_text_writer.h"
#include "tables/visible_text.h"

namespace kestrelon::report {
namespace {

constexpr std::string_view kLineEnd = "\r\n";

std::string PlatformText(const std::optional<tables::Platform>& platform) {
  return platform ? std::string(tables::PlatformName(*platform)) : "-";
}

std::string StatusText(DeviceStatus status) {
  std::string text(DeviceStatusName(status));
  std::replace(text.begin(), text.end(), '_', ' ');
  return text;
}

// The device table, each column as wide as its widest cell; numbers right-aligned.
void DeviceTable(std::string& text, const std::vector<DeviceResult>& devices) {
  using Row = std::array<std::string, 10>;
  std::vector<Row> rows = {{"device", "status", "platform before", "platform after", "before",
                            "after", "removed", "added", "changed", "not understood"}};
  for (const DeviceResult& device : devices) {
    // A number only where it was counted: a side read, changes of a pair diffed.
    const auto number = [](bool counted, std::size_t value) {
      return counted ? std::to_string(value) : std::string("-");
    };
    const bool before = device.platformBefore.has_value();
    const bool after = device.platformAfter.has_value();
    const bool diffed = !device.diffDocument.empty();
    rows.push_back(
        {tables::VisibleText(device.device), StatusText(device.status),
         PlatformText(device.platformBefore), PlatformText(device.platformAfter),
         number(before, device.counts.before), number(after, device.counts.after),
         number(diffed, device.counts.removed), number(diffed, device.counts.added),
         number(diffed, device.counts.changed),
         number(before || after, device.notUnderstoodBefore + device.notUnderstoodAfter)});
  }
  std::array<std::size_t, 10> widths{};
  for (const Row& row : rows) {
    for (std::size_t c = 0; c < row.size(); ++c) {
      widths[c] = std::max(widths[c], row[c].size());
    }
  }
  for (const Row& row : rows) {
    std::string line;
    for (std::size_t c = 0; c < row.size(); ++c) {
      const std::size_t pad = widths[c] - row[c].size();
      if (c < 4) {
        line.append(c > 0 ? "  " : "").append(row[c]).append(pad, ' ');
      } else {
        line.append(pad + 2, ' ').append(row[c]);
      }
    }
    line.erase(line.find_last_not_of(' ') + 1);
    text.append(line).append(kLineEnd);
  }
}

}  // namespace

std::string OptionsText(const FleetHeader& header) {
  std::string text = "platform " + header.platform + ", ignored ";
  std::string fields;
  for (const tables::RouteField field : header.ignored.List()) {
    fields.append(fields.empty() ? "" : ", ").append(tables::RouteFieldName(field));
  }
  text.append(fields.empty() ? "nothing" : fields);
  if (header.vrfs.empty()) {
    text.append(", every VRF");
  } else {
    text.append(", VRF");
    for (const std::string& vrf : header.vrfs) {
      text.append(" ").append(vrf);
    }
  }
  text.append(header.strict ? ", strict" : "");
  if (!header.pairBy.empty()) {
    text.append(", paired by ").append(header.pairBy);
  }
  return tables::VisibleText(text);
}

void WriteFleetText(const FleetReport& report, tables::ByteSink& out) {
  const FleetHeader& header = report.header;
  const FleetTotals totals = report.Totals();
  std::string text;
  text.append("before:  ").append(tables::VisibleText(header.beforeFolder)).append(kLineEnd);
  text.append("after:   ").append(tables::VisibleText(header.afterFolder)).append(kLineEnd);
  text.append("made:    ").append(header.made).append(kLineEnd);
  text.append("options: ").append(OptionsText(header)).append(kLineEnd);
  if (header.shardCount > 0) {
    text.append("share:   ").append(std::to_string(header.shardIndex)).append(" of ");
    text.append(std::to_string(header.shardCount)).append(kLineEnd);
  }
  text.append("devices: ").append(std::to_string(totals.devices));
  text.append(" (").append(std::to_string(totals.same)).append(" same, ");
  text.append(std::to_string(totals.changed)).append(" changed, ");
  text.append(std::to_string(totals.missingBefore)).append(" missing before, ");
  text.append(std::to_string(totals.missingAfter)).append(" missing after, ");
  text.append(std::to_string(totals.unreadable)).append(" unreadable)").append(kLineEnd);
  text.append("routes:  ").append(std::to_string(totals.routes.before)).append(" before, ");
  text.append(std::to_string(totals.routes.after)).append(" after; ");
  text.append(std::to_string(totals.routes.removed)).append(" removed, ");
  text.append(std::to_string(totals.routes.added)).append(" added, ");
  text.append(std::to_string(totals.routes.changed)).append(" changed");
  text.append(kLineEnd).append(kLineEnd);
  DeviceTable(text, report.devices);
  bool noted = false;
  for (const DeviceResult& device : report.devices) {
    const auto note = [&](std::string_view what) {
      text.append(noted ? "" : "\r\n");
      text.append(tables::VisibleText(device.device)).append(": ").append(what).append(kLineEnd);
      noted = true;
    };
    if (device.status == DeviceStatus::kUnreadable) {
      note("unreadable: " + tables::VisibleText(device.reason));
    } else if (device.status == DeviceStatus::kMissingBefore) {
      note("missing before; after: " + tables::VisibleText(*device.afterFile) +
           (device.reason.empty() ? "" : ", unreadable: " + tables::VisibleText(device.reason)));
    } else if (device.status == DeviceStatus::kMissingAfter) {
      note("missing after; before: " + tables::VisibleText(*device.beforeFile) +
           (device.reason.empty() ? "" : ", unreadable: " + tables::VisibleText(device.reason)));
    }
  }
  out.Write(text);
  for (const DeviceResult& device : report.devices) {
    if (device.status != DeviceStatus::kChanged) {
      continue;
    }
    out.Write("\r\n== " + tables::VisibleText(device.device) + " ==\r\n");
    tables::TextDiffWriter writer(out);
    DiffDocument::Load(device.diffDocument)->Replay(writer);
  }
}

}  // namespace kestrelon::report
