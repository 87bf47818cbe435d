#include "routes/route_path_fields.h"

#include <array>

#include "files/text_fields.h"

namespace kestrelon::routes {
namespace {

inline bool ConsumePrefix(std::string_view& text, std::string_view prefix) {
  if (!text.starts_with(prefix)) {
    return false;
  }
  text.remove_prefix(prefix.size());
  text = files::TrimBlanks(text);
  return true;
}

// "[110/20]" at the start of text: the distance and metric, each absent when not a number.
void ReadCost(std::string_view& text, RoutePathFields& fields) {
  const std::size_t close = text.find(']', 1);
  if (close == std::string_view::npos) {
    return;
  }
  const std::string_view inside = text.substr(1, close - 1);
  const std::size_t slash = inside.find('/');
  fields.cost = true;
  if (slash != std::string_view::npos) {
    fields.distance = files::ReadNumber<std::uint32_t>(inside.substr(0, slash));
    fields.metric = files::ReadNumber<std::uint64_t>(inside.substr(slash + 1));
  }
  text = files::TrimBlanks(text.substr(close + 1));
}

// "via 10.1.1.2 (red)" or "via 33.33.33.33%default": the target and its VRF.
void ReadVia(std::string_view& text, RoutePathFields& fields) {
  fields.via = true;
  std::size_t end = 0;
  while (end < text.size() && text[end] != ',' && text[end] != ' ') {
    ++end;
  }
  std::string_view target = text.substr(0, end);
  text = text.substr(end);
  const std::size_t percent = target.find('%');
  if (percent != std::string_view::npos) {
    fields.viaVrf = target.substr(percent + 1);
    target = target.substr(0, percent);
  }
  fields.viaTarget = target;
  text = files::TrimBlanks(text);
  if (text.starts_with('(') && !text.starts_with("(!)") && !text.starts_with("(>)")) {
    const std::size_t close = text.find(')');
    if (close != std::string_view::npos) {
      fields.viaVrf = text.substr(1, close - 1);
      text = files::TrimBlanks(text.substr(close + 1));
    }
  }
}

// One comma field after the next hop: a time, an interface, or a mark.
void ReadCommaField(std::string_view field, RoutePathFields& fields) {
  if (field.ends_with(')')) {
    if (field.ends_with("(!)")) {
      fields.backup = true;
      field = files::TrimBlanks(field.substr(0, field.size() - 3));
    } else if (field.ends_with("(>)")) {
      field = files::TrimBlanks(field.substr(0, field.size() - 3));
    }
  }
  if (field.empty()) {
    return;
  }
  // A time starts with a digit; the two words below do not.
  if (field[0] >= '0' && field[0] <= '9' && IsUptimeText(field)) {
    if (fields.uptime.empty()) {
      fields.uptime = field;
    }
  } else if (field == "directly connected") {
    fields.connected = true;
  } else if (field == "receive") {
    fields.receive = true;
  } else if (fields.interface.empty() && field.find(' ') == std::string_view::npos) {
    // "Vlan100%default": the VRF of an interface is the next hop's, given with the address.
    fields.interface = field.substr(0, field.find('%'));
  }
  // Other texts ("tag 100") say nothing about the path.
}

}  // namespace

bool IsUptimeText(std::string_view text) {
  static constexpr auto kTimeChars = [] {
    std::array<bool, 256> table{};
    for (const char c : std::string_view("0123456789:.ywdhms")) {
      table[static_cast<unsigned char>(c)] = true;
    }
    return table;
  }();
  if (text.empty() || text[0] < '0' || text[0] > '9') {
    return false;
  }
  for (const char c : text) {
    if (!kTimeChars[static_cast<unsigned char>(c)]) {
      return false;
    }
  }
  return true;
}

RoutePathFields ReadRoutePathFields(std::string_view text) {
  RoutePathFields fields;
  text = files::TrimBlanks(text);
  if (text.empty()) {
    return fields;
  }
  if (text[0] == 'i' &&
      (text.starts_with("is subnetted") || text.starts_with("is variably subnetted"))) {
    fields.subnetted = true;
    return fields;
  }
  if (text[0] == '[') {
    ReadCost(text, fields);
  }
  if (ConsumePrefix(text, "via ")) {
    ReadVia(text, fields);
  } else if (ConsumePrefix(text, "is directly connected") ||
             ConsumePrefix(text, "directly connected")) {
    fields.connected = true;
  } else if (ConsumePrefix(text, "is a summary")) {
    fields.summary = true;
  }
  // The rest: comma fields (a leading comma ends the part read above).
  while (true) {
    const std::size_t comma = text.find(',');
    ReadCommaField(files::TrimBlanks(text.substr(0, comma)), fields);
    if (comma == std::string_view::npos) {
      return fields;
    }
    text.remove_prefix(comma + 1);
  }
}

}  // namespace kestrelon::routes
