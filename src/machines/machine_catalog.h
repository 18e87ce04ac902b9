// The machine catalog: which CAM software family takes a machine's jobs and
// whether the machine mills or prints.
#pragma once

#include <string_view>

namespace machines {

enum class CamType { VHF, AG, Asiga, Z3D, Rayware, Roland, Formlabs, Custom, RapidShape, Shining };

enum class Process { Milling, Printing };

struct MachineResolution {
  CamType cam_type = CamType::Custom;
  Process process = Process::Milling;
};

// The machine entry for `machine`, else the brand of the text before its
// first underscore, else (Custom, Milling). Never fails.
MachineResolution resolve_machine(std::string_view machine);

}  // namespace machines
