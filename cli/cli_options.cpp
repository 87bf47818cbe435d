#include "cli/cli_options.h"

#include "fleet/fleet_shard.h"

#include <array>
#include <string_view>

namespace kestrelon::cli {
namespace {

constexpr std::array<std::string_view, 6> kKeyNames = {
    "dest", "next-hop", "mask-dest", "mask-next-hop", "proto-dest", "proto-next-hop"};

// The filter items that --strip names, by their number in the filter menu.
constexpr std::array<std::pair<std::string_view, int>, 3> kStripItems = {
    {{"interface", 1}, {"time", 2}, {"cost", 3}}};

std::string Quoted(std::string_view text) {
  return "'" + std::string(text) + "'";
}

// Adds the items of a comma list to infoDel.
void ParseStripList(const std::string& list, std::array<bool, 6>& items) {
  std::string_view rest = list;
  while (true) {
    const std::size_t comma = rest.find(',');
    const std::string_view item = rest.substr(0, comma);
    if (item.empty()) {
      throw UsageError("--strip needs a comma list of interface, time, cost");
    }
    bool known = false;
    for (const auto& [name, number] : kStripItems) {
      if (item == name) {
        items[number] = true;
        known = true;
      }
    }
    if (!known) {
      throw UsageError("unknown item " + Quoted(item) + " in --strip (interface, time, cost)");
    }
    if (comma == std::string_view::npos) {
      return;
    }
    rest.remove_prefix(comma + 1);
  }
}

// Which commands an option applies to, for the message when it is given to another.
enum Applies : unsigned { kToSort = 1, kToCompare = 2, kToRoutes = 4, kToDiff = 8, kToMerge = 16 };
struct OptionUse {
  std::string_view name;
  unsigned commands;
  std::string_view where;
};
constexpr std::array<OptionUse, 15> kOptionUses = {{
    {"--key", kToSort | kToCompare, "sort and compare"},
    {"--strip", kToSort | kToCompare, "sort and compare"},
    {"--dest-mask", kToSort | kToCompare, "sort and compare"},
    {"--dest-only", kToSort | kToCompare, "sort and compare"},
    {"--keep-sorted", kToCompare, "compare"},
    {"--platform", kToRoutes | kToDiff, "routes and diff"},
    {"--format", kToRoutes | kToDiff | kToMerge, "routes, diff and merge"},
    {"--lang", kToDiff | kToMerge, "diff and merge"},
    {"--pair-by", kToDiff, "diff"},
    {"--jobs", kToDiff, "diff"},
    {"--shard", kToDiff, "diff"},
    {"--verbose", kToRoutes, "routes"},
    {"--ignore", kToDiff, "diff"},
    {"--vrf", kToDiff, "diff"},
    {"--strict", kToDiff, "diff"},
}};

unsigned CommandBit(Mode mode) {
  switch (mode) {
    case Mode::kSort:
      return kToSort;
    case Mode::kCompare:
      return kToCompare;
    case Mode::kRoutes:
      return kToRoutes;
    case Mode::kDiff:
      return kToDiff;
    case Mode::kMerge:
      return kToMerge;
    default:
      return 0;
  }
}

// The --ignore value: "none", or a comma list of the fields a diff compares.
tables::RouteFields ParseIgnoreList(const std::string& list) {
  if (list == "none") {
    return {};
  }
  tables::RouteFields fields;
  std::string_view rest = list;
  while (true) {
    const std::size_t comma = rest.find(',');
    const std::string_view item = rest.substr(0, comma);
    const std::optional<tables::RouteField> field = tables::RouteFieldFromName(item);
    if (item.empty()) {
      throw UsageError("--ignore needs a comma list of fields, or none");
    }
    if (!field) {
      throw UsageError("unknown field " + Quoted(item) +
                       " in --ignore (protocol, distance, metric, next_hops, interface, flags, "
                       "uptime, none)");
    }
    fields.Add(*field);
    if (comma == std::string_view::npos) {
      return fields;
    }
    rest.remove_prefix(comma + 1);
  }
}

// The --platform value: "auto" (none) or a platform's name.
std::optional<tables::Platform> ParsePlatformName(const std::string& name) {
  if (name == "auto") {
    return std::nullopt;
  }
  if (const std::optional<tables::Platform> platform = tables::PlatformFromName(name)) {
    return platform;
  }
  std::string names = "auto";
  for (const tables::Platform platform : tables::AllPlatforms()) {
    names += ", " + std::string(tables::PlatformName(platform));
  }
  throw UsageError("unknown platform " + Quoted(name) + " (" + names + ")");
}

RoutesFormat ParseFormatName(const std::string& name) {
  if (name == "json") {
    return RoutesFormat::kJson;
  }
  if (name == "csv") {
    return RoutesFormat::kCsv;
  }
  if (name == "text") {
    return RoutesFormat::kText;
  }
  if (name == "html") {
    return RoutesFormat::kHtml;
  }
  throw UsageError("unknown format " + Quoted(name) + " (json, csv, text, html)");
}

// Walks the arguments after the mode word.
class Parser {
 public:
  Parser(Mode mode, const std::vector<std::string>& args) : args_(args) { command_.mode = mode; }

  CommandLine Run() {
    for (next_ = 1; next_ < args_.size();) {
      const std::string& arg = args_[next_++];
      if (optionsEnded_ || arg == kStandardStream || arg.empty() || arg[0] != '-') {
        command_.inputs.push_back(arg);
      } else if (arg == "--") {
        optionsEnded_ = true;
      } else {
        Option(arg);
      }
    }
    Finish();
    return command_;
  }

 private:
  void Option(const std::string& arg) {
    std::string name = arg;
    std::optional<std::string> inlineValue;
    if (arg.starts_with("--")) {
      const std::size_t equals = arg.find('=');
      if (equals != std::string::npos) {
        name = arg.substr(0, equals);
        inlineValue = arg.substr(equals + 1);
      }
    } else if ((arg.starts_with("-o") || arg.starts_with("-j")) && arg.size() > 2) {
      name = arg.substr(0, 2);
      inlineValue = arg.substr(2);
    }
    if (name == "-j") {
      name = "--jobs";
    }

    for (const OptionUse& use : kOptionUses) {
      if (use.name == name && (use.commands & CommandBit(command_.mode)) == 0) {
        throw UsageError(name + " applies to " + std::string(use.where) + " only");
      }
    }
    if (name == "--platform") {
      SetOnce(platform_, ParsePlatformName(Value(name, inlineValue)), name);
    } else if (name == "--format") {
      SetOnce(format_, ParseFormatName(Value(name, inlineValue)), name);
    } else if (name == "--verbose") {
      NoValue(name, inlineValue);
      command_.verbose = true;
    } else if (name == "--strict") {
      NoValue(name, inlineValue);
      command_.strict = true;
    } else if (name == "--ignore") {
      SetOnce(ignored_, ParseIgnoreList(Value(name, inlineValue)), name);
    } else if (name == "--lang") {
      const std::string value = Value(name, inlineValue);
      const std::optional<report::Language> language = report::LanguageFromName(value);
      if (!language) {
        throw UsageError("unknown language " + Quoted(value) + " for --lang (en, ja)");
      }
      SetOnce(command_.language, *language, name);
    } else if (name == "--pair-by") {
      const std::string value = Value(name, inlineValue);
      if (value != "host" && value != "name") {
        throw UsageError("--pair-by takes host or name, not " + Quoted(value));
      }
      if (command_.pairByGiven) {
        throw UsageError("option " + Quoted(name) + " given twice");
      }
      command_.pairBy = value == "host" ? fleet::PairBy::kHost : fleet::PairBy::kName;
      command_.pairByGiven = true;
    } else if (name == "--jobs") {
      const std::string value = Value("-j", inlineValue);
      if (value.find_first_not_of("0123456789") != std::string::npos || value.size() > 4 ||
          std::stoul(value) == 0) {
        throw UsageError("-j takes a number of jobs from 1, not " + Quoted(value));
      }
      command_.jobs = std::stoul(value);
    } else if (name == "--shard") {
      const std::string value = Value(name, inlineValue);
      const std::optional<fleet::Shard> shard = fleet::ParseShard(value);
      if (!shard) {
        throw UsageError("--shard takes K/N, the K-th of N shares (1 <= K <= N), not " +
                         Quoted(value));
      }
      SetOnce(command_.shard, *shard, name);
    } else if (name == "--vrf") {
      command_.vrfs.push_back(Value(name, inlineValue));
    } else if (name == "--key") {
      SetOnce(key_, ParseKeyName(Value(name, inlineValue)), name);
    } else if (name == "--strip") {
      ParseStripList(Value(name, inlineValue), strip_);
      stripGiven_ = true;
    } else if (name == "--dest-mask" || name == "--dest-only") {
      NoValue(name, inlineValue);
      (name == "--dest-mask" ? destMask_ : destOnly_) = true;
    } else if (name == "-o" || name == "--output") {
      const std::string value = Value("-o", inlineValue);
      SetOnce(output_, value, "-o");
    } else if (name == "--keep-sorted") {
      const std::string value = Value(name, inlineValue);
      if (value == kStandardStream) {
        throw UsageError("--keep-sorted needs a folder, not '-'");
      }
      SetOnce(command_.keepSortedIn, value, name);
    } else {
      throw UsageError("unknown option " + Quoted(arg));
    }
  }

  static void NoValue(const std::string& name, const std::optional<std::string>& inlineValue) {
    if (inlineValue) {
      throw UsageError("option " + Quoted(name) + " takes no value");
    }
  }

  std::string Value(const std::string& name, const std::optional<std::string>& inlineValue) {
    std::string value;
    if (inlineValue) {
      value = *inlineValue;
    } else if (next_ < args_.size()) {
      value = args_[next_++];
    } else {
      throw UsageError("option " + Quoted(name) + " needs a value");
    }
    if (value.empty()) {
      throw UsageError("option " + Quoted(name) + " needs a value");
    }
    return value;
  }

  template <typename T>
  static void SetOnce(std::optional<T>& slot, const T& value, const std::string& name) {
    if (slot) {
      throw UsageError("option " + Quoted(name) + " given twice");
    }
    slot = value;
  }

  void Finish() {
    if (stripGiven_ && (destMask_ || destOnly_)) {
      throw UsageError("--strip cannot be combined with --dest-mask or --dest-only");
    }
    if (destMask_ && destOnly_) {
      throw UsageError("--dest-mask and --dest-only exclude each other");
    }
    routes::SortOptions& options = command_.options;
    options.followOptions = true;
    options.sortKey = {};
    options.sortKey[key_.value_or(0)] = true;
    if (destOnly_) {
      options.infoDel = {false, false, false, false, false, true};
    } else if (destMask_) {
      options.infoDel = {false, false, false, false, true, false};
    } else if (stripGiven_) {
      options.infoDel = strip_;
    } else {
      options.infoDel = {true, false, false, false, false, false};
    }

    if (output_ && *output_ != kStandardStream) {
      command_.output = *output_;
    }

    const std::vector<std::string>& inputs = command_.inputs;
    command_.platform = platform_.value_or(std::nullopt);
    if (command_.mode == Mode::kRoutes && format_ == RoutesFormat::kHtml) {
      throw UsageError("--format html applies to diff and merge only");
    }
    if (command_.mode == Mode::kMerge) {
      command_.format = format_.value_or(RoutesFormat::kText);
      if (inputs.empty()) {
        throw UsageError("merge takes the JSON reports of the shares, none given");
      }
      for (const std::string& input : inputs) {
        if (input == kStandardStream) {
          throw UsageError("merge reads files, not standard input");
        }
      }
    } else if (command_.mode == Mode::kRoutes) {
      command_.format = format_.value_or(RoutesFormat::kJson);
      if (inputs.empty()) {
        throw UsageError("routes takes one or more input files, none given");
      }
      std::size_t standard = 0;
      for (const std::string& input : inputs) {
        standard += input == kStandardStream ? 1 : 0;
      }
      if (standard > 1) {
        throw UsageError("standard input can stand for only one of the inputs");
      }
    } else if (command_.mode == Mode::kSort) {
      if (command_.keepSortedIn) {
        throw UsageError("--keep-sorted applies to compare only");
      }
      if (inputs.size() != 1) {
        throw UsageError("sort takes one input file, " + Count(inputs.size()));
      }
    } else {
      const bool diff = command_.mode == Mode::kDiff;
      if (diff) {
        command_.format = format_.value_or(RoutesFormat::kText);
        command_.ignored = ignored_.value_or(command_.ignored);
      }
      if (inputs.size() != 2) {
        throw UsageError(std::string(diff ? "diff" : "compare") +
                         " takes two input files (before, after), " + Count(inputs.size()));
      }
      if (inputs[0] == kStandardStream && inputs[1] == kStandardStream) {
        throw UsageError("standard input can stand for only one of the two inputs");
      }
    }
    for (const std::string& input : inputs) {
      if (input.empty()) {
        throw UsageError("an input file name is empty");
      }
    }
  }

  static std::string Count(std::size_t n) {
    return n == 0 ? std::string("none given") : std::to_string(n) + " given";
  }

  const std::vector<std::string>& args_;
  std::size_t next_ = 1;
  bool optionsEnded_ = false;
  CommandLine command_;
  std::optional<int> key_;
  std::array<bool, 6> strip_{};
  bool stripGiven_ = false;
  bool destMask_ = false;
  bool destOnly_ = false;
  std::optional<std::string> output_;
  std::optional<std::optional<tables::Platform>> platform_;  // inner none: auto
  std::optional<RoutesFormat> format_;
  std::optional<tables::RouteFields> ignored_;
};

CommandLine ModeOnly(Mode mode) {
  CommandLine command;
  command.mode = mode;
  return command;
}

}  // namespace

int ParseKeyName(const std::string& name) {
  for (std::size_t k = 0; k < kKeyNames.size(); ++k) {
    if (name == kKeyNames[k]) {
      return static_cast<int>(k);
    }
  }
  throw UsageError("unknown key " + Quoted(name) +
                   " (dest, next-hop, mask-dest, mask-next-hop, proto-dest, proto-next-hop)");
}

CommandLine ParseCommandLine(const std::vector<std::string>& args) {
  for (const std::string& arg : args) {
    if (arg == "--") {
      break;
    }
    if (arg == "--help" || arg == "-h") {
      return ModeOnly(Mode::kHelp);
    }
    if (arg == "--version") {
      return ModeOnly(Mode::kVersion);
    }
  }
  if (args.empty()) {
    throw UsageError("no command given (sort, compare, routes, diff or merge)");
  }
  const std::string& word = args[0];
  if (word == "sort") {
    return Parser(Mode::kSort, args).Run();
  }
  if (word == "compare") {
    return Parser(Mode::kCompare, args).Run();
  }
  if (word == "routes") {
    return Parser(Mode::kRoutes, args).Run();
  }
  if (word == "diff") {
    return Parser(Mode::kDiff, args).Run();
  }
  if (word == "merge") {
    return Parser(Mode::kMerge, args).Run();
  }
  if (word.starts_with("-") && word != kStandardStream) {
    throw UsageError(
        "the command (sort, compare, routes, diff or merge) comes before the options, not " +
        Quoted(word));
  }
  throw UsageError("unknown command " + Quoted(word) + " (sort, compare, routes, diff or merge)");
}

}  // namespace kestrelon::cli
