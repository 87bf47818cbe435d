#include "settings/profile_file.h"

#include <cerrno>
#include <vector>

#include "files/file_error.h"
#include "files/file_writer.h"
#include "files/platform.h"
#include "files/text_fields.h"
#include "files/utf8_text.h"

namespace kestrelon::settings {
namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

std::size_t SkipBlanks(std::string_view s, std::size_t i) {
  while (i < s.size() && IsBlank(s[i]))
    ++i;
  return i;
}

// Where the content of a line starts: after a byte order mark and blanks.
std::size_t ContentStart(std::string_view line) {
  return SkipBlanks(line, line.starts_with(kBom) ? kBom.size() : 0);
}

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size())
    return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
    if (lower(a[i]) != lower(b[i]))
      return false;
  }
  return true;
}

// The lines of text without their ends (CR LF, CR or LF); a final line end adds no line. ends
// gets each line's own end, empty for a last line without one.
std::vector<std::string_view> SplitLines(std::string_view text,
                                         std::vector<std::string_view>* ends = nullptr) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) {
      lines.push_back(text.substr(start));
      if (ends)
        ends->push_back({});
      break;
    }
    lines.push_back(text.substr(start, end - start));
    std::size_t endLength = text.compare(end, 2, "\r\n") == 0 ? 2 : 1;
    if (ends)
      ends->push_back(text.substr(end, endLength));
    start = end + endLength;
  }
  return lines;
}

// The name of a section header line; nullopt for any other line.
std::optional<std::string_view> SectionName(std::string_view line) {
  std::size_t i = ContentStart(line);
  if (i >= line.size() || line[i] != '[')
    return std::nullopt;
  std::size_t close = line.find(']', i);
  if (close == std::string_view::npos)
    return std::nullopt;
  return files::TrimBlanks(line.substr(i + 1, close - i - 1));
}

// Where the value of a key line for key starts (after "=" and blanks); nullopt when the line is
// not a key line of that key.
std::optional<std::size_t> ValueStart(std::string_view line, std::string_view key) {
  std::size_t i = ContentStart(line);
  if (i >= line.size() || line[i] == ';' || line[i] == '#')
    return std::nullopt;
  std::size_t eq = line.find('=', i);
  if (eq == std::string_view::npos || !SameName(files::TrimBlanks(line.substr(i, eq - i)), key)) {
    return std::nullopt;
  }
  return SkipBlanks(line, eq + 1);
}

struct Location {
  std::size_t section;  // index of the header line, lines.size() when the section is missing
  std::size_t end;      // index after the last line of the section
  std::size_t key;      // index of the key line, end when the key is missing
  std::size_t value;    // start of the value in the key line
};

Location Locate(const std::vector<std::string_view>& lines, std::string_view section,
                std::string_view key) {
  Location at{lines.size(), lines.size(), lines.size(), 0};
  std::size_t i = 0;
  while (i < lines.size() && !(SectionName(lines[i]) && SameName(*SectionName(lines[i]), section)))
    ++i;
  if (i == lines.size())
    return at;
  at.section = i;
  at.end = i + 1;
  while (at.end < lines.size() && !SectionName(lines[at.end]))
    ++at.end;
  at.key = at.end;
  for (std::size_t k = i + 1; k < at.end; ++k) {
    if (auto v = ValueStart(lines[k], key)) {
      at.key = k;
      at.value = *v;
      break;
    }
  }
  return at;
}

}  // namespace

std::optional<std::string> FindProfileValue(std::string_view text, std::string_view section,
                                            std::string_view key) {
  std::vector<std::string_view> lines = SplitLines(text);
  Location at = Locate(lines, section, key);
  if (at.key >= at.end)
    return std::nullopt;
  std::string_view value = lines[at.key].substr(at.value);
  while (!value.empty() && IsBlank(value.back()))
    value.remove_suffix(1);
  return std::string(value);
}

std::string SetProfileValue(std::string_view text, std::string_view section, std::string_view key,
                            std::string_view value) {
  std::vector<std::string_view> ends;
  std::vector<std::string_view> lines = SplitLines(text, &ends);
  // New lines end as the file's first line does; CR LF in a new file.
  const std::string_view newEnd = !ends.empty() && !ends.front().empty() ? ends.front() : "\r\n";
  Location at = Locate(lines, section, key);
  std::string out;
  out.reserve(text.size() + section.size() + key.size() + value.size() + 8);
  if (at.key < at.end) {
    // Only the value changes; the line keeps its name, blanks and own end.
    for (std::size_t i = 0; i < lines.size(); ++i) {
      if (i == at.key) {
        out.append(lines[i].substr(0, at.value)).append(value);
      } else {
        out.append(lines[i]);
      }
      out.append(ends[i]);
    }
    return out;
  }
  std::string added;
  std::size_t insertAt = lines.size();
  if (at.section == lines.size()) {
    added.append("[").append(section).append("]").append(newEnd);
  } else {
    insertAt = at.end;
    while (insertAt > at.section + 1 && files::TrimBlanks(lines[insertAt - 1]).empty())
      --insertAt;
  }
  added.append(key).append("=").append(value).append(newEnd);
  for (std::size_t i = 0; i < insertAt; ++i) {
    out.append(lines[i]).append(ends[i]);
  }
  if (insertAt > 0 && ends[insertAt - 1].empty())
    out.append(newEnd);  // the line before had no end of its own, being the last
  out.append(added);
  for (std::size_t i = insertAt; i < lines.size(); ++i) {
    out.append(lines[i]).append(ends[i]);
  }
  return out;
}

std::string_view CutAtCharBoundary(std::string_view text, std::size_t maxBytes) {
  std::size_t end = 0;
  while (end < text.size()) {
    std::size_t n = files::CharLength(text, end);
    if (end + n > maxBytes)
      break;
    end += n;
  }
  return text.substr(0, end);
}

bool LoadTextFile(const std::string& path, std::string& text) {
  text.clear();
  if (path.find('\0') != std::string::npos)
    return false;
  try {
    if (files::KindOf(path) == files::FileKind::kMissing)
      return true;
    files::NativeFile file = files::OpenForReading(path, /*waitForWriter=*/false);
    if (file.Kind(path) != files::FileKind::kRegular)
      return false;
    char buffer[8192];
    while (const std::size_t n = file.Read(buffer, sizeof buffer, path))
      text.append(buffer, n);
    return true;
  } catch (const FileError& error) {
    text.clear();
    // Gone between the look and the open: still a missing file.
    return error.errnum() == ENOENT || error.errnum() == ENOTDIR;
  }
}

bool ReplaceFileAtomically(const std::string& path, std::string_view text) {
  if (path.empty() || path.find('\0') != std::string::npos)
    return false;
  try {
    // A symbolic link stays a link: the file it points to is replaced.
    files::AtomicOutputFile file(files::ResolveLinks(path));
    file.Write(text);
    file.CommitDurably();  // an existing file keeps its mode
    return true;
  } catch (const FileError&) {
    return false;
  }
}

}  // namespace kestrelon::settings
