// Every line of the input through one parser, after a reset, as the key builder calls it.
// Checks the ranges the key layout relies on and the fixed results of non-route lines.
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "fuzz_common.h"
#include "routes/route_line_parser.h"

using kestrelon::fuzz::Require;
using kestrelon::routes::kNoAddress;
using kestrelon::routes::kNoCode;
using kestrelon::routes::ParsedLine;
using kestrelon::routes::RouteLineParser;

namespace {

bool IsHalf(std::int32_t v) {
  return v >= 0 && v <= 65535;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  RouteLineParser parser;
  RouteLineParser twin;  // fed the same lines through the by-reference form
  std::int16_t state = kestrelon::routes::kLineStateReset;
  std::int16_t twinState = kestrelon::routes::kLineStateReset;
  bool routeSeen = false;

  for (const std::string_view line : kestrelon::fuzz::SplitLines(input)) {
    // An exact-size copy, so that a read past the line's end is a heap overflow.
    const std::vector<char> owned(line.begin(), line.end());
    const std::string_view text(owned.data(), owned.size());

    const ParsedLine p = parser.Parse(text, state);

    Require(state >= 1 && state <= 3, "LineState in 1..3");
    Require(p.MaskKey >= -1 && p.MaskKey <= 31, "MaskKey in -1..31");
    Require(IsHalf(p.DestHigh) && IsHalf(p.DestLow) && IsHalf(p.HopHigh) && IsHalf(p.HopLow),
            "address halves in 0..65535");
    Require(p.CodeKey >= 0 && p.CodeKey <= kNoCode, "CodeKey in 0..268435455");
    const std::int16_t carried = parser.CarriedMaskLen();
    Require(carried >= 0 && carried <= 32, "carried mask length in 0..32");

    if (state == 2) {
      routeSeen = true;
      Require(p.MaskKey >= 0, "a route line has MaskKey 0..31");
      Require(p.MaskKey == (carried == 0 ? 0 : carried - 1),
              "route MaskKey from the carried length");
      if (text.size() >= 2 && text[0] == ' ' && text[1] == ' ') {
        Require(p.CodeKey == kNoCode, "an indented route line has no code");
      }
      const bool zeroHop = p.HopHigh == 0 && p.HopLow == 0;
      const bool noHop = p.HopHigh == kNoAddress && p.HopLow == kNoAddress;
      if (text.find("subnetted,") != std::string_view::npos ||
          text.find(" is directly connected,") != std::string_view::npos) {
        Require(zeroHop, "headers and connected routes have next hop 0");
      } else if (text.find(" via ") == std::string_view::npos) {
        Require(noHop, "no via: no next hop");
      }
    } else {
      Require(state == (routeSeen ? 3 : 1), "LineState tells whether a route was seen");
      Require(p.DestHigh == kNoAddress && p.DestLow == kNoAddress && p.HopHigh == kNoAddress &&
                  p.HopLow == kNoAddress && p.CodeKey == kNoCode,
              "a non-route line has the marker values");
      Require(p.MaskKey == carried - 1, "a non-route MaskKey is the carried length - 1");
    }

    std::int32_t dh = -7, dl = -7, hh = -7, hl = -7, ck = -7;
    std::int16_t mk = -7;
    twin.ParseRouteLine(text, dh, dl, hh, hl, ck, mk, twinState);
    Require(dh == p.DestHigh && dl == p.DestLow && hh == p.HopHigh && hl == p.HopLow &&
                ck == p.CodeKey && mk == p.MaskKey && twinState == state,
            "both parser forms agree");

    // Parsing the same line again changes nothing: the carried length is a fixed point.
    std::int16_t again = state;
    const ParsedLine q = twin.Parse(text, again);
    Require(q.DestHigh == p.DestHigh && q.DestLow == p.DestLow && q.HopHigh == p.HopHigh &&
                q.HopLow == p.HopLow && q.CodeKey == p.CodeKey && q.MaskKey == p.MaskKey &&
                again == state && twin.CarriedMaskLen() == carried,
            "a line parsed twice gives the same result");
  }
  return 0;
}
