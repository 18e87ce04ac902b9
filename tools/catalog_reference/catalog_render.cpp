#include "tools/catalog_reference/catalog_render.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "constructioninfo/build.h"
#include "constructioninfo/document.h"

namespace catalog_reference {

namespace {

using constructioninfo::kProductionBlankMachine;
using machines::Process;

std::string process_word(Process process) {
  return process == Process::Milling ? "milling" : "printing";
}

std::string axis_of(Process process) { return constructioninfo::tooth_axis_text(process); }

std::string cam_name(machines::CamType cam_type) {
  return std::string(machines::cam_type_name(cam_type));
}

// --- Markdown ---------------------------------------------------------------

std::string md_cell(std::string_view text) {
  std::string cell;
  for (const char c : text) {
    if (c == '|' || c == '\\' || c == '*' || c == '_' || c == '<') cell += '\\';
    cell += c;
  }
  return cell;
}

std::string md_texts(const materials::MaterialTexts& texts) {
  if (texts.material.empty() && texts.material_name.empty()) return "(empty)";
  const auto part = [](const std::string& text, bool code) {
    if (text.empty()) return std::string("(empty)");
    return code ? "`" + text + "`" : md_cell(text);
  };
  return part(texts.material, true) + " / " + part(texts.material_name, false);
}

std::string md_machines(const CatalogListing& listing) {
  std::string out =
      "## Machines\n\n"
      "The case's `machine` is compared exactly: letter case, dashes and spaces count.\n"
      "The process sets the axis of every tooth (milling `0 0 1`, printing `0 0 -1`); the\n"
      "CAM family decides the material texts (see [Materials](#materials)). Legacy keys\n"
      "are older names kept for old cases; they resolve like the others.\n\n"
      "| `machine` | name | maker | CAM family | process | axis | legacy |\n"
      "|---|---|---|---|---|---|---|\n";
  for (const MachineRow& row : listing.machines) {
    out += "| `" + row.key + "` | " + md_cell(row.name) + " | " + md_cell(row.maker) + " | " +
           cam_name(row.cam_type) + " | " + process_word(row.process) + " | `" +
           axis_of(row.process) + "` | " + (row.legacy ? "legacy" : "") + " |\n";
  }
  out +=
      "\n### Keys that are not listed\n\n"
      "A key that is not listed above is looked up as a brand key: its text before the\n"
      "first underscore, or the whole key when it has none (`VHF_X9` gives brand `VHF`).\n"
      "A brand found gives its CAM family and process:\n\n"
      "| brand key | maker | CAM family | process | axis |\n"
      "|---|---|---|---|---|\n";
  for (const BrandRow& row : listing.brands) {
    out += "| `" + row.key + "` | " + md_cell(row.name) + " | " + cam_name(row.cam_type) + " | " +
           process_word(row.process) + " | `" + axis_of(row.process) + "` |\n";
  }
  const machines::MachineResolution fallback = machines::resolve_machine("");
  out += "\nAny other key, such as `formlabs_f3b` or `FORMLABS-F3B`, gives CAM family " +
         cam_name(fallback.cam_type) + " and " + process_word(fallback.process) + " (axis `" +
         axis_of(fallback.process) +
         "`), without a message: a printer's teeth then get the milling axis. `" +
         std::string(kProductionBlankMachine) +
         "` is such a key, and the only machine whose documents carry a `ProductionBlank`.\n";
  return out;
}

std::string md_materials(const CatalogListing& listing) {
  std::string out =
      "## Materials\n\n"
      "The case's `material` is a material code, compared in any letter case (`ZR`,\n"
      "`zr`), or its long name, compared exactly (`ZIRCONIUM`, not `zirconium` or\n"
      "`Zirconia`). Each CAM family writes these `Material` / `MaterialName` texts; AG\n"
      "machines take the brand reference's own words instead where it has them (see\n"
      "[Material brand references](#material-brand-references)).\n\n"
      "| code | long name |";
  std::string rule = "|---|---|";
  for (const CamGroup& group : listing.cam_groups) {
    out += " " + group.label + " |";
    rule += "---|";
  }
  out += "\n" + rule + "\n";
  for (const MaterialRow& row : listing.materials) {
    out += "| `" + row.code + "`" + (row.in_catalog ? "" : " (no catalog entry)") + " | " +
           (row.long_name.empty() ? "" : "`" + row.long_name + "`") + " |";
    for (const auto& texts : row.texts) {
      out += ' ';
      out += md_texts(texts);
      out += " |";
    }
    out += "\n";
  }
  out +=
      "\nAny other material gives empty `Material` and `MaterialName` under every family\n"
      "(on AG machines, the brand reference's own words where it has them).\n";
  return out;
}

std::string md_brand_references(const CatalogListing& listing) {
  std::string out =
      "## Material brand references\n\n"
      "The case's `material_brand_reference`, compared in any letter case (`zige`,\n"
      "`ZIGE`). Only AG machines read it; `" +
      std::string(kProductionBlankMachine) +
      "` copies it unchanged into the production\n"
      "blank. The last column is what an AG machine writes when the case names the\n"
      "reference with its material; an unknown reference, or one without words of its\n"
      "own, gives the material's AG texts.\n\n"
      "| `material_brand_reference` | name | material | AG: `Material` / `MaterialName` |\n"
      "|---|---|---|---|\n";
  for (const BrandReferenceRow& row : listing.brand_references) {
    out += "| `" + row.key + "` | " + md_cell(row.name) + " | `" + row.material + "` | " +
           md_texts(row.amann_girrbach) + " |\n";
  }
  return out;
}

// --- roff -------------------------------------------------------------------

std::string roff_text(std::string_view text) {
  std::string out;
  for (const char c : text) {
    if (c == '\\') {
      out += "\\e";
    } else if (c == '-') {
      out += "\\-";
    } else {
      out += c;
    }
  }
  // A line that begins with a dot or an apostrophe would be a request.
  if (!out.empty() && (out[0] == '.' || out[0] == '\'')) out.insert(0, "\\&");
  return out;
}

std::string roff_texts(const materials::MaterialTexts& texts) {
  if (texts.material.empty() && texts.material_name.empty()) return "empty";
  return roff_text(texts.material.empty() ? "(empty)" : texts.material) + ", " +
         roff_text(texts.material_name.empty() ? "(empty)" : texts.material_name);
}

// --- JSON Schema ------------------------------------------------------------

std::string json_string(std::string_view text) {
  std::string out = "\"";
  for (const char c : text) {
    if (c == '"' || c == '\\') out += '\\';
    out += c;
  }
  return out + "\"";
}

// The values, several to a line, their lines indented by `indent` spaces.
std::string json_list(const std::vector<std::string>& values, std::size_t indent = 8) {
  const std::string margin(indent, ' ');
  std::string out = "[\n";
  std::string line = margin;
  for (std::size_t i = 0; i < values.size(); ++i) {
    std::string item = json_string(values[i]) + (i + 1 < values.size() ? "," : "");
    if (line.size() + item.size() + 1 > 96 && line.size() > indent) {
      out += line + "\n";
      line = margin;
    }
    if (line.size() > indent) line += ' ';
    line += item;
  }
  return out + line + "\n" + std::string(indent - 2, ' ') + "]";
}

std::string ascii_case(std::string_view word, bool to_upper) {
  std::string out(word);
  for (char& c : out) {
    if (to_upper && c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (!to_upper && c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

// The words, which the catalog spells all in one case, as a lookup that
// lower-cases first finds them: as spelt, then all in the other case. An
// enumeration rather than a pattern, so that a validator's error for a typo
// names the values.
std::vector<std::string> in_both_cases(const std::vector<std::string>& words) {
  std::vector<std::string> out = words;
  for (const std::string& word : words) {
    std::string other = ascii_case(word, word == ascii_case(word, false));
    if (std::ranges::find(out, other) == out.end()) out.push_back(std::move(other));
  }
  return out;
}

}  // namespace

std::string markdown_reference(const CatalogListing& listing) {
  // Appended part by part: a text literal put in front of a std::string
  // makes GCC 12 at -O2 warn of an overlap that cannot happen (-Wrestrict).
  std::string text =
      "# Catalog reference\n\n"
      "The machines, materials and material brand references that daz-izezovivadezurid\n"
      "knows, as the program resolves them. Generated from the catalogs built into the\n"
      "program (`src/machines/machines.yaml`, `src/materials/materials.yaml`,\n"
      "`src/materials/material_brand_refs.yaml`) by `tools/catalog_reference`: do not\n"
      "edit by hand. `cmake --build build/test --target update-catalog-reference` writes\n"
      "it anew, with the man page's CATALOGS section and the catalog values of\n"
      "`schemas/case-metadata.strict.schema.json`; a test fails while any of them\n"
      "differs from the catalogs.\n\n"
      "No lookup ever fails: a value that is not listed here gives no message and\n"
      "status 0, only the fallbacks told below. Before a run, `daz-izezovivadezurid-check`\n"
      "reports such values, with the listed value that was likely meant, and\n"
      "`schemas/case-metadata.strict.schema.json` rejects them.\n\n";
  text += md_machines(listing);
  text += '\n';
  text += md_materials(listing);
  text += '\n';
  text += md_brand_references(listing);
  return text;
}

// Text lines of at most 80 bytes, as man page checkers ask: a long line is
// broken at a space, which roff fills back into one paragraph; a piece is
// never left beginning with a request character.
std::string wrap_roff_lines(std::string_view text) {
  constexpr std::size_t kMaxLine = 80;
  std::string out;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    while (line.size() > kMaxLine && line.front() != '.') {
      std::size_t cut = line.rfind(' ', kMaxLine);
      while (cut != std::string_view::npos && cut > 0 &&
             (line[cut + 1] == '.' || line[cut + 1] == '\'')) {
        cut = line.rfind(' ', cut - 1);
      }
      if (cut == std::string_view::npos || cut == 0) break;
      out.append(line.substr(0, cut)).push_back('\n');
      line.remove_prefix(cut + 1);
    }
    out.append(line).push_back('\n');
  }
  return out;
}

std::string roff_reference(const CatalogListing& listing) {
  std::string out =
      ".SH CATALOGS\n"
      "The values that the tool knows, as it resolves them.\n"
      "No lookup fails: a value not listed here gives no message and status 0,\n"
      "only the fallback told below.\n"
      "Before a run,\n"
      ".B daz\\-izezovivadezurid\\-check\n"
      "reports such values, with the listed value that was likely meant, and the\n"
      "strict schema\n"
      ".I case-metadata.strict.schema.json\n"
      "rejects them.\n"
      ".SS Machines\n"
      "The machine key is compared exactly (letter case, dashes and spaces count).\n"
      "Each entry gives the machine's name, maker, CAM family and process;\n"
      "the process sets every tooth's axis (milling 0 0 1, printing 0 0 \\-1),\n"
      "the CAM family the material texts.\n"
      "Legacy keys are older names that resolve like the others.\n";
  for (const MachineRow& row : listing.machines) {
    out += ".TP\n.B " + roff_text(row.key) + "\n" + roff_text(row.name) + " (" +
           roff_text(row.maker) + "): " + cam_name(row.cam_type) + ", " +
           process_word(row.process) + (row.legacy ? "; legacy key" : "") + ".\n";
  }
  const machines::MachineResolution fallback = machines::resolve_machine("");
  out +=
      ".PP\n"
      "A key not listed is looked up as a brand key, its text before the first\n"
      "underscore (the whole key when it has none):\n";
  for (const BrandRow& row : listing.brands) {
    out += ".TP\n.B " + roff_text(row.key) + "\n" + roff_text(row.name) + ": " +
           cam_name(row.cam_type) + ", " + process_word(row.process) + ".\n";
  }
  out += ".PP\nAny other key (formlabs_f3b, FORMLABS\\-F3B) gives " + cam_name(fallback.cam_type) +
         " and " + process_word(fallback.process) + ", without a message.\n.B " +
         std::string(kProductionBlankMachine) +
         "\nis such a key, and the only machine whose documents carry a production blank.\n";

  out +=
      ".SS Materials\n"
      "A material code, compared in any letter case, or its long name, compared\n"
      "exactly (ZIRCONIUM, not zirconium).\n"
      "Each entry gives the Material and MaterialName texts per CAM family;\n"
      "AG machines take the brand reference's own words where it has them.\n"
      "Any other material gives empty texts.\n";
  for (const MaterialRow& row : listing.materials) {
    out += ".TP\n";
    out += row.long_name.empty()
               ? ".B " + roff_text(row.code) + "\n"
               : ".BR " + roff_text(row.code) + " \" or \" " + roff_text(row.long_name) + "\n";
    for (std::size_t i = 0; i < listing.cam_groups.size(); ++i) {
      out += listing.cam_groups[i].label + ": " + roff_texts(row.texts[i]) +
             (i + 1 < listing.cam_groups.size() ? ";\n" : ".\n");
    }
  }
  out +=
      ".SS \"Material brand references\"\n"
      "Compared in any letter case; only AG machines read them.\n"
      "Each entry gives the product's name, its material and what an AG machine\n"
      "writes with that material; an unknown reference gives the material's texts.\n";
  for (const BrandReferenceRow& row : listing.brand_references) {
    out += ".TP\n.B " + roff_text(row.key) + "\n" + roff_text(row.name) + "; " +
           roff_text(row.material) + "; AG: " + roff_texts(row.amann_girrbach) + ".\n";
  }
  return wrap_roff_lines(out);
}

std::string schema_catalog_values(const CatalogListing& listing) {
  std::vector<std::string> machine_keys;
  for (const MachineRow& row : listing.machines) machine_keys.push_back(row.key);
  for (const BrandRow& row : listing.brands) machine_keys.push_back(row.key);
  machine_keys.emplace_back(kProductionBlankMachine);
  std::vector<std::string> codes;
  std::vector<std::string> material_values;
  for (const MaterialRow& row : listing.materials) {
    codes.push_back(row.code);
    if (!row.long_name.empty()) material_values.push_back(row.long_name);
  }
  for (std::string& code : in_both_cases(codes)) material_values.push_back(std::move(code));
  std::vector<std::string> keys;
  for (const BrandReferenceRow& row : listing.brand_references) keys.push_back(row.key);
  std::vector<std::string> references = {""};
  for (std::string& key : in_both_cases(keys)) references.push_back(std::move(key));

  return "    \"catalog_machine\": {\n"
         "      \"description\": \"A machine key or brand key of the catalog, or " +
         std::string(kProductionBlankMachine) +
         ", compared exactly. Generated from the catalogs.\",\n"
         "      \"enum\": " +
         json_list(machine_keys) +
         "\n    },\n"
         "    \"catalog_material\": {\n"
         "      \"description\": \"A long name exactly as listed, or a material code in upper "
         "or lower case. The tool also finds a code in any other mix of letter case (Pmma), "
         "which this schema rejects so that its error can list the values. Generated from the "
         "catalogs.\",\n"
         "      \"enum\": " +
         json_list(material_values) +
         "\n    },\n"
         "    \"catalog_material_brand_reference\": {\n"
         "      \"description\": \"A material brand reference of the catalog in lower or upper "
         "case, or the empty text for none. The tool also finds a reference in any other mix of "
         "letter case (Zige), which this schema rejects so that its error can list the values. "
         "That the reference's material is the case's material (on an Amann Girrbach machine "
         "the reference's own texts win over the material's) is checked by "
         "daz-izezovivadezurid-check, rule brand-ref-material. Generated from the catalogs.\",\n"
         "      \"enum\": " +
         json_list(references) + "\n    },\n";
}

}  // namespace catalog_reference
