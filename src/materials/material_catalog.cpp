#include "materials/material_catalog.h"

#include "platform/internal_failure.h"
#include "text/unicode_lower.h"
#include "yaml/yaml_tree.h"

extern const std::string_view materials_yaml_text;
extern const std::string_view material_brand_refs_yaml_text;

namespace materials {

namespace {

using Fault = std::unexpected<std::string>;

// One text field of an entry: where it goes and whether it must be there.
template <typename Record>
struct TextField {
  std::string_view key;
  std::string Record::*member;
  bool required;
};

constexpr TextField<Material> kMaterialFields[] = {
    {"acronym", &Material::acronym, false},
    {"generic_material", &Material::generic_material, true},
    {"generic_material_name", &Material::generic_material_name, true},
    {"amann_girrbach_material", &Material::amann_girrbach_material, true},
    {"amann_girrbach_material_name", &Material::amann_girrbach_material_name, true},
    {"millbox_material_code", &Material::millbox_material_code, true},
};

constexpr TextField<MaterialBrandRef> kBrandRefFields[] = {
    {"name", &MaterialBrandRef::name, true},
    {"material", &MaterialBrandRef::material, true},
    {"code", &MaterialBrandRef::code, false},
    {"amann_girrbach_material_name", &MaterialBrandRef::amann_girrbach_material_name, false},
    {"amann_girrbach_material", &MaterialBrandRef::amann_girrbach_material, false},
    {"millbox_material_code", &MaterialBrandRef::millbox_material_code, false},
    {"millbox_material_name", &MaterialBrandRef::millbox_material_name, false},
};

// A table text: a mapping from entry key to an entry of text fields. The
// entry's key is copied into `key_member` after reading.
template <typename Record, std::size_t N>
std::expected<std::unordered_map<std::string, Record>, std::string> read_table(
    std::string_view text, const TextField<Record> (&fields)[N], std::string Record::*key_member) {
  const auto document = yaml::Document::load(text);
  if (!document) return Fault(document.error());
  const yaml::Node root = document->root();
  if (!root.is_mapping()) return Fault("expected a mapping" + root.position());
  std::unordered_map<std::string, Record> table;
  auto read = root.for_each_entry(
      [&](std::string_view key, yaml::Node entry) -> std::expected<void, std::string> {
        const std::string where(key);
        if (!entry.is_mapping()) return Fault(where + ": expected a mapping" + entry.position());
        Record record;
        for (const auto& field : fields) {
          auto value = field.required ? yaml::required_text(entry, field.key, where)
                                      : yaml::optional_text(entry, field.key, where);
          if (!value) return Fault(value.error());
          record.*field.member = std::move(*value);
        }
        record.*key_member = where;
        table.insert_or_assign(where, std::move(record));
        return {};
      });
  if (!read) return Fault(read.error());
  return table;
}

}  // namespace

std::expected<MaterialTable, std::string> read_materials_yaml(std::string_view text) {
  auto table = read_table(text, kMaterialFields, &Material::acronym);
  if (!table) return Fault("Failed to parse materials.yaml: " + table.error());
  return table;
}

std::expected<MaterialBrandRefTable, std::string> read_material_brand_refs_yaml(
    std::string_view text) {
  auto table = read_table(text, kBrandRefFields, &MaterialBrandRef::code);
  if (!table) return Fault("Failed to parse material_brand_refs.yaml: " + table.error());
  return table;
}

const MaterialTable& material_catalog() {
  // Function-local statics are built once, even with concurrent first callers.
  static const MaterialTable table =
      platform::value_or_internal_failure(read_materials_yaml(materials_yaml_text));
  return table;
}

const MaterialBrandRefTable& material_brand_ref_table() {
  static const MaterialBrandRefTable table = platform::value_or_internal_failure(
      read_material_brand_refs_yaml(material_brand_refs_yaml_text));
  return table;
}

MaterialTexts resolve_material(std::string_view material, std::string_view material_brand_reference,
                               machines::CamType cam_type) {
  const MaterialTable& catalog = material_catalog();
  static const Material kNoMaterial;
  const auto found = catalog.find(text::to_lower_unicode(material));
  const Material& entry = found == catalog.end() ? kNoMaterial : found->second;

  using machines::CamType;
  switch (cam_type) {
    case CamType::VHF:
    case CamType::Custom:
      return {entry.generic_material, entry.generic_material_name};
    case CamType::AG: {
      const MaterialBrandRefTable& references = material_brand_ref_table();
      const auto reference = references.find(text::to_lower_unicode(material_brand_reference));
      const MaterialBrandRef* ref = reference == references.end() ? nullptr : &reference->second;
      // Each text falls back to the material on its own.
      return {ref && !ref->amann_girrbach_material.empty() ? ref->amann_girrbach_material
                                                           : entry.amann_girrbach_material,
              ref && !ref->amann_girrbach_material_name.empty()
                  ? ref->amann_girrbach_material_name
                  : entry.amann_girrbach_material_name};
    }
    case CamType::Asiga:
    case CamType::Z3D:
    case CamType::Rayware:
    case CamType::Roland:
    case CamType::Formlabs:
    case CamType::RapidShape:
    case CamType::Shining:
      return {};
  }
  return {};
}

}  // namespace materials
