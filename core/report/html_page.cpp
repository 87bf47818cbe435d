#include "report/html_page.h"

#include "tables/visible_text.h"

namespace kestrelon::report {
namespace {

constexpr HtmlLabels kEnglish = {
    "en",
    "Route diff",
    "Folder diff",
    "Before",
    "After",
    "Made",
    "Options",
    "Fields ignored",
    "nothing",
    "Summary",
    "Devices",
    "Device",
    "Status",
    "Platform before",
    "Platform after",
    "Routes before",
    "Routes after",
    "Removed",
    "Added",
    "Changed",
    "Not understood",
    "Changes per device",
    "No device changed.",
    "Per VRF",
    "Per protocol",
    "Changes",
    "No route changed.",
    "VRF",
    "Protocol",
    "Prefix",
    "Change",
    "",
    "Flags",
    "[Distance/metric]",
    "Next hops",
    "Uptime",
    "same",
    "changed",
    "missing before",
    "missing after",
    "unreadable",
    "Share",
    "of",
    "routes",
    "Note",
};

constexpr HtmlLabels kJapanese = {
    "ja",
    "経路の差分",
    "フォルダの比較",
    "変更前",
    "変更後",
    "作成日時",
    "オプション",
    "無視した項目",
    "なし",
    "概要",
    "装置",
    "装置",
    "状態",
    "変更前の機種",
    "変更後の機種",
    "変更前の経路",
    "変更後の経路",
    "削除",
    "追加",
    "変更",
    "解釈できない行",
    "装置ごとの変更",
    "変更のあった装置はありません。",
    "VRF 別",
    "プロトコル別",
    "変更一覧",
    "経路の変更はありません。",
    "VRF",
    "プロトコル",
    "プレフィックス",
    "変化",
    "",
    "フラグ",
    "[AD/メトリック]",
    "ネクストホップ",
    "経過時間",
    "同じ",
    "変更あり",
    "変更前になし",
    "変更後になし",
    "読めない",
    "分担",
    "/",
    "経路",
    "備考",
};

// Screen and A4 paper alike; colours of the route diff window (removed, added, changed, and
// the changed field).
constexpr std::string_view kStyle = R"(<style>
@page { size: A4; margin: 12mm; }
body { font-family: sans-serif; font-size: 10pt; color: #111; margin: 1.5em; }
h1 { font-size: 16pt; margin: 0 0 .5em; }
h2 { font-size: 13pt; margin: 1.2em 0 .4em; border-bottom: 1px solid #999; }
h3 { font-size: 11pt; margin: .8em 0 .3em; break-after: avoid; }
table { border-collapse: collapse; margin: .3em 0 .8em; }
th, td { border: 1px solid #bbb; padding: 2px 6px; text-align: left; vertical-align: top; }
th { background: #eee; }
td.n { text-align: right; font-variant-numeric: tabular-nums; }
table.head th { width: 10em; }
table.devices td:nth-child(-n+2) { white-space: nowrap; }
table.changes td { white-space: nowrap; }
table.changes td.hops { white-space: normal; }
.mono { font-family: monospace; overflow-wrap: anywhere; }
.removed { background: #ffdada; }
.added { background: #d6f5d6; }
.changed { background: #ffecba; }
.missing_before, .missing_after { background: #e4e4f7; }
.unreadable { background: #f2b8b8; font-weight: bold; }
td.hl { background: #ffc45c; font-weight: bold; }
.counts { display: flex; flex-wrap: wrap; gap: 2em; }
svg text { font-family: sans-serif; font-size: 11px; }
tbody.change { break-inside: avoid; }
thead { display: table-header-group; }
@media print {
  body { margin: 0; font-size: 8.5pt; }
  * { -webkit-print-color-adjust: exact; print-color-adjust: exact; }
  section.device { break-before: auto; }
  h2 { break-after: avoid; }
}
</style>
)";

}  // namespace

const HtmlLabels& LabelsFor(Language language) {
  return language == Language::kJapanese ? kJapanese : kEnglish;
}

std::string HtmlText(std::string_view text) {
  const std::string visible = tables::VisibleText(text);
  std::string html;
  html.reserve(visible.size());
  for (const char c : visible) {
    switch (c) {
      case '&':
        html.append("&amp;");
        break;
      case '<':
        html.append("&lt;");
        break;
      case '>':
        html.append("&gt;");
        break;
      case '"':
        html.append("&quot;");
        break;
      case '\'':
        html.append("&#39;");
        break;
      default:
        html.push_back(c);
    }
  }
  return html;
}

std::string PageStart(const HtmlLabels& labels, std::string_view title) {
  std::string html = "<!DOCTYPE html>\r\n<html lang=\"";
  html.append(labels.lang).append("\">\r\n<head>\r\n<meta charset=\"utf-8\">\r\n");
  html.append("<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\r\n");
  html.append("<title>").append(HtmlText(title)).append("</title>\r\n");
  html.append(kStyle).append("</head>\r\n<body>\r\n");
  return html;
}

std::string PageEnd() {
  return "</body>\r\n</html>\r\n";
}

std::string_view ChangeLabel(const HtmlLabels& labels, tables::RouteChange change) {
  switch (change) {
    case tables::RouteChange::kRemoved:
      return labels.removed;
    case tables::RouteChange::kAdded:
      return labels.added;
    case tables::RouteChange::kChanged:
      break;
  }
  return labels.changed;
}

}  // namespace kestrelon::report
