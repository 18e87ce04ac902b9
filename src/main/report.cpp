#include "main/report.h"

#include "platform/console.h"

namespace app {

void report_error(const common::RunError& error) {
  const std::string report = common::render_report(error);
  // One write keeps the report in one piece.
  platform::write_to_stderr(report);
}

}  // namespace app
