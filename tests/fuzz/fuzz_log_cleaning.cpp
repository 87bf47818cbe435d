// The cleaning of a terminal log and its split by device, on any bytes: one line comes out per
// line that went in, with no escape or return left in it, the noise lines among them; the parts
// cover the cleaned text in order, each numbered from where it starts; a prompt's host lies in
// its line.
#include <algorithm>
#include <cstdint>
#include <string_view>
#include <vector>

#include "fuzz_common.h"
#include "tables/device_split.h"
#include "tables/log_cleaning.h"
#include "tables/prompt_host.h"

namespace {

using kestrelon::fuzz::Require;

// Lines as the cleaning takes them: ended by LF, or by CR in a text without any LF.
std::size_t LogLines(std::string_view text) {
  const char end = text.find('\n') != std::string_view::npos ? '\n' : '\r';
  const auto ends = static_cast<std::size_t>(std::count(text.begin(), text.end(), end));
  return ends + (text.empty() || text.back() == end ? 0 : 1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::vector<char> bytes(data, data + size);  // exact size: a read past it is caught
  const std::string_view input(bytes.data(), bytes.size());
  const kestrelon::tables::CleanedCapture cleaned(input);
  const std::string_view text = cleaned.text();
  if (cleaned.cleaned()) {
    Require(LogLines(text) == LogLines(input), "one line out per line in");
    Require(text.empty() || text.back() == '\n', "every cleaned line ends with LF");
    Require(text.find_first_of("\r\x1b") == std::string_view::npos, "no return or escape left");
  } else {
    Require(text.data() == input.data() && text.size() == input.size(), "read in place");
  }
  const std::vector<std::size_t>& noise = cleaned.noiseLines();
  Require(std::is_sorted(noise.begin(), noise.end()), "noise lines in order");
  Require(noise.empty() || (noise.front() >= 1 && noise.back() <= LogLines(input)),
          "noise lines among the capture's");

  const std::vector<kestrelon::tables::DevicePart> parts = kestrelon::tables::SplitByDevice(text);
  Require(!parts.empty() && parts.front().firstLine == 1, "a first part from line 1");
  std::size_t at = 0;
  std::size_t line = 1;
  for (const kestrelon::tables::DevicePart& part : parts) {
    Require(part.text.data() == text.data() + at, "parts in order, without a gap");
    Require(part.firstLine == line, "a part's first line counted");
    at += part.text.size();
    const char end = text.find('\n') != std::string_view::npos ? '\n' : '\r';
    line += static_cast<std::size_t>(std::count(part.text.begin(), part.text.end(), end));
  }
  Require(at == text.size(), "the parts cover the text");

  for (const std::string_view one : kestrelon::fuzz::SplitLines(text)) {
    if (const auto prompt = kestrelon::tables::ReadPrompt(one)) {
      Require(!prompt->host.empty() && prompt->host.data() >= one.data() &&
                  prompt->host.data() + prompt->host.size() <= one.data() + one.size(),
              "a prompt's host lies in its line");
    }
  }
  return 0;
}
