#include "machines/machine_catalog.h"

#include <gtest/gtest.h>

#include "platform/internal_failure.h"

extern const std::string_view machines_yaml_text;

namespace machines {
namespace {

std::size_t count_of(std::string_view text, std::string_view part) {
  std::size_t count = 0;
  for (auto at = text.find(part); at != std::string_view::npos; at = text.find(part, at + 1))
    ++count;
  return count;
}

TEST(MachineCatalog, CarriesEveryBrandAndMachine) {
  const MachinesData& catalog = machine_catalog();
  EXPECT_EQ(catalog.brands.size(), 16u);
  EXPECT_EQ(catalog.machines.size(), 55u);
  EXPECT_EQ(catalog.machines.at("VHF_K5P").name, "vhf K5+");
  EXPECT_EQ(catalog.brands.at("VHF").name, "vhf");
  EXPECT_EQ(&machine_catalog(), &catalog);  // built once
  // Thirteen older keys carry a marker the catalog skips.
  EXPECT_EQ(count_of(machines_yaml_text, "\n    legacy: true\n"), 13u);
  EXPECT_EQ(catalog.machines.at("SR_PRO2").cam_type, CamType::Rayware);
}

// Every entry of the carried text, as the catalog must hold it.
struct Entry {
  const char* key;
  const char* name;
  CamType cam_type;
  Process process;
};

TEST(MachineCatalog, HoldsEveryBrandAsListed) {
  const Entry brands[] = {
      {"AMANNGIRRBACH", "Amann Girrbach", CamType::AG, Process::Milling},
      {"ASIGA", "Asiga", CamType::Asiga, Process::Printing},
      {"DGSHAPE", "DG Shape", CamType::Roland, Process::Milling},
      {"FORMLABS", "Formlabs", CamType::Formlabs, Process::Printing},
      {"GENERIC", "Generic", CamType::Custom, Process::Milling},
      {"RAPIDSHAPE", "Rapid Shape", CamType::RapidShape, Process::Printing},
      {"SPRINTRAY", "SprintRay", CamType::Rayware, Process::Printing},
      {"VHF", "vhf", CamType::VHF, Process::Milling},
      {"ZYLO", "Zylo", CamType::Z3D, Process::Printing},
      {"AG", "Amann Girrbach", CamType::AG, Process::Milling},
      {"ASG", "Asiga", CamType::Asiga, Process::Printing},
      {"DWX", "DG Shape", CamType::Roland, Process::Milling},
      {"FL", "Formlabs", CamType::Formlabs, Process::Printing},
      {"GE", "Generic", CamType::Custom, Process::Milling},
      {"RS", "Rapid Shape", CamType::RapidShape, Process::Printing},
      {"SR", "SprintRay", CamType::Rayware, Process::Printing},
  };
  const MachinesData& catalog = machine_catalog();
  EXPECT_EQ(catalog.brands.size(), std::size(brands));
  for (const Entry& brand : brands) {
    SCOPED_TRACE(brand.key);
    ASSERT_TRUE(catalog.brands.contains(brand.key));
    const BrandInfo& found = catalog.brands.at(brand.key);
    EXPECT_EQ(found.name, brand.name);
    EXPECT_EQ(found.cam_type, brand.cam_type);
    EXPECT_EQ(found.default_process, brand.process);
  }
}

TEST(MachineCatalog, HoldsEveryMachineAsListed) {
  const Entry machines[] = {
      {"AMANNGIRRBACH_MIC", "Amann Girrbach Ceramill Mikro IC", CamType::AG, Process::Milling},
      {"AMANNGIRRBACH_MDRS", "Amann Girrbach Motion DRS", CamType::AG, Process::Milling},
      {"AMANNGIRRBACH_CM2", "Amann Girrbach Ceramill Motion 2", CamType::AG, Process::Milling},
      {"AMANNGIRRBACH_CM3", "Amann Girrbach Ceramill Motion 3", CamType::AG, Process::Milling},
      {"AMANNGIRRBACH_CM3A", "Amann Girrbach Ceramill Motion 3 Air", CamType::AG, Process::Milling},
      {"AMANNGIRRBACH_CMA", "Amann Girrbach Ceramill Motion Air", CamType::AG, Process::Milling},
      {"AMANNGIRRBACH_CMC", "Amann Girrbach Ceramill Matron Core", CamType::AG, Process::Milling},
      {"VHF_E4", "vhf E4", CamType::VHF, Process::Milling},
      {"VHF_E5", "vhf E5", CamType::VHF, Process::Milling},
      {"VHF_K5", "vhf K5", CamType::VHF, Process::Milling},
      {"VHF_K5P", "vhf K5+", CamType::VHF, Process::Milling},
      {"VHF_N4P", "vhf N4+", CamType::VHF, Process::Milling},
      {"VHF_R5", "vhf R5", CamType::VHF, Process::Milling},
      {"VHF_S5", "vhf S5", CamType::VHF, Process::Milling},
      {"VHF_Z4", "vhf Z4", CamType::VHF, Process::Milling},
      {"ASIGA_MAX", "Asiga Max", CamType::Asiga, Process::Printing},
      {"ASIGA_MAX2", "Asiga Max 2", CamType::Asiga, Process::Printing},
      {"ASIGA_MAXX", "Asiga Max X", CamType::Asiga, Process::Printing},
      {"ASIGA_ULTRA", "Asiga Ultra", CamType::Asiga, Process::Printing},
      {"DGSHAPE_DWX42W", "DGShape by Roland DWX-42W", CamType::Roland, Process::Milling},
      {"DGSHAPE_DWX43W", "DGShape by Roland DWX-43W", CamType::Roland, Process::Milling},
      {"RAPIDSHAPE_ONE", "Rapid Shape One", CamType::RapidShape, Process::Printing},
      {"RAPIDSHAPE_PRO20", "Rapid Shape PRO 20", CamType::RapidShape, Process::Printing},
      {"SPRINTRAY_55S", "SprintRay 55S", CamType::Rayware, Process::Printing},
      {"SPRINTRAY_MIDAS", "SprintRay Midas", CamType::Rayware, Process::Printing},
      {"SHINING_AF1", "Shining AccuFab F1", CamType::Shining, Process::Printing},
      {"SHINING_CEL", "Shining AccuFab-CEL", CamType::Shining, Process::Printing},
      {"SHINING_L4D", "Shining AccuFab-L4D", CamType::Shining, Process::Printing},
      {"SHINING_CERAMIX_NANO", "Shining Ceramix-Nano", CamType::Shining, Process::Printing},
      {"SPRINTRAY_PRO2", "SprintRay Pro 2", CamType::Rayware, Process::Printing},
      {"ZYLO_DENT", "Zylo ZYLODENT", CamType::Z3D, Process::Printing},
      {"FORMLABS_F2", "Formlabs Form 2", CamType::Formlabs, Process::Printing},
      {"FORMLABS_F3", "Formlabs Form 3", CamType::Formlabs, Process::Printing},
      {"FORMLABS_F3P", "Formlabs Form 3+", CamType::Formlabs, Process::Printing},
      {"FORMLABS_F3B", "Formlabs Form 3B", CamType::Formlabs, Process::Printing},
      {"FORMLABS_F3BP", "Formlabs Form 3B+", CamType::Formlabs, Process::Printing},
      {"FORMLABS_F3L", "Formlabs Form 3L", CamType::Formlabs, Process::Printing},
      {"FORMLABS_F3BL", "Formlabs Form 3BL", CamType::Formlabs, Process::Printing},
      {"FORMLABS_F4B", "Formlabs Form 4B", CamType::Formlabs, Process::Printing},
      {"FORMLABS_F4BL", "Formlabs Form 4BL", CamType::Formlabs, Process::Printing},
      {"GENERIC_3DP", "Generic 3D Printing Machine", CamType::Custom, Process::Printing},
      {"GENERIC_MILL", "Generic Milling Machine", CamType::Custom, Process::Milling},
      {"AGC_MIC", "Amann Girrbach Ceramill Mikro IC", CamType::AG, Process::Milling},
      {"AG_MDRS", "Amann Girrbach Motion DRS", CamType::AG, Process::Milling},
      {"ASG_MAX", "Asiga Max", CamType::Asiga, Process::Printing},
      {"ASG_MAX2", "Asiga Max 2", CamType::Asiga, Process::Printing},
      {"ASG_MAXX", "Asiga Max X", CamType::Asiga, Process::Printing},
      {"ASG_ULTRA", "Asiga Ultra", CamType::Asiga, Process::Printing},
      {"DWX_42W", "Roland DWX-42W", CamType::Roland, Process::Milling},
      {"DWX_43W", "Roland DWX-43W", CamType::Roland, Process::Milling},
      {"FL_F4B", "Formlabs Form 4B", CamType::Formlabs, Process::Printing},
      {"RS_ONE", "RapidShape One", CamType::RapidShape, Process::Printing},
      {"SR_55S", "SprintRay 55S", CamType::Rayware, Process::Printing},
      {"SR_MIDAS", "SprintRay Midas", CamType::Rayware, Process::Printing},
      {"SR_PRO2", "SprintRay Pro 2", CamType::Rayware, Process::Printing},
  };
  const MachinesData& catalog = machine_catalog();
  EXPECT_EQ(catalog.machines.size(), std::size(machines));
  for (const Entry& machine : machines) {
    SCOPED_TRACE(machine.key);
    ASSERT_TRUE(catalog.machines.contains(machine.key));
    const MachineInfo& found = catalog.machines.at(machine.key);
    EXPECT_EQ(found.name, machine.name);
    EXPECT_EQ(found.cam_type, machine.cam_type);
    EXPECT_EQ(found.process, machine.process);
    EXPECT_EQ(resolve_machine(machine.key), (MachineResolution{machine.cam_type, machine.process}));
  }
}

TEST(ResolveMachine, FindsMachinesThenBrandsThenFallsBack) {
  const struct {
    const char* machine;
    MachineResolution expected;
  } cases[] = {
      {"VHF_E5", {CamType::VHF, Process::Milling}},
      {"GENERIC_3DP", {CamType::Custom, Process::Printing}},
      {"ZYLO_DENT", {CamType::Z3D, Process::Printing}},
      {"FL_F4B", {CamType::Formlabs, Process::Printing}},
      {"FORMLABS_F4B", {CamType::Formlabs, Process::Printing}},
      {"DWX_42W", {CamType::Roland, Process::Milling}},
      {"VHF_X9", {CamType::VHF, Process::Milling}},
      {"SPRINTRAY_NEW", {CamType::Rayware, Process::Printing}},
      {"GENERIC_ANY", {CamType::Custom, Process::Milling}},
      {"ZYLO", {CamType::Z3D, Process::Printing}},
      {"ASG", {CamType::Asiga, Process::Printing}},
      {"SHINING_X1", {CamType::Custom, Process::Milling}},
      {"SHINING_AF1", {CamType::Shining, Process::Printing}},
      {"AGC_X1", {CamType::Custom, Process::Milling}},
      {"AGC_MIC", {CamType::AG, Process::Milling}},
      {"AMANNGIRRBACH_CMC", {CamType::AG, Process::Milling}},
      {"vhf_e5", {CamType::Custom, Process::Milling}},
      {"", {CamType::Custom, Process::Milling}},
      {"_VHF", {CamType::Custom, Process::Milling}},
      {"WNC", {CamType::Custom, Process::Milling}},
      {"SHINING_CERAMIX_NANO", {CamType::Shining, Process::Printing}},
      {"SHINING_CERAMIX_X", {CamType::Custom, Process::Milling}},
      {"VHF_A_B", {CamType::VHF, Process::Milling}},
      {"SPRINTRAY__X", {CamType::Rayware, Process::Printing}},
      {" VHF_E5", {CamType::Custom, Process::Milling}},
      {"RAPIDSHAPE_PRO20", {CamType::RapidShape, Process::Printing}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(resolve_machine(c.machine), c.expected) << "'" << c.machine << "'";
  }
}

TEST(ReadMachinesYaml, SkipsUnknownKeysAndRejectsBrokenTexts) {
  const auto read = read_machines_yaml(
      "brands:\n  B:\n    cam_type: AG\n    name: b\n    default_process: Milling\n    extra: [1]\n"
      "machines:\n  M:\n    cam_type: Shining\n    name: \"m\"\n    process: Printing\n    legacy: "
      "true\n");
  ASSERT_TRUE(read) << read.error();
  EXPECT_EQ(read->machines.at("M").cam_type, CamType::Shining);

  const struct {
    const char* text;
    const char* message;
  } broken[] = {
      {"brands: [\n",
       "Failed to parse machines.yaml: did not find expected node content at line 2 column 1, "
       "while parsing a flow node at line 2 column 1"},
      {"brands: {}\n",
       "Failed to parse machines.yaml: missing field `machines` at line 1 column 1"},
      {"brands:\n  B:\n    cam_type: ag\n    name: b\n    default_process: Milling\nmachines: {}\n",
       "Failed to parse machines.yaml: brands.B.cam_type: unknown variant `ag` at line 3 column "
       "15"},
      {"brands: {}\nmachines:\n  M:\n    cam_type: AG\n    process: Milling\n",
       "Failed to parse machines.yaml: machines.M: missing field `name` at line 4 column 5"},
      {"brands: {}\nmachines:\n  M:\n    cam_type: AG\n    name: [x]\n    process: Milling\n",
       "Failed to parse machines.yaml: machines.M.name: expected a text at line 5 column 11"},
  };
  for (const auto& c : broken) {
    const auto result = read_machines_yaml(c.text);
    ASSERT_FALSE(result) << c.text;
    EXPECT_EQ(result.error(), c.message);
  }
}

TEST(ReadMachinesYaml, ABrokenCarriedTextEndsTheProcessAsAnInternalFailure) {
  // The same path the catalog accessor takes with its carried text.
  EXPECT_EXIT((void)platform::value_or_internal_failure(read_machines_yaml("brands: [\n")),
              testing::ExitedWithCode(101),
              "Failed to parse machines.yaml: did not find expected node");
}

}  // namespace
}  // namespace machines
