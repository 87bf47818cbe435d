#include "tables/csv_writer.h"

#include <csv.h>

#include <charconv>

namespace kestrelon::tables {
namespace {

constexpr std::string_view kColumns[] = {"source",
                                         "platform",
                                         "vrf",
                                         "afi",
                                         "protocol",
                                         "flags",
                                         "prefix",
                                         "distance",
                                         "metric",
                                         "next_hop_address",
                                         "next_hop_interface",
                                         "next_hop_vrf",
                                         "uptime"};

constexpr std::size_t kFlushAt = 1 << 16;

}  // namespace

CsvRouteWriter::CsvRouteWriter(ByteSink& out) : out_(out) {
  for (const std::string_view column : kColumns) {
    Field(column);
  }
  EndRow();
}

void CsvRouteWriter::BeginCapture(std::string_view source, Platform platform) {
  source_.assign(source);
  platform_ = platform;
}

void CsvRouteWriter::Field(std::string_view text) {
  if (!first_) {
    row_.push_back(',');
  }
  first_ = false;
  // libcsv quotes the field and doubles its quotes: at most twice the size and two quotes.
  const std::size_t at = row_.size();
  row_.resize(at + 2 * text.size() + 2);
  // An empty view may have no data at all; libcsv writes nothing for a null source.
  const char* source = text.data() != nullptr ? text.data() : "";
  const std::size_t written = csv_write(row_.data() + at, row_.size() - at, source, text.size());
  row_.resize(at + written);
}

void CsvRouteWriter::Field(const OptionalText& text) {
  if (text) {
    Field(*text);
  } else {
    if (!first_) {
      row_.push_back(',');
    }
    first_ = false;
  }
}

void CsvRouteWriter::Number(std::uint64_t value) {
  if (!first_) {
    row_.push_back(',');
  }
  first_ = false;
  char digits[24];
  const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
  row_.append(digits, end);
}

void CsvRouteWriter::EndRow() {
  row_.append("\r\n");
  first_ = true;
  buffer_.append(row_);
  row_.clear();
  if (buffer_.size() >= kFlushAt) {
    out_.Write(buffer_);
    buffer_.clear();
  }
}

void CsvRouteWriter::Put(const RouteView& route) {
  const NextHopView none;
  const std::size_t rows = route.nextHops.empty() ? 1 : route.nextHops.size();
  for (std::size_t i = 0; i < rows; ++i) {
    const NextHopView& hop = route.nextHops.empty() ? none : route.nextHops[i];
    Field(std::string_view(source_));
    Field(PlatformName(platform_));
    Field(route.vrf);
    Field(AfiName(route.afi));
    Field(route.protocol);
    Field(route.flags);
    Field(route.prefix);
    if (route.distance) {
      Number(*route.distance);
    } else {
      Field(OptionalText());
    }
    if (route.metric) {
      Number(*route.metric);
    } else {
      Field(OptionalText());
    }
    Field(hop.address);
    Field(hop.interface);
    Field(hop.vrf);
    Field(route.uptime);
    EndRow();
  }
}

void CsvRouteWriter::Finish() {
  out_.Write(buffer_);
  buffer_.clear();
}

}  // namespace kestrelon::tables
