#include "materials/material_catalog.h"

#include <gtest/gtest.h>

#include "common/internal_failure.h"
#include "materials/unicode_lower.h"

namespace materials {
namespace {

using machines::CamType;

TEST(MaterialCatalog, CarriesEveryEntryWithItsKeyAsCode) {
  const MaterialTable& catalog = material_catalog();
  EXPECT_EQ(catalog.size(), 7u);
  EXPECT_EQ(catalog.at("fc").amann_girrbach_material_name, "High Strength Ceramic (Crystallized)");
  for (const auto& [key, material] : catalog) EXPECT_EQ(material.acronym, key);

  const MaterialBrandRefTable& references = material_brand_ref_table();
  EXPECT_EQ(references.size(), 89u);
  std::size_t resins = 0;
  for (const auto& [key, reference] : references) {
    EXPECT_EQ(reference.code, key);
    if (reference.material == "3dp") ++resins;
  }
  EXPECT_EQ(resins, 50u);
  EXPECT_EQ(references.at("3dstcb").name, "Temporary CB (CB11)");
  EXPECT_EQ(references.at("laul").millbox_material_code, "ult");
  EXPECT_EQ(references.at("vitrf").amann_girrbach_material, "VITABLOCS_Triluxe_forte_DRS");
}

TEST(ResolveMaterial, ChoosesTheNamingByCamType) {
  const struct {
    const char* material;
    const char* reference;
    CamType cam_type;
    MaterialTexts expected;
  } cases[] = {
      {"ZR", "", CamType::VHF, {"ZI", "Zirconia"}},
      {"LD", "", CamType::VHF, {"LS1", "Lithium Disilicate"}},
      {"gc", "", CamType::Custom, {"GCER", "Glass ceramics"}},
      {"Zr", "", CamType::VHF, {"ZI", "Zirconia"}},
      {"zr", "", CamType::Custom, {"ZI", "Zirconia"}},
      {"zirconium", "", CamType::VHF, {"", ""}},
      {"3DP", "", CamType::VHF, {"", ""}},
      {"3DP", "", CamType::Custom, {"", ""}},
      {"PMMA", "", CamType::VHF, {"PMMA", "Plastics"}},
      {"ZR", "ipse", CamType::VHF, {"ZI", "Zirconia"}},
      {"ZR", "zofm", CamType::AG, {"ZOFM_DRS", "Zolid fx multilayer"}},
      {"ZR", "ZOFM", CamType::AG, {"ZOFM_DRS", "Zolid fx multilayer"}},
      {"LD", "ipse", CamType::AG, {"IPS_e.max_CAD_DRS", "IPS e.max CAD"}},
      {"HC", "laul", CamType::AG, {"Hybrid_Mill_DRS", "Composite Hybrid"}},
      {"HC", "unknown", CamType::AG, {"Hybrid_Mill_DRS", "Composite Hybrid"}},
      {"FC", "", CamType::AG, {"Crystallized_LiSi_DRS", "High Strength Ceramic (Crystallized)"}},
      {"XX", "zige", CamType::AG, {"Zirconia_DRS", "Zirconia"}},
      {"XX", "3dc", CamType::AG, {"", ""}},
      {"ZR", "", CamType::Roland, {"", ""}},
      {"ZR", "", CamType::Asiga, {"", ""}},
      {"ZR", "", CamType::Formlabs, {"", ""}},
      {"ZR", "", CamType::Rayware, {"", ""}},
      {"ZR", "", CamType::RapidShape, {"", ""}},
      {"ZR", "", CamType::Z3D, {"", ""}},
      {"ZR", "zige", CamType::Shining, {"", ""}},
      {" ZR", "", CamType::VHF, {"", ""}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(resolve_material(c.material, c.reference, c.cam_type), c.expected)
        << c.material << " / " << c.reference << " / " << static_cast<int>(c.cam_type);
  }
}

TEST(ToLowerUnicode, AppliesTheFullMapping) {
  const struct {
    const char* text;
    const char* lower;
  } cases[] = {
      {"ZIRCONIUM", "zirconium"},
      {"Ab1_-", "ab1_-"},
      {"\xC3\x89MAX", "\xC3\xA9max"},                            // É
      {"\xC4\xB0", "i\xCC\x87"},                                 // İ becomes two characters
      {"\xCE\xA3\xCE\x91\xCE\xA3", "\xCF\x83\xCE\xB1\xCF\x82"},  // ΣΑΣ: final sigma
      {"\xE2\x84\xAA", "k"},                                     // Kelvin sign
      {"\xD0\x96", "\xD0\xB6"},                                  // Ж
      {"\xF0\x90\x90\x80", "\xF0\x90\x90\xA8"},                  // Deseret
      {"\xFF"
       "A",
       "\xFF"
       "a"},  // stray byte kept
  };
  for (const auto& c : cases) EXPECT_EQ(to_lower_unicode(c.text), c.lower) << c.text;
}

TEST(ReadMaterialTables, RequireTheirFieldsAndSkipUnknownKeys) {
  const auto materials = read_materials_yaml(
      "zr:\n  acronym: WRONG\n  generic_material: ZI\n  generic_material_name: Z\n"
      "  amann_girrbach_material: A\n  amann_girrbach_material_name: B\n  millbox_material_code: "
      "c\n"
      "  note: skipped\n");
  ASSERT_TRUE(materials) << materials.error();
  EXPECT_EQ(materials->at("zr").acronym, "zr");

  const auto missing = read_materials_yaml("zr:\n  generic_material: ZI\n");
  ASSERT_FALSE(missing);
  EXPECT_EQ(missing.error(),
            "Failed to parse materials.yaml: zr: missing field `generic_material_name` at line 2 "
            "column 3");

  const auto references =
      read_material_brand_refs_yaml("abc:\n  name: N\n  material: zr\n  code: X\n");
  ASSERT_TRUE(references) << references.error();
  EXPECT_EQ(references->at("abc").code, "abc");
  EXPECT_EQ(references->at("abc").amann_girrbach_material, "");

  const auto not_text = read_material_brand_refs_yaml("abc:\n  name: {a: b}\n  material: zr\n");
  ASSERT_FALSE(not_text);
  EXPECT_EQ(
      not_text.error(),
      "Failed to parse material_brand_refs.yaml: abc.name: expected a text at line 2 column 9");

  EXPECT_EXIT((void)common::value_or_internal_failure(read_materials_yaml("zr: [")),
              testing::ExitedWithCode(101), "Failed to parse materials.yaml: ");
}

}  // namespace
}  // namespace materials
