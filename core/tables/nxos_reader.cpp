#include "tables/nxos_reader.h"

#include "files/text_fields.h"
#include "routes/route_path_fields.h"
#include "tables/capture_lines.h"
#include "tables/route_builder.h"

namespace kestrelon::tables {
namespace {

// The VRF of a table header: IP Route Table for VRF "default", IPv6 Routing Table for VRF "x".
std::optional<std::string_view> SectionVrf(std::string_view line) {
  for (const std::string_view start :
       {"IP Route Table for VRF \"", "IPv6 Routing Table for VRF \""}) {
    if (line.starts_with(start)) {
      const std::string_view rest = line.substr(start.size());
      return rest.substr(0, rest.find('"'));
    }
  }
  return std::nullopt;
}

// Splits off the next comma field of text.
std::string_view NextField(std::string_view& text) {
  const std::size_t comma = text.find(',');
  const std::string_view field = files::TrimBlanks(text.substr(0, comma));
  text = comma == std::string_view::npos ? std::string_view() : text.substr(comma + 1);
  return field;
}

bool IsTypeWord(std::string_view word) {
  if (word.empty() || word.starts_with("tag")) {
    return false;
  }
  for (const char c : word) {
    const bool alnum = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
    if (!alnum && c != '-') {
      return false;
    }
  }
  return true;
}

// "*via 10.1.1.1%vrf, Eth1/1, [110/3], 5d18h, ospf-10, intra, tag 100": one path. The protocol
// (with its type) is that of the first path.
void ReadVia(std::string_view text, RouteBuilder& builder, std::string& protocol) {
  RouteBuilder::Path path;
  std::string_view target = NextField(text);
  const std::size_t percent = target.find('%');
  if (percent != std::string_view::npos) {
    path.vrf = target.substr(percent + 1);
    target = target.substr(0, percent);
  }
  if (IsAddress(target)) {
    path.address = target;
  } else if (!target.empty()) {
    path.interface = target;
  }
  std::string_view field = NextField(text);
  if (!field.empty() && !field.starts_with('[')) {
    path.interface = routes::InterfaceOfField(field);
    field = NextField(text);
  }
  if (field.starts_with('[') && field.ends_with(']')) {
    const std::string_view inside = field.substr(1, field.size() - 2);
    const std::size_t slash = inside.find('/');
    if (slash != std::string_view::npos) {
      path.distance = files::ReadNumber<std::uint32_t>(inside.substr(0, slash));
      path.metric = files::ReadNumber<std::uint64_t>(inside.substr(slash + 1));
    }
    field = NextField(text);
  }
  if (!field.empty()) {
    path.uptime = field;
  }
  if (protocol.empty()) {
    protocol.assign(NextField(text));
    const std::string_view type = NextField(text);
    if (!protocol.empty() && IsTypeWord(type)) {
      protocol.append(" ").append(type);
    }
    builder.SetProtocol(protocol);
  }
  builder.AddPath(path);
}

}  // namespace

void NxosReader::Read(std::string_view capture, RouteSink& sink) const {
  RouteBuilder builder(sink);
  std::string protocol;
  ForEachCaptureLine(capture, [&](std::string_view line) {
    if (const std::optional<std::string_view> vrf = SectionVrf(line)) {
      builder.SetVrf(*vrf);
      return;
    }
    const std::string_view text = files::TrimLeadingBlanks(line);
    if (text.size() == line.size()) {
      // "10.1.0.0/16, ubest/mbest: 2/0, attached" begins a route.
      const std::size_t comma = text.find(", ubest/mbest:");
      if (comma != std::string_view::npos) {
        if (const std::optional<PrefixText> prefix = ReadPrefix(text.substr(0, comma))) {
          builder.Begin(prefix->afi, {}, {}, text.substr(0, comma));
          protocol.clear();
        }
      }
      return;  // other lines, such as the rest of a wrapped path ("tag 100"), end nothing
    }
    const std::size_t stars = text.find_first_not_of('*');
    if (stars != std::string_view::npos && text.substr(stars).starts_with("via ")) {
      ReadVia(text.substr(stars + 4), builder, protocol);
    }
  });
  builder.Finish();
}

}  // namespace kestrelon::tables
