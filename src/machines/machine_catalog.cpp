#include "machines/machine_catalog.h"

#include <array>
#include <optional>

#include "platform/internal_failure.h"
#include "yaml/yaml_tree.h"

extern const std::string_view machines_yaml_text;

namespace machines {

namespace {

using Fault = std::unexpected<std::string>;

constexpr std::array<std::pair<std::string_view, CamType>, kCamTypeCount> kCamTypes = {{
    {"VHF", CamType::VHF},
    {"AG", CamType::AG},
    {"Asiga", CamType::Asiga},
    {"Z3D", CamType::Z3D},
    {"Rayware", CamType::Rayware},
    {"Roland", CamType::Roland},
    {"Formlabs", CamType::Formlabs},
    {"Custom", CamType::Custom},
    {"RapidShape", CamType::RapidShape},
    {"Shining", CamType::Shining},
}};

// Each value once, in declared order: with the array's size, a CamType
// value that the table does not name fails to compile.
constexpr bool lists_each_value_in_order(const auto& table) {
  for (std::size_t i = 0; i < table.size(); ++i) {
    if (static_cast<std::size_t>(table[i].second) != i) return false;
  }
  return true;
}
static_assert(lists_each_value_in_order(kCamTypes));

// An enumeration word, spelled exactly as the value is named.
template <typename Enum, std::size_t N>
std::expected<Enum, std::string> enum_field(
    yaml::Node entry, std::string_view key, const std::string& where,
    const std::array<std::pair<std::string_view, Enum>, N>& values) {
  const auto word = yaml::required_text(entry, key, where);
  if (!word) return Fault(word.error());
  for (const auto& [name, value] : values) {
    if (*word == name) return value;
  }
  return Fault(where + "." + std::string(key) + ": unknown variant `" + *word + "`" +
               entry.find(key)->position());
}

constexpr std::array<std::pair<std::string_view, Process>, 2> kProcesses = {{
    {"Milling", Process::Milling},
    {"Printing", Process::Printing},
}};

// The three fields that brands and machines share, the process under
// `process_key`.
struct EntryFields {
  CamType cam_type;
  std::string name;
  Process process;
};

std::expected<EntryFields, std::string> read_entry_fields(yaml::Node entry,
                                                          const std::string& where,
                                                          std::string_view process_key) {
  if (!entry.is_mapping()) return Fault(where + ": expected a mapping" + entry.position());
  const auto cam_type = enum_field(entry, "cam_type", where, kCamTypes);
  if (!cam_type) return Fault(cam_type.error());
  auto name = yaml::required_text(entry, "name", where);
  if (!name) return Fault(name.error());
  const auto process = enum_field(entry, process_key, where, kProcesses);
  if (!process) return Fault(process.error());
  return EntryFields{*cam_type, std::move(*name), *process};
}

std::expected<BrandInfo, std::string> read_brand(yaml::Node entry, const std::string& where) {
  auto fields = read_entry_fields(entry, where, "default_process");
  if (!fields) return Fault(fields.error());
  return BrandInfo{fields->cam_type, std::move(fields->name), fields->process};
}

std::expected<MachineInfo, std::string> read_machine(yaml::Node entry, const std::string& where) {
  auto fields = read_entry_fields(entry, where, "process");
  if (!fields) return Fault(fields.error());
  return MachineInfo{fields->cam_type, std::move(fields->name), fields->process};
}

// Reads the mapping under `key` of the root with `read_entry` per entry.
template <typename Info, typename ReadEntry>
std::expected<std::unordered_map<std::string, Info>, std::string> read_section(
    yaml::Node root, std::string_view key, ReadEntry read_entry) {
  const auto section = root.find(key);
  if (!section) return Fault("missing field `" + std::string(key) + "`" + root.position());
  if (!section->is_mapping())
    return Fault(std::string(key) + ": expected a mapping" + section->position());
  std::unordered_map<std::string, Info> entries;
  auto read = section->for_each_entry(
      [&](std::string_view name, yaml::Node entry) -> std::expected<void, std::string> {
        auto info = read_entry(entry, std::string(key) + "." + std::string(name));
        if (!info) return Fault(info.error());
        entries.insert_or_assign(std::string(name), std::move(*info));
        return {};
      });
  if (!read) return Fault(read.error());
  return entries;
}

std::expected<MachinesData, std::string> read_catalog(std::string_view text) {
  const auto document = yaml::Document::load(text);
  if (!document) return Fault(document.error());
  const yaml::Node root = document->root();
  if (!root.is_mapping()) return Fault("expected a mapping" + root.position());
  auto brands = read_section<BrandInfo>(root, "brands", read_brand);
  if (!brands) return Fault(brands.error());
  auto machines = read_section<MachineInfo>(root, "machines", read_machine);
  if (!machines) return Fault(machines.error());
  return MachinesData{std::move(*brands), std::move(*machines)};
}

}  // namespace

std::string_view cam_type_name(CamType cam_type) {
  for (const auto& [name, value] : kCamTypes) {
    if (value == cam_type) return name;
  }
  return {};
}

std::expected<MachinesData, std::string> read_machines_yaml(std::string_view text) {
  auto catalog = read_catalog(text);
  if (!catalog) return Fault("Failed to parse machines.yaml: " + catalog.error());
  return catalog;
}

const MachinesData& machine_catalog() {
  // A function-local static is built once, even with concurrent first callers.
  static const MachinesData catalog =
      platform::value_or_internal_failure(read_machines_yaml(machines_yaml_text));
  return catalog;
}

MachineLookup look_up_machine(std::string_view machine) {
  const MachinesData& catalog = machine_catalog();
  const std::string key(machine);
  if (const auto found = catalog.machines.find(key); found != catalog.machines.end()) {
    return {{found->second.cam_type, found->second.process}, MachineMatch::Machine, {}};
  }
  const std::string_view brand_key = machine.substr(0, machine.find('_'));
  if (const auto brand = catalog.brands.find(std::string(brand_key));
      brand != catalog.brands.end()) {
    return {
        {brand->second.cam_type, brand->second.default_process}, MachineMatch::Brand, brand_key};
  }
  return {{CamType::Custom, Process::Milling}, MachineMatch::None, {}};
}

MachineResolution resolve_machine(std::string_view machine) {
  return look_up_machine(machine).resolution;
}

}  // namespace machines
