// Turns one line of a "show ip route" capture into the numbers the sort orders by and the
// compare matches on. Never fails: a line that is not a route gets fixed marker values.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace kestrelon::routes {

// Marker values of a line that is not a route (and of a missing next hop or route code).
inline constexpr std::int32_t kNoAddress = 65535;
inline constexpr std::int32_t kNoCode = 268435455;

// LineState values: 0 requests a reset; then 1 before the first route, 2 a route line,
// 3 a non-route line after a route line.
inline constexpr std::int16_t kLineStateReset = 0;

// Column 5 of a line that carries a route code in columns 1 to 4: a blank, or one of the flags
// today's IOS prints there ("%" next hop override, "+" replicated, "&" replicated local route,
// "p" overridden by PfR). The flag stays in the line's text; it is no part of the code.
constexpr bool IsCodeLineColumn5(std::uint32_t c) {
  return c == ' ' || c == '%' || c == '+' || c == '&' || c == 'p';
}

struct ParsedLine {
  std::int32_t DestHigh = kNoAddress;
  std::int32_t DestLow = kNoAddress;
  std::int32_t HopHigh = kNoAddress;
  std::int32_t HopLow = kNoAddress;
  std::int32_t CodeKey = kNoCode;
  std::int16_t MaskKey = -1;
};

// Where the parts of a route line stand, as byte offsets into the line: what the route-table
// model takes from the very reading that gives the numbers, so the two never disagree.
struct RouteLineLayout {
  bool codeLine = false;             // a route code in columns 1 to 4
  std::size_t destinationBegin = 0;  // the destination's dotted quad
  std::size_t destinationEnd = 0;
  std::size_t pathBegin = 0;  // what follows the destination and the line's own mask
  int ownMask = -1;           // the line's own mask length as the rules read it, -1 for none
  // The digits of a "/nn" right after the destination, also where the rules take no mask from
  // them (a prefix that ends the line); -1 when there are none.
  int printedLength = -1;
};

// What a reading is for: the sort's keys (next hop read), the compare's destinations (a
// destination may end the line; no next hop), or the route-table model's layout (no next hop:
// the model reads the path part itself).
enum class Reading { kSort, kCompare, kLayout };

class RouteLineParser {
 public:
  // Parses LineText (without its line end). LineState is the caller's section tag: 0 resets the
  // carried mask length; on return it is 1, 2 or 3.
  void ParseRouteLine(std::string_view LineText, std::int32_t& DestHigh, std::int32_t& DestLow,
                      std::int32_t& HopHigh, std::int32_t& HopLow, std::int32_t& CodeKey,
                      std::int16_t& MaskKey, std::int16_t& LineState);

  // The same, with the outputs in one value.
  ParsedLine Parse(std::string_view LineText, std::int16_t& LineState);

  // For the compare, which matches routes by destination: the next hop is not read (it stays
  // at its marker), and a destination may also end the line, as the destination cuts leave it.
  // The carried mask length moves as with Parse.
  ParsedLine ParseDestination(std::string_view LineText, std::int16_t& LineState);

  // The same reading as Parse, but the next hop stays at its marker; for a route line, layout
  // says where its parts stand.
  ParsedLine ParseLayout(std::string_view LineText, std::int16_t& LineState,
                         RouteLineLayout& layout);

  // The prefix length of the last line whose own mask was valid (0..32).
  std::int16_t CarriedMaskLen() const { return CarriedMaskLen_; }

 private:
  template <Reading reading>
  ParsedLine ParseLine(std::string_view LineText, std::int16_t& LineState,
                       RouteLineLayout* layout = nullptr);

  std::int16_t CarriedMaskLen_ = 0;
};

}  // namespace kestrelon::routes
