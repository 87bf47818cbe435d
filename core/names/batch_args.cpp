#include "names/batch_args.h"

namespace kestrelon::names {
namespace {

// Splits one name off the front of rest: collects it and returns true when it was
// completed (by its delimiter, or by the end of the text after a character of it). A text that
// ends right after an opening quote completes no name.
bool SplitOffName(std::string_view& rest, std::string& name) {
  char delimiter = ' ';
  while (!rest.empty()) {
    char c = rest.front();
    rest.remove_prefix(1);
    if (c == delimiter)
      return true;
    if (c == '"') {
      delimiter = '"';
      continue;
    }
    name += c;
    if (rest.empty())
      return true;  // the end of the text completes the name
  }
  return false;
}

}  // namespace

// An argument that holds a double quote cannot be written so that the splitter takes it whole
// (the quote ends the name there); file names on the original platform never hold one.
std::string JoinArguments(const std::vector<std::string>& args) {
  std::string text;
  for (const std::string& arg : args) {
    if (!text.empty())
      text += ' ';
    text += '"' + arg + '"';
  }
  return text;
}

BatchNames SplitBatchArguments(std::string_view argumentText) {
  BatchNames names;
  std::string_view rest = argumentText;
  names.firstGiven = SplitOffName(rest, names.first);
  while (!rest.empty() && rest.front() == ' ')
    rest.remove_prefix(1);
  names.secondGiven = SplitOffName(rest, names.second);
  return names;
}

}  // namespace kestrelon::names
