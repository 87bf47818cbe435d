#include "tables/device_split.h"

#include <algorithm>
#include <cstring>

#include "files/file_error.h"
#include "tables/platform_detect.h"
#include "tables/prompt_host.h"

namespace kestrelon::tables {
namespace {

struct PromptAt {
  std::size_t lineStart;
  std::string_view host;
};

// The prompts of capture in order. A prompt holds "#" or ">", which route tables hardly ever
// do: only the lines around those characters are read.
std::vector<PromptAt> FindPrompts(std::string_view capture, char end,
                                  const std::vector<std::size_t>* marks) {
  if (capture.empty()) {
    return {};  // memchr may not be given the null data of an empty view
  }
  std::vector<std::size_t> starts;
  const auto lineStart = [&](std::size_t at) {
    while (at > 0 && capture[at - 1] != end && capture[at - 1] != '\n') {
      --at;
    }
    return at;
  };
  for (const std::size_t at : marks != nullptr ? *marks : std::vector<std::size_t>()) {
    starts.push_back(lineStart(at));
  }
  for (const char mark : marks != nullptr ? std::string_view() : std::string_view("#>")) {
    const char* data = capture.data();
    for (const char* at = data;
         (at = static_cast<const char*>(std::memchr(
              at, mark, capture.size() - static_cast<std::size_t>(at - data)))) != nullptr;
         ++at) {
      // A prompt's host stands right before its mark: not so for a Junos next hop's "> to".
      if (at == data || at[-1] == ' ' || at[-1] == '\t' || at[-1] == '\n' || at[-1] == '\r') {
        continue;
      }
      const std::size_t start = lineStart(static_cast<std::size_t>(at - data));
      if (starts.empty() || starts.back() != start) {
        starts.push_back(start);
      }
    }
  }
  std::sort(starts.begin(), starts.end());
  starts.erase(std::unique(starts.begin(), starts.end()), starts.end());
  std::vector<PromptAt> prompts;
  for (const std::size_t start : starts) {
    std::size_t stop = start;
    while (stop < capture.size() && capture[stop] != end && capture[stop] != '\r') {
      ++stop;
    }
    if (const std::optional<Prompt> prompt = ReadPrompt(capture.substr(start, stop - start))) {
      prompts.push_back({start, prompt->host});
    }
  }
  return prompts;
}

}  // namespace

std::vector<DevicePart> SplitByDevice(std::string_view capture,
                                      const std::vector<std::size_t>* promptMarks) {
  const char end = capture.find('\n') != std::string_view::npos ? '\n' : '\r';
  const std::vector<PromptAt> prompts = FindPrompts(capture, end, promptMarks);
  std::vector<DevicePart> parts;
  parts.push_back({prompts.empty() ? std::string_view() : prompts.front().host, 1, capture});
  std::size_t begin = 0;
  for (const PromptAt& prompt : prompts) {
    if (prompt.host == parts.back().device) {
      continue;
    }
    DevicePart& last = parts.back();
    last.text = capture.substr(begin, prompt.lineStart - begin);
    const std::size_t lines =
        static_cast<std::size_t>(std::count(last.text.begin(), last.text.end(), end));
    parts.push_back({prompt.host, last.firstLine + lines, {}});
    begin = prompt.lineStart;
  }
  parts.back().text = capture.substr(begin);
  return parts;
}

void RefuseTwoPlatforms(const DevicePart& part, const std::string& source,
                        const std::vector<std::size_t>* tableMarks) {
  if (const std::optional<SecondPlatform> second = FindSecondPlatform(part.text, tableMarks)) {
    throw FileError(
        "read a routing table from", source, 0,
        "it holds the tables of two platforms, " + std::string(PlatformName(second->first)) +
            " and, from line " + std::to_string(part.firstLine + second->line - 1) + " on, " +
            std::string(PlatformName(second->second)) +
            ", with no device prompt between them to part them; give each its own file");
  }
}

}  // namespace kestrelon::tables
