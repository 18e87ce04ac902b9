#include "check/case_context.h"

namespace check {

void warn_at(Findings& findings, const CaseContext& context, std::size_t offset, Rule rule,
             std::string message, std::optional<std::size_t> product) {
  context.unplaced.emplace_back(findings.size(), offset);
  findings.push_back({context.display_path, 1, 1, rule, std::move(message), product, std::nullopt});
}

void place_findings(const CaseContext& context, Findings& findings) {
  std::vector<std::size_t> offsets;
  for (const auto& [index, offset] : context.unplaced) offsets.push_back(offset);
  const std::vector<TextPosition> positions = positions_in(context.text, offsets);
  for (std::size_t i = 0; i < positions.size(); ++i) {
    Finding& finding = findings[context.unplaced[i].first];
    finding.line = positions[i].line;
    finding.column = positions[i].column;
  }
  context.unplaced.clear();
}

std::string product_name(std::size_t index) { return "product " + std::to_string(index + 1); }

}  // namespace check
