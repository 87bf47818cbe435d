#include "names/output_names.h"

#include <gtest/gtest.h>

#include <string>

namespace kestrelon::names {
namespace {

// How names derive from the input, with .srt as the extension of sort result 1.
struct NameCase {
  std::string input;
  std::string output;
};

const NameCase kNameTable[] = {
    {"C:\\logs\\r1.log", "C:\\logs\\r1.srt"},
    {"C:\\logs\\r1", "C:\\logs\\r1.srt"},
    {"C:\\old.logs\\r1", "C:\\old.logs\\r1.srt"},
    {"C:\\logs\\r1.log.txt", "C:\\logs\\r1.log.srt"},
    {"C:\\logs\\r1.", "C:\\logs\\r1.srt"},
    {"C:\\logs\\.log", "C:\\logs\\.srt"},
    {"", ".srt"},
};

std::string WithSlashes(std::string s) {
  for (char& c : s) {
    if (c == '\\')
      c = '/';
  }
  return s;
}

TEST(OutputNames, NameTableWithBackslashes) {
  for (const NameCase& c : kNameTable) {
    SCOPED_TRACE(c.input);
    EXPECT_EQ(StripExtension(c.input) + NormalizeExtension("srt"), c.output);
    EXPECT_EQ(StripExtension(c.input) + NormalizeExtension(".srt"), c.output);
  }
}

TEST(OutputNames, NameTableWithSlashes) {
  for (const NameCase& c : kNameTable) {
    std::string input = WithSlashes(c.input);
    SCOPED_TRACE(input);
    EXPECT_EQ(StripExtension(input) + NormalizeExtension("srt"), WithSlashes(c.output));
  }
}

TEST(OutputNames, BothSeparatorsMixed) {
  EXPECT_EQ(StripExtension("/home/u/old.logs\\r1"), "/home/u/old.logs\\r1");
  EXPECT_EQ(StripExtension("C:\\old.logs/r1"), "C:\\old.logs/r1");
  EXPECT_EQ(StripExtension("C:\\old.logs/r1.log"), "C:\\old.logs/r1");
  EXPECT_EQ(StripExtension("logs.d/"), "logs.d/");
  EXPECT_EQ(StripExtension("r1."), "r1");
  EXPECT_EQ(StripExtension("r1.log"), "r1");
  EXPECT_EQ(StripExtension("."), "");
}

TEST(OutputNames, ColonIsNoSeparator) {
  EXPECT_EQ(StripExtension("C:r1.log"), "C:r1");
  EXPECT_EQ(StripExtension("a.b:c"), "a");
}

TEST(OutputNames, NormalizeExtensionLooksAtTheFirstCharacterOnly) {
  EXPECT_EQ(NormalizeExtension("srt"), ".srt");
  EXPECT_EQ(NormalizeExtension(".srt"), ".srt");
  EXPECT_EQ(NormalizeExtension(""), ".");
  EXPECT_EQ(NormalizeExtension("..srt"), "..srt");
  EXPECT_EQ(NormalizeExtension("s.rt"), ".s.rt");
  EXPECT_EQ(NormalizeExtension(" .srt"), ". .srt");
}

}  // namespace
}  // namespace kestrelon::names
