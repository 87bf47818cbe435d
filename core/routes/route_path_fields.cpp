#include "routes/route_path_fields.h"

#include <array>

#include "files/text_fields.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace kestrelon::routes {
namespace {

// Where c first stands in text from from, or text.size(): a loop, for the distances of a few
// characters, shorter than a call to memchr.
inline std::size_t FindChar(std::string_view text, std::size_t from, char c) {
  while (from < text.size() && text[from] != c) {
    ++from;
  }
  return from;
}

// Where the first of the characters C stands in text from from, or text.size(); sixteen bytes
// at a time, the last ones in a chunk that overlaps the one before.
template <char... C>
std::size_t FindFirst(std::string_view text, std::size_t from = 0) {
  const char* data = text.data();
  const std::size_t size = text.size();
  std::size_t i = from;
#if defined(__SSE2__)
  if (size >= 16) {
    const auto match = [](const char* at) {
      const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
      __m128i any = _mm_setzero_si128();
      ((any = _mm_or_si128(any, _mm_cmpeq_epi8(chunk, _mm_set1_epi8(C)))), ...);
      return static_cast<unsigned>(_mm_movemask_epi8(any));
    };
    for (; i + 16 <= size; i += 16) {
      if (const unsigned mask = match(data + i); mask != 0) {
        return i + static_cast<std::size_t>(__builtin_ctz(mask));
      }
    }
    if (i < size) {
      if (const unsigned mask = match(data + size - 16) >> (i - (size - 16)); mask != 0) {
        return i + static_cast<std::size_t>(__builtin_ctz(mask));
      }
    }
    return size;
  }
#endif
  while (i < size && ((data[i] != C) && ...)) {
    ++i;
  }
  return i;
}

// Every text below is a part of one whose trailing blanks are gone: a suffix needs only its
// leading blanks trimmed.
inline bool ConsumePrefix(std::string_view& text, std::string_view prefix) {
  if (!text.starts_with(prefix)) {
    return false;
  }
  text = files::TrimLeadingBlanks(text.substr(prefix.size()));
  return true;
}

// "[110/20]" at the start of text: the distance and metric, each absent when not a number.
void ReadCost(std::string_view& text, RoutePathFields& fields) {
  const std::size_t close = FindChar(text, 1, ']');
  if (close == text.size()) {
    return;
  }
  const std::string_view inside = text.substr(1, close - 1);
  const std::size_t slash = FindChar(inside, 0, '/');
  fields.cost = true;
  if (slash != inside.size()) {
    fields.distance = files::ReadNumber<std::uint32_t>(inside.substr(0, slash));
    fields.metric = files::ReadNumber<std::uint64_t>(inside.substr(slash + 1));
    fields.badNumber = !fields.distance || !fields.metric;
  }
  text = files::TrimLeadingBlanks(text.substr(close + 1));
}

// "via 10.1.1.2 (red)" or "via 33.33.33.33%default": the target and its VRF.
void ReadVia(std::string_view& text, RoutePathFields& fields) {
  fields.via = true;
  std::size_t end = FindFirst<',', ' ', '%'>(text);
  std::string_view target = text.substr(0, end);
  if (end < text.size() && text[end] == '%') {
    const std::string_view rest = text.substr(end + 1);
    const std::size_t vrfEnd = FindFirst<',', ' '>(rest);
    fields.viaVrf = rest.substr(0, vrfEnd);
    end += 1 + vrfEnd;
  }
  fields.viaTarget = target;
  text = files::TrimLeadingBlanks(text.substr(end));
  if (text.starts_with('(') && !text.starts_with("(!)") && !text.starts_with("(>)")) {
    const std::size_t close = FindChar(text, 0, ')');
    if (close != text.size()) {
      fields.viaVrf = text.substr(1, close - 1);
      text = files::TrimLeadingBlanks(text.substr(close + 1));
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
  } else if (fields.interface.empty()) {
    fields.interface = InterfaceOfField(field);
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

std::string_view InterfaceOfField(std::string_view field) {
  // "Vlan100%default": the VRF of an interface is the next hop's, given with the address.
  const std::size_t stop = FindFirst<' ', '%'>(field);
  if (stop == field.size() || (field[stop] == '%' && FindFirst<' '>(field, stop) == field.size())) {
    return field.substr(0, stop);
  }
  // "Tunnel11 Static Interface GRE": a name with its description; text such as "tag 100" has
  // no digit in its first word.
  const std::string_view first = field.substr(0, stop);
  const bool named = (first[0] >= 'A' && first[0] <= 'Z') || (first[0] >= 'a' && first[0] <= 'z');
  return named && first.find_first_of("0123456789") != std::string_view::npos ? first
                                                                              : std::string_view();
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
    const std::size_t comma = FindFirst<','>(text);
    ReadCommaField(files::TrimBlanks(text.substr(0, comma)), fields);
    if (comma == text.size()) {
      return fields;
    }
    text.remove_prefix(comma + 1);
  }
}

}  // namespace kestrelon::routes
