#include "check/rules.h"

#include <array>

namespace check {

namespace {

constexpr std::array kRules{
    RuleInfo{Rule::ToolError, "tool-error", Severity::Error,
             "the tool refuses the case: its own message"},
    RuleInfo{Rule::FileUnreadable, "file-unreadable", Severity::Error,
             "a case file met in a folder that could not be read (gone, a pipe, a device)"},
    RuleInfo{Rule::CaseFileBom, "case-file-bom", Severity::Warning,
             "a byte-order mark before the case file's text, which JSON does not take"},
    RuleInfo{Rule::MachineUnknown, "machine-unknown", Severity::Warning,
             "the machine is no catalog key: what it falls back to, the key likely meant"},
    RuleInfo{Rule::MaterialUnknown, "material-unknown", Severity::Warning,
             "the material is not in the material catalog"},
    RuleInfo{Rule::BrandRefUnknown, "brand-ref-unknown", Severity::Warning,
             "the material brand reference is not in the catalog"},
    RuleInfo{Rule::BrandRefMaterial, "brand-ref-material", Severity::Warning,
             "the brand reference belongs to another material"},
    RuleInfo{Rule::MemberIgnored, "member-ignored", Severity::Warning,
             "a member of the case, a product or a point that the tool does not read"},
    RuleInfo{Rule::ProductsEmpty, "products-empty", Severity::Warning,
             "a case without products: a document without teeth"},
    RuleInfo{Rule::ProductTypeUnknown, "product-type-unknown", Severity::Warning,
             "a product type the tool does not know, taken for a crown"},
    RuleInfo{Rule::ToothNumber, "tooth-number", Severity::Warning,
             "a tooth number that is not an ISO 3950 tooth number"},
    RuleInfo{Rule::ToothRepeated, "tooth-repeated", Severity::Warning,
             "the same tooth twice in a product, or in two products"},
    RuleInfo{Rule::BoundingBoxSize, "bounding-box-size", Severity::Warning,
             "a bounding box of more than six values"},
    RuleInfo{Rule::BoundingBoxOrder, "bounding-box-order", Severity::Warning,
             "a minimum of the bounding box above its maximum"},
    RuleInfo{Rule::BoundingBoxHeight, "bounding-box-height", Severity::Warning,
             "a bounding box of no height"},
    RuleInfo{Rule::StlMissing, "stl-missing", Severity::Warning,
             "no file of the product's stl name beside the case file"},
    RuleInfo{Rule::StlLetterCase, "stl-letter-case", Severity::Warning,
             "the stl file is there in other letter case only"},
    RuleInfo{Rule::StlUnreadable, "stl-unreadable", Severity::Error,
             "an stl file that is no STL: what is wrong (cut short, zero facets, not an STL)"},
    RuleInfo{Rule::StlOpen, "stl-open", Severity::Warning,
             "an stl mesh with open edges (holes), with their count"},
    RuleInfo{Rule::StlInsideOut, "stl-inside-out", Severity::Warning,
             "an stl mesh of negative volume: its faces point inward"},
    RuleInfo{Rule::BoundingBoxStl, "bounding-box-stl", Severity::Warning,
             "a bounding box that differs from the stl mesh's extents on an axis"},
    RuleInfo{Rule::MarginLineDropped, "margin-line-dropped", Severity::Warning,
             "a line of a .pts file that the tool drops or misreads"},
    RuleInfo{Rule::MarginLineShort, "margin-line-short", Severity::Warning,
             "a margin of fewer than three points"},
    RuleInfo{Rule::MarginLineReplacesInline, "margin-line-replaces-inline", Severity::Warning,
             "a .pts file whose points replace the case's margin_line_coordinates"},
    RuleInfo{Rule::PtsShared, "pts-shared", Severity::Warning,
             "one .pts file named by two products"},
    RuleInfo{Rule::MarginLineOffMesh, "margin-line-off-mesh", Severity::Warning,
             "margin points off the product's mesh; the product whose mesh they fit"},
    RuleInfo{Rule::MarginLineSpike, "margin-line-spike", Severity::Warning,
             "a margin point far from both neighbours: one mistyped coordinate"},
    RuleInfo{Rule::MarginLineUnits, "margin-line-units", Severity::Warning,
             "a margin line no tooth has the size of: the unit it is likely in"},
    RuleInfo{Rule::CoordinateNotFinite, "coordinate-not-finite", Severity::Error,
             "NaN or an infinity in a margin point or a bounding box"},
};

}  // namespace

std::string_view severity_name(Severity severity) {
  switch (severity) {
    case Severity::Error:
      return "error";
    case Severity::Warning:
      return "warning";
  }
  return "warning";
}

std::span<const RuleInfo> rules() { return kRules; }

const RuleInfo& rule_info(Rule rule) { return kRules[static_cast<std::size_t>(rule)]; }

std::optional<Rule> rule_named(std::string_view id) {
  for (const RuleInfo& info : kRules) {
    if (info.id == id) return info.rule;
  }
  return std::nullopt;
}

std::vector<Rule> rules_named(const std::vector<std::string>& ids) {
  std::vector<Rule> named;
  for (const std::string& id : ids) {
    if (const auto rule = rule_named(id)) named.push_back(*rule);
  }
  return named;
}

}  // namespace check
