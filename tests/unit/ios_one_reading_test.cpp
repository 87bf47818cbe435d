// One reading of an IOS line: every line the text pipeline's parser reads as a route entry (a
// code line that is no classful header and no path staging expanded) is a route of the IOS
// reader, with the same destination and, where the line gives one, the same mask length.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>
#include <string>

#include "files/line_sink.h"
#include "routes/route_line_parser.h"
#include "routes/staging.h"
#include "tables/ios_reader.h"
#include "tables/route_table.h"
#include "test_files.h"

namespace kestrelon::tables {
namespace {

namespace fs = std::filesystem;

// How many lines or routes give each destination (o1.o2.o3.o4), and each destination with its
// mask length.
struct Entries {
  std::map<std::string, int> destinations;
  std::map<std::pair<std::string, int>, int> withLength;
};

std::string Quad(std::int32_t high, std::int32_t low) {
  return std::to_string(high >> 8) + "." + std::to_string(high & 255) + "." +
         std::to_string(low >> 8) + "." + std::to_string(low & 255);
}

// withLength counts only the lines that give their own mask.
Entries ParserEntries(const std::string& capture) {
  files::VectorLineSink staged;
  routes::StagingMarks marks;
  routes::StageLines(capture, staged, &marks);
  const std::set<std::int64_t> expanded(marks.expanded.begin(), marks.expanded.end());
  std::int64_t number = 0;
  routes::RouteLineParser parser;
  std::int16_t state = routes::kLineStateReset;
  Entries entries;
  for (const std::string& line : staged.lines) {
    const bool wasExpanded = expanded.count(number++) > 0;
    routes::RouteLineLayout layout;
    const routes::ParsedLine p = parser.ParseLayout(line, state, layout);
    if (state == 2 && layout.codeLine && line.find("subnetted,") == std::string::npos &&
        !wasExpanded) {
      const std::string destination = Quad(p.DestHigh, p.DestLow);
      ++entries.destinations[destination];
      if (layout.ownMask >= 0) {
        ++entries.withLength[{destination, layout.ownMask}];
      }
    }
  }
  return entries;
}

Entries ReaderEntries(const std::string& capture) {
  RouteTable table;
  IosReader().Read(capture, table);
  Entries entries;
  table.ForEach([&](const RouteView& route) {
    const std::size_t slash = route.prefix.find('/');
    const std::string address(route.prefix.substr(0, slash));
    ++entries.destinations[address];
    ++entries.withLength[{address, std::stoi(std::string(route.prefix.substr(slash + 1)))}];
  });
  return entries;
}

TEST(IosOneReading, TheReaderSeesEveryRouteTheTextPipelineSees) {
  std::vector<fs::path> captures;
  for (const auto& entry : fs::directory_iterator(fs::path(KESTRELON_TEST_DATA) / "golden")) {
    if (entry.path().extension() == ".log") {
      captures.push_back(entry.path());
    }
  }
  const fs::path corpus = KESTRELON_REAL_CORPUS;
  if (fs::is_directory(corpus)) {
    for (const auto& entry : fs::directory_iterator(corpus)) {
      const std::string name = entry.path().filename().string();
      if (name.ends_with(".txt") && (name.find("_ios") != std::string::npos)) {
        captures.push_back(entry.path());
      }
    }
  }
  ASSERT_FALSE(captures.empty());
  for (const fs::path& path : captures) {
    const std::string capture = testing::ReadFile(path.string());
    const Entries parser = ParserEntries(capture);
    const Entries reader = ReaderEntries(capture);
    for (const auto& [destination, count] : parser.destinations) {
      EXPECT_EQ(reader.destinations.count(destination) ? reader.destinations.at(destination) : 0,
                count)
          << path.filename() << ": " << destination;
    }
    for (const auto& [entry, count] : parser.withLength) {
      EXPECT_GE(reader.withLength.count(entry) ? reader.withLength.at(entry) : 0, count)
          << path.filename() << ": " << entry.first << "/" << entry.second;
    }
  }
}

}  // namespace
}  // namespace kestrelon::tables
