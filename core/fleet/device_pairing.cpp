#include "fleet/device_pairing.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <filesystem>
#include <map>
#include <system_error>

#include "files/file_error.h"
#include "files/platform.h"
#include "tables/log_cleaning.h"
#include "tables/prompt_host.h"

namespace kestrelon::fleet {
namespace {

// A prompt lies near a capture's start; a log with a long banner still shows it within this.
constexpr std::size_t kHeadBytes = 64 * 1024;

constexpr std::array<std::string_view, 8> kMarkers = {"before", "after", "prechange", "postchange",
                                                      "pre",    "post",  "old",       "new"};

bool Separator(char c) {
  return c == '_' || c == '-' || c == '.' || c == ' ';
}

bool SameLetters(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

std::string ReadHead(const std::string& path) {
  try {
    files::NativeFile file = files::OpenForReading(path, false);
    std::string head(kHeadBytes, '\0');
    std::size_t got = 0;
    while (got < head.size()) {
      const std::size_t n = file.Read(head.data() + got, head.size() - got, path);
      if (n == 0) {
        break;
      }
      got += n;
    }
    head.resize(got);
    return head;
  } catch (const FileError&) {
    return {};  // the diff tells why it cannot be read
  }
}

[[noreturn]] void ThrowTwoCaptures(const std::string& first, const std::string& second,
                                   const std::string& device, std::string_view by) {
  throw FileError("pair", first, 0,
                  "it and \"" + second + "\" are both captures of device \"" + device + "\" (by " +
                      std::string(by) + "); keep one of them in the folder");
}

// The captures of one side by key; two of one key are refused.
std::map<std::string, const CaptureFile*> ByKey(const std::vector<const CaptureFile*>& files,
                                                bool byHost) {
  std::map<std::string, const CaptureFile*> keyed;
  for (const CaptureFile* file : files) {
    const std::string& key = byHost ? *file->host : file->nameKey;
    const auto [it, fresh] = keyed.emplace(key, file);
    if (!fresh) {
      ThrowTwoCaptures(it->second->path, file->path, key, byHost ? "host" : "file name");
    }
  }
  return keyed;
}

// Pairs equal keys; what finds no partner stays in the rests.
void PairByKey(const std::vector<const CaptureFile*>& before,
               const std::vector<const CaptureFile*>& after, bool byHost,
               std::vector<DevicePair>& pairs, std::vector<const CaptureFile*>& restBefore,
               std::vector<const CaptureFile*>& restAfter) {
  const auto keyedBefore = ByKey(before, byHost);
  const auto keyedAfter = ByKey(after, byHost);
  for (const auto& [key, file] : keyedBefore) {
    const auto partner = keyedAfter.find(key);
    if (partner == keyedAfter.end()) {
      restBefore.push_back(file);
      continue;
    }
    pairs.push_back({key,
                     byHost ? "host" : "name",
                     file->path,
                     partner->second->path,
                     file->size + partner->second->size,
                     {}});
  }
  for (const auto& [key, file] : keyedAfter) {
    if (!keyedBefore.contains(key)) {
      restAfter.push_back(file);
    }
  }
}

}  // namespace

std::string NameKey(std::string_view fileName) {
  std::string_view name = fileName;
  if (const std::size_t dot = name.rfind('.'); dot != std::string_view::npos && dot > 0) {
    name = name.substr(0, dot);
  }
  for (const std::string_view marker : kMarkers) {
    if (name.size() > marker.size() + 1 && Separator(name[marker.size()]) &&
        SameLetters(name.substr(0, marker.size()), marker)) {
      name.remove_prefix(marker.size() + 1);
      break;
    }
  }
  for (const std::string_view marker : kMarkers) {
    const std::size_t at = name.size() - std::min(name.size(), marker.size());
    if (name.size() > marker.size() + 1 && Separator(name[at - 1]) &&
        SameLetters(name.substr(at), marker)) {
      name.remove_suffix(marker.size() + 1);
      break;
    }
  }
  return std::string(name);
}

std::optional<std::string> PromptHost(std::string_view capture) {
  // Time stamps, escapes and pager prompts off first, as the diff reads the capture.
  const tables::CleanedCapture cleaned(capture);
  std::string_view head = cleaned.text();
  std::optional<std::string> first;
  while (!head.empty()) {
    const std::size_t end = head.find_first_of("\r\n");
    const std::string_view line = head.substr(0, end);
    head.remove_prefix(end == std::string_view::npos ? head.size() : end + 1);
    const std::optional<tables::Prompt> prompt = tables::ReadPrompt(line);
    if (!prompt || prompt->host.empty()) {
      continue;
    }
    if (prompt->command.starts_with("sh")) {
      return std::string(prompt->host);
    }
    if (!first) {
      first.emplace(prompt->host);
    }
  }
  return first;
}

std::vector<CaptureFile> ListCaptures(const std::string& folder) {
  namespace fs = std::filesystem;
  std::error_code error;
  fs::directory_iterator it(files::PathOf(folder), error);
  if (error) {
    throw FileError("list", folder, error.value(), error.message());
  }
  std::vector<CaptureFile> captures;
  for (; it != fs::directory_iterator(); it.increment(error)) {
    const std::u8string utf8 = it->path().filename().u8string();
    const std::string name(utf8.begin(), utf8.end());
    std::error_code kindError;
    if (name.starts_with('.') || it->is_directory(kindError)) {
      continue;
    }
    CaptureFile capture;
    capture.path = folder + (folder.ends_with('/') ? "" : "/") + name;
    capture.nameKey = NameKey(name);
    capture.host = PromptHost(ReadHead(capture.path));
    capture.size = it->file_size(kindError);
    captures.push_back(std::move(capture));
  }
  if (error) {
    throw FileError("list", folder, error.value(), error.message());
  }
  std::sort(captures.begin(), captures.end(),
            [](const CaptureFile& a, const CaptureFile& b) { return a.path < b.path; });
  return captures;
}

std::vector<DevicePair> PairCaptures(const std::vector<CaptureFile>& before,
                                     const std::vector<CaptureFile>& after, PairBy pairBy) {
  std::vector<DevicePair> pairs;
  // Host first: those whose host the other folder holds too (every one with --pair-by host).
  std::map<std::string, int> hosts;  // bit 1: before has it, bit 2: after has it
  for (const CaptureFile& file : before) {
    if (file.host) {
      hosts[*file.host] |= 1;
    }
  }
  for (const CaptureFile& file : after) {
    if (file.host) {
      hosts[*file.host] |= 2;
    }
  }
  const auto split = [&](const std::vector<CaptureFile>& files,
                         std::vector<const CaptureFile*>& byHost,
                         std::vector<const CaptureFile*>& byName) {
    for (const CaptureFile& file : files) {
      const bool hostPairs = file.host && (pairBy == PairBy::kHost ||
                                           (pairBy == PairBy::kAuto && hosts[*file.host] == 3));
      if (hostPairs) {
        byHost.push_back(&file);
      } else if (pairBy == PairBy::kHost) {
        pairs.push_back({file.nameKey, "", std::nullopt, std::nullopt, file.size,
                         "no prompt in \"" + file.path + "\" names its device (--pair-by name " +
                             "pairs it by file name)"});
        (&files == &before ? pairs.back().before : pairs.back().after) = file.path;
      } else {
        byName.push_back(&file);
      }
    }
  };
  std::vector<const CaptureFile*> hostBefore, hostAfter, nameBefore, nameAfter;
  split(before, hostBefore, nameBefore);
  split(after, hostAfter, nameAfter);
  std::vector<const CaptureFile*> restBefore, restAfter;
  PairByKey(hostBefore, hostAfter, true, pairs, restBefore, restAfter);
  if (pairBy != PairBy::kHost) {
    PairByKey(nameBefore, nameAfter, false, pairs, restBefore, restAfter);
  }
  // A device of one side is named as it would have been paired.
  const auto name = [&](const CaptureFile* file) {
    return pairBy == PairBy::kName ? file->nameKey : file->host.value_or(file->nameKey);
  };
  for (const CaptureFile* file : restBefore) {
    pairs.push_back({name(file), "", file->path, std::nullopt, file->size, {}});
  }
  for (const CaptureFile* file : restAfter) {
    pairs.push_back({name(file), "", std::nullopt, file->path, file->size, {}});
  }
  std::sort(pairs.begin(), pairs.end(), [](const DevicePair& a, const DevicePair& b) {
    return std::tie(a.device, a.before, a.after) < std::tie(b.device, b.before, b.after);
  });
  return pairs;
}

}  // namespace kestrelon::fleet
