// The catalogs that the program carries, laid out for people: every entry
// in the order of its text, with what the program makes of it. Values come
// from the catalog code itself (resolve_machine, resolve_material), the
// order and the legacy markers from the carried texts, so a reference made
// from this listing cannot disagree with the program.
#pragma once

#include <string>
#include <vector>

#include "machines/machine_catalog.h"
#include "materials/material_catalog.h"

namespace catalog_reference {

struct MachineRow {
  std::string key;
  std::string name;
  std::string maker;  // the brand of its CAM family, else the family's name
  machines::CamType cam_type;
  machines::Process process;
  bool legacy = false;
};

struct BrandRow {
  std::string key;
  std::string name;
  machines::CamType cam_type;
  machines::Process process;
};

// CAM families whose material texts agree for every material.
struct CamGroup {
  std::vector<machines::CamType> cam_types;
  std::string label;  // "VHF, Custom"
};

struct MaterialRow {
  std::string code;       // as the case reader stores it: "ZR"
  std::string long_name;  // "ZIRCONIUM", or empty
  bool in_catalog = false;
  std::vector<materials::MaterialTexts> texts;  // one per CamGroup
};

struct BrandReferenceRow {
  std::string key;
  std::string name;
  std::string material;
  materials::MaterialTexts amann_girrbach;  // what an AG machine gets with its material
};

struct CatalogListing {
  std::vector<MachineRow> machines;
  std::vector<BrandRow> brands;
  std::vector<CamGroup> cam_groups;
  std::vector<MaterialRow> materials;
  std::vector<BrandReferenceRow> brand_references;
};

// Every CamType, in declared order.
std::vector<machines::CamType> all_cam_types();

// The listing of the carried catalogs.
CatalogListing list_catalogs();

}  // namespace catalog_reference
