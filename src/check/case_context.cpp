#include "check/case_context.h"

namespace check {

void warn_at(Findings& findings, const CaseContext& context, std::size_t offset, Rule rule,
             std::string message, std::optional<std::size_t> product) {
  const TextPosition position = position_in(context.text, offset);
  findings.push_back({context.display_path, position.line, position.column, rule,
                      std::move(message), product, std::nullopt});
}

std::string product_name(std::size_t index) { return "product " + std::to_string(index + 1); }

}  // namespace check
