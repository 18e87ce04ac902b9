#include <algorithm>
#include <span>
#include <vector>

#include "check/near_key.h"
#include "check/product_rules.h"
#include "qfm/case_metadata_parser.h"
#include "qfm/point_reader.h"
#include "text/quoted_text.h"

namespace check {

namespace {

void check_record(const CaseContext& context, const RecordPlaces& record,
                  std::span<const std::string_view> fields, std::string_view what,
                  Findings& findings, std::optional<std::size_t> product = std::nullopt,
                  std::optional<std::size_t> point = std::nullopt) {
  const std::vector<std::string> names(fields.begin(), fields.end());
  for (const MemberPlace& member : record.members) {
    if (!member.named) continue;
    if (std::find(fields.begin(), fields.end(), member.name) != fields.end()) continue;
    warn_at(findings, context, member.name_offset, Rule::MemberIgnored,
            "member " + text::quote_for_message(member.name) + " of " + std::string(what) +
                " is not read: the tool ignores it" + did_you_mean(member.name, names),
            product);
    // A point's place in the margin as loaded, unless a .pts replaced it.
    if (point && !context.replaced_inline[*product]) findings.back().point = point;
  }
}

}  // namespace

void check_members(const CaseContext& context, Findings& findings) {
  check_record(context, context.places.record, qfm::case_field_names(), "the case", findings);
  for (std::size_t i = 0; i < context.places.products.size(); ++i) {
    const ProductPlaces& product = context.places.products[i];
    check_record(context, product.record, qfm::product_field_names(), product_name(i), findings, i);
    for (const OddPointPlaces& point : product.odd_points) {
      check_record(context, point.record, qfm::point_field_names(),
                   "point " + std::to_string(point.index + 1) + " of " + product_name(i), findings,
                   i, point.index);
    }
  }
}

}  // namespace check
