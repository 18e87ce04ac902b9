#include "check/catalog_rules.h"

#include <algorithm>
#include <vector>

#include "check/near_key.h"
#include "constructioninfo/build.h"
#include "constructioninfo/document.h"
#include "materials/material_catalog.h"
#include "qfm/material_code.h"
#include "text/quoted_text.h"
#include "text/unicode_lower.h"

namespace check {

namespace {

template <typename Map>
std::vector<std::string> keys_of(const Map& map) {
  std::vector<std::string> keys;
  for (const auto& [key, value] : map) keys.push_back(key);
  return keys;
}

std::string upper_ascii(std::string text) {
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return text;
}

// What a machine that has no entry of its own is taken for.
std::string fallback_of(const machines::MachineLookup& lookup) {
  const machines::MachineResolution& resolution = lookup.resolution;
  const std::string what = "family " + std::string(machines::cam_type_name(resolution.cam_type)) +
                           ", " + std::string(process_word(resolution.process)) + ", tooth axis " +
                           constructioninfo::tooth_axis_text(resolution.process);
  switch (lookup.match) {
    case machines::MachineMatch::Brand:
      return "it falls back to the brand " + text::quote_for_message(lookup.brand_key) + " (" +
             what + ")";
    case machines::MachineMatch::None:
    case machines::MachineMatch::Machine:
      return "it falls back to a generic machine (" + what + ")";
  }
  return "";
}

// The keys a machine may be meant as: the catalog's, and the one machine
// text that the document builder knows by itself.
std::vector<std::string> machine_spellings() {
  std::vector<std::string> keys = keys_of(machines::machine_catalog().machines);
  keys.emplace_back(constructioninfo::kProductionBlankMachine);
  return keys;
}

void check_machine(const CaseContext& context, Findings& findings) {
  const std::string& machine = context.loaded.machine;
  if (context.machine.match == machines::MachineMatch::Machine) return;
  if (machine == constructioninfo::kProductionBlankMachine) return;
  const auto spellings = machine_spellings();
  std::string message = "machine " + text::quote_for_message(machine) +
                        " is not in the catalog: " + fallback_of(context.machine) +
                        did_you_mean(machine, spellings);
  if (near_key(machine, spellings) == constructioninfo::kProductionBlankMachine) {
    message += " The document gets no production blank, which only the machine " +
               text::quote_for_message(constructioninfo::kProductionBlankMachine) + " has.";
  }
  warn_at(findings, context, context.places.record.value_offset("machine"), Rule::MachineUnknown,
          std::move(message));
}

// The material codes that a case may name: the catalog's, and those of
// the brand references (printing resins are "3dp", which has no entry).
bool is_known_material(const std::string& lower_material) {
  if (materials::material_catalog().contains(lower_material)) return true;
  const auto& brands = materials::material_brand_ref_table();
  return std::any_of(brands.begin(), brands.end(),
                     [&](const auto& entry) { return entry.second.material == lower_material; });
}

std::vector<std::string> material_spellings() {
  std::vector<std::string> spellings;
  for (const qfm::MaterialLongName& name : qfm::material_long_names()) {
    spellings.emplace_back(name.long_name);
  }
  for (const auto& [key, material] : materials::material_catalog()) {
    spellings.push_back(upper_ascii(key));
  }
  return spellings;
}

void check_material(const CaseContext& context, Findings& findings) {
  const std::string& material = context.loaded.material;
  if (is_known_material(text::to_lower_unicode(material))) return;
  warn_at(findings, context, context.places.record.value_offset("material"), Rule::MaterialUnknown,
          "material " + text::quote_for_message(material) +
              " is not in the catalog: the document gets no material texts from it" +
              did_you_mean(material, material_spellings()));
}

void check_brand_reference(const CaseContext& context, Findings& findings) {
  const std::string& brand = context.loaded.material_brand_reference;
  const std::size_t offset = context.places.record.value_offset("material_brand_reference");
  const auto& table = materials::material_brand_ref_table();
  const auto entry = table.find(text::to_lower_unicode(brand));
  if (entry == table.end()) {
    warn_at(findings, context, offset, Rule::BrandRefUnknown,
            "material brand reference " + text::quote_for_message(brand) +
                " is not in the catalog" + did_you_mean(brand, keys_of(table)));
    return;
  }
  const std::string material = text::to_lower_unicode(context.loaded.material);
  if (entry->second.material == material || !is_known_material(material)) return;
  std::string message = "material brand reference " + text::quote_for_message(brand) + " (" +
                        text::quote_for_message(entry->second.name) + ") is of material " +
                        text::quote_for_message(upper_ascii(entry->second.material)) + ", not of " +
                        text::quote_for_message(context.loaded.material);
  if (context.machine.resolution.cam_type == machines::CamType::AG && context.document &&
      !context.document->construction_files.empty()) {
    message += ": on this Amann Girrbach machine the document names the material " +
               text::quote_for_message(context.document->construction_files.front().material_name);
  }
  warn_at(findings, context, offset, Rule::BrandRefMaterial, std::move(message));
}

}  // namespace

std::string_view process_word(machines::Process process) {
  switch (process) {
    case machines::Process::Milling:
      return "milling";
    case machines::Process::Printing:
      return "printing";
  }
  return "milling";
}

void check_catalog_names(const CaseContext& context, Findings& findings) {
  check_machine(context, findings);
  check_material(context, findings);
  check_brand_reference(context, findings);
}

}  // namespace check
