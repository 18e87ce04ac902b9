// The material catalog and the material brand reference table, carried in
// the program as materials.yaml and material_brand_refs.yaml, each read
// once on first use, and the material resolution that uses them.
#pragma once

#include <expected>
#include <string>
#include <string_view>
#include <unordered_map>

#include "machines/machine_catalog.h"

namespace materials {

struct Material {
  std::string acronym;  // the entry's key once read
  std::string generic_material;
  std::string generic_material_name;
  std::string amann_girrbach_material;
  std::string amann_girrbach_material_name;
  std::string millbox_material_code;
  bool operator==(const Material&) const = default;
};

struct MaterialBrandRef {
  std::string name;
  std::string material;
  std::string code;  // the entry's key once read
  std::string amann_girrbach_material_name;
  std::string amann_girrbach_material;
  std::string millbox_material_code;
  std::string millbox_material_name;
  bool operator==(const MaterialBrandRef&) const = default;
};

using MaterialTable = std::unordered_map<std::string, Material>;
using MaterialBrandRefTable = std::unordered_map<std::string, MaterialBrandRef>;

// Read a catalog text; fail with "Failed to parse materials.yaml: " (or
// "material_brand_refs.yaml") and the description of the fault.
std::expected<MaterialTable, std::string> read_materials_yaml(std::string_view text);
std::expected<MaterialBrandRefTable, std::string> read_material_brand_refs_yaml(
    std::string_view text);

// The tables of the carried texts, read on the first call; a carried text
// that does not read ends the process as an internal failure.
const MaterialTable& material_catalog();
const MaterialBrandRefTable& material_brand_ref_table();

// The two texts a ConstructionFile names its material by.
struct MaterialTexts {
  std::string material;       // identifier
  std::string material_name;  // name
  bool operator==(const MaterialTexts&) const = default;
};

// Generic words for VHF and Custom machines, Amann Girrbach words (the
// brand reference's own where it has them) for AG, none for the other
// families. Unknown materials and references fall back, never fail.
MaterialTexts resolve_material(std::string_view material, std::string_view material_brand_reference,
                               machines::CamType cam_type);

}  // namespace materials
