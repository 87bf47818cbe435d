#include "names/output_names.h"

#include <gtest/gtest.h>

#include <string>

namespace kestrelon::names {
namespace {

TEST(OutputNames, StripExtensionOfTheLastPathComponent) {
  const std::pair<std::string, std::string> cases[] = {
      {"C:\\logs\\r1.log", "C:\\logs\\r1"},
      {"/var/logs/r1.log.txt", "/var/logs/r1.log"},
      {"C:\\old.logs\\r1", "C:\\old.logs\\r1"},
      {"/var/old.logs/r1", "/var/old.logs/r1"},
      {"C:\\old.logs/r1", "C:\\old.logs/r1"},
      {"/home/old.logs\\r1", "/home/old.logs\\r1"},
      {"logs.d/", "logs.d/"},
      {"r1.", "r1"},
      {"C:\\logs\\.log", "C:\\logs\\"},
      {"", ""},
      {"C:r1.log", "C:r1"},
      {"a.b:c", "a"},  // a colon is no separator
  };
  for (const auto& [input, stripped] : cases) {
    EXPECT_EQ(StripExtension(input), stripped) << input;
  }
}

TEST(OutputNames, NormalizeExtensionLooksAtTheFirstCharacterOnly) {
  EXPECT_EQ(NormalizeExtension("srt"), ".srt");
  EXPECT_EQ(NormalizeExtension(".srt"), ".srt");
  EXPECT_EQ(NormalizeExtension(""), ".");
  EXPECT_EQ(NormalizeExtension("..srt"), "..srt");
  EXPECT_EQ(NormalizeExtension(" .srt"), ". .srt");
}

}  // namespace
}  // namespace kestrelon::names
