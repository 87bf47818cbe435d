// Synthetic route-table captures for benchmarks: a full-table-like mix of BGP, OSPF with
// equal-cost paths, EIGRP, static, connected and local routes, printed as IOS "show ip route",
// Junos "show route" or Linux "ip route" print them, the same bytes for a given seed.
#pragma once

#include <cstdint>
#include <functional>
#include <random>
#include <string>
#include <string_view>

namespace kestrelon::bench {

// The mix of routes and how they print. Basic: a full Internet table with a few IGP routes,
// about 1.03 lines and 59 bytes a route. Realistic: the shape of a large provider-edge
// capture, with BGP multipath, a large OSPF table with equal-cost paths, more wrapped entries
// and long interface names: about 1.41 lines and 99 bytes a route.
enum class Profile { kBasic, kRealistic };

// How the table is printed: IOS "show ip route"; Junos "show route" (the active entry of each
// destination, the AS path of BGP routes, next hops on lines of their own); Linux "ip route
// show table all" (one line a route, equal-cost paths as "nexthop" lines).
enum class Format { kIos, kJunos, kLinux };

struct CaptureOptions {
  std::uint64_t seed = 1;
  Profile profile = Profile::kBasic;
  Format format = Format::kIos;
  std::int64_t routes = 1000;  // route entries of the table before any change
  // The capture taken after a change: about 1% of the routes added, removed or changed (next
  // hop or metric), and every timer moved on.
  bool after = false;
  bool shuffle = false;  // entries out of the router's ascending order
  bool crlf = true;      // CR LF line ends, else LF alone
  std::string hostname = "R1";
};

// What a generated capture holds.
struct CaptureStats {
  std::int64_t routes = 0;      // route entries, as printed
  std::int64_t lines = 0;       // every line, prompt and legend included
  std::int64_t extraPaths = 0;  // indented equal-cost path lines
  std::int64_t wrapped = 0;     // entries printed on two lines
  std::int64_t headers = 0;     // classful header lines
  std::int64_t bytes = 0;
};

// Receives the capture in pieces, in order.
using ChunkSink = std::function<void(std::string_view)>;

// Writes the whole capture to sink. Throws std::invalid_argument for a route count the address
// plan cannot hold.
CaptureStats GenerateCapture(const CaptureOptions& options, const ChunkSink& sink);

// The whole capture in memory.
std::string GenerateCaptureText(const CaptureOptions& options, CaptureStats* stats = nullptr);

// Random numbers that are the same everywhere: std::mt19937_64 is fully specified, the standard
// distributions are not, so the few needed here are written out.
class Random {
 public:
  explicit Random(std::uint64_t seed) : engine_(seed) {}

  std::uint64_t Next() { return engine_(); }
  // Uniform in [0, n), n > 0, without modulo bias.
  std::uint64_t Below(std::uint64_t n);
  // Uniform in [low, high].
  std::int64_t Between(std::int64_t low, std::int64_t high);
  // True with probability numerator / denominator.
  bool Chance(std::uint64_t numerator, std::uint64_t denominator) {
    return Below(denominator) < numerator;
  }

 private:
  std::mt19937_64 engine_;
};

}  // namespace kestrelon::bench
