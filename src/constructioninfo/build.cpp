#include "constructioninfo/build.h"

#include <cmath>

#include "materials/material_catalog.h"
#include "text/shortest_decimal.h"

namespace constructioninfo {

namespace {

using common::Result;

std::string describe_product(std::size_t index, const qfm::Product& product) {
  return "Product " + std::to_string(index + 1) + " (stl \"" + product.stl + "\")";
}

// What the document needs of a product beyond what reading the case checks.
Result<void> check_product(std::size_t index, const qfm::Product& product) {
  if (!product.margin_line_coordinates) {
    return std::unexpected(common::plain_error("Cannot read margin line coordinates"));
  }
  if (product.tooth_iso_number.empty()) {
    return std::unexpected(
        common::plain_error(describe_product(index, product) + " has no tooth number"));
  }
  if (product.bounding_box.size() < 6) {
    return std::unexpected(common::plain_error(describe_product(index, product) + " has " +
                                               std::to_string(product.bounding_box.size()) +
                                               " bounding box values; 6 are needed"));
  }
  return {};
}

ProductionBlank production_blank_for(const qfm::CaseMetadata& case_metadata,
                                     const qfm::Product& product, double height) {
  const std::string& machine = case_metadata.machine;
  return ProductionBlank{case_metadata.material_brand_reference,
                         product.color,
                         std::ceil(height),
                         case_metadata.material,
                         " ",
                         machine,
                         machine,
                         machine,
                         machine,
                         machine};
}

}  // namespace

ReconstructionType reconstruction_type_of(qfm::ProductType type) {
  switch (type) {
    case qfm::ProductType::Inlay:
    case qfm::ProductType::Onlay:
      return ReconstructionType::AnatomicInlay;
    case qfm::ProductType::Overlay:
      return ReconstructionType::OverlayCrown;
    case qfm::ProductType::Veneer:
      return ReconstructionType::Veneer;
    case qfm::ProductType::Model:
    case qfm::ProductType::Crown:
      return ReconstructionType::AnatomicCrown;
  }
  return ReconstructionType::AnatomicCrown;
}

bool gets_construction_file(const qfm::Product& product) {
  return product.product_type != qfm::ProductType::Model;
}

qfm::Vec3 tooth_axis(machines::Process process) {
  switch (process) {
    case machines::Process::Milling:
      return {0, 0, 1};
    case machines::Process::Printing:
      return {0, 0, -1};
  }
  return {0, 0, 1};
}

std::string tooth_axis_text(machines::Process process) {
  const qfm::Vec3 axis = tooth_axis(process);
  return text::format_shortest(axis.x) + " " + text::format_shortest(axis.y) + " " +
         text::format_shortest(axis.z);
}

Result<ConstuctionInfo> build_construction_info(const qfm::CaseMetadata& case_metadata,
                                                machines::CamType cam_type,
                                                machines::Process process) {
  ConstuctionInfo document;
  document.project_name = case_metadata.case_name;
  const qfm::Vec3 axis = tooth_axis(process);
  const bool has_production_blank = case_metadata.machine == kProductionBlankMachine;

  for (std::size_t i = 0; i < case_metadata.products.size(); ++i) {
    const qfm::Product& product = case_metadata.products[i];
    if (!gets_construction_file(product)) continue;
    if (auto checked = check_product(i, product); !checked) return std::unexpected(checked.error());

    document.teeth.push_back(Tooth{product.tooth_iso_number.front(),
                                   reconstruction_type_of(product.product_type),
                                   *product.margin_line_coordinates, axis});

    const double height = product.bounding_box[5] - product.bounding_box[2];
    materials::MaterialTexts texts = materials::resolve_material(
        case_metadata.material, case_metadata.material_brand_reference, cam_type);
    ConstructionFile file{product.stl,
                          std::move(texts.material),
                          std::move(texts.material_name),
                          product.tooth_iso_number,
                          product.color,
                          height,
                          std::nullopt};
    if (has_production_blank)
      file.production_blank = production_blank_for(case_metadata, product, height);
    document.construction_files.push_back(std::move(file));
  }
  return document;
}

}  // namespace constructioninfo
