#include "tools/catalog_reference/catalog_listing.h"

#include <algorithm>
#include <cstdlib>
#include <iostream>

#include "qfm/material_code.h"
#include "yaml/yaml_tree.h"

extern const std::string_view machines_yaml_text;
extern const std::string_view materials_yaml_text;
extern const std::string_view material_brand_refs_yaml_text;

namespace catalog_reference {

namespace {

using machines::CamType;

// The generator stops at once on a text it cannot lay out: the program
// itself would fail on it as an internal failure.
[[noreturn]] void fail(const std::string& message) {
  std::cerr << "catalog_reference: " << message << '\n';
  std::exit(1);
}

yaml::Document load(std::string_view text, std::string_view name) {
  auto document = yaml::Document::load(text);
  if (!document) fail(std::string(name) + ": " + document.error());
  return std::move(*document);
}

// The keys of a mapping, in the order of the text.
std::vector<std::string> keys_of(yaml::Node mapping) {
  std::vector<std::string> keys;
  (void)mapping.for_each_entry([&](std::string_view key, yaml::Node) {
    keys.emplace_back(key);
    return std::expected<void, std::string>{};
  });
  return keys;
}

std::string upper(std::string text) {
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return text;
}

std::vector<BrandRow> list_brands(yaml::Node brands) {
  std::vector<BrandRow> rows;
  for (const std::string& key : keys_of(brands)) {
    const machines::BrandInfo& brand = machines::machine_catalog().brands.at(key);
    rows.push_back({key, brand.name, brand.cam_type, brand.default_process});
  }
  return rows;
}

std::string maker_of(CamType cam_type, const std::vector<BrandRow>& brands) {
  const auto brand = std::ranges::find(brands, cam_type, &BrandRow::cam_type);
  return brand != brands.end() ? brand->name : std::string(machines::cam_type_name(cam_type));
}

std::vector<MachineRow> list_machines(yaml::Node machines_node,
                                      const std::vector<BrandRow>& brands) {
  std::vector<MachineRow> rows;
  for (const std::string& key : keys_of(machines_node)) {
    const machines::MachineInfo& machine = machines::machine_catalog().machines.at(key);
    // What the program answers for the key, rather than the entry's fields.
    const machines::MachineResolution resolved = machines::resolve_machine(key);
    const auto legacy = machines_node.find(key)->find("legacy");
    rows.push_back({key, machine.name, maker_of(resolved.cam_type, brands), resolved.cam_type,
                    resolved.process, legacy && legacy->is_scalar() && legacy->scalar() == "true"});
  }
  return rows;
}

// Every code a case may name: the catalog's, those the brand references
// name, those the long names stand for; each once, in that order.
std::vector<MaterialRow> material_codes(yaml::Node catalog, yaml::Node references) {
  std::vector<MaterialRow> rows;
  const auto add = [&](const std::string& code, bool in_catalog) {
    if (std::ranges::find(rows, code, &MaterialRow::code) == rows.end())
      rows.push_back({code, "", in_catalog, {}});
  };
  for (const std::string& key : keys_of(catalog)) add(upper(key), true);
  for (const std::string& key : keys_of(references)) {
    add(upper(materials::material_brand_ref_table().at(key).material), false);
  }
  for (const auto& [long_name, code] : qfm::material_long_names()) add(std::string(code), false);
  for (MaterialRow& row : rows) {
    for (const auto& [long_name, code] : qfm::material_long_names()) {
      if (code == row.code) row.long_name = long_name;
    }
  }
  return rows;
}

std::vector<materials::MaterialTexts> texts_under(CamType cam_type,
                                                  const std::vector<MaterialRow>& rows) {
  std::vector<materials::MaterialTexts> texts;
  for (const MaterialRow& row : rows)
    texts.push_back(materials::resolve_material(row.code, "", cam_type));
  return texts;
}

std::vector<CamGroup> group_cam_types(const std::vector<MaterialRow>& rows) {
  std::vector<CamGroup> groups;
  std::vector<std::vector<materials::MaterialTexts>> group_texts;
  for (const CamType cam_type : all_cam_types()) {
    auto texts = texts_under(cam_type, rows);
    const auto same = std::ranges::find(group_texts, texts);
    const std::string name(machines::cam_type_name(cam_type));
    if (same == group_texts.end()) {
      groups.push_back({{cam_type}, name});
      group_texts.push_back(std::move(texts));
    } else {
      CamGroup& group = groups[static_cast<std::size_t>(same - group_texts.begin())];
      group.cam_types.push_back(cam_type);
      group.label += ", " + name;
    }
  }
  return groups;
}

std::vector<BrandReferenceRow> list_brand_references(yaml::Node references) {
  std::vector<BrandReferenceRow> rows;
  for (const std::string& key : keys_of(references)) {
    const materials::MaterialBrandRef& reference = materials::material_brand_ref_table().at(key);
    rows.push_back({key, reference.name, reference.material,
                    materials::resolve_material(upper(reference.material), key, CamType::AG)});
  }
  return rows;
}

}  // namespace

std::vector<CamType> all_cam_types() {
  std::vector<CamType> cam_types;
  for (int value = 0; !machines::cam_type_name(static_cast<CamType>(value)).empty(); ++value) {
    cam_types.push_back(static_cast<CamType>(value));
  }
  return cam_types;
}

CatalogListing list_catalogs() {
  const yaml::Document machines_text = load(machines_yaml_text, "machines.yaml");
  const yaml::Document materials_text = load(materials_yaml_text, "materials.yaml");
  const yaml::Document references_text =
      load(material_brand_refs_yaml_text, "material_brand_refs.yaml");
  const auto brands_node = machines_text.root().find("brands");
  const auto machines_node = machines_text.root().find("machines");
  if (!brands_node || !machines_node) fail("machines.yaml: no brands or no machines");

  CatalogListing listing;
  listing.brands = list_brands(*brands_node);
  listing.machines = list_machines(*machines_node, listing.brands);
  listing.materials = material_codes(materials_text.root(), references_text.root());
  listing.cam_groups = group_cam_types(listing.materials);
  for (MaterialRow& row : listing.materials) {
    for (const CamGroup& group : listing.cam_groups) {
      row.texts.push_back(materials::resolve_material(row.code, "", group.cam_types.front()));
    }
  }
  listing.brand_references = list_brand_references(references_text.root());
  return listing;
}

}  // namespace catalog_reference
