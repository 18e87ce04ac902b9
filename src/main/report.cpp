#include "main/report.h"

#include <cstdio>

namespace app {

void report_error(const common::RunError& error) {
  const std::string report = common::render_report(error);
  // One write under the stream's lock keeps the report in one piece.
  std::fwrite(report.data(), 1, report.size(), stderr);
  std::fflush(stderr);
}

}  // namespace app
