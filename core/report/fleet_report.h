// The report of a folder diff, whatever wrote it: a run over two folders or the merge of the
// shares of one. Each device's own diff is a JSON document on disk (the two-file diff's), so
// the report of a large fleet holds little in memory; the writers of every format read those
// documents back one device at a time, in name order.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "files/private_folder.h"
#include "tables/route_diff_sink.h"
#include "tables/table_reader.h"

namespace kestrelon::report {

enum class DeviceStatus { kSame, kChanged, kMissingBefore, kMissingAfter, kUnreadable };

// "same", "changed", "missing_before", "missing_after", "unreadable".
std::string_view DeviceStatusName(DeviceStatus status);
std::optional<DeviceStatus> DeviceStatusFromName(std::string_view name);

// One device: its captures, how it was read and what changed.
struct DeviceResult {
  std::string device;  // the host of its prompts, or its file name's stem
  DeviceStatus status = DeviceStatus::kSame;
  std::string pairedBy;                   // "host" or "name"; empty for a device of one side
  std::optional<std::string> beforeFile;  // as the report names it: FOLDER/FILE
  std::optional<std::string> afterFile;
  // How each side was read (also the one capture of a device missing on the other side).
  std::optional<tables::Platform> platformBefore;  // none: not read
  std::optional<tables::Platform> platformAfter;
  tables::DiffCounts counts;
  std::size_t notUnderstoodBefore = 0;
  std::size_t notUnderstoodAfter = 0;
  std::string reason;        // why it is unreadable, or why its one capture could not be read
  std::string diffDocument;  // the two-file diff's JSON document; empty when there is none
};

// What the whole run was asked to do, as every format's header says it.
struct FleetHeader {
  std::string beforeFolder;
  std::string afterFolder;
  std::string made;  // UTC, "2026-12-08T01:49:10Z"
  std::string platform = "auto";
  tables::RouteFields ignored{tables::RouteField::kUptime};
  std::vector<std::string> vrfs;
  bool strict = false;
  std::string pairBy = "auto";
  // The share this report holds (from 1), and of how many; 0 for a whole fleet.
  std::size_t shardIndex = 0;
  std::size_t shardCount = 0;

  bool operator==(const FleetHeader&) const = default;
};

// The devices by status, and the routes of all devices.
struct FleetTotals {
  std::size_t devices = 0;
  std::size_t same = 0;
  std::size_t changed = 0;
  std::size_t missingBefore = 0;
  std::size_t missingAfter = 0;
  std::size_t unreadable = 0;
  tables::DiffCounts routes;
};

class FleetReport {
 public:
  FleetHeader header;
  std::vector<DeviceResult> devices;  // by device name
  // Holds the devices' diff documents while the report lives.
  std::shared_ptr<files::PrivateFolder> folder;

  FleetTotals Totals() const;
  // 2 when a capture could not be read, 1 when a device changed or is missing, else 0.
  int ExitStatus() const;
  // Throws FileError when target is one of the captures the report was made from: writing it
  // there would replace that capture.
  void RefuseOutputOver(const std::string& target) const;
};

}  // namespace kestrelon::report
