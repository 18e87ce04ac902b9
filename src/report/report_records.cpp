#include "report/report_records.h"

namespace report {

CaseSummary summarise(const CaseReport& case_report) {
  CaseSummary summary{case_report.path, 0, 0};
  for (const Finding& finding : case_report.findings) {
    switch (finding.severity) {
      case Severity::Error:
        ++summary.errors;
        break;
      case Severity::Warning:
        ++summary.warnings;
        break;
    }
  }
  return summary;
}

}  // namespace report
