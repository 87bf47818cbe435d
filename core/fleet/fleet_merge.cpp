#include "fleet/fleet_merge.h"

#include <rapidjson/document.h>
#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include <algorithm>
#include <tuple>

#include "files/file_error.h"
#include "files/file_writer.h"
#include "files/mapped_file.h"

namespace kestrelon::fleet {
namespace {

using Value = rapidjson::Value;

// One share's document, read with the checks that name its file.
class Share {
 public:
  explicit Share(const std::string& path) : path_(path) {
    const files::MappedFile file(path);
    document_.Parse(file.bytes().data(), file.bytes().size());
    if (document_.HasParseError() || !document_.IsObject() ||
        Text(document_, "kestrelon") != "folder diff") {
      Fail("not a JSON report of a folder diff of kestrelon-cli");
    }
  }

  [[noreturn]] void Fail(const std::string& what) const {
    throw FileError("merge", path_, 0, what);
  }

  const Value& Member(const Value& object, const char* key) const {
    if (!object.IsObject() || !object.HasMember(key)) {
      Fail(std::string("no \"") + key + "\" in it");
    }
    return object[key];
  }
  std::string Text(const Value& object, const char* key) const {
    const Value& value = Member(object, key);
    if (!value.IsString()) {
      Fail(std::string("\"") + key + "\" is not a text");
    }
    return {value.GetString(), value.GetStringLength()};
  }
  std::optional<std::string> OptionalText(const Value& object, const char* key) const {
    return Member(object, key).IsNull() ? std::nullopt : std::optional(Text(object, key));
  }
  const Value::ConstArray List(const Value& object, const char* key) const {
    const Value& value = Member(object, key);
    if (!value.IsArray()) {
      Fail(std::string("\"") + key + "\" is not a list");
    }
    return value.GetArray();
  }
  std::size_t Number(const Value& object, const char* key) const {
    const Value& value = Member(object, key);
    if (!value.IsUint64()) {
      Fail(std::string("\"") + key + "\" is not a number");
    }
    return value.GetUint64();
  }

  std::optional<tables::Platform> Platform(const Value& object, const char* key) const {
    if (Member(object, key).IsNull()) {
      return std::nullopt;
    }
    const std::optional<tables::Platform> platform = tables::PlatformFromName(Text(object, key));
    if (!platform) {
      Fail(std::string("an unknown platform in \"") + key + "\"");
    }
    return platform;
  }

  report::FleetHeader Header() const {
    report::FleetHeader header;
    header.beforeFolder = Text(document_, "before");
    header.afterFolder = Text(document_, "after");
    header.made = Text(document_, "made");
    const Value& options = Member(document_, "options");
    header.platform = Text(options, "platform");
    header.ignored = {};
    for (const Value& name : List(options, "ignored")) {
      const auto field =
          name.IsString() ? tables::RouteFieldFromName(name.GetString()) : std::nullopt;
      if (!field) {
        Fail("an unknown field in \"ignored\"");
      }
      header.ignored.Add(*field);
    }
    for (const Value& vrf : List(options, "vrfs")) {
      header.vrfs.emplace_back(vrf.IsString() ? vrf.GetString() : "");
    }
    header.strict = Member(options, "strict").IsTrue();
    header.pairBy = Text(options, "pair_by");
    if (document_.HasMember("shard")) {
      header.shardIndex = Number(document_["shard"], "index");
      header.shardCount = Number(document_["shard"], "count");
    }
    return header;
  }

  // The devices, each diff written to a document of folder.
  void Devices(files::PrivateFolder& folder, std::vector<report::DeviceResult>& devices) const {
    for (const Value& entry : List(document_, "devices")) {
      report::DeviceResult device;
      device.device = Text(entry, "device");
      const std::optional<report::DeviceStatus> status =
          report::DeviceStatusFromName(Text(entry, "status"));
      if (!status) {
        Fail("an unknown status of device \"" + device.device + "\"");
      }
      device.status = *status;
      device.pairedBy = OptionalText(entry, "paired_by").value_or("");
      device.beforeFile = OptionalText(entry, "before");
      device.afterFile = OptionalText(entry, "after");
      device.reason = OptionalText(entry, "reason").value_or("");
      device.platformBefore = Platform(entry, "platform_before");
      device.platformAfter = Platform(entry, "platform_after");
      device.counts = {Number(entry, "routes_before"), Number(entry, "routes_after"),
                       Number(entry, "removed"), Number(entry, "added"), Number(entry, "changed")};
      device.notUnderstoodBefore = Number(entry, "not_understood_before");
      device.notUnderstoodAfter = Number(entry, "not_understood_after");
      if (!Member(entry, "summary").IsNull()) {
        device.diffDocument =
            folder.NewUnregisteredFile("device" + std::to_string(devices.size()) + ".json");
        WriteDiff(entry, device.diffDocument);
      }
      devices.push_back(std::move(device));
    }
  }

  const std::string& path() const { return path_; }

 private:
  // The two-file diff's document of one device: before, after, summary, changes.
  void WriteDiff(const Value& entry, const std::string& path) const {
    rapidjson::StringBuffer buffer;
    rapidjson::Writer<rapidjson::StringBuffer> writer(buffer);
    writer.StartObject();
    for (const char* key : {"before", "after", "summary", "changes"}) {
      writer.Key(key);
      Member(entry, key).Accept(writer);
    }
    writer.EndObject();
    files::OutputFile file(path);
    file.Write(std::string_view(buffer.GetString(), buffer.GetSize()));
    file.Close();
  }

  std::string path_;
  rapidjson::Document document_;
};

}  // namespace

report::FleetReport MergeShares(const std::vector<std::string>& paths) {
  report::FleetReport merged;
  merged.folder = std::make_shared<files::PrivateFolder>();
  std::vector<bool> seen;
  for (const std::string& path : paths) {
    const Share share(path);
    report::FleetHeader header = share.Header();
    if (header.shardCount == 0) {
      share.Fail("it is the report of a whole run, not of a share (--shard K/N)");
    }
    if (seen.empty()) {
      seen.assign(header.shardCount, false);
      merged.header = header;
    }
    // Apart from the share and when it ran, every share says the same.
    report::FleetHeader same = header;
    same.made = merged.header.made;
    same.shardIndex = merged.header.shardIndex;
    if (!(same == merged.header)) {
      share.Fail("its folders or options are not those of \"" + paths.front() + "\"");
    }
    if (header.shardIndex > seen.size() || seen[header.shardIndex - 1]) {
      share.Fail("share " + std::to_string(header.shardIndex) + " of " +
                 std::to_string(header.shardCount) + " is given twice");
    }
    seen[header.shardIndex - 1] = true;
    merged.header.made = std::min(merged.header.made, header.made);  // the run began then
    share.Devices(*merged.folder, merged.devices);
  }
  for (std::size_t i = 0; i < seen.size(); ++i) {
    if (!seen[i]) {
      throw FileError(
          "merge", paths.front(), 0,
          "share " + std::to_string(i + 1) + " of " + std::to_string(seen.size()) + " is missing");
    }
  }
  merged.header.shardIndex = 0;
  merged.header.shardCount = 0;
  std::stable_sort(merged.devices.begin(), merged.devices.end(),
                   [](const report::DeviceResult& a, const report::DeviceResult& b) {
                     return std::tie(a.device, a.beforeFile, a.afterFile) <
                            std::tie(b.device, b.beforeFile, b.afterFile);
                   });
  return merged;
}

}  // namespace kestrelon::fleet
