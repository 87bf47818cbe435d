#include "tables/readers/asa.h"

#include <array>

#include "files/text_fields.h"
#include "tables/family_table.h"

namespace kestrelon::tables {
namespace {

// "O IA 172.16.2.254 255.255.255.255 [110/11] via …" or "S        Server1 255.255.255.255 …":
// the mask is the last mask-shaped word before the path ("[", "is", "via"), the destination
// (an address or an object name) the word before it, the code the words before that.
LineKind ReadAsaHead(std::string_view line, RouteBuilder& builder) {
  line = files::TrimLeadingBlanks(line);
  struct Word {
    std::size_t at;
    std::string_view text;
  };
  std::array<Word, 6> words{};
  std::size_t count = 0;
  std::size_t pathAt = line.size();
  for (std::size_t at = 0; at < line.size();) {
    at = line.find_first_not_of(" \t", at);
    if (at == std::string_view::npos) {
      break;
    }
    const std::size_t end = std::min(line.find_first_of(" \t", at), line.size());
    const std::string_view text = line.substr(at, end - at);
    if (text.starts_with('[') || text == "is" || text == "via" || count == words.size()) {
      pathAt = at;
      break;
    }
    words[count++] = {at, text};
    at = end;
  }
  std::size_t mask = count;
  for (std::size_t i = count; i-- > 2;) {
    if (IsDottedMask(words[i].text)) {
      mask = i;
      break;
    }
  }
  if (mask == count) {
    return LineKind::kBlank;
  }
  const Word& destination = words[mask - 1];
  const std::string_view code = line.substr(0, destination.at);
  for (std::size_t i = 0; i + 1 < mask; ++i) {
    if (words[i].text.size() > 4) {
      return LineKind::kBlank;  // a code is short: this is text, not a route
    }
  }
  // A mask whose ones are not contiguous, or a cost out of range, is no route that can be read.
  const std::optional<int> length = DottedMaskLength(words[mask].text);
  const std::size_t restAt = mask + 1 < count ? words[mask + 1].at : pathAt;
  const routes::RoutePathFields fields = routes::ReadRoutePathFields(line.substr(restAt));
  if (!length || fields.badNumber) {
    return LineKind::kNotUnderstood;
  }
  builder.Begin(Afi::kIpv4, code, {}, destination.text, *length);
  builder.AddPathFields(fields, ViaTarget::kNextHop);
  return LineKind::kRoute;
}

}  // namespace

void AsaReader::Read(std::string_view capture, RouteSink& sink, LineAccount& account) const {
  ReadFamilyTable(
      capture, sink, ViaTarget::kNextHop, account,
      [](std::string_view line) { return AfterPrefix(line, "VRF: "); }, ReadAsaHead);
}

}  // namespace kestrelon::tables
