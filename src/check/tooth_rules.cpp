#include <map>
#include <utility>

#include "check/product_rules.h"
#include "constructioninfo/build.h"

namespace check {

namespace {

// ISO 3950: quadrants 1 to 4 of the permanent teeth (8 each), 5 to 8 of
// the primary teeth (5 each).
bool is_iso_tooth(std::uint32_t number) {
  const std::uint32_t quadrant = number / 10;
  const std::uint32_t tooth = number % 10;
  if (quadrant >= 1 && quadrant <= 4) return tooth >= 1 && tooth <= 8;
  if (quadrant >= 5 && quadrant <= 8) return tooth >= 1 && tooth <= 5;
  return false;
}

std::size_t tooth_offset(const CaseContext& context, std::size_t product, std::size_t entry) {
  const ProductPlaces& places = context.places.products[product];
  if (entry < places.teeth.size()) return places.teeth[entry];
  return places.record.value_offset("tooth_iso_number");
}

}  // namespace

void check_teeth(const CaseContext& context, Findings& findings) {
  const auto& products = context.loaded.products;
  // Where each tooth was first given: its product.
  std::map<std::uint32_t, std::size_t> first_product;
  for (std::size_t p = 0; p < products.size() && p < context.places.products.size(); ++p) {
    // A model stands for a whole jaw: its teeth are no restorations.
    if (!constructioninfo::gets_construction_file(products[p])) continue;
    const auto& teeth = products[p].tooth_iso_number;
    for (std::size_t e = 0; e < teeth.size(); ++e) {
      const std::uint32_t tooth = teeth[e];
      const std::size_t offset = tooth_offset(context, p, e);
      if (!is_iso_tooth(tooth)) {
        warn_at(findings, context, offset, Rule::ToothNumber,
                "tooth " + std::to_string(tooth) +
                    " is not an ISO 3950 tooth number (11-18, 21-28, 31-38, 41-48, 51-55, "
                    "61-65, 71-75, 81-85)",
                p);
      }
      const auto [first, inserted] = first_product.emplace(tooth, p);
      if (inserted) continue;
      warn_at(findings, context, offset, Rule::ToothRepeated,
              "tooth " + std::to_string(tooth) +
                  (first->second == p ? " is given twice in " + product_name(p)
                                      : " is given in " + product_name(first->second) + " too"),
              p);
    }
  }
}

}  // namespace check
