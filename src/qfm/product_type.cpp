#include "qfm/product_type.h"

#include <array>

namespace qfm {

namespace {

constexpr std::array kNames{
    ProductTypeName{"Inlay", ProductType::Inlay},
    ProductTypeName{"Onlay", ProductType::Onlay},
    ProductTypeName{"Overlay", ProductType::Overlay},
    ProductTypeName{"Veneer", ProductType::Veneer},
    ProductTypeName{"Model", ProductType::Model},
    ProductTypeName{"Crown", ProductType::Crown},
};

}  // namespace

std::span<const ProductTypeName> product_type_names() { return kNames; }

std::optional<ProductType> known_product_type(std::string_view name) {
  for (const ProductTypeName& entry : kNames) {
    if (entry.name == name) return entry.type;
  }
  return std::nullopt;
}

ProductType product_type_named(std::string_view name) {
  return known_product_type(name).value_or(ProductType::Crown);
}

}  // namespace qfm
