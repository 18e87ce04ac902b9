#include <cstdio>

#include "check/report_format.h"
#include "text/utf8.h"

namespace check {

namespace {

// A byte of what is not UTF-8, kept as the lone surrogate U+DC80..U+DCFF
// that stands for it (as Python's "surrogateescape" and WTF-8 readers
// take it back): the JSON stays valid, and the name's bytes are all there.
void append_byte_escape(std::string& out, unsigned char byte) {
  char escape[8];
  std::snprintf(escape, sizeof escape, "\\u%04x", 0xDC00u + byte);
  out += escape;
}

void append_character(std::string& out, std::string_view character) {
  const char c = character.front();
  const auto byte = static_cast<unsigned char>(c);
  if (character.size() > 1) {
    out += character;
    return;
  }
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

// `text` as a JSON string.
std::string json_string(std::string_view text) {
  std::string out = "\"";
  while (!text.empty()) {
    const text::Utf8Character character = text::decode_utf8_character(text);
    if (character.well_formed) {
      append_character(out, text.substr(0, character.length));
    } else {
      for (std::size_t i = 0; i < character.length; ++i)
        append_byte_escape(out, static_cast<unsigned char>(text[i]));
    }
    text.remove_prefix(character.length);
  }
  return out + "\"";
}

}  // namespace

std::string json_report(const Findings& findings, const RunSummary& summary) {
  std::string out = "{\n  \"cases\": " + std::to_string(summary.cases_checked) +
                    ",\n  \"errors\": " + std::to_string(summary.errors) +
                    ",\n  \"warnings\": " + std::to_string(summary.warnings) +
                    ",\n  \"findings\": [";
  for (std::size_t i = 0; i < findings.size(); ++i) {
    const Finding& finding = findings[i];
    out += i == 0 ? "\n" : ",\n";
    out += "    {\"path\": " + json_string(finding.path) +
           ", \"line\": " + std::to_string(finding.line) +
           ", \"column\": " + std::to_string(finding.column) +
           ", \"severity\": " + json_string(severity_name(finding.severity())) +
           ", \"rule\": " + json_string(rule_id(finding.rule)) +
           ", \"message\": " + json_string(finding.message);
    if (finding.product) out += ", \"product\": " + std::to_string(*finding.product);
    if (finding.point) out += ", \"point\": " + std::to_string(*finding.point);
    out += "}";
  }
  out += findings.empty() ? "]\n}\n" : "\n  ]\n}\n";
  return out;
}

}  // namespace check
