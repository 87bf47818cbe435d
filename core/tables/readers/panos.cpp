#include "tables/readers/panos.h"

#include "tables/capture_lines.h"
#include "tables/line_accounting.h"

namespace kestrelon::tables {

// Not read yet: every line is counted as not understood, and no capture is placed here.
void PanosReader::Read(std::string_view capture, RouteSink& /*sink*/, LineAccount& account) const {
  ForEachCaptureLine(capture,
                     [&](std::string_view line) { account.Count(LineKind::kNotUnderstood, line); });
}

}  // namespace kestrelon::tables
