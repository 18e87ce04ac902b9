#include "report/report_records.h"

namespace report {

CaseSummary summarise(const CaseReport& case_report) {
  const SeverityCounts counts = count_severities(case_report.findings, &Finding::severity);
  return {case_report.path, counts.errors, counts.warnings, !case_report.unreadable.empty()};
}

}  // namespace report
