// The product type names that a case file may give, each with its type:
// the one table that the case reader and the checker both read.
#pragma once

#include <optional>
#include <span>
#include <string_view>

#include "qfm/case_metadata.h"

namespace qfm {

struct ProductTypeName {
  std::string_view name;  // exactly as the case file writes it
  ProductType type;
};

// Every name the reader knows, in ProductType's order.
std::span<const ProductTypeName> product_type_names();

// The type named `name` exactly; none for any other text.
std::optional<ProductType> known_product_type(std::string_view name);

// What reading takes `name` for: its type, or a crown for a name it does
// not know.
ProductType product_type_named(std::string_view name);

}  // namespace qfm
