// The checker's rules, each named once: its id as reports show it, how
// grave it is and what it finds. A finding refers to its rule by `Rule`;
// reports, the README's table and the man page take the ids from here.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "report/severity_counts.h"

namespace check {

// An error is what the tool itself refuses (it writes no document), or a
// file the checker could not read; a warning is what the tool accepts but
// almost surely turns into a wrong document. The report's own, so that
// findings pass to the page as they are.
using Severity = report::Severity;

std::string_view severity_name(Severity severity);

// In the order of kRules.
enum class Rule {
  ToolError,
  FileUnreadable,
  CaseFileBom,
  MachineUnknown,
  MaterialUnknown,
  BrandRefUnknown,
  BrandRefMaterial,
  MemberIgnored,
  ProductsEmpty,
  ProductTypeUnknown,
  ToothNumber,
  ToothRepeated,
  BoundingBoxSize,
  BoundingBoxOrder,
  BoundingBoxHeight,
  StlMissing,
  StlLetterCase,
  StlUnreadable,
  StlOpen,
  StlInsideOut,
  BoundingBoxStl,
  MarginLineDropped,
  MarginLineShort,
  MarginLineReplacesInline,
  PtsShared,
  MarginLineOffMesh,
  MarginLineSpike,
  MarginLineUnits,
  CoordinateNotFinite,
};

struct RuleInfo {
  Rule rule;
  std::string_view id;  // "bounding-box-order"
  Severity severity;
  std::string_view summary;  // one line, for --help-like listings and tests
};

// Every rule, once, in the order of the enumeration (a test holds them so).
std::span<const RuleInfo> rules();

const RuleInfo& rule_info(Rule rule);
inline std::string_view rule_id(Rule rule) { return rule_info(rule).id; }

// The rule of id `id` ("stl-open"), as --ignore names it; none for a name
// that is no rule's.
std::optional<Rule> rule_named(std::string_view id);

// The rules of `ids`, those that name one (the command line refuses any
// other before a case is read).
std::vector<Rule> rules_named(const std::vector<std::string>& ids);

}  // namespace check
