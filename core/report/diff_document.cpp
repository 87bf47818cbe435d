#include "report/diff_document.h"

#include <rapidjson/document.h>
#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include <optional>
#include <vector>

#include "files/file_error.h"
#include "files/mapped_file.h"

namespace kestrelon::report {
namespace {

using Value = rapidjson::Value;

std::string CompactJson(const Value& value) {
  rapidjson::StringBuffer buffer;
  rapidjson::Writer<rapidjson::StringBuffer> writer(buffer);
  value.Accept(writer);
  return std::string(buffer.GetString(), buffer.GetSize());
}

}  // namespace

class DiffDocument::Impl {
 public:
  Impl(std::string text, const std::string& name) : text_(std::move(text)), name_(name) {
    document_.Parse(text_.data(), text_.size());
    if (document_.HasParseError() || !document_.IsObject()) {
      Fail("not JSON");
    }
    Member(document_, "summary");
    if (!Member(document_, "changes").IsArray()) {
      Fail("no list of changes");
    }
  }

  [[noreturn]] void Fail(const std::string& what) const {
    throw FileError("read", name_, 0, "not a route diff report of kestrelon-cli: " + what);
  }

  const Value& Member(const Value& object, std::string_view key) const {
    if (object.IsObject()) {
      const auto it = object.FindMember(Value(rapidjson::StringRef(key.data(), key.size())));
      if (it != object.MemberEnd()) {
        return it->value;
      }
    }
    Fail("no \"" + std::string(key) + "\"");
  }

  std::string_view Text(const Value& object, std::string_view key) const {
    const Value& value = Member(object, key);
    if (!value.IsString()) {
      Fail("\"" + std::string(key) + "\" is not a text");
    }
    return {value.GetString(), value.GetStringLength()};
  }

  tables::OptionalText OptionalText(const Value& object, std::string_view key) const {
    const Value& value = Member(object, key);
    return value.IsNull() ? tables::OptionalText() : Text(object, key);
  }

  std::uint64_t Number(const Value& object, std::string_view key) const {
    const Value& value = Member(object, key);
    if (!value.IsUint64()) {
      Fail("\"" + std::string(key) + "\" is not a number");
    }
    return value.GetUint64();
  }

  const Value::ConstArray List(const Value& object, std::string_view key) const {
    const Value& value = Member(object, key);
    if (!value.IsArray()) {
      Fail("\"" + std::string(key) + "\" is not a list");
    }
    return value.GetArray();
  }

  tables::Platform PlatformOf(const Value& object, std::string_view key) const {
    const std::optional<tables::Platform> platform = tables::PlatformFromName(Text(object, key));
    if (!platform) {
      Fail("unknown platform");
    }
    return *platform;
  }

  tables::RouteFields Fields(const Value& list) const {
    if (!list.IsArray()) {
      Fail("a list of fields is not a list");
    }
    tables::RouteFields fields;
    for (const Value& name : list.GetArray()) {
      const auto field =
          name.IsString() ? tables::RouteFieldFromName(name.GetString()) : std::nullopt;
      if (!field) {
        Fail("unknown field");
      }
      fields.Add(*field);
    }
    return fields;
  }

  tables::DiffCounts Counts(const Value& object) const {
    tables::DiffCounts counts;
    counts.before = Number(object, "routes_before");
    counts.after = Number(object, "routes_after");
    counts.removed = Number(object, "removed");
    counts.added = Number(object, "added");
    counts.changed = Number(object, "changed");
    return counts;
  }

  tables::ReadingReport Reading(const Value& object) const {
    tables::ReadingReport report;
    report.platform = PlatformOf(object, "platform");
    report.decidedBy = Text(object, "decided_by");
    const std::size_t lines = Number(object, "lines");
    std::size_t notUnderstood = Number(object, "not_understood");
    tables::LineAccount& account = report.lines;
    for (const Value& example : List(object, "examples")) {
      const std::size_t line = Number(example, "line");
      while (account.lines() + 1 < line) {
        account.Count(tables::LineKind::kRoute, {});
      }
      account.Count(tables::LineKind::kNotUnderstood, Text(example, "text"));
    }
    while (account.notUnderstood() < notUnderstood) {
      account.Count(tables::LineKind::kNotUnderstood, {});
    }
    while (account.lines() < lines) {
      account.Count(tables::LineKind::kRoute, {});
    }
    return report;
  }

  std::vector<std::pair<std::string, tables::DiffCounts>> Parts(const Value& summary,
                                                                std::string_view key,
                                                                std::string_view name) const {
    std::vector<std::pair<std::string, tables::DiffCounts>> parts;
    for (const Value& part : List(summary, key)) {
      parts.emplace_back(Text(part, name), Counts(part));
    }
    return parts;
  }

  tables::RouteView Route(const Value& record, std::vector<tables::NextHopView>& hops) const {
    tables::RouteView route;
    route.vrf = Text(record, "vrf");
    route.afi = Text(record, "afi") == "ipv6" ? tables::Afi::kIpv6 : tables::Afi::kIpv4;
    route.protocol = Text(record, "protocol");
    const std::string_view source = Text(record, "source");
    route.source = tables::SourceFromName(source).value_or(tables::RouteSource::kOther);
    route.flags = Text(record, "flags");
    if (const Value& selected = Member(record, "selected"); selected.IsBool()) {
      route.selected = selected.GetBool();
    }
    route.prefix = Text(record, "prefix");
    if (!Member(record, "distance").IsNull()) {
      route.distance = static_cast<std::uint32_t>(Number(record, "distance"));
    }
    if (!Member(record, "metric").IsNull()) {
      route.metric = Number(record, "metric");
    }
    hops.clear();
    for (const Value& hop : List(record, "next_hops")) {
      hops.push_back(
          {OptionalText(hop, "address"), OptionalText(hop, "interface"), OptionalText(hop, "vrf")});
    }
    route.nextHops = hops;
    route.uptime = OptionalText(record, "uptime");
    return route;
  }

  void Replay(tables::RouteDiffSink& sink) const {
    const Value& summary = Member(document_, "summary");
    tables::DiffSummary diff;
    diff.beforeSource = Text(document_, "before");
    diff.afterSource = Text(document_, "after");
    diff.beforePlatform = PlatformOf(summary, "platform_before");
    diff.afterPlatform = PlatformOf(summary, "platform_after");
    diff.beforeReading = Reading(Member(summary, "reading_before"));
    diff.afterReading = Reading(Member(summary, "reading_after"));
    diff.ignored = Fields(Member(summary, "ignored"));
    diff.acrossPlatforms = Member(summary, "across_platforms").IsTrue();
    diff.leftOutBefore = Number(summary, "left_out_before");
    diff.leftOutAfter = Number(summary, "left_out_after");
    diff.total = Counts(summary);
    diff.vrfs = Parts(summary, "vrfs", "vrf");
    diff.protocols = Parts(summary, "protocols", "protocol");
    sink.Begin(diff);
    std::vector<tables::NextHopView> hopsBefore;
    std::vector<tables::NextHopView> hopsAfter;
    for (const Value& change : List(document_, "changes")) {
      tables::RouteChangeEvent event;
      const std::string_view kind = Text(change, "change");
      event.change = kind == "removed" ? tables::RouteChange::kRemoved
                     : kind == "added" ? tables::RouteChange::kAdded
                                       : tables::RouteChange::kChanged;
      event.fields = Fields(Member(change, "fields"));
      tables::RouteView before;
      tables::RouteView after;
      if (!Member(change, "before").IsNull()) {
        before = Route(Member(change, "before"), hopsBefore);
        event.before = &before;
      }
      if (!Member(change, "after").IsNull()) {
        after = Route(Member(change, "after"), hopsAfter);
        event.after = &after;
      }
      if (event.before == nullptr && event.after == nullptr) {
        Fail("a change without a route");
      }
      sink.Change(event);
    }
    sink.End();
  }

  const rapidjson::Document& document() const { return document_; }

 private:
  std::string text_;
  std::string name_;
  rapidjson::Document document_;
};

DiffDocument::DiffDocument(std::string text, const std::string& name)
    : impl_(std::make_unique<Impl>(std::move(text), name)) {}

DiffDocument::~DiffDocument() = default;

std::unique_ptr<DiffDocument> DiffDocument::Load(const std::string& path) {
  const files::MappedFile file(path);
  return std::make_unique<DiffDocument>(std::string(file.bytes()), path);
}

std::string DiffDocument::Compact(std::string_view key) const {
  return CompactJson(impl_->Member(impl_->document(), key));
}

std::size_t DiffDocument::changes() const {
  return impl_->document()["changes"].Size();
}

std::string DiffDocument::CompactChange(std::size_t i) const {
  return CompactJson(impl_->document()["changes"][static_cast<rapidjson::SizeType>(i)]);
}

void DiffDocument::Replay(tables::RouteDiffSink& sink) const {
  impl_->Replay(sink);
}

}  // namespace kestrelon::report
