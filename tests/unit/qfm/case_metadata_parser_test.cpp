#include "qfm/case_metadata_parser.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "case_file_messages.h"

namespace qfm {
namespace {

// A minimal valid case around `products`.
std::string case_with_products(const std::string& products) {
  return R"({"machine":"VHF_K5","material":"ZR","material_brand_reference":"","products":[)" +
         products + "]}";
}

// A minimal valid product with `extra` members added.
std::string product_with(const std::string& extra) {
  return R"({"product_type":"Crown","bounding_box":[0,0,0,0,0,0],"stl":"a.stl")" +
         (extra.empty() ? "" : "," + extra) + "}";
}

std::string parse_error(const std::string& text) {
  const auto result = parse_case_metadata(text);
  return result ? "<parsed>" : result.error().text();
}

Product only_product(const std::string& text) {
  const auto result = parse_case_metadata(text);
  EXPECT_TRUE(result) << (result ? "" : result.error().text());
  if (!result || result->products.size() != 1) return {};
  return result->products[0];
}

TEST(ParseCaseMetadata, ReadsTheObjectFormWithDefaults) {
  const auto result = parse_case_metadata(
      R"({"machine":"M","material":"ZIRCONIUM","material_brand_reference":"zige","products":[]})");
  ASSERT_TRUE(result) << result.error().text();
  EXPECT_EQ(result->case_name, "");
  EXPECT_EQ(result->machine, "M");
  EXPECT_EQ(result->material, "ZR");
  EXPECT_EQ(result->material_brand_reference, "zige");
  EXPECT_TRUE(result->products.empty());

  const Product product = only_product(case_with_products(product_with("")));
  EXPECT_EQ(product.product_type, ProductType::Crown);
  EXPECT_TRUE(product.tooth_iso_number.empty());
  EXPECT_EQ(product.bounding_box, std::vector<double>(6, 0.0));
  EXPECT_EQ(product.color, "");
  EXPECT_EQ(product.pts, "");
  EXPECT_FALSE(product.margin_line_coordinates.has_value());
}

TEST(ParseCaseMetadata, ReadsTheArrayFormAndMixesForms) {
  const auto result = parse_case_metadata(
      R"(["name","M","LITHIUM_DISILICATE","ipse",[["Inlay",[11],[0,0,1,0,0,2],"A2","s.stl","p.pts",null],)"
      R"({"product_type":"Model","bounding_box":[],"stl":"m.stl","margin_line_coordinates":[[1,2,3]]}]])");
  ASSERT_TRUE(result) << result.error().text();
  EXPECT_EQ(result->case_name, "name");
  EXPECT_EQ(result->material, "LD");
  ASSERT_EQ(result->products.size(), 2u);
  EXPECT_EQ(result->products[0].product_type, ProductType::Inlay);
  EXPECT_EQ(result->products[0].tooth_iso_number, std::vector<std::uint32_t>{11});
  EXPECT_EQ(result->products[0].color, "A2");
  EXPECT_EQ(result->products[0].pts, "p.pts");
  EXPECT_FALSE(result->products[0].margin_line_coordinates);
  EXPECT_EQ(result->products[1].margin_line_coordinates, (PointList{Vec3{1, 2, 3}}));
}

TEST(ParseCaseMetadata, NormalizesOnlyTheExactLongMaterialNames) {
  const struct {
    const char* written;
    const char* stored;
  } cases[] = {
      {"RESIN", "3DP"},
      {"COMPOSITE", "CR"},
      {"ZIRCONIUM", "ZR"},
      {"GLASS_CERAMIC", "GC"},
      {"ACRYLIC_RESIN", "PMMA"},
      {"HYBRID_CERAMIC", "HC"},
      {"LITHIUM_DISILICATE", "LD"},
      {"FELDSPATHIC_CERAMIC", "FC"},
      {"zirconium", "zirconium"},
      {"Zirconium", "Zirconium"},
      {"ZR", "ZR"},
      {"", ""},
  };
  for (const auto& c : cases) {
    const auto result =
        parse_case_metadata(std::string(R"({"machine":"M","material":")") + c.written +
                            R"(","material_brand_reference":"","products":[]})");
    ASSERT_TRUE(result) << c.written;
    EXPECT_EQ(result->material, c.stored) << c.written;
  }
}

TEST(ParseCaseMetadata, MapsProductTypesAndNeverFailsOnAnUnknownName) {
  const struct {
    const char* json;
    ProductType type;
  } cases[] = {
      {R"("Inlay")", ProductType::Inlay},
      {R"("Onlay")", ProductType::Onlay},
      {R"("Overlay")", ProductType::Overlay},
      {R"("Veneer")", ProductType::Veneer},
      {R"("Model")", ProductType::Model},
      {R"("Crown")", ProductType::Crown},
      {R"("crown")", ProductType::Crown},
      {R"("Bridge")", ProductType::Crown},
      {R"("")", ProductType::Crown},
      {R"({"Inlay":null})", ProductType::Inlay},
      {R"({ "Bridge" : null })", ProductType::Crown},
      {R"("\u0049nlay")", ProductType::Inlay},
  };
  for (const auto& c : cases) {
    const std::string text = case_with_products(std::string(R"({"product_type":)") + c.json +
                                                R"(,"bounding_box":[],"stl":""})");
    EXPECT_EQ(only_product(text).product_type, c.type) << c.json;
  }
}

TEST(ParseCaseMetadata, ReadsToothNumbersAsIntegersOrDecimalTexts) {
  const Product product = only_product(case_with_products(
      product_with(R"("tooth_iso_number":[11,"12","+13",4294967295,"4294967295","0"])")));
  EXPECT_EQ(product.tooth_iso_number,
            (std::vector<std::uint32_t>{11, 12, 13, 4294967295u, 4294967295u, 0}));
}

TEST(ParseCaseMetadata, ReadsPointsInBothFormsAndNumbersAsDoubles) {
  const Product product = only_product(case_with_products(product_with(
      R"("margin_line_coordinates":[[1,2,3],{"z":3,"y":2,"x":1,"w":0},)"
      "[ 1 ,\r\n 2\t, 3 ] , { \"x\" : 1 , \"y\":2,\"z\":3 },{\"x\":1,\"y\":2,\"z\":3,\"w\":0}],"
      R"("color":"\u00e9\ud83e\uddb7\n")")));
  ASSERT_TRUE(product.margin_line_coordinates);
  EXPECT_EQ(*product.margin_line_coordinates, (PointList(5, Vec3{1, 2, 3})));
  EXPECT_EQ(product.color, "\xC3\xA9\xF0\x9F\xA6\xB7\n");

  const Product empty =
      only_product(case_with_products(product_with(R"("margin_line_coordinates":[])")));
  ASSERT_TRUE(empty.margin_line_coordinates);
  EXPECT_TRUE(empty.margin_line_coordinates->empty());
  EXPECT_FALSE(only_product(case_with_products(product_with(R"("margin_line_coordinates":null)")))
                   .margin_line_coordinates);

  const Product numbers = only_product(case_with_products(
      R"({"product_type":"Crown","bounding_box":[0,-0,1.5,1e2,-2.5E-1,18446744073709551616,)"
      R"(-3,-9223372036854775809,)" +
      std::string(300, '9') + R"(],"stl":""})"));
  ASSERT_EQ(numbers.bounding_box,
            (std::vector<double>{0, 0, 1.5, 100, -0.25, 18446744073709551616.0, -3.0,
                                 -9223372036854775809.0, 1e300}));
  EXPECT_TRUE(std::signbit(numbers.bounding_box[1]));
}

TEST(ParseCaseMetadata, SkipsUnknownMembersWhateverTheyHold) {
  const std::string skipped =
      R"({"a":[1e400,{"b":"\ud800"},-0.5e-3,true,false,null,[[[]]],{}],"machine":"M","material":"m",)"
      R"("material_brand_reference":"r","products":[],"a":0})";
  EXPECT_TRUE(parse_case_metadata(skipped)) << parse_error(skipped);
  std::string deep =
      R"({"x":)" + std::string(200000, '[') + std::string(200000, ']') +
      R"(,"machine":"M","material":"m","material_brand_reference":"r","products":[]})";
  EXPECT_TRUE(parse_case_metadata(deep)) << parse_error(deep);
}

TEST(ParseCaseMetadata, ReportsEachFaultWithItsPosition) {
  for (const auto& row : test_rows::faults_with_position()) {
    EXPECT_EQ(parse_error(row.json), row.message) << row.json;
  }
}

// The place is data beside the message: the byte offset reading stood at,
// and the line and column (characters, not bytes) that the text names.
TEST(ParseCaseMetadata, GivesEachFaultsPlaceAsDataBesideItsMessage) {
  const struct {
    std::string json;
    std::string message;
    std::size_t offset;
    std::size_t line;
    std::size_t column;
  } rows[] = {
      {"{\n  \"machine\": 5}", "invalid type: integer `5`, expected a string", 16, 2, 14},
      {"{\n", "EOF while parsing an object", 2, 2, 0},
      {"{\"machine\":\"\xC3\xA9\xC3\xA9\"x", "expected `,` or `}`", 18, 1, 16},
      {"{\"machine\":\"a at line 9 column 9\",\n\"material\":true}",
       "invalid type: boolean `true`, expected a string", 50, 2, 15},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.json);
    const auto result = parse_case_metadata(row.json);
    ASSERT_FALSE(result);
    const json::Error& fault = result.error();
    EXPECT_EQ(fault.message, row.message);
    EXPECT_EQ(fault.offset, row.offset);
    EXPECT_EQ(fault.position.line, row.line);
    EXPECT_EQ(fault.position.column, row.column);
    EXPECT_EQ(fault.text(), row.message + " at line " + std::to_string(row.line) + " column " +
                                std::to_string(row.column));
  }
}

TEST(ParseCaseMetadata, NamesEachValueExactlyAsTheFileHoldsIt) {
  for (const auto& row : test_rows::values_named_as_written()) {
    EXPECT_EQ(parse_error(row.json), row.message) << row.json;
  }
}

TEST(ParseCaseMetadata, ReportsFieldFaultsOfProductsAndPoints) {
  const struct {
    std::string product;
    std::string message;  // without the position
  } cases[] = {
      {R"({"bounding_box":[],"stl":""})", "missing field `product_type`"},
      {R"({"product_type":"Crown","stl":""})", "missing field `bounding_box`"},
      {R"({"product_type":"Crown","bounding_box":[]})", "missing field `stl`"},
      {R"(["Crown"])", "invalid length 2, expected struct Product with 7 elements"},
      {R"(["Crown",[],[],"","",""])", "invalid length 6, expected struct Product with 7 elements"},
      {R"(["Crown",[],[],"","","",null,1])", "trailing characters"},
      {R"(["Crown",[],[],"","","",null,])", "trailing comma"},
      {product_with(R"("stl":"b")"), "duplicate field `stl`"},
      {product_with(R"("x":1,"x":2,"stl2":3)"), "<parsed>"},
      {product_with(R"("bounding_box":5)"), "duplicate field `bounding_box`"},
      {R"({"product_type":"Crown","bounding_box":["5"],"stl":""})",
       "invalid type: string \"5\", expected f64"},
      {R"({"product_type":"Crown","bounding_box":[1e400],"stl":""})", "number out of range"},
      {R"({"product_type":"Crown","bounding_box":[1,],"stl":""})", "trailing comma"},
      {R"({"product_type":"Crown","bounding_box":[1.],"stl":""})", "invalid number"},
      {R"({"product_type":"Crown","bounding_box":[01.5],"stl":""})", "invalid number"},
      {R"({"product_type":"Crown","bounding_box":[-01],"stl":""})", "invalid number"},
      {R"({"product_type":"Crown","bounding_box":[.5],"stl":""})", "expected value"},
      {R"({"product_type":"Crown","bounding_box":[1.5e],"stl":""})", "invalid number"},
      {product_with(R"("tooth_iso_number":[11,])"), "trailing comma"},
      {R"({"product_type":"Crown","bounding_box":[-1e400],"stl":""})", "number out of range"},
      {R"({"product_type":2,"bounding_box":[],"stl":""})", "expected value"},
      {R"({"product_type":null,"bounding_box":[],"stl":""})", "expected value"},
      {R"({"product_type":["Inlay"],"bounding_box":[],"stl":""})", "expected value"},
      {R"({"product_type":{},"bounding_box":[],"stl":""})", "expected value"},
      {R"({"product_type":{"Inlay":null,"Onlay":null},"bounding_box":[],"stl":""})",
       "expected value"},
      {R"({"product_type":{"Inlay":5},"bounding_box":[],"stl":""})",
       "invalid type: integer `5`, expected unit"},
      {product_with(R"("tooth_iso_number":11)"), "invalid type: integer `11`, expected a sequence"},
      {product_with(R"("tooth_iso_number":null)"), "invalid type: null, expected a sequence"},
      {product_with(R"("margin_line_coordinates":5)"),
       "invalid type: integer `5`, expected a sequence"},
      {product_with(R"("margin_line_coordinates":[5])"),
       "invalid type: integer `5`, expected struct Vec3"},
      {product_with(R"("margin_line_coordinates":[{"x":1,"y":2}])"), "missing field `z`"},
      {product_with(R"("margin_line_coordinates":[[1,2]])"),
       "invalid length 2, expected struct Vec3 with 3 elements"},
      {product_with(R"("margin_line_coordinates":[[1,2,3,4]])"), "trailing characters"},
      {product_with(R"("margin_line_coordinates":[{"x":1,"y":2,"z":3,"x":4}])"),
       "duplicate field `x`"},
      {product_with(R"("margin_line_coordinates":[{"x":1,"x":2,"z":3}])"), "duplicate field `x`"},
      {product_with(R"("margin_line_coordinates":[[1,2,1e400]])"), "number out of range"},
      {product_with(R"("margin_line_coordinates":[{"x":1,"y":2,"z":"3"}])"),
       "invalid type: string \"3\", expected f64"},
  };
  for (const auto& c : cases) {
    std::string error = parse_error(case_with_products(c.product));
    if (const auto at = error.find(" at line "); at != std::string::npos) error.resize(at);
    EXPECT_EQ(error, c.message) << c.product;
  }
}

TEST(ParseCaseMetadata, ExplainsToothNumbersThatFitNeitherWay) {
  const struct {
    const char* entry;
    const char* first;
    const char* second;
  } cases[] = {
      {"11.0", "invalid type: floating point `11.0`, expected u32",
       "invalid type: floating point `11.0`, expected a string"},
      {"-1", "invalid value: integer `-1`, expected u32",
       "invalid type: integer `-1`, expected a string"},
      {"4294967296", "invalid value: integer `4294967296`, expected u32",
       "invalid type: integer `4294967296`, expected a string"},
      {"18446744073709551615", "invalid value: integer `18446744073709551615`, expected u32",
       "invalid type: integer `18446744073709551615`, expected a string"},
      {"18446744073709551616", "invalid value: integer `18446744073709551616`, expected u32",
       "invalid type: integer `18446744073709551616`, expected a string"},
      {"-99999999999999999999", "invalid value: integer `-99999999999999999999`, expected u32",
       "invalid type: integer `-99999999999999999999`, expected a string"},
      {R"("-1")", "invalid type: string \"-1\", expected u32", "invalid digit found in string"},
      {R"("1 2")", "invalid type: string \"1 2\", expected u32", "invalid digit found in string"},
      {R"("4294967296")", "invalid type: string \"4294967296\", expected u32",
       "number too large to fit in target type"},
      {R"("42949672950x")", "invalid type: string \"42949672950x\", expected u32",
       "number too large to fit in target type"},  // too large before the letter
      {R"("4x4294967296")", "invalid type: string \"4x4294967296\", expected u32",
       "invalid digit found in string"},
      {R"("000000000000000000000004294967296")",
       "invalid type: string \"000000000000000000000004294967296\", expected u32",
       "number too large to fit in target type"},
      {R"("")", "invalid type: string \"\", expected u32",
       "cannot parse integer from empty string"},
      {R"("+")", "invalid type: string \"+\", expected u32", "invalid digit found in string"},
      {"null", "invalid type: null, expected u32", "invalid type: null, expected a string"},
      {"true", "invalid type: boolean `true`, expected u32",
       "invalid type: boolean `true`, expected a string"},
      {"[1]", "invalid type: sequence, expected u32", "invalid type: sequence, expected a string"},
      {R"({"a":1})", "invalid type: map, expected u32", "invalid type: map, expected a string"},
  };
  for (const auto& c : cases) {
    std::string error = parse_error(
        case_with_products(product_with(std::string(R"("tooth_iso_number":[)") + c.entry + "]")));
    if (const auto at = error.rfind(" at line "); at != std::string::npos) error.resize(at);
    EXPECT_EQ(error, std::string("PickFirst could not deserialize any variant:\n  First: ") +
                         c.first + "\n  Second: " + c.second)
        << c.entry;
  }
}

TEST(ParseCaseMetadata, SpendsItsDepthBudgetOnlyOnValuesItReads) {
  // Four levels of the case itself (case, products, product, tooth numbers)
  // leave room for 123 nested arrays inside a tooth number entry, not 124.
  auto nested = [](int depth) {
    return case_with_products(product_with(
        std::string(R"("tooth_iso_number":[)") + std::string(static_cast<std::size_t>(depth), '[') +
        std::string(static_cast<std::size_t>(depth), ']') + "]"));
  };
  EXPECT_TRUE(parse_error(nested(123)).starts_with("PickFirst")) << parse_error(nested(123));
  EXPECT_TRUE(parse_error(nested(124)).starts_with("recursion limit exceeded"))
      << parse_error(nested(124));
  EXPECT_TRUE(parse_error(nested(100000)).starts_with("recursion limit exceeded"));
  // A case written as nested arrays fails at its first field, whatever follows.
  EXPECT_EQ(parse_error(std::string(100000, '[')),
            "invalid type: sequence, expected a string at line 1 column 1");
}

// Coordinates written in full (16 or more significant digits) read as the
// nearest double, as strtod gives it; a plain decimal too large for a double
// is out of range.
TEST(ParseCaseMetadata, ReadsCoordinatesWrittenInFullAsTheNearestDouble) {
  const std::string texts[] = {
      "-8.115575937814128",
      "5.6658682786431225",
      "0.10000000000000001",
      "12345678901234567.5",
      "-0.000000000000000000012345678901234567",
      "9007199254740993.0000000000000000001",
      "1." + std::string(400, '0') + "1",
  };
  for (const std::string& text : texts) {
    SCOPED_TRACE(text);
    const Product product = only_product(case_with_products(product_with(
        R"("margin_line_coordinates":[[)" + text + ",0,0],{\"x\":0,\"y\":" + text + ",\"z\":0}]")));
    ASSERT_TRUE(product.margin_line_coordinates);
    const double expected = std::strtod(text.c_str(), nullptr);
    EXPECT_EQ(*product.margin_line_coordinates,
              (PointList{Vec3{expected, 0, 0}, Vec3{0, expected, 0}}));
  }
  std::string error = parse_error(case_with_products(
      product_with(R"("margin_line_coordinates":[[1)" + std::string(400, '0') + ".5,0,0]]")));
  error.resize(error.find(" at line "));
  EXPECT_EQ(error, "number out of range");
}

}  // namespace
}  // namespace qfm
