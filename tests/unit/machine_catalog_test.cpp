#include "machines/machine_catalog.h"

#include <gtest/gtest.h>

#include "common/internal_failure.h"

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
  EXPECT_EXIT((void)common::value_or_internal_failure(read_machines_yaml("brands: [\n")),
              testing::ExitedWithCode(101),
              "Failed to parse machines.yaml: did not find expected node");
}

}  // namespace
}  // namespace machines
