// The case as read from its metadata file: plain records that the loader
// fills and the document builder reads.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "qfm/point_list.h"

namespace qfm {

enum class ProductType { Inlay, Onlay, Overlay, Veneer, Model, Crown };

struct Product {
  ProductType product_type = ProductType::Crown;
  std::vector<std::uint32_t> tooth_iso_number;
  std::vector<double> bounding_box;
  std::string color;
  std::string stl;
  std::string pts;
  std::optional<PointList> margin_line_coordinates;
};

struct CaseMetadata {
  std::string case_name;
  std::string machine;
  std::string material;  // a material code once read
  std::string material_brand_reference;
  std::vector<Product> products;
};

}  // namespace qfm
