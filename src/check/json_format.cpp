#include <cstdio>

#include "check/report_format.h"

namespace check {

namespace {

// `text` (UTF-8) as a JSON string.
std::string json_string(std::string_view text) {
  std::string out = "\"";
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (byte < 0x20) {
          char escape[8];
          std::snprintf(escape, sizeof escape, "\\u%04x", byte);
          out += escape;
        } else {
          out += c;
        }
    }
  }
  return out + "\"";
}

}  // namespace

std::string json_report(const Findings& findings, const RunSummary& summary) {
  std::string out = "{\n  \"cases\": " + std::to_string(summary.cases) +
                    ",\n  \"errors\": " + std::to_string(summary.errors) +
                    ",\n  \"warnings\": " + std::to_string(summary.warnings) +
                    ",\n  \"findings\": [";
  for (std::size_t i = 0; i < findings.size(); ++i) {
    const Finding& finding = findings[i];
    out += i == 0 ? "\n" : ",\n";
    out += "    {\"path\": " + json_string(finding.path) +
           ", \"line\": " + std::to_string(finding.line) +
           ", \"column\": " + std::to_string(finding.column) +
           ", \"severity\": " + json_string(severity_name(finding.severity)) +
           ", \"rule\": " + json_string(finding.rule) +
           ", \"message\": " + json_string(finding.message) + "}";
  }
  out += findings.empty() ? "]\n}\n" : "\n  ]\n}\n";
  return out;
}

}  // namespace check
