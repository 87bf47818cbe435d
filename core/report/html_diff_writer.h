// The route diff as HTML: the captures and how they were read, the counts per VRF and per
// protocol, then every change with its records before and after, the fields that changed
// highlighted. A whole page for the two-file diff, or one device's part of the fleet's page.
#pragma once

#include <string>

#include "report/html_page.h"
#include "tables/byte_sink.h"
#include "tables/route_diff_sink.h"

namespace kestrelon::report {

// What the page's header says beyond the captures: when it was made and the options.
struct HtmlHeader {
  std::string made;
  std::string options;
};

class HtmlDiffWriter : public tables::RouteDiffSink {
 public:
  // A page of its own with header; else the part of a page after a device's heading.
  HtmlDiffWriter(tables::ByteSink& out, Language language, const HtmlHeader* header)
      : out_(out), labels_(LabelsFor(language)), header_(header) {}

  void Begin(const tables::DiffSummary& summary) override;
  void Change(const tables::RouteChangeEvent& change) override;
  void End() override;

 private:
  void Flush();

  tables::ByteSink& out_;
  const HtmlLabels& labels_;
  const HtmlHeader* header_;
  std::string html_;
  std::size_t changes_ = 0;
};

}  // namespace kestrelon::report
