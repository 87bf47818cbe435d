#include "cli/reading_notes.h"

#include <algorithm>
#include <cstdio>
#include <string>

namespace kestrelon::cli {
namespace {

constexpr std::size_t kExamplesShown = 10;

// A capture's line as a terminal may show it: control bytes written visibly escaped.
std::string Visible(std::string_view text) {
  std::string shown;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\x%02x", byte);
      shown += escaped;
    } else {
      shown += c;
    }
  }
  return shown;
}

std::string Lines(std::size_t count) {
  return std::to_string(count) + (count == 1 ? " line" : " lines");
}

}  // namespace

void DescribeReading(std::ostream& err, std::string_view name,
                     const tables::ReadingReport& report) {
  const tables::LineAccount& lines = report.lines;
  err << "kestrelon-cli: " << name << ": read as " << tables::PlatformName(report.platform)
      << (report.decidedBy == "given" ? " (given)" : " (detected: " + report.decidedBy + ")")
      << '\n';
  err << "kestrelon-cli: " << name << ": " << Lines(lines.lines()) << ':';
  for (std::size_t i = 0; i < tables::kLineKindCount; ++i) {
    const auto kind = static_cast<tables::LineKind>(i);
    std::string kindName(tables::LineKindName(kind));
    std::replace(kindName.begin(), kindName.end(), '_', ' ');
    err << (i > 0 ? ", " : " ") << lines.count(kind) << ' ' << kindName;
  }
  err << '\n';
  const auto& examples = lines.examples();
  for (std::size_t i = 0; i < examples.size() && i < kExamplesShown; ++i) {
    err << "kestrelon-cli: " << name << ": line " << examples[i].line
        << " not understood: " << Visible(examples[i].text) << '\n';
  }
  if (lines.classfulLengths() > 0) {
    const std::size_t count = lines.classfulLengths();
    err << "kestrelon-cli: " << name << ": " << count << (count == 1 ? " route" : " routes")
        << " printed without a length and with no classful header took the length of its "
           "class, at line";
    for (std::size_t i = 0; i < lines.classfulLines().size() && i < kExamplesShown; ++i) {
      err << (i > 0 ? ", " : " ") << lines.classfulLines()[i];
    }
    err << '\n';
  }
}

void WarnNotUnderstood(std::ostream& err, std::string_view name,
                       const tables::ReadingReport& report, std::string_view hint) {
  const tables::LineAccount& lines = report.lines;
  if (lines.notUnderstood() == 0) {
    return;
  }
  const tables::LineExample& first = lines.examples().front();
  err << "kestrelon-cli: warning: " << name << ": " << Lines(lines.notUnderstood())
      << " not understood as " << tables::PlatformName(report.platform) << ", the first line "
      << first.line << ": " << Visible(first.text) << "; " << hint << '\n';
}

}  // namespace kestrelon::cli
