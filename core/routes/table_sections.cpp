#include "routes/table_sections.h"

namespace kestrelon::routes {
namespace {

constexpr std::string_view kHeading = "Routing Table:";

}  // namespace

bool IsRoutingTableLine(std::string_view line) {
  return line.starts_with(kHeading);
}

std::string_view RoutingTableName(std::string_view line) {
  std::string_view name = line.substr(kHeading.size());
  const std::size_t first = name.find_first_not_of(' ');
  if (first == std::string_view::npos) {
    return {};
  }
  name.remove_prefix(first);
  return name.substr(0, name.find_last_not_of(' ') + 1);
}

std::vector<TableSection> SplitTableSections(std::string_view text) {
  std::vector<TableSection> sections;
  std::size_t start = 0;  // of the current section
  bool headed = false;
  std::string_view name;
  const auto close = [&](std::size_t end) {
    if (headed || end > start) {
      sections.push_back({name, text.substr(start, end - start), headed});
    }
  };
  for (std::size_t at = text.find(kHeading); at != std::string_view::npos;
       at = text.find(kHeading, at + 1)) {
    if (at > 0 && text[at - 1] != '\n' && text[at - 1] != '\r') {
      continue;  // not at the start of a line
    }
    close(at);
    start = at;
    headed = true;
    const std::size_t end = text.find_first_of("\r\n", at);
    name = RoutingTableName(text.substr(at, end == std::string_view::npos ? end : end - at));
  }
  close(text.size());
  return sections;
}

bool HasSeveralTables(const std::vector<TableSection>& sections) {
  std::size_t headings = 0;
  for (const TableSection& section : sections) {
    headings += section.headed ? 1 : 0;
  }
  return headings >= 2;
}

}  // namespace kestrelon::routes
