#include <string>
#include <vector>

#include "check/near_key.h"
#include "check/product_rules.h"
#include "constructioninfo/build.h"
#include "constructioninfo/xml_form.h"
#include "qfm/product_type.h"
#include "text/quoted_text.h"

namespace check {

namespace {

std::vector<std::string> type_names() {
  std::vector<std::string> names;
  for (const qfm::ProductTypeName& entry : qfm::product_type_names())
    names.emplace_back(entry.name);
  return names;
}

void check_product_type(const CaseContext& context, std::size_t p, Findings& findings) {
  const auto& written = context.places.products[p].type_name;
  if (!written || qfm::known_product_type(*written)) return;
  const qfm::ProductType taken = context.loaded.products[p].product_type;
  const std::string_view carried =
      constructioninfo::reconstruction_type_name(constructioninfo::reconstruction_type_of(taken));
  warn_at(findings, context, context.places.products[p].record.value_offset("product_type"),
          Rule::ProductTypeUnknown,
          "product_type " + text::quote_for_message(*written) + " of " + product_name(p) +
              " is no type the tool knows: it is taken for a crown, and the document carries " +
              std::string(carried) + did_you_mean(*written, type_names()),
          p);
}

}  // namespace

void check_products(const CaseContext& context, Findings& findings) {
  const auto& products = context.loaded.products;
  if (products.empty()) {
    warn_at(findings, context, context.places.record.value_offset("products"), Rule::ProductsEmpty,
            "the case has no products: the document gets no teeth and no construction files");
  }
  for (std::size_t p = 0; p < products.size() && p < context.places.products.size(); ++p)
    check_product_type(context, p, findings);
}

}  // namespace check
