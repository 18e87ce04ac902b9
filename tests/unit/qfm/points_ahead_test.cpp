// Margin arrays long enough to be read ahead on every core read exactly as
// short ones: the same points, the same faults at the same positions.
#include "qfm/points_ahead.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "qfm/case_metadata_parser.h"

namespace qfm {
namespace {

// Point i, with values that print and read back exactly.
Vec3 point_number(std::size_t i) {
  const auto x = static_cast<double>(i);
  return Vec3{x, x + 0.5, -x * 0.25};
}

// ObjectsReordered: no point in the usual form, so read ahead, every
// stretch is empty.
enum class Form { Objects, Arrays, ObjectsSpaced, ObjectsReordered };

// Three numbers between four texts, put together by appending: a text
// literal put in front of a std::string makes GCC 12 at -O2 warn of an
// overlap that cannot happen (-Wrestrict).
std::string spelled(const char* open, double a, const char* ab, double b, const char* bc, double c,
                    const char* close) {
  std::string text = open;
  for (const auto& [value, after] : {std::pair{a, ab}, std::pair{b, bc}, std::pair{c, close}}) {
    text += std::to_string(value);
    text += after;
  }
  return text;
}

std::string point_text(Form form, const Vec3& p) {
  switch (form) {
    case Form::Objects:
      return spelled(R"({"x":)", p.x, R"(,"y":)", p.y, R"(,"z":)", p.z, "}");
    case Form::Arrays:
      return spelled("[", p.x, ",", p.y, ",", p.z, "]");
    case Form::ObjectsSpaced:
      return spelled(R"({ "x" : )", p.x, R"( , "y": )", p.y, R"(, "z" :)", p.z, " }");
    case Form::ObjectsReordered:
      return spelled(R"({"z":)", p.z, R"(,"y":)", p.y, R"(,"x":)", p.x, "}");
  }
  return {};
}

// A case whose one product holds `count` points, each on a line of its own;
// point `odd_at` (when below count) is written as `odd` instead, and every
// `unusual_every`th point (when not 0) with its members in another order
// and one more member, which the usual form does not take.
struct Layout {
  Form form = Form::Objects;
  std::size_t count = 0;
  std::size_t odd_at = SIZE_MAX;
  std::string odd;
  std::size_t unusual_every = 0;
  std::string after;  // text between the last point and the closing bracket
};

std::string case_text(const Layout& layout) {
  std::string text =
      R"({"machine":"VHF_K5","material":"ZR","material_brand_reference":"","products":[)"
      R"({"product_type":"Crown","bounding_box":[0,0,0,0,0,0],"stl":"a.stl",)"
      R"("margin_line_coordinates":[)";
  for (std::size_t i = 0; i < layout.count; ++i) {
    text += i == 0 ? "\n" : ",\n";
    const Vec3 p = point_number(i);
    if (i == layout.odd_at) {
      text += layout.odd;
    } else if (layout.unusual_every != 0 && i % layout.unusual_every == 0) {
      text += R"({"z":)" + std::to_string(p.z) + R"(,"y":)" + std::to_string(p.y) +
              R"(,"w":[1,{"x":2}],"x":)" + std::to_string(p.x) + "}";
    } else {
      text += point_text(layout.form, p);
    }
  }
  return text + layout.after + "]}]}";
}

PointList numbered_points(std::size_t count) {
  PointList points;
  for (std::size_t i = 0; i < count; ++i) points.push_back(point_number(i));
  return points;
}

// Enough points to fill more than one window read ahead.
constexpr std::size_t kMany = 150'000;

TEST(PointsAhead, ReadsLongArraysAsTheReaderDoesShortOnes) {
  const struct {
    const char* name;
    Layout layout;
  } rows[] = {
      {"objects", {Form::Objects, kMany, SIZE_MAX, "", 0, ""}},
      {"arrays", {Form::Arrays, kMany, SIZE_MAX, "", 0, ""}},
      {"objects with white space", {Form::ObjectsSpaced, kMany, SIZE_MAX, "", 0, ""}},
      {"unusual objects among them", {Form::Objects, kMany, SIZE_MAX, "", 997, ""}},
      {"no usual object at all", {Form::ObjectsReordered, kMany, SIZE_MAX, "", 0, ""}},
      {"white space before the end", {Form::Arrays, kMany, SIZE_MAX, "", 0, " \n "}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const auto result = parse_case_metadata(case_text(row.layout));
    ASSERT_TRUE(result) << result.error().text();
    ASSERT_EQ(result->products.size(), 1u);
    ASSERT_TRUE(result->products[0].margin_line_coordinates);
    EXPECT_TRUE(*result->products[0].margin_line_coordinates == numbered_points(kMany));
  }
}

// A fault deep in a long array is the one reported, at its line and column:
// those of the same fault after a single point, moved down by the lines of
// the points between.
TEST(PointsAhead, ReportsAFaultDeepInALongArrayWhereItIs) {
  const struct {
    const char* name;
    Layout layout;
  } rows[] = {
      {"missing member", {Form::Objects, kMany, 90'000, R"({"x":1,"y":2})", 0, ""}},
      {"number out of range", {Form::Arrays, kMany, 70'000, "[1,2,1e400]", 0, ""}},
      {"not a point", {Form::Objects, kMany, 120'000, "5", 0, ""}},
      {"missing comma", {Form::Arrays, kMany, 60'000, "[1,2,3] [4,5,6]", 0, ""}},
      {"stray character for a comma", {Form::Arrays, kMany, 60'000, "[1,2,3]x[4,5,6]", 0, ""}},
      {"trailing comma", {Form::Objects, kMany, SIZE_MAX, "", 0, ",\n"}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const auto long_result = parse_case_metadata(case_text(row.layout));
    ASSERT_FALSE(long_result);
    Layout short_layout = row.layout;
    const std::size_t before = row.layout.odd_at == SIZE_MAX ? kMany - 1 : row.layout.odd_at - 1;
    short_layout.count = row.layout.count - before;
    short_layout.odd_at = row.layout.odd_at == SIZE_MAX ? SIZE_MAX : 1;
    const auto short_result = parse_case_metadata(case_text(short_layout));
    ASSERT_FALSE(short_result);
    const std::string expected = short_result.error().text();
    const auto line_at = expected.find(" at line ") + 9;
    const std::size_t line = std::stoul(expected.substr(line_at));
    EXPECT_EQ(long_result.error().text(), expected.substr(0, line_at) +
                                              std::to_string(line + before) +
                                              expected.substr(expected.find(" column ")));
  }
}

}  // namespace
}  // namespace qfm
