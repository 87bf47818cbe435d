// Captures of "show ip route vrf *" hold one routing table per VRF, each headed by a line
// "Routing Table: NAME". With two or more such lines the sort and the compare take each table
// on its own; a capture with at most one is a single table.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

namespace kestrelon::routes {

// Whether line heads a routing table.
bool IsRoutingTableLine(std::string_view line);

// The VRF name of a heading line: what follows "Routing Table:", without surrounding blanks.
std::string_view RoutingTableName(std::string_view line);

// The lines before the first heading (headed false: the global table, name empty), or a heading
// with the lines up to the next one.
struct TableSection {
  std::string_view name;
  std::string_view text;
  bool headed = false;
};

// The sections of text in order, split at every heading. The lines before the first heading
// are a section only when there are any.
std::vector<TableSection> SplitTableSections(std::string_view text);

// Whether a text with these sections is taken table by table.
bool HasSeveralTables(const std::vector<TableSection>& sections);

}  // namespace kestrelon::routes
