#include "tables/readers/ios.h"

#include <future>
#include <string>

#include "files/line_cursor.h"
#include "files/text_fields.h"
#include "routes/route_line_parser.h"
#include "routes/route_path_fields.h"
#include "routes/staging.h"
#include "tables/capture_lines.h"
#include "tables/family_table.h"
#include "tables/line_shapes.h"
#include "tables/route_builder.h"
#include "tables/route_table.h"

namespace kestrelon::tables {
namespace {

constexpr ViaTarget kRule = ViaTarget::kAddressOrInterface;
constexpr std::string_view kExpandedMark = " *";

// The VRF a section heading names: "Routing Table: NAME", "IPv6 Routing Table - NAME - 7
// entries", and AlliedWare Plus's "[VRF: NAME]", which prints IOS's layout otherwise.
std::optional<std::string_view> SectionVrf(std::string_view line) {
  std::size_t first = 0;
  while (first < line.size() && files::IsBlankChar(line[first])) {
    ++first;
  }
  if (first == line.size() || (line[first] != 'R' && line[first] != 'I' && line[first] != '[')) {
    return std::nullopt;  // the quick answer for most lines
  }
  const std::string_view text = files::TrimBlanks(line);
  if (auto name = AfterPrefix(text, "Routing Table: ")) {
    return name;
  }
  if (auto rest = AfterPrefix(text, "IPv6 Routing Table - ")) {
    return rest->substr(0, rest->find(" - "));
  }
  if (text.starts_with("[VRF: ") && text.ends_with("]")) {
    return files::TrimBlanks(text.substr(6, text.size() - 7));
  }
  return std::nullopt;
}

// Whether text starts with a letter, as every route code does.
bool StartsWithLetter(std::string_view text) {
  return !text.empty() && files::IsLetter(text[0]);
}

// The length a classful network has when nothing else gives one (a capture whose headers were
// lost): class A /8, B /16, C /24.
int ClassfulLength(std::string_view address) {
  const int first = std::atoi(std::string(address.substr(0, address.find('.'))).c_str());
  return first < 128 ? 8 : first < 192 ? 16 : 24;
}

// The length printed after a destination ("/24" with its "/"): a number of one or two digits
// up to 32 followed by a blank or the end; none when it is anything else ("/33", "//16",
// "/0016", "/3x").
bool IsValidLength(std::string_view rest) {
  std::size_t digits = 1;
  while (digits < rest.size() && rest[digits] >= '0' && rest[digits] <= '9') {
    ++digits;
  }
  const bool ends =
      digits == rest.size() || rest[digits] == ' ' || rest[digits] == '\t' || rest[digits] == ',';
  if (!ends || digits < 2 || digits > 3 || (digits == 3 && rest[1] == '0')) {
    return false;
  }
  return digits == 2 || (rest[1] - '0') * 10 + (rest[2] - '0') <= 32;
}

// Reads each staged line: the route lines the text pipeline's parser reads, through the same
// parser; then what IOS prints beside them (IPv6 tables, further paths, a capture whose
// indentation was stripped). Each line of the capture is counted once.
class StagedLineReader : public routes::StagedLineSink {
 public:
  StagedLineReader(RouteSink& sink, LineAccount& account)
      : forward_(sink, sectionSeen_), builder_(forward_), account_(account) {}

  void Take(const routes::StagedLine& staged) override {
    if (staged.joinedAt > 0 && !staged.expanded) {
      const std::string_view head = std::string_view(staged.text).substr(0, staged.joinedAt);
      if (!EndsWrapped(head)) {
        // A complete route line that happens to end in a blank, and a path of its own.
        Count(TakeLine(head, false), head);
        Count(TakeLine(staged.text.substr(staged.joinedAt), false),
              staged.text.substr(staged.joinedAt));
        return;
      }
      const LineKind kind = TakeLine(staged.text, false);
      Count(kind, head);
      Count(kind == LineKind::kRoute ? LineKind::kPath : kind, staged.text.substr(staged.joinedAt));
      return;
    }
    std::string_view line = staged.text;
    if (staged.expanded) {
      line.remove_suffix(kExpandedMark.size());  // staging's mark, no part of the path
    }
    Count(TakeLine(line, staged.expanded), line);
  }

  void Finish() { builder_.Finish(); }
  // Whether a header whose indentation was stripped left its length in force: the lines that
  // follow cannot be read without it.
  bool carriesLength() const { return strippedLength_ >= 0; }
  // Whether a classful header is in force at the end, and whether a route without its length
  // was read before any header: read after this one, that route's length was this one's.
  bool headerInForce() const { return header_.length >= 0; }
  bool guessedBeforeHeader() const { return guessedBeforeHeader_; }
  // Whether a section heading was read: the routes before it are in the VRF the capture was in
  // where the reading began.
  std::size_t routesBeforeSection() const { return forward_.before; }
  const std::string& vrf() const { return builder_.vrf(); }

 private:
  void Count(LineKind kind, std::string_view line) {
    account_.Count(kind, line);
    if (classful_) {
      account_.CountClassfulLength();
      classful_ = false;
    }
    last_ = kind;
  }

  // Whether a line that staging joined with the next one ends before its path: nothing after
  // its destination but blanks (a destination too long for its column).
  bool EndsWrapped(std::string_view head) {
    // Only a destination line wraps. Any other line that ends in a blank (a path, a heading;
    // common where a capture's indentation was stripped) must not swallow the next path.
    if (const std::optional<RouteHead> route = ReadRouteHead(head)) {
      return IsBlank(route->rest);
    }
    routes::RouteLineParser parser = parser_;
    routes::RouteLineLayout layout;
    std::int16_t state = state_;
    parser.ParseLayout(head, state, layout);
    return state == 2 && IsBlank(head.substr(layout.pathBegin));
  }

  LineKind TakeLine(std::string_view line, bool expanded) {
    // A heading starts with one of three characters, after blanks: most lines are ruled out
    // by their first. An expanded line is a path under the head of the line above it.
    const char first = line.empty() ? ' ' : line[0];
    if (!expanded &&
        (first == ' ' || first == '\t' || first == 'R' || first == 'I' || first == '[')) {
      if (const std::optional<std::string_view> vrf = SectionVrf(line)) {
        builder_.SetVrf(*vrf);
        sectionSeen_ = true;
        header_ = {};
        headerSeen_ = true;  // a new table: nothing before it is in force
        return LineKind::kHeader;
      }
    }
    routes::RouteLineLayout layout;
    std::int16_t state = state_;
    parser_.ParseLayout(line, state, layout);
    state_ = state;
    LineKind kind = LineKind::kNotUnderstood;
    if (expanded) {
      kind = ReadExpandedPath(line);
    } else if (state == 2) {
      kind = ReadRuleRoute(line, layout);
    } else {
      kind = ReadOtherLine(line);
    }
    if (kind != LineKind::kRoute && kind != LineKind::kPath && kind != LineKind::kPager) {
      builder_.Finish();
    }
    return kind;
  }

  // A further path that staging expanded: the line above up to its "[", then the path from its
  // own "[" on.
  LineKind ReadExpandedPath(std::string_view line) {
    const std::size_t bracket = line.find('[');
    if (bracket == std::string_view::npos || !builder_.Pending()) {
      return LineKind::kNotUnderstood;
    }
    const std::string_view path = line.substr(bracket);
    const std::optional<routes::RoutePathFields> fields = ReadPathLine(path);
    // Read as the line would be without its indentation: a heading is never a path.
    if (!fields ||
        ClassifyOtherLine(path, last_ == LineKind::kLegend) != LineKind::kNotUnderstood) {
      return LineKind::kNotUnderstood;
    }
    builder_.AddPathFields(*fields, kRule);
    return LineKind::kPath;
  }

  // A line the text pipeline reads as a route: a route of its own, or a classful header whose
  // length the entries under it inherit.
  LineKind ReadRuleRoute(std::string_view line, const routes::RouteLineLayout& layout) {
    const std::string_view path = line.substr(layout.pathBegin);
    const routes::RoutePathFields fields = routes::ReadRoutePathFields(path);
    const std::string_view destination =
        line.substr(layout.destinationBegin, layout.destinationEnd - layout.destinationBegin);
    const std::string_view after = line.substr(layout.destinationEnd);
    const bool lengthPrinted = after.starts_with('/');
    if (lengthPrinted && !IsValidLength(after)) {
      return LineKind::kNotUnderstood;
    }
    if (fields.subnetted) {
      header_.length = layout.ownMask;
      headerSeen_ = true;
      return LineKind::kHeader;
    }
    // A route code starts with a letter; anything else in column 1 is no code ("[" of a path
    // whose indentation was stripped).
    if (!layout.codeLine || !StartsWithLetter(line)) {
      return ReadOtherLine(line);
    }
    if (fields.badNumber) {
      return LineKind::kNotUnderstood;
    }
    // "10.1.0.0/16", or a mask in another form ("255.255.0.0", "0xFFFF0000").
    int length = lengthPrinted ? layout.printedLength : layout.ownMask;
    if (length < 0) {
      if (header_.length >= 0) {
        length = header_.length;
      } else {
        length = ClassfulLength(destination);  // its header scrolled off or was cut
        classful_ = true;
        guessedBeforeHeader_ = guessedBeforeHeader_ || !headerSeen_;
      }
    }
    // The parser read past a flag in column 5; it is the route's, no part of its code.
    const char flag = line.size() > 4 ? line[4] : ' ';
    const std::string_view flags = flag == ' ' ? std::string_view() : line.substr(4, 1);
    builder_.Begin(Afi::kIpv4, line.substr(0, 4), flags, destination, length);
    builder_.AddPathFields(fields, kRule);
    return LineKind::kRoute;
  }

  // Lines the text pipeline's rules read as no route.
  LineKind ReadOtherLine(std::string_view line) {
    if (const std::optional<RouteHead> head = ReadRouteHead(line)) {
      // IPv6 destination lines ("C   2001:db8::/64 [0/0]", indented by IOS-XE) and IPv4 ones
      // whose indentation was stripped ("B 10.1.0.0/16 [20/0] via …").
      const routes::RoutePathFields fields = routes::ReadRoutePathFields(head->rest);
      if (fields.subnetted) {
        return LineKind::kHeader;
      }
      if (fields.badNumber) {
        return LineKind::kNotUnderstood;
      }
      builder_.Begin(head->prefix.afi, head->code, {}, head->prefixText);
      builder_.AddPathFields(fields, kRule);
      return LineKind::kRoute;
    }
    if (const LineKind other = ClassifyOtherLine(line, last_ == LineKind::kLegend);
        other != LineKind::kNotUnderstood) {
      if (other == LineKind::kHeader) {
        ReadStrippedClassful(line);
      }
      return other;
    }
    if (builder_.Pending()) {
      if (const std::optional<routes::RoutePathFields> fields = ReadPathLine(line)) {
        builder_.AddPathFields(*fields, kRule);
        return LineKind::kPath;
      }
    }
    return ReadStrippedClassful(line);
  }

  // A capture whose indentation was stripped: "172.16.0.0/32 is subnetted, 1 subnets" gives
  // the length of the entries under it, "B 172.16.10.10 [200/0] via …".
  LineKind ReadStrippedClassful(std::string_view line) {
    line = files::TrimLeadingBlanks(line);
    const std::size_t blank = line.find(' ');
    if (blank == std::string_view::npos) {
      return LineKind::kNotUnderstood;
    }
    if (const std::optional<PrefixText> header = ReadPrefix(line.substr(0, blank))) {
      if (header->afi == Afi::kIpv4 && line.find("subnetted", blank) != std::string_view::npos) {
        strippedLength_ = header->length;
        header_.length = header->length;
        headerSeen_ = true;
        return LineKind::kHeader;
      }
      return LineKind::kNotUnderstood;
    }
    std::size_t at = 0;
    for (int words = 0; words < 3; ++words) {
      const std::size_t end = std::min(line.find(' ', at), line.size());
      const std::string_view word = line.substr(at, end - at);
      if (words > 0 && IsIpv4Address(word)) {
        const routes::RoutePathFields fields = routes::ReadRoutePathFields(line.substr(end));
        if (fields.badNumber || (end < line.size() && line[end] != ' ')) {
          return LineKind::kNotUnderstood;
        }
        int length = -1;
        if (header_.length >= 0) {
          length = header_.length;
        } else {
          length = ClassfulLength(word);
          classful_ = true;
          guessedBeforeHeader_ = guessedBeforeHeader_ || !headerSeen_;
        }
        // A flag in column 5 after a code in columns 1 to 4 ("C   p    10.34.0.2") is a flag.
        const bool flagged =
            at > 5 && line[1] != '\t' && (line[1] == ' ' || line[1] == '*') && line[4] != ' ' &&
            routes::IsCodeLineColumn5(static_cast<unsigned char>(line[4])) && line[5] == ' ';
        builder_.Begin(Afi::kIpv4, flagged ? line.substr(0, 4) : line.substr(0, at),
                       flagged ? line.substr(4, 1) : std::string_view(), word, length);
        builder_.AddPathFields(fields, kRule);
        return LineKind::kRoute;
      }
      if (word.empty() || word.size() > 4 || end == line.size() ||
          (words == 0 && !StartsWithLetter(word))) {
        return LineKind::kNotUnderstood;
      }
      at = line.find_first_not_of(' ', end);
      if (at == std::string_view::npos) {
        return LineKind::kNotUnderstood;
      }
    }
    return LineKind::kNotUnderstood;
  }

  // Passes routes on, counting those before the first section heading.
  struct Forward : RouteSink {
    Forward(RouteSink& sink, const bool& seen) : next(sink), sectionSeen(seen) {}
    void Put(const RouteView& route) override {
      before += sectionSeen ? 0 : 1;
      next.Put(route);
    }
    RouteSink& next;
    const bool& sectionSeen;
    std::size_t before = 0;
  };

  // The classful header in force in the section: the length of the subnets under it.
  struct Header {
    int length = -1;
  };

  bool sectionSeen_ = false;
  Forward forward_;
  RouteBuilder builder_;
  LineAccount& account_;
  routes::RouteLineParser parser_;
  std::int16_t state_ = routes::kLineStateReset;
  int strippedLength_ = -1;
  Header header_;
  LineKind last_ = LineKind::kBlank;
  bool classful_ = false;  // the line being read took its class's length
  bool headerSeen_ = false;
  bool guessedBeforeHeader_ = false;
};

// Where the second half of a large capture can be read on its own: the first line at or after
// the split point that starts a route with a mask of its own (so no length is carried into it),
// after a line that does not end with a blank (so no wrapped entry is joined across it).
std::size_t FindSplit(std::string_view capture) {
  // A little before the middle: the thread that reads the first half also puts the second
  // half's routes (or writes their output) after it.
  const std::size_t from = capture.size() / 32 * 15;
  files::LineCursor cursor(capture, from);
  cursor.Next();  // the rest of the line the point falls in
  const std::size_t limit = from + capture.size() / 8;
  std::string_view previous = "x";
  while (!cursor.AtEnd() && cursor.Position() < limit) {
    const std::size_t at = cursor.Position();
    const std::string_view line = cursor.Next();
    if (!previous.ends_with(' ') && !line.empty() && line[0] != ' ' && line[0] != '\t' &&
        line.find('\b') == std::string_view::npos && !SectionVrf(line)) {
      routes::RouteLineParser parser;
      routes::RouteLineLayout layout;
      std::int16_t state = routes::kLineStateReset;
      parser.ParseLayout(line, state, layout);
      if (state == 2 && layout.codeLine && layout.ownMask >= 0) {
        return at;
      }
    }
    previous = line;
  }
  return 0;
}

void ReadSequentially(std::string_view capture, RouteSink& sink, LineAccount& account) {
  StagedLineReader reader(sink, account);
  routes::StageLines(capture, reader);
  reader.Finish();
}

// Whether text surely holds no section heading, even once staged: none of the headings' words
// and no backspace that could make them.
bool HasNoSection(std::string_view text) {
  return text.find("Routing Table") == std::string_view::npos &&
         text.find("VRF: ") == std::string_view::npos && text.find('\b') == std::string_view::npos;
}

}  // namespace

void IosReader::Read(std::string_view capture, RouteSink& sink, LineAccount& account) const {
  // Lines marked before reading are counted by their number: one reading counts them all.
  const std::size_t split =
      capture.size() >= parallelFrom_ && !account.HasPresets() ? FindSplit(capture) : 0;
  if (split == 0) {
    ReadSequentially(capture, sink, account);
    return;
  }
  // When the first half leaves the global table's VRF in force, the second half's routes are
  // what its own reading gives: they go to a part of the sink as they are read.
  const std::string_view firstHalf = capture.substr(0, split);
  const std::string_view secondHalf = capture.substr(split);
  LineAccount secondAccount;
  if (std::unique_ptr<RouteSink> part = HasNoSection(firstHalf) ? sink.NewPart() : nullptr) {
    StagedLineReader secondReader(*part, secondAccount);
    std::future<void> reading = std::async(std::launch::async, [&] {
      routes::StageLines(secondHalf, secondReader);
      secondReader.Finish();
    });
    StagedLineReader reader(sink, account);
    routes::StageLines(firstHalf, reader);
    reading.get();
    if (reader.carriesLength() || (reader.headerInForce() && secondReader.guessedBeforeHeader())) {
      // The second half's own reading lacks the length: it is read again, as one with the first.
      routes::StageLines(secondHalf, reader);
      reader.Finish();
      return;
    }
    reader.Finish();
    sink.AppendPart(std::move(part));
    account.Append(secondAccount);
    return;
  }
  // A large capture is read in two halves at once; the second half's routes wait in a table
  // and follow the first half's in printed order. Those before the second half's first section
  // heading are in the VRF the first half ends in.
  RouteTable second;
  StagedLineReader secondReader(second, secondAccount);
  std::future<void> reading = std::async(std::launch::async, [&] {
    routes::StageLines(secondHalf, secondReader);
    secondReader.Finish();
  });
  std::string vrf;
  {
    StagedLineReader reader(sink, account);
    routes::StageLines(firstHalf, reader);
    if (reader.carriesLength()) {
      reading.get();
      routes::StageLines(secondHalf, reader);
      reader.Finish();
      return;
    }
    reading.get();
    if (reader.headerInForce() && secondReader.guessedBeforeHeader()) {
      routes::StageLines(secondHalf, reader);
      reader.Finish();
      return;
    }
    reader.Finish();
    vrf = reader.vrf();
  }
  const std::size_t beforeSection = secondReader.routesBeforeSection();
  account.Append(secondAccount);
  std::size_t i = 0;
  second.ForEach([&](RouteView route) {
    if (i++ < beforeSection) {
      route.vrf = vrf;
    }
    sink.Put(route);
  });
}

}  // namespace kestrelon::tables
