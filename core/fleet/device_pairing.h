// Which capture of the folder before belongs with which of the folder after: by the host in
// the captures' prompts, or by file name without its extension and its before/after marker
// ("R1_before.log" and "R1_after.log", "pre-R1.txt" and "post-R1.txt").
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "fleet/fleet_run.h"

namespace kestrelon::fleet {

// One capture of a folder.
struct CaptureFile {
  std::string path;                 // FOLDER/FILE
  std::string nameKey;              // the file name's device part
  std::optional<std::string> host;  // of its prompt; none when no prompt was found
  std::uint64_t size = 0;
};

// A device and its captures; one side missing when only one folder has it.
struct DevicePair {
  std::string device;
  std::string pairedBy;  // "host", "name", or empty for one side only
  std::optional<std::string> before;
  std::optional<std::string> after;
  std::uint64_t size = 0;  // of both captures, to start the largest pairs first
  std::string unreadable;  // why the device cannot be diffed, found while pairing
};

// The file name's device part: "R1_before.log", "pre-R1.txt" and "R1.log" are all "R1". The
// marker (before, after, pre, post, old, new) is taken off at either end, whatever its case.
std::string NameKey(std::string_view fileName);

// The host of the capture's prompt, read as the diff reads it (time stamps and escapes of a
// terminal log taken off): that of the first prompt with a show command, else of the first
// prompt; none when capture (its first bytes will do) holds no prompt.
std::optional<std::string> PromptHost(std::string_view capture);

// The regular files of folder (hidden ones left out), their host read from their first bytes.
// Throws FileError when the folder cannot be listed.
std::vector<CaptureFile> ListCaptures(const std::string& folder);

// The devices of both folders by name. kAuto pairs by host captures whose host both folders
// hold, the rest by name key. Throws FileError naming both files when two captures of one side
// would be the same device's.
std::vector<DevicePair> PairCaptures(const std::vector<CaptureFile>& before,
                                     const std::vector<CaptureFile>& after, PairBy pairBy);

}  // namespace kestrelon::fleet
