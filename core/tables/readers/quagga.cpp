#include "tables/readers/quagga.h"

#include <array>

#include "files/text_fields.h"
#include "tables/capture_lines.h"
#include "tables/zebra_table.h"

namespace kestrelon::tables {
namespace {

// The lines of the family's legends that no other platform prints.
constexpr std::array<std::string_view, 8> kMarks = {"> - selected route, * - FIB route",
                                                    "q - queued route",
                                                    "q - queued, r - rejected",
                                                    "o - offload failure",
                                                    "V - VNC-Direct",
                                                    "f - OpenFabric",
                                                    "IPv4 unicast VRF ",
                                                    "IPv6 unicast VRF "};

// The table a heading names: "VRF red:" (show ip route vrf all), "IPv4 unicast VRF red:" (FRR
// 9 and later), "IP Route Table for VRF "default"" (EdgeOS).
std::optional<std::string_view> SectionVrf(std::string_view text) {
  if (text.empty() || (text[0] != 'V' && text[0] != 'I')) {
    return std::nullopt;
  }
  for (const std::string_view start : {"VRF ", "IPv4 unicast VRF ", "IPv6 unicast VRF "}) {
    if (text.starts_with(start) && text.ends_with(':') && text.size() > start.size() + 1) {
      return files::TrimBlanks(text.substr(start.size(), text.size() - start.size() - 1));
    }
  }
  for (const std::string_view start : {"IP Route Table for VRF \"", "IPv6 Route Table for VRF \"",
                                       "IPv6 Routing Table for VRF \""}) {
    if (text.starts_with(start)) {
      const std::string_view rest = text.substr(start.size());
      return rest.substr(0, rest.find('"'));
    }
  }
  return std::nullopt;
}

// FRR's codes; the OSPF types EdgeOS prints ("O IA", "O E2") as IOS does.
RouteSource SourceOf(std::string_view protocol) {
  if (protocol.size() == 1) {
    switch (protocol[0]) {
      case 'I':
        return RouteSource::kIsis;
      case 'E':
        return RouteSource::kEigrp;
      case 'N':
        return RouteSource::kNhrp;
      case 'v':
      case 'V':
        return RouteSource::kVpn;
      case 'A':  // Babel
      case 'T':  // table
      case 'D':  // SHARP
      case 'F':  // PBR
      case 'f':  // OpenFabric
      case 't':
        return RouteSource::kOther;
      default:
        break;
    }
  }
  return SourceOfCode(protocol);
}

constexpr ZebraDialect kDialect{SectionVrf, SourceOf, true};

}  // namespace

void QuaggaReader::Read(std::string_view capture, RouteSink& sink, LineAccount& account) const {
  ReadZebraTable(capture, sink, account, kDialect);
}

std::span<const std::string_view> QuaggaReader::Marks() const {
  return kMarks;
}

bool QuaggaReader::IsOwnRouteLine(std::string_view line) const {
  // The selected mark beside the code ("O>* 10.0.0.0/24 …", "S    *> 0.0.0.0/0 …"), or the
  // weight FRR prints with each next hop ("O   10.0.1.0/24 [110/10] … eth1, weight 1, …").
  const std::optional<ZebraHead> head = ReadZebraHead(line);
  return head &&
         (head->marks.find('>') != std::string_view::npos ||
          head->rest.find(", weight ") != std::string_view::npos) &&
         ReadZebraPath(head->rest);
}

}  // namespace kestrelon::tables
