#include "check/report_case.h"

#include <optional>
#include <span>
#include <utility>
#include <vector>

#include "check/catalog_rules.h"
#include "constructioninfo/build.h"
#include "constructioninfo/xml_form.h"
#include "materials/material_catalog.h"
#include "report/page.h"
#include "text/quoted_text.h"

namespace check {

namespace {

std::vector<report::Finding> report_findings(const Findings& findings) {
  std::vector<report::Finding> shown;
  shown.reserve(findings.size());
  for (const Finding& finding : findings) {
    shown.push_back({finding.path, finding.line, finding.column, finding.severity(),
                     finding.message, std::string(rule_id(finding.rule)), finding.product,
                     finding.point});
  }
  return shown;
}

// What the tool takes a machine without an entry of its own for; none for
// a machine of the catalog, or the one the document builder knows itself.
std::optional<std::string> machine_fallback(const CaseContext& context) {
  const machines::MachineLookup& lookup = context.machine;
  if (context.loaded.machine == constructioninfo::kProductionBlankMachine) return std::nullopt;
  const std::string what = "family " +
                           std::string(machines::cam_type_name(lookup.resolution.cam_type)) + ", " +
                           std::string(process_word(lookup.resolution.process));
  switch (lookup.match) {
    case machines::MachineMatch::Machine:
      return std::nullopt;
    case machines::MachineMatch::Brand:
      return "the brand " + text::quote_for_message(lookup.brand_key) + " (" + what + ")";
    case machines::MachineMatch::None:
      return "a generic machine (" + what + ")";
  }
  return std::nullopt;
}

// The case's material as written, and the two texts the document names it
// by (none for the machine families that take none).
std::vector<report::NamedText> material_texts(const CaseContext& context) {
  const qfm::CaseMetadata& loaded = context.loaded;
  std::vector<report::NamedText> texts{{"Material code", loaded.material}};
  if (!loaded.material_brand_reference.empty()) {
    texts.push_back({"Material brand reference", loaded.material_brand_reference});
  }
  const materials::MaterialTexts resolved = materials::resolve_material(
      loaded.material, loaded.material_brand_reference, context.machine.resolution.cam_type);
  if (resolved.material.empty() && resolved.material_name.empty()) {
    texts.push_back({"Document's material", "none, for this machine's family"});
    return texts;
  }
  texts.push_back({"Document's material", resolved.material});
  texts.push_back({"Document's material name", resolved.material_name});
  return texts;
}

// Product `index`'s entry among the document's construction files, which
// skip the models.
const constructioninfo::ConstructionFile* construction_file_of(const CaseContext& context,
                                                               std::size_t index) {
  if (!context.document) return nullptr;
  std::size_t file = 0;
  for (std::size_t p = 0; p < index; ++p) {
    if (constructioninfo::gets_construction_file(context.loaded.products[p])) ++file;
  }
  const auto& files = context.document->construction_files;
  return file < files.size() ? &files[file] : nullptr;
}

void add_mesh(report::Product& shown, const CaseContext& context, std::size_t index) {
  if (context.loaded.products[index].stl.empty()) {
    shown.mesh_missing = "no STL file is named";
  } else if (index >= context.meshes.size()) {
    shown.mesh_missing = "the STL file was not read, as the case did not load";
  } else if (const auto& mesh = context.meshes[index]; mesh) {
    shown.mesh = std::span<const report::Triangle>(mesh->triangles);
    shown.mesh_closed_outward = mesh->open_edges == 0 && mesh->volume > 0;
  } else {
    shown.mesh_missing = "the STL file cannot be read: " + mesh.error().message;
  }
}

void add_margin(report::Product& shown, const CaseContext& context, std::size_t index) {
  const qfm::Product& product = context.loaded.products[index];
  if (product.margin_line_coordinates && !product.margin_line_coordinates->empty()) {
    shown.margin = std::span<const qfm::Vec3>(*product.margin_line_coordinates);
    return;
  }
  if (product.pts.empty()) {
    shown.margin_missing = "no margin line file is named, and the case file gives no points";
    return;
  }
  if (index < context.margin_file_of.size()) {
    const MarginFile& file = context.margin_files[context.margin_file_of[index]];
    if (!file.text) {
      shown.margin_missing = "the margin line file cannot be opened: " + file.text.error().message;
      return;
    }
    if (!file.bytes) {
      shown.margin_missing = "the margin line file could not be read to its end";
      return;
    }
    shown.margin_missing = "the margin line file holds no points";
    return;
  }
  shown.margin_missing = "the case did not load as far as its margin lines";
}

report::Product report_product(const CaseContext& context, std::size_t index) {
  const qfm::Product& product = context.loaded.products[index];
  report::Product shown;
  for (const std::uint32_t tooth : product.tooth_iso_number) {
    shown.teeth.push_back(static_cast<int>(tooth));
  }
  shown.reconstruction = constructioninfo::gets_construction_file(product)
                             ? std::string(constructioninfo::reconstruction_type_name(
                                   constructioninfo::reconstruction_type_of(product.product_type)))
                             : "none: a model gets no tooth in the document";
  shown.colour = product.color;
  if (const auto* file = construction_file_of(context, index)) {
    shown.height = file->height;
    if (file->production_blank) shown.blank_height = file->production_blank->blank_height;
  }
  shown.stl_name = product.stl;
  shown.pts_name = product.pts;
  add_mesh(shown, context, index);
  add_margin(shown, context, index);
  shown.tooth_axis = constructioninfo::tooth_axis(context.machine.resolution.process);
  return shown;
}

}  // namespace

std::string case_report_section(const CaseContext& context, const Findings& findings,
                                std::size_t position) {
  report::CaseReport shown;
  shown.path = context.display_path;
  shown.machine = context.loaded.machine;
  // The machine is looked up, and the meshes read, once the case loads with
  // its margin lines; before, there is no machine to fall back from.
  if (context.document || !context.meshes.empty()) {
    shown.fallback = machine_fallback(context);
    shown.materials = material_texts(context);
  }
  shown.findings = report_findings(findings);
  for (std::size_t p = 0; p < context.loaded.products.size(); ++p) {
    shown.products.push_back(report_product(context, p));
  }
  return report::case_section(shown, position);
}

std::string unloaded_case_section(const std::string& path, const Findings& findings,
                                  const std::string& trouble, std::size_t position) {
  report::CaseReport shown;
  shown.path = path;
  shown.findings = report_findings(findings);
  shown.unreadable = trouble;
  return report::case_section(shown, position);
}

}  // namespace check
