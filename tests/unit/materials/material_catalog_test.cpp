#include "materials/material_catalog.h"

#include <gtest/gtest.h>

#include "platform/internal_failure.h"
#include "text/unicode_lower.h"

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

TEST(MaterialCatalog, HoldsEveryMaterialAsListed) {
  const std::pair<const char*, Material> materials[] = {
      {"zr", {"zr", "ZI", "Zirconia", "Zirconia_DRS", "Zirconia", "zrhip"}},
      {"ld",
       {"ld", "LS1", "Lithium Disilicate", "Lithium_Disilicate_DRS",
        "High Strength Ceramic Pre-Crystallized", "gc"}},
      {"hc", {"hc", "GCER", "Hybrid Ceramic", "Hybrid_Mill_DRS", "Composite Hybrid", "cr"}},
      {"gc", {"gc", "GCER", "Glass ceramics", "Glass_Ceramic_DRS", "Glass Ceramic", "gc"}},
      {"fc",
       {"fc", "FS", "Feldspathic Ceramic", "Crystallized_LiSi_DRS",
        "High Strength Ceramic (Crystallized)", "gc"}},
      {"pmma", {"pmma", "PMMA", "Plastics", "UNI_TMP_DRS", "Temporary", "pmma"}},
      {"cr", {"cr", "COMP", "Composites", "Hybrid_Mill_DRS", "Composite Hybrid", "cr"}},
  };
  const MaterialTable& catalog = material_catalog();
  EXPECT_EQ(catalog.size(), std::size(materials));
  for (const auto& [key, material] : materials) {
    SCOPED_TRACE(key);
    ASSERT_TRUE(catalog.contains(key));
    EXPECT_EQ(catalog.at(key), material);
  }
}

TEST(MaterialCatalog, HoldsEveryBrandReferenceAsListed) {
  const std::pair<const char*, MaterialBrandRef> references[] = {
      {"3darmtmp", {"Temp", "3dp", "3darmtmp", "", "", "", ""}},
      {"3dc", {"Crowntec", "3dp", "3dc", "", "", "", ""}},
      {"3dcb", {"C&B", "3dp", "3dcb", "", "", "", ""}},
      {"3ddb", {"Dental Bleach", "3dp", "3ddb", "", "", "", ""}},
      {"3ddecrown", {"Freeprint crown", "3dp", "3ddecrown", "", "", "", ""}},
      {"3ddenlum", {"Optiprint lumina", "3dp", "3ddenlum", "", "", "", ""}},
      {"3ddetemp", {"Freeprint temp", "3dp", "3ddetemp", "", "", "", ""}},
      {"3ddsa1a2", {"Dental Sand A1-A2", "3dp", "3ddsa1a2", "", "", "", ""}},
      {"3ddsp", {"Dental Sand Pro", "3dp", "3ddsp", "", "", "", ""}},
      {"3dfc", {"Freeprint crown", "3dp", "3dfc", "", "", "", ""}},
      {"3dforptr", {"Premium Teeth Resin", "3dp", "3dforptr", "", "", "", ""}},
      {"3dft", {"Freeprint temp", "3dp", "3dft", "", "", "", ""}},
      {"3dftcb", {"Temp CB", "3dp", "3dftcb", "", "", "", ""}},
      {"3dfpc", {"Permanent Crown", "3dp", "3dfpc", "", "", "", ""}},
      {"3dstcb", {"Temporary CB (CB11)", "3dp", "3dstcb", "", "", "", ""}},
      {"3dstcb12", {"Semi-Permanent CB (CB12)", "3dp", "3dstcb12", "", "", "", ""}},
      {"3dgorc", {"Dental Crown", "3dp", "3dgorc", "", "", "", ""}},
      {"3dgrabr", {"BR-23-5", "3dp", "3dgrabr", "", "", "", ""}},
      {"3dgratc", {"TC-80DP", "3dp", "3dgratc", "", "", "", ""}},
      {"3dnexmfhn", {"C&B MFH", "3dp", "3dnexmfhn", "", "", "", ""}},
      {"3dnexmfhn1", {"C&B MFH N1", "3dp", "3dnexmfhn1", "", "", "", ""}},
      {"3dnexmfhn15", {"C&B MFH N1.5", "3dp", "3dnexmfhn15", "", "", "", ""}},
      {"3dnexmfhn2", {"C&B MFH N2", "3dp", "3dnexmfhn2", "", "", "", ""}},
      {"3dnexmfhn25", {"C&B MFH N2.5", "3dp", "3dnexmfhn25", "", "", "", ""}},
      {"3dprogr17", {"GR-17 temporary", "3dp", "3dprogr17", "", "", "", ""}},
      {"3drs", {"Rodin Sculpture", "3dp", "3drs", "", "", "", ""}},
      {"3drs2", {"Rodin Sculpture 2.0", "3dp", "3drs2", "", "", "", ""}},
      {"3drsmin", {"Rodin Sculpture Mini", "3dp", "3drsmin", "", "", "", ""}},
      {"3drsmin2", {"Rodin Sculpture 2.0 Mini", "3dp", "3drsmin2", "", "", "", ""}},
      {"3dscb", {"Crown", "3dp", "3dscb", "", "", "", ""}},
      {"3dscc", {"Ceramic Crown", "3dp", "3dscc", "", "", "", ""}},
      {"3dscr", {"Crown", "3dp", "3dscr", "", "", "", ""}},
      {"3dset", {"EU TEMP", "3dp", "3dset", "", "", "", ""}},
      {"3dsot", {"Onx Tough", "3dp", "3dsot", "", "", "", ""}},
      {"3dcht", {"Crown HT", "3dp", "3dcht", "", "", "", ""}},
      {"3dmr", {"Midas Restore", "3dp", "3dmr", "", "", "", ""}},
      {"3dvotmp", {"V Print C&B temp", "3dp", "3dvotmp", "", "", "", ""}},
      {"3dvscp", {"VarseoSmile Crown Plus", "3dp", "3dvscp", "", "", "", ""}},
      {"3dvstmp", {"VarseoSmile Temp", "3dp", "3dvstmp", "", "", "", ""}},
      {"3dvstq", {"VarseoSmile TriniQ", "3dp", "3dvstq", "", "", "", ""}},
      {"g3dp", {"3D Printing", "3dp", "g3dp", "", "", "", ""}},
      {"maztp", {"Mazic D Temp", "3dp", "maztp", "", "", "", ""}},
      {"odscb", {"C&B", "3dp", "odscb", "", "", "", ""}},
      {"odspe", {"Permanent", "3dp", "odspe", "", "", "", ""}},
      {"raycb", {"Raydent C&B", "3dp", "raycb", "", "", "", ""}},
      {"grapr", {"Graphy Permanent (BR-23)", "3dp", "grapr", "", "", "", ""}},
      {"3dvcbu", {"RS VIVO C&B Ultimate", "3dp", "3dvcbu", "", "", "", ""}},
      {"3dvc", {"RS VIVO Crown", "3dp", "3dvc", "", "", "", ""}},
      {"3dlmcra", {"LumiCera/Ceramix", "3dp", "3dlmcra", "", "", "", ""}},
      {"3dccrmx", {"Crowntec/Ceramix", "3dp", "3dccrmx", "", "", "", ""}},
      {"aigc", {"Glass Ceramic", "gc", "aigc", "", "", "", "Glass Ceramic"}},
      {"aihc", {"Hybrid-Ceramic", "hc", "aihc", "", "", "", "Hybrid Ceramic"}},
      {"ambmd", {"Amber Mill Direct", "ld", "ambmd", "", "", "", "Amber Mill Direct"}},
      {"ambmhht", {"Amber Mill H / HT", "hc", "ambmhht", "", "", "", "Amber Mill"}},
      {"ambmhlt", {"Amber Mill H / LT", "hc", "ambmhlt", "", "", "", "Amber Mill"}},
      {"amhc", {"High-Class", "hc", "amhc", "", "", "", "Hybrid Ceramic"}},
      {"cadg", {"Dental Glass", "ld", "cadg", "", "", "", "Glass Ceramic"}},
      {"cemi",
       {"Ceramir CADCAM Block", "hc", "cemi", "Ceramir CADCAM Block", "CEMI_DRS", "",
        "Hybrid Ceramic"}},
      {"cerat", {"Ceramill A-Temp", "pmma", "cerat", "Ceramill A-Temp", "TEMP_DRS", "", "PMMA"}},
      {"edws", {"CADCAM Block", "gc", "edws", "CADCAM Block", "EDWS_DRS", "", "Glass Ceramic"}},
      {"gcce", {"Cerasmart", "hc", "gcce", "", "", "", "GC CERASMART"}},
      {"gcinilisi", {"Iniitial LiSi", "ld", "gcinilisi", "", "", "", "GC INITIAL LISI"}},
      {"gcinitlrf", {"Initial LRF", "fc", "gcinitlrf", "", "", "", "Glass Ceramic"}},
      {"gcore",
       {"Composite Resin", "cr", "gcore", "Composite Resin", "Hybrid_ML_DRS", "",
        "Composite Resin"}},
      {"gfeld", {"Feldspathic Ceramic", "fc", "gfeld", "", "", "", "Composite Resin"}},
      {"gglce",
       {"Glass Ceramic", "gc", "gglce", "Glass Ceramic", "Glass_Ceramic_DRS", "", "Glass Ceramic"}},
      {"ghyce", {"Hybrid Ceramic", "hc", "ghyce", "", "", "", "Hybrid Ceramic"}},
      {"glidi", {"Lithium Disilicate", "ld", "glidi", "", "", "", "Glass Ceramic"}},
      {"hscdisi",
       {"High Strength Ceramic Pre-Crystallized", "ld", "hscdisi",
        "High Strength Ceramic Pre-Crystallized", "Lithium_Disilicate_DRS", "", "Glass Ceramic"}},
      {"hsclisi",
       {"High Strength Ceramic (Crystallized)", "ld", "hsclisi",
        "High Strength Ceramic (Crystallized)", "Crystallized_LiSi_DRS", "", "Glass Ceramic"}},
      {"ipse",
       {"IPS e.max CAD", "ld", "ipse", "IPS e.max CAD", "IPS_e.max_CAD_DRS", "", "IPS e.max CAD"}},
      {"ipsem",
       {"IPS Empress CAD", "gc", "ipsem", "IPS Empress CAD", "IPS_EMPRESS_DRS", "",
        "IPS Empress CAD"}},
      {"ipsez", {"IPS e.max ZirCAD", "zr", "ipsez", "", "", "", "Chairside Zirconia Roland DGA"}},
      {"ipst", {"Tetric CAD", "cr", "ipst", "Tetric CAD", "IPS_TETRIC_DRS", "", "Hybrid Ceramic"}},
      {"kazi", {"Zirconia", "zr", "kazi", "", "", "", "Chairside Zirconia Roland DGA"}},
      {"laul", {"Lava ultimate", "hc", "laul", "", "", "ult", "Lava Ultimate"}},
      {"pmmag", {"PMMA", "pmma", "pmmag", "", "", "", "PMMA"}},
      {"rohass", {"Rosetta SM", "ld", "rohass", "", "", "", "Rosetta SM"}},
      {"rohassht", {"Rosetta SM / HT", "ld", "rohassht", "", "", "", "Rosetta SM"}},
      {"rohasslt", {"Rosetta SM / LT", "ld", "rohasslt", "", "", "", "Rosetta SM"}},
      {"tmppmma", {"Temporary", "pmma", "tmppmma", "Temporary", "UNI_TMP_DRS", "", "PMMA"}},
      {"vien", {"ENAMIC", "hc", "vien", "ENAMIC", "VITA_Enamic_DRS", "ve", "Vita Enamic"}},
      {"vienm",
       {"ENAMIC multiColor", "hc", "vienm", "ENAMIC multiColor", "VITA_EML_DRS", "ve",
        "Vita Enamic"}},
      {"vima2",
       {"VITABLOCS Mark II", "fc", "vima2", "VITABLOCS Mark II", "VITABLOCS_Mark_II_DRS", "",
        "VITA Mark II"}},
      {"visup",
       {"SUPRINITY PC", "gc", "visup", "SUPRINITY PC", "VITA_Suprinity_DRS", "", "VITA Suprinity"}},
      {"vitrf",
       {"VITABLOCS TriLuxe forte", "fc", "vitrf", "VITABLOCS TriLuxe forte",
        "VITABLOCS_Triluxe_forte_DRS", "", "VITA TRILUXE FORTE"}},
      {"zige",
       {"Zirconia", "zr", "zige", "Zirconia", "Zirconia_DRS", "", "Chairside Zirconia Roland DGA"}},
      {"zods",
       {"Zolid DRS", "zr", "zods", "Zolid DRS", "ZODS_DRS", "", "Chairside Zirconia Roland DGA"}},
      {"zofm",
       {"Zolid fx multilayer", "zr", "zofm", "Zolid fx multilayer", "ZOFM_DRS", "",
        "Chairside Zirconia Roland DGA"}},
  };
  const MaterialBrandRefTable& table = material_brand_ref_table();
  EXPECT_EQ(table.size(), std::size(references));
  for (const auto& [key, reference] : references) {
    SCOPED_TRACE(key);
    ASSERT_TRUE(table.contains(key));
    EXPECT_EQ(table.at(key), reference);
  }
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
  for (const auto& c : cases) EXPECT_EQ(text::to_lower_unicode(c.text), c.lower) << c.text;
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

  EXPECT_EXIT((void)platform::value_or_internal_failure(read_materials_yaml("zr: [")),
              testing::ExitedWithCode(101), "Failed to parse materials.yaml: ");
}

}  // namespace
}  // namespace materials
