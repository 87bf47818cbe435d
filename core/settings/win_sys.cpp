#include "settings/win_sys.h"

#include <cerrno>
#include <climits>

#include "files/file_error.h"
#include "files/platform.h"
#include "settings/profile_file.h"

namespace kestrelon::settings {
namespace {

// GetPrivateProfileStringA is called with a buffer of 255 characters: 254 and the NUL.
constexpr std::size_t kMaxValueBytes = 254;

bool HasAny(std::string_view s, std::string_view chars) {
  return s.find_first_of(chars) != std::string_view::npos;
}

}  // namespace

// Surrounding double quotes are stripped from a value read back ("a b" reads as a b), as
// Windows does. The program never writes a value that starts with a quote (extensions start
// with ".", the check states are digits), so what it writes still reads back unchanged.
std::string ReadIni(const std::string& file, const std::string& section, const std::string& key) {
  std::string text;
  if (!LoadTextFile(file, text))
    return {};
  std::optional<std::string> found = FindProfileValue(text, section, key);
  if (!found)
    return {};
  std::string_view value = *found;
  if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
    value = value.substr(1, value.size() - 2);
  }
  return CutAtNul(CutAtCharBoundary(value, kMaxValueBytes));
}

// A section, key or value that would not read back as itself (a line end or NUL in any of
// them, "=" in the key, "]" in the section) is not written: the call changes nothing.
void WriteIni(const std::string& file, const std::string& section, const std::string& key,
              const std::string& value) {
  using namespace std::string_view_literals;
  constexpr std::string_view kLineBreaking = "\r\n\0"sv;
  if (HasAny(section, kLineBreaking) || HasAny(key, kLineBreaking) ||
      HasAny(value, kLineBreaking) || HasAny(section, "]") || HasAny(key, "=")) {
    return;
  }
  std::string text;
  if (!LoadTextFile(file, text))
    return;  // an unreadable file must not be overwritten
  if (FindProfileValue(text, section, key) == value)
    return;  // unchanged: the file is left alone
  ReplaceFileAtomically(file, SetProfileValue(text, section, key, value));
}

bool ProfileReadable(const std::string& file) {
  std::string text;
  return LoadTextFile(file, text);
}

std::string CutAtNul(std::string_view text) {
  return std::string(text.substr(0, text.find('\0')));
}

bool FileExists(const std::string& path) {
  if (path.find('\0') != std::string::npos)
    return false;  // names no file
  try {
    const files::NativeFile file = files::OpenForReading(path, /*waitForWriter=*/false);
    return file.Kind(path) != files::FileKind::kFolder;
  } catch (const FileError& error) {
    const int reason = error.errnum();
    if (reason == ENOENT || reason == ENOTDIR || reason == EISDIR)
      return false;
  }
  // It exists but cannot be opened (no permission, locked): a file unless it is a folder.
  try {
    return files::KindOf(path) != files::FileKind::kFolder;
  } catch (const FileError&) {
    return true;
  }
}

// Rounds exactly on the decimal digits: the first fraction digit decides, a 5 followed only by
// zeros is a half and goes to the even neighbour. Magnitudes beyond the range saturate.
long long ReadCheckState(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
    ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-'))
    negative = text[i++] == '-';
  auto isDigit = [&](std::size_t k) { return k < text.size() && text[k] >= '0' && text[k] <= '9'; };

  constexpr unsigned long long kCap = static_cast<unsigned long long>(LLONG_MAX) + 1;
  unsigned long long magnitude = 0;  // never above kCap
  bool any = false, odd = false;
  for (; isDigit(i); ++i) {
    any = true;
    unsigned digit = static_cast<unsigned>(text[i] - '0');
    odd = digit % 2 == 1;
    magnitude = magnitude > (kCap - digit) / 10 ? kCap : magnitude * 10 + digit;
  }
  if (i < text.size() && text[i] == '.' && isDigit(i + 1)) {
    ++i;
    any = true;
    char first = text[i++];
    bool restNonZero = false;
    for (; isDigit(i); ++i)
      restNonZero = restNonZero || text[i] != '0';
    bool up = first > '5' || (first == '5' && (restNonZero || odd));
    if (up && magnitude < kCap)
      ++magnitude;
  }
  if (!any)
    return 0;
  if (negative)
    return magnitude >= kCap ? LLONG_MIN : -static_cast<long long>(magnitude);
  return magnitude >= kCap ? LLONG_MAX : static_cast<long long>(magnitude);
}

}  // namespace kestrelon::settings
