#include "check/line_text.h"
#include "check/report_format.h"

namespace check {

namespace {

std::string counted(std::size_t count, std::string_view word) {
  return std::to_string(count) + " " + std::string(word) + (count == 1 ? "" : "s");
}

}  // namespace

RunSummary summarise(std::size_t cases, const Findings& findings) {
  const report::SeverityCounts counts = report::count_severities(findings, &Finding::severity);
  return {cases, counts.errors, counts.warnings, 0};
}

std::string text_report(const Findings& findings, const RunSummary& summary) {
  std::string out;
  for (const Finding& finding : findings) {
    out += escape_for_line(finding.path) + ":" + std::to_string(finding.line) + ":" +
           std::to_string(finding.column) + ": " + std::string(severity_name(finding.severity())) +
           ": " + escape_for_line(finding.message) + " [" + std::string(rule_id(finding.rule)) +
           "]\n";
  }
  out += counted(summary.cases_checked, "case") + " checked: " + counted(summary.errors, "error") +
         ", " + counted(summary.warnings, "warning") + "\n";
  return out;
}

std::string report(Format format, const Findings& findings, const RunSummary& summary) {
  switch (format) {
    case Format::Text:
      return text_report(findings, summary);
    case Format::Json:
      return json_report(findings, summary);
  }
  return text_report(findings, summary);
}

}  // namespace check
