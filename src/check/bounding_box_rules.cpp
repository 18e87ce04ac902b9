#include "check/product_rules.h"
#include "constructioninfo/build.h"
#include "text/shortest_decimal.h"

namespace check {

namespace {

// Six values: the minimum x, y, z, then the maximum x, y, z.
constexpr std::size_t kBoxValues = 6;
constexpr std::string_view kAxes[] = {"x", "y", "z"};

std::size_t value_offset(const ProductPlaces& places, std::size_t entry) {
  if (entry < places.bounding_box.size()) return places.bounding_box[entry];
  return places.record.value_offset("bounding_box");
}

std::string number_text(double value) { return text::format_shortest(value); }

}  // namespace

void check_bounding_boxes(const CaseContext& context, Findings& findings) {
  const auto& products = context.loaded.products;
  std::size_t file_index = 0;  // the product's ConstructionFile
  for (std::size_t p = 0; p < products.size() && p < context.places.products.size(); ++p) {
    const qfm::Product& product = products[p];
    // A model needs no box: the document does not use it.
    if (!constructioninfo::gets_construction_file(product)) continue;
    const ProductPlaces& places = context.places.products[p];
    const std::size_t this_file = file_index++;
    const auto& box = product.bounding_box;
    // Fewer values are the tool's own error.
    if (box.size() > kBoxValues) {
      warn_at(findings, context, places.record.value_offset("bounding_box"), Rule::BoundingBoxSize,
              "bounding_box of " + product_name(p) + " has " + std::to_string(box.size()) +
                  " values, not six (a decimal comma splits a number in two): the height is "
                  "taken from values 3 and 6",
              p);
    }
    if (box.size() < kBoxValues) continue;
    bool z_reversed = false;
    for (std::size_t axis = 0; axis < 3; ++axis) {
      if (!(box[axis] > box[axis + 3])) continue;
      z_reversed = z_reversed || axis == 2;
      warn_at(findings, context, value_offset(places, axis), Rule::BoundingBoxOrder,
              "bounding_box of " + product_name(p) + ": the minimum " + std::string(kAxes[axis]) +
                  " " + number_text(box[axis]) + " is above the maximum " +
                  number_text(box[axis + 3]) + " (the order is min x, y, z, then max x, y, z)",
              p);
    }
    if (z_reversed || !context.document || this_file >= context.document->construction_files.size())
      continue;
    const double height = context.document->construction_files[this_file].height;
    if (!(height > 0)) {
      warn_at(findings, context, value_offset(places, 5), Rule::BoundingBoxHeight,
              "bounding_box of " + product_name(p) + " gives the height " + number_text(height) +
                  ": a part needs a height above zero",
              p);
    }
  }
}

}  // namespace check
