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
                  Findings& findings) {
  const std::vector<std::string> names(fields.begin(), fields.end());
  for (const MemberPlace& member : record.members) {
    if (!member.named) continue;
    if (std::find(fields.begin(), fields.end(), member.name) != fields.end()) continue;
    warn_at(findings, context, member.name_offset, "member-ignored",
            "member " + text::quote_for_message(member.name) + " of " + std::string(what) +
                " is not read: the tool ignores it" + did_you_mean(member.name, names));
  }
}

}  // namespace

void check_members(const CaseContext& context, Findings& findings) {
  check_record(context, context.places.record, qfm::case_field_names(), "the case", findings);
  for (std::size_t i = 0; i < context.places.products.size(); ++i) {
    const ProductPlaces& product = context.places.products[i];
    check_record(context, product.record, qfm::product_field_names(), product_name(i), findings);
    for (const RecordPlaces& point : product.points) {
      check_record(context, point, qfm::point_field_names(), "a point of " + product_name(i),
                   findings);
    }
  }
}

}  // namespace check
