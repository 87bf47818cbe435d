#include "fleet/fleet_run.h"

#include <algorithm>
#include <array>

#include "files/capture_text.h"
#include "files/file_error.h"
#include "files/file_writer.h"
#include "files/mapped_file.h"
#include "fleet/device_pairing.h"
#include "fleet/fleet_shard.h"
#include "fleet/job_pool.h"
#include "report/made_time.h"
#include "tables/byte_sink.h"
#include "tables/capture_reading.h"
#include "tables/diff_json_writer.h"

namespace kestrelon::fleet {
namespace {

report::FleetHeader HeaderOf(const FleetOptions& options) {
  report::FleetHeader header;
  header.beforeFolder = options.beforeFolder;
  header.afterFolder = options.afterFolder;
  header.made = report::UtcText(options.madeAt.value_or(report::ReportTime()));
  header.platform =
      options.diff.platform ? std::string(tables::PlatformName(*options.diff.platform)) : "auto";
  header.ignored = options.diff.ignored;
  header.vrfs = options.diff.vrfs;
  header.strict = options.diff.strict;
  header.pairBy = PairByName(options.pairBy);
  if (options.shard) {
    header.shardIndex = options.shard->index;
    header.shardCount = options.shard->count;
  }
  return header;
}

// The VRFs asked for that a device's captures have routes in.
using VrfsSeen = std::vector<std::string>;

// One capture mapped and decoded for the diff, let go once it is read.
struct OpenCapture {
  std::optional<files::MappedFile> file;
  std::optional<files::CaptureText> text;

  void Open(const std::string& path, tables::DiffCapture& capture) {
    file.emplace(path);
    files::TextCheck(path).Take(file->bytes());
    text.emplace(file->bytes());
    capture.text = text->text();
    capture.source = path;
    capture.name = path;
    capture.release = [this] {
      file->CheckUnchanged();
      text.reset();
      file.reset();
    };
  }
};

// Keeps what the fleet's table shows of a diff as it passes to the document's writer.
class Noting : public tables::RouteDiffSink {
 public:
  Noting(tables::RouteDiffSink& next, report::DeviceResult& device, VrfsSeen& vrfs)
      : next_(next), device_(device), vrfs_(vrfs) {}
  void Begin(const tables::DiffSummary& summary) override {
    for (const auto& [vrf, counts] : summary.vrfs) {
      vrfs_.push_back(vrf);
    }
    device_.platformBefore = summary.beforePlatform;
    device_.platformAfter = summary.afterPlatform;
    device_.counts = summary.total;
    device_.notUnderstoodBefore = summary.beforeReading.lines.notUnderstood();
    device_.notUnderstoodAfter = summary.afterReading.lines.notUnderstood();
    next_.Begin(summary);
  }
  void Change(const tables::RouteChangeEvent& change) override { next_.Change(change); }
  void End() override { next_.End(); }

 private:
  tables::RouteDiffSink& next_;
  report::DeviceResult& device_;
  VrfsSeen& vrfs_;
};

void DiffPair(const DevicePair& pair, tables::DiffOptions options, report::DeviceResult& device,
              VrfsSeen& vrfs) {
  options.oneThread = true;         // the pool runs one pair per core
  options.vrfsMayBeMissing = true;  // a router without the VRF has no route in it
  try {
    std::array<OpenCapture, 2> open;
    std::array<tables::DiffCapture, 2> captures;
    open[0].Open(*pair.before, captures[0]);
    open[1].Open(*pair.after, captures[1]);
    files::OutputFile output(device.diffDocument);
    tables::FileByteSink bytes(output);
    tables::JsonDiffWriter json(bytes);
    Noting noting(json, device, vrfs);
    const std::size_t changes = DiffRouteCaptures(captures[0], captures[1], options, noting);
    output.Close();
    device.status = changes == 0 ? report::DeviceStatus::kSame : report::DeviceStatus::kChanged;
  } catch (const FileError& error) {
    if (error.path() == device.diffDocument) {
      throw;  // the private folder cannot be written: no device can be reported
    }
    device.status = report::DeviceStatus::kUnreadable;
    device.reason = error.what();
    device.diffDocument.clear();
    device.counts = {};
  }
}

// A device's one capture, read for its platform, routes and lines not understood: a device
// missing after a change shows what it had. One that cannot be read says why.
void ReadAlone(const std::string& path, const tables::DiffOptions& options, bool before,
               report::DeviceResult& device, VrfsSeen& seen) {
  struct Counting : tables::RouteSink {
    Counting(const std::vector<std::string>& asked, VrfsSeen& found) : vrfs(asked), seen(found) {}
    void Put(const tables::RouteView& route) override {
      if (vrfs.empty()) {
        ++routes;
      } else if (std::find(vrfs.begin(), vrfs.end(), route.vrf) != vrfs.end()) {
        ++routes;
        if (std::find(seen.begin(), seen.end(), route.vrf) == seen.end()) {
          seen.emplace_back(route.vrf);
        }
      }
    }
    const std::vector<std::string>& vrfs;
    VrfsSeen& seen;
    std::size_t routes = 0;
  } counting(options.vrfs, seen);
  try {
    OpenCapture open;
    tables::DiffCapture capture;
    open.Open(path, capture);
    const tables::CaptureReading reading(capture.text);
    const tables::DevicePart& part = reading.parts().front();
    tables::ReadingReport report;
    reading.Read(part, reading.Place(part, path, options.platform), counting, report, false);
    (before ? device.platformBefore : device.platformAfter) = report.platform;
    (before ? device.counts.before : device.counts.after) = counting.routes;
    (before ? device.notUnderstoodBefore : device.notUnderstoodAfter) =
        report.lines.notUnderstood();
  } catch (const FileError& error) {
    device.reason = error.what();
  }
}

// A VRF asked for that no device has is a misspelt name, never "every device the same". A
// share cannot tell: the VRF may be on another share's devices.
void CheckVrfsFound(const FleetOptions& options, const std::vector<VrfsSeen>& seen) {
  if (options.shard) {
    return;
  }
  for (const std::string& wanted : options.diff.vrfs) {
    const bool found = std::any_of(seen.begin(), seen.end(), [&](const VrfsSeen& vrfs) {
      return std::find(vrfs.begin(), vrfs.end(), wanted) != vrfs.end();
    });
    if (!found) {
      throw FileError("diff VRF \"" + wanted + "\" of", options.beforeFolder, 0,
                      "no capture in it or in \"" + options.afterFolder + "\" has a route in it");
    }
  }
}

}  // namespace

std::string_view PairByName(PairBy pairBy) {
  switch (pairBy) {
    case PairBy::kHost:
      return "host";
    case PairBy::kName:
      return "name";
    case PairBy::kAuto:
      break;
  }
  return "auto";
}

report::FleetReport RunFleet(const FleetOptions& options, const FleetProgress& progress,
                             std::atomic<bool>& cancel) {
  report::FleetReport report;
  report.header = HeaderOf(options);
  const std::vector<CaptureFile> before = ListCaptures(options.beforeFolder);
  const std::vector<CaptureFile> after = ListCaptures(options.afterFolder);
  if (before.empty() && after.empty()) {
    // Never "every device the same" for a fleet of none.
    throw FileError("diff", options.beforeFolder, 0,
                    "neither it nor \"" + options.afterFolder + "\" holds a capture");
  }
  std::vector<DevicePair> pairs = PairCaptures(before, after, options.pairBy);
  if (options.shard) {
    std::vector<DevicePair> share;
    for (std::size_t i = 0; i < pairs.size(); ++i) {
      if (InShare(i, *options.shard)) {
        share.push_back(std::move(pairs[i]));
      }
    }
    pairs = std::move(share);
  }
  report.folder = std::make_shared<files::PrivateFolder>();
  std::vector<std::size_t> order;
  for (std::size_t i = 0; i < pairs.size(); ++i) {
    const DevicePair& pair = pairs[i];
    report::DeviceResult device;
    device.device = pair.device;
    device.pairedBy = pair.pairedBy;
    device.beforeFile = pair.before;
    device.afterFile = pair.after;
    if (!pair.unreadable.empty()) {
      device.status = report::DeviceStatus::kUnreadable;
      device.reason = pair.unreadable;
    } else if (!pair.before) {
      device.status = report::DeviceStatus::kMissingBefore;
      order.push_back(i);
    } else if (!pair.after) {
      device.status = report::DeviceStatus::kMissingAfter;
      order.push_back(i);
    } else {
      device.diffDocument =
          report.folder->NewUnregisteredFile("device" + std::to_string(i) + ".json");
      order.push_back(i);
    }
    report.devices.push_back(std::move(device));
  }
  // The largest pairs first, so that the last ones running are small.
  std::stable_sort(order.begin(), order.end(),
                   [&](std::size_t a, std::size_t b) { return pairs[a].size > pairs[b].size; });
  std::vector<VrfsSeen> seen(pairs.size());  // each device's own: no lock between jobs
  std::atomic<std::size_t> done = 0;
  const std::size_t jobs = options.jobs == 0 ? Cores() : options.jobs;
  RunJobs(
      order, jobs,
      [&](std::size_t i) {
        const DevicePair& pair = pairs[i];
        if (pair.before && pair.after) {
          DiffPair(pair, options.diff, report.devices[i], seen[i]);
        } else {
          ReadAlone(pair.before ? *pair.before : *pair.after, options.diff, pair.before.has_value(),
                    report.devices[i], seen[i]);
        }
        if (progress) {
          progress(++done, order.size());
        }
      },
      cancel);
  if (cancel) {
    throw FleetCancelled();
  }
  CheckVrfsFound(options, seen);
  return report;
}

}  // namespace kestrelon::fleet
