// kestrelon-gen: writes a synthetic route-table capture for benchmarks and manual trials.
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <exception>
#include <memory>
#include <string>
#include <string_view>

#include "bench/generate_capture.h"

namespace {

constexpr std::string_view kUsage =
    "usage: kestrelon-gen [--routes N] [--seed S] [--profile P] [--format F] [--after]\n"
    "                     [--shuffle] [--lf] [--host NAME] [--stats] [-o FILE]\n"
    "  --routes N  route entries of the table (default 1000)\n"
    "  --seed S    the same seed gives the same bytes (default 1)\n"
    "  --profile P basic (default): a full Internet table, ~1.03 lines and 59 bytes a route;\n"
    "              realistic: BGP multipath, a large OSPF table with equal-cost paths, more\n"
    "              wrapped entries, long interface names: ~1.41 lines and 99 bytes a route\n"
    "  --format F  ios (default): \"show ip route\"; junos: \"show route\"; linux:\n"
    "              \"ip route show table all\" (the same routes, EIGRP as OSPF on Junos)\n"
    "  --after     the capture after a change: ~1% of routes added, removed or changed,\n"
    "              every timer moved on (use the same seed as the capture before)\n"
    "  --shuffle   entries out of the router's ascending order\n"
    "  --lf        LF line ends instead of CR LF\n"
    "  --host NAME the host name of the prompts (default R1)\n"
    "  --stats     print what was written to standard error\n"
    "  -o FILE     write to FILE instead of standard output\n";

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

template <typename T>
bool ParseNumber(std::string_view text, T& value) {
  const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
  return result.ec == std::errc() && result.ptr == text.data() + text.size();
}

int Fail(const std::string& message) {
  std::fprintf(stderr, "kestrelon-gen: %s\n", message.c_str());
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  kestrelon::bench::CaptureOptions options;
  std::string outputPath;
  bool printStats = false;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    const auto value = [&]() -> std::string_view { return i + 1 < argc ? argv[++i] : ""; };
    if (arg == "--routes") {
      if (!ParseNumber(value(), options.routes) || options.routes < 0) {
        return Fail("--routes needs a count");
      }
    } else if (arg == "--seed") {
      if (!ParseNumber(value(), options.seed)) {
        return Fail("--seed needs a number");
      }
    } else if (arg == "--profile") {
      const std::string_view name = value();
      if (name == "basic") {
        options.profile = kestrelon::bench::Profile::kBasic;
      } else if (name == "realistic") {
        options.profile = kestrelon::bench::Profile::kRealistic;
      } else {
        return Fail("--profile needs basic or realistic");
      }
    } else if (arg == "--format") {
      const std::string_view name = value();
      if (name == "ios") {
        options.format = kestrelon::bench::Format::kIos;
      } else if (name == "junos") {
        options.format = kestrelon::bench::Format::kJunos;
      } else if (name == "linux") {
        options.format = kestrelon::bench::Format::kLinux;
      } else {
        return Fail("--format needs ios, junos or linux");
      }
    } else if (arg == "--after") {
      options.after = true;
    } else if (arg == "--shuffle") {
      options.shuffle = true;
    } else if (arg == "--lf") {
      options.crlf = false;
    } else if (arg == "--host") {
      options.hostname = value();
      if (options.hostname.empty()) {
        return Fail("--host needs a name");
      }
    } else if (arg == "--stats") {
      printStats = true;
    } else if (arg == "-o") {
      outputPath = value();
      if (outputPath.empty()) {
        return Fail("-o needs a file name");
      }
    } else if (arg == "-h" || arg == "--help") {
      std::fwrite(kUsage.data(), 1, kUsage.size(), stdout);
      return 0;
    } else {
      std::fwrite(kUsage.data(), 1, kUsage.size(), stderr);
      return Fail("unknown argument: " + std::string(arg));
    }
  }

  std::unique_ptr<std::FILE, FileCloser> owned;
  std::FILE* out = stdout;
  if (!outputPath.empty()) {
    owned.reset(std::fopen(outputPath.c_str(), "wb"));
    if (!owned) {
      return Fail(outputPath + ": " + std::strerror(errno));
    }
    out = owned.get();
  }
  try {
    bool writeFailed = false;
    const kestrelon::bench::CaptureStats stats =
        kestrelon::bench::GenerateCapture(options, [&](std::string_view piece) {
          if (!writeFailed && std::fwrite(piece.data(), 1, piece.size(), out) != piece.size()) {
            writeFailed = true;
          }
        });
    if (writeFailed || std::fflush(out) != 0) {
      return Fail((outputPath.empty() ? "standard output" : outputPath) + ": write failed");
    }
    if (owned && std::fclose(owned.release()) != 0) {
      return Fail(outputPath + ": write failed");
    }
    if (printStats) {
      std::fprintf(stderr,
                   "routes=%lld lines=%lld extra_paths=%lld wrapped=%lld headers=%lld "
                   "bytes=%lld\n",
                   static_cast<long long>(stats.routes), static_cast<long long>(stats.lines),
                   static_cast<long long>(stats.extraPaths), static_cast<long long>(stats.wrapped),
                   static_cast<long long>(stats.headers), static_cast<long long>(stats.bytes));
    }
  } catch (const std::exception& error) {
    return Fail(error.what());
  }
  return 0;
}
