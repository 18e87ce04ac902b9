// One thing the checker found in a case: where, what, and the rule that
// found it (which says how grave it is).
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "check/rules.h"

namespace check {

struct Finding {
  std::string path;  // the file it is in, for display (raw bytes; reports escape them)
  std::size_t line = 1;
  std::size_t column = 1;
  Rule rule = Rule::ToolError;
  std::string message;
  std::optional<std::size_t> product;  // the product it concerns, from 0
  // The margin point it concerns: an index of that product's margin line
  // as loaded, from 0; for a line of numbers dropped from a .pts file, where
  // its point would have stood (the loaded point of that index follows it).
  std::optional<std::size_t> point;

  Severity severity() const { return rule_info(rule).severity; }
};

using Findings = std::vector<Finding>;

// The findings of one case: those in its case file first, then those of
// each other file in the order first named, each file's by position.
void order_findings(Findings& findings, std::string_view case_path);

}  // namespace check
