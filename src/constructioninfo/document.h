// The ConstructionInfo document as records: what the CAM software learns
// about each restoration. Margins refer to the case's point lists rather
// than copying them, so the case must outlive the document.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "qfm/case_metadata.h"

namespace constructioninfo {

enum class ReconstructionType { AnatomicCrown, AnatomicInlay, OverlayCrown, Veneer };

struct Tooth {
  std::uint32_t number = 0;
  ReconstructionType reconstruction_type = ReconstructionType::AnatomicCrown;
  std::span<const qfm::Vec3> margin;
  qfm::Vec3 axis;
};

// The one machine whose document carries a production blank.
inline constexpr std::string_view kProductionBlankMachine = "WNC";

// Only for the machine kProductionBlankMachine.
struct ProductionBlank {
  std::string material_descriptor;
  std::string material_color;
  double blank_height = 0;
  std::string material_type;
  std::string slot_id;
  std::string machine_descriptor_long;
  std::string machine_name_interop;
  std::string machine_name_generic;
  std::string machine_name_translated;
  std::string holder_name;
};

struct ConstructionFile {
  std::string filename;
  std::string material;
  std::string material_name;
  std::vector<std::uint32_t> tooth_numbers;
  std::string material_color;
  double height = 0;
  std::optional<ProductionBlank> production_blank;
};

// The root; the name is spelled as the CAM software expects it.
struct ConstuctionInfo {
  std::vector<Tooth> teeth;
  std::vector<ConstructionFile> construction_files;
  std::string project_name;
};

}  // namespace constructioninfo
