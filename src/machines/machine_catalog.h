// The machine catalog: which CAM software family takes a machine's jobs and
// whether the machine mills or prints. Carried in the program as the text
// machines.yaml and read once, on first use.
#pragma once

#include <cstddef>
#include <expected>
#include <string>
#include <string_view>
#include <unordered_map>

namespace machines {

enum class CamType { VHF, AG, Asiga, Z3D, Rayware, Roland, Formlabs, Custom, RapidShape, Shining };

// How many CamType values there are, counted from the last one: a new value
// goes before Shining or takes its place here. The catalog's table of names
// is checked against it.
inline constexpr std::size_t kCamTypeCount = static_cast<std::size_t>(CamType::Shining) + 1;

enum class Process { Milling, Printing };

struct BrandInfo {
  CamType cam_type = CamType::Custom;
  std::string name;
  Process default_process = Process::Milling;
};

struct MachineInfo {
  CamType cam_type = CamType::Custom;
  std::string name;
  Process process = Process::Milling;
};

struct MachinesData {
  std::unordered_map<std::string, BrandInfo> brands;
  std::unordered_map<std::string, MachineInfo> machines;
};

struct MachineResolution {
  CamType cam_type = CamType::Custom;
  Process process = Process::Milling;
  bool operator==(const MachineResolution&) const = default;
};

// The value's name as the catalog text spells it ("Rayware").
std::string_view cam_type_name(CamType cam_type);

// Reads a catalog text; fails with "Failed to parse machines.yaml: " and
// the description of the fault.
std::expected<MachinesData, std::string> read_machines_yaml(std::string_view text);

// The catalog of the carried text, read on the first call. A carried text
// that does not read ends the process as an internal failure.
const MachinesData& machine_catalog();

// Which step of the resolution below found `machine`: its own entry, the
// brand of the text before its first underscore (`brand_key`, a view into
// `machine`), or neither (the fallback).
enum class MachineMatch { Machine, Brand, None };
struct MachineLookup {
  MachineResolution resolution;
  MachineMatch match = MachineMatch::None;
  std::string_view brand_key;
};
MachineLookup look_up_machine(std::string_view machine);

// The machine entry for `machine`, else the brand named by the text before
// its first underscore, else (Custom, Milling). Never fails.
MachineResolution resolve_machine(std::string_view machine);

}  // namespace machines
