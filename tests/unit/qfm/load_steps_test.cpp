// The case loader's steps, for a program that reads the files itself (the
// checker): from the same bytes they give what load_case gives, its case
// or its failure word for word; and the product type names are one table
// that reading follows.
#include <gtest/gtest.h>

#include <fstream>

#include "qfm/case_metadata_parser.h"
#include "qfm/load_case.h"
#include "qfm/margin_line.h"
#include "qfm/product_type.h"
#include "temporary_folder.h"

namespace qfm {
namespace {

bool same_case(const CaseMetadata& a, const CaseMetadata& b) {
  if (a.case_name != b.case_name || a.machine != b.machine ||
      a.products.size() != b.products.size())
    return false;
  for (std::size_t i = 0; i < a.products.size(); ++i) {
    const Product& p = a.products[i];
    const Product& q = b.products[i];
    if (p.product_type != q.product_type || p.tooth_iso_number != q.tooth_iso_number ||
        p.pts != q.pts ||
        p.margin_line_coordinates.has_value() != q.margin_line_coordinates.has_value())
      return false;
    if (p.margin_line_coordinates &&
        !std::equal(p.margin_line_coordinates->begin(), p.margin_line_coordinates->end(),
                    q.margin_line_coordinates->begin(), q.margin_line_coordinates->end()))
      return false;
  }
  return true;
}

class LoadSteps : public testing_support::TemporaryFolderTest {
 protected:
  void write(const std::string& name, std::string_view bytes) {
    std::ofstream(dir_ / name, std::ios::binary) << bytes;
  }
  // The checker's road: the bytes it read, each margin file's bytes (none
  // where `missing`), then the loader's steps.
  common::Result<CaseMetadata> by_steps(const std::string& text,
                                        const std::vector<std::optional<std::string>>& pts,
                                        std::vector<std::optional<PointList>>& replaced) {
    const auto file = name_case_file((dir_ / "case.json").string());
    auto read = parse_case_file(*file, text);
    if (!read) return read;
    std::vector<MarginLineText> texts;
    for (std::size_t i = 0; i < pts.size() && i < read->products.size(); ++i) {
      if (pts[i]) {
        texts.emplace_back(std::string_view(*pts[i]));
      } else {
        // The system's own error for the file that is not there.
        auto opened = open_margin_line(margin_line_path(dir_.string(), read->products[i]));
        EXPECT_FALSE(opened);
        texts.emplace_back(std::unexpected(opened.error()));
      }
    }
    auto taken = take_margin_lines(*read, dir_.string(), texts, replaced);
    if (!taken) return std::unexpected(taken.error());
    return read;
  }
};

constexpr std::string_view kHead =
    R"({"machine":"VHF_K5","material":"ZR","material_brand_reference":"","products":[)";
constexpr std::string_view kPoints = "BEGIN_M\n1 2 3\n4 5 6\nEND_M\n";

std::string product(const std::string& pts, const std::string& type = "Crown") {
  return R"({"product_type":")" + type +
         R"(","tooth_iso_number":[11],"bounding_box":[0,0,0,1,1,1],"stl":"a.stl","pts":")" + pts +
         R"(","margin_line_coordinates":[[7,8,9]]})";
}

TEST_F(LoadSteps, GiveWhatLoadCaseGivesFromTheSameBytes) {
  const struct {
    std::string what;
    std::string text;
    std::string pts;  // a.pts; b.pts is always missing
  } rows[] = {
      {"a section replacing inline points", std::string(kHead) + product("a.pts") + "]}",
       std::string(kPoints)},
      {"a file that is not UTF-8 keeps the inline points",
       std::string(kHead) + product("a.pts") + "]}", "BEGIN_M\n1 2 \xFF\nEND_M\n"},
      {"a missing file", std::string(kHead) + product("a.pts") + "," + product("b.pts") + "]}",
       std::string(kPoints)},
      {"a case file that is not UTF-8", "{\"machine\":\"\xFF\"}", std::string(kPoints)},
      {"a JSON fault", std::string(kHead) + "]", std::string(kPoints)},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    write("case.json", row.text);
    write("a.pts", row.pts);
    const auto loaded = load_case((dir_ / "case.json").string());
    std::vector<std::optional<PointList>> replaced;
    const auto stepped = by_steps(row.text, {row.pts, std::nullopt}, replaced);
    ASSERT_EQ(loaded.has_value(), stepped.has_value());
    if (!loaded) {
      EXPECT_EQ(stepped.error().message, loaded.error().message);
      EXPECT_EQ(stepped.error().causes.front(), loaded.error().causes.front());
      continue;
    }
    EXPECT_TRUE(same_case(*loaded, *stepped));
  }
}

TEST_F(LoadSteps, KeepTheInlinePointsThatAFileReplaced) {
  const std::string text = std::string(kHead) + product("a.pts") + "," + product("c.pts") + "]}";
  std::vector<std::optional<PointList>> replaced;
  // c.pts opened but did not read to its end: its product keeps its points.
  const auto stepped = by_steps(text, {std::string(kPoints), std::nullopt}, replaced);
  ASSERT_FALSE(stepped);  // a file that did not open fails the case
  const auto kept = [&] {
    const auto file = name_case_file((dir_ / "case.json").string());
    auto read = parse_case_file(*file, text);
    std::vector<MarginLineText> texts{std::string_view(kPoints), std::optional<std::string_view>()};
    EXPECT_TRUE(take_margin_lines(*read, dir_.string(), texts, replaced));
    return std::move(*read);
  }();
  ASSERT_EQ(replaced.size(), 2u);
  ASSERT_TRUE(replaced[0]);
  EXPECT_EQ(replaced[0]->size(), 1u);
  EXPECT_EQ(kept.products[0].margin_line_coordinates->size(), 2u);
  EXPECT_FALSE(replaced[1]);
  EXPECT_EQ(kept.products[1].margin_line_coordinates->size(), 1u);
}

TEST(ProductTypes, ReadingFollowsTheTableInBothFormsAndTakesAnyOtherNameForACrown) {
  for (const ProductTypeName& entry : product_type_names()) {
    for (const std::string& form :
         {'"' + std::string(entry.name) + '"', "{\"" + std::string(entry.name) + "\": null}"}) {
      SCOPED_TRACE(form);
      const std::string text = std::string(kHead) + R"({"product_type":)" + form +
                               R"(,"bounding_box":[],"stl":"","pts":""}]})";
      const auto read = parse_case_metadata(text);
      ASSERT_TRUE(read) << read.error().text();
      EXPECT_EQ(read->products[0].product_type, entry.type);
      EXPECT_EQ(known_product_type(entry.name), entry.type);
    }
  }
  for (const std::string_view name : {"onlay", "Bridge", "", "Crown "}) {
    EXPECT_FALSE(known_product_type(name)) << name;
    EXPECT_EQ(product_type_named(name), ProductType::Crown) << name;
  }
}

}  // namespace
}  // namespace qfm
