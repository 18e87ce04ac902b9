#include "main/report.h"

#include "common/console.h"

namespace app {

void report_error(const common::RunError& error) {
  const std::string report = common::render_report(error);
  // One write keeps the report in one piece.
  common::write_to_stderr(report);
}

}  // namespace app
