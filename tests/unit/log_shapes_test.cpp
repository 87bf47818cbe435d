// What real logs do to a capture, applied to every real capture of ../shared/corpus/real that
// has expected records: each shape must give exactly the records of the clean capture, on the
// platform the clean capture is read as.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "tables/capture_reading.h"
#include "tables/route_table.h"
#include "test_files.h"

namespace kestrelon {
namespace {

namespace fs = std::filesystem;

const fs::path kCorpus = KESTRELON_REAL_CORPUS;

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    lines.push_back(line);
  }
  return lines;
}

using LineMap = std::function<std::string(const std::string& line, std::size_t index)>;

// A transform that changes each line and ends lines with end.
std::function<std::string(const std::string&)> EachLine(LineMap map, std::string end = "\n") {
  return [map, end](const std::string& capture) {
    std::string out;
    const std::vector<std::string> lines = SplitLines(capture);
    for (std::size_t i = 0; i < lines.size(); ++i) {
      out += map(lines[i], i) + end;
    }
    return out;
  };
}

std::string Same(const std::string& line, std::size_t) {
  return line;
}

std::string Stamp(const char* format, std::size_t i) {
  char stamp[64];
  std::snprintf(stamp, sizeof stamp, format, static_cast<int>(i / 60 % 60),
                static_cast<int>(i % 60), static_cast<int>(i * 37 % 1000));
  return stamp;
}

bool IsPromptLine(const std::string& line) {
  const std::size_t show = line.find("show ");
  return show != std::string::npos && (show == 0 || line[show - 1] == '#' || line[show - 1] == '>');
}

struct Shape {
  const char* name;
  std::function<std::string(const std::string&)> apply;
  // Read with the clean capture's platform given, as --platform gives it: a capture of some
  // platforms cannot be placed once its legend is gone.
  bool platformGiven = false;
};

const std::vector<Shape>& Shapes() {
  static const std::vector<Shape> shapes = {
      {"CrLf", EachLine(Same, "\r\n")},
      {"CrCrLf", EachLine(Same, "\r\r\n")},
      {"TrailingBlanks", EachLine([](const std::string& line, std::size_t) {
         return line + std::string(line.size() < 78 ? 80 - line.size() : 2, ' ');
       })},
      {"NoPromptOrCommand",
       [](const std::string& capture) {
         std::string out;
         for (const std::string& line : SplitLines(capture)) {
           if (!IsPromptLine(line)) {
             out += line + "\n";
           }
         }
         return out;
       }},
      {"BracketedTimeStamps", EachLine([](const std::string& line, std::size_t i) {
         return Stamp("[Mon Dec 07 21:%02d:%02d.%03d 2026] ", i) + line;
       })},
      {"AngledTimeStamps", EachLine([](const std::string& line, std::size_t i) {
         return Stamp("<2026-12-07 21:%02d:%02d> ", i) + line;
       })},
      {"LogHeader",
       [](const std::string& capture) {
         return "=~=~=~=~=~=~=~=~=~=~=~= PuTTY log 2026.12.07 21:47:26 =~=~=~=~=~=~=~=~=~=~=~=\n" +
                capture;
       }},
      // What a pager leaves on the line it then overwrites with the next one.
      {"PagerPromptsOverwritten", EachLine([](const std::string& line, std::size_t i) {
         static const std::string kPrompts[] = {
             "<--- More --->\r              \r",
             "---(more 42%)---\r                \r",
             "\x1b[7m--More--\x1b[27m\r\x1b[K",
             " --More-- \r\x1b[K",
         };
         return i % 3 == 2 ? kPrompts[i / 3 % 4] + line : line;
       })},
      // A pager's prompt that stayed on a line of its own.
      {"PagerPromptLines", EachLine([](const std::string& line, std::size_t i) {
         return i % 4 == 3 ? (i % 8 == 3 ? " --More--          \n" : "<--- More --->\n") + line
                           : line;
       })},
      {"StripIndentation", EachLine([](const std::string& line, std::size_t) {
         return line.substr(std::min(line.find_first_not_of(" \t"), line.size()));
       })},
      {"NoLegend",
       [](const std::string& capture) {
         std::string out;
         bool legend = false;
         for (const std::string& line : SplitLines(capture)) {
           legend = line.starts_with("Codes:") ||
                    (legend && line.starts_with("    ") && line.find(" - ") != std::string::npos);
           if (!legend) {
             out += line + "\n";
           }
         }
         return out;
       },
       true},
      {"ColourEscapes", EachLine([](const std::string& line, std::size_t) {
         return line.empty()
                    ? "\x1b[0m\x1b[K"
                    : "\x1b[1;32m" + line.substr(0, 1) + "\x1b[0m" + line.substr(1) + "\x1b[K";
       })},
  };
  return shapes;
}

// What reading a capture as the command line reads it gives: its records as one text each, the
// platform, and how many of its lines were not understood.
struct Reading {
  std::vector<std::string> records;
  tables::Platform platform{};
  std::size_t notUnderstood = 0;
};

Reading Read(const std::string& capture, std::optional<tables::Platform> given = std::nullopt) {
  const tables::CaptureReading reading(capture);
  EXPECT_EQ(reading.parts().size(), 1u);
  const tables::DevicePart& part = reading.parts().front();
  tables::RouteTable table;
  tables::ReadingReport report;
  reading.Read(part, reading.Place(part, "capture", given), table, report);
  Reading read{{}, report.platform, report.lines.notUnderstood()};
  table.ForEach([&](const tables::RouteView& r) {
    std::ostringstream out;
    out << r.vrf << ' ' << tables::AfiName(r.afi) << ' ' << r.protocol << ' ' << r.flags << ' '
        << r.prefix << ' ' << r.distance.value_or(9999) << ' ' << r.metric.value_or(9999) << ' '
        << r.uptime.value_or("-");
    for (const tables::NextHopView& hop : r.nextHops) {
      out << " | " << hop.address.value_or("-") << ' ' << hop.interface.value_or("-") << ' '
          << hop.vrf.value_or("-");
    }
    read.records.push_back(out.str());
  });
  return read;
}

void PrintTo(const Shape& shape, std::ostream* out) {
  *out << shape.name;
}

class LogShapes : public ::testing::TestWithParam<Shape> {};

TEST_P(LogShapes, GiveTheRecordsOfTheCleanCapture) {
  if (!fs::is_directory(kCorpus)) {
    GTEST_SKIP() << "no corpus at " << kCorpus;
  }
  std::vector<fs::path> captures;
  for (const fs::directory_entry& entry : fs::directory_iterator(kCorpus)) {
    const std::string name = entry.path().filename().string();
    if (name.ends_with(".expected.json")) {
      captures.push_back(kCorpus / (name.substr(0, name.size() - 14) + ".txt"));
    }
  }
  ASSERT_FALSE(captures.empty());
  for (const fs::path& path : captures) {
    SCOPED_TRACE(path.filename().string());
    const std::string clean = testing::ReadFile(path.string());
    const Reading expected = Read(clean);
    const Reading read =
        Read(GetParam().apply(clean),
             GetParam().platformGiven ? std::optional(expected.platform) : std::nullopt);
    EXPECT_EQ(read.platform, expected.platform);
    EXPECT_EQ(read.records, expected.records);
    // every line the shape added or changed is accounted for as what it is
    EXPECT_EQ(read.notUnderstood, expected.notUnderstood);
  }
}

INSTANTIATE_TEST_SUITE_P(RealCorpus, LogShapes, ::testing::ValuesIn(Shapes()),
                         [](const ::testing::TestParamInfo<Shape>& shape) {
                           return shape.param.name;
                         });

}  // namespace
}  // namespace kestrelon
