// Every road to a point reads it by the same rule: a fault in a coordinate
// gives the same message whatever the point's form (an array, an object in
// each order of its members) and wherever it stands (a short array read by
// the one reader, a long one read ahead on every core).
#include "qfm/point_reader.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

#include "qfm/case_metadata_parser.h"

namespace qfm {
namespace {

// A point whose coordinate `faulty` ("x", "y" or "z") is written as
// `value`, in the form `order`: "array", or the members' order ("xyz",
// "zxy", ...), with `space` after each ":" and "," and before the closing
// bracket.
std::string point_text(std::string_view order, char faulty, std::string_view value,
                       std::string_view space = "") {
  const auto coordinate = [&](char name) {
    return name == faulty ? std::string(value) : std::string(name == 'x' ? "1.5" : "-2");
  };
  if (order == "array") {
    // Appended: a text literal put in front of a std::string makes GCC 12
    // at -O2 warn of an overlap that cannot happen (-Wrestrict).
    std::string text = "[";
    for (const char name : {'x', 'y', 'z'}) {
      if (name != 'x') {
        text += ',';
        text += space;
      }
      text += coordinate(name);
    }
    text += space;
    return text + "]";
  }
  std::string text = "{";
  for (const char name : order) {
    if (text.size() > 1) {
      text += ",";
      text += space;
    }
    text += std::string("\"") + name + "\":";
    text += space;
    text += coordinate(name);
  }
  text += space;
  return text + "}";
}

// A case whose one margin holds `before` usual points, each on a line of
// its own, then `point` on a line of its own.
std::string case_with_point(std::size_t before, const std::string& point) {
  std::string text =
      R"({"machine":"VHF_K5","material":"ZR","material_brand_reference":"","products":[)"
      R"({"product_type":"Crown","bounding_box":[0,0,0,0,0,0],"stl":"a.stl",)"
      R"("margin_line_coordinates":[)";
  for (std::size_t i = 0; i < before; ++i) text += "\n[" + std::to_string(i) + ",0.5,-0.25],";
  return text + "\n" + point + "\n]}]}";
}

// The message without its position, and the column of that position.
struct Fault {
  std::string text;
  std::string column;
};

Fault fault_of(std::size_t before, const std::string& point) {
  const auto result = parse_case_metadata(case_with_point(before, point));
  if (result) return {"accepted", ""};
  const std::string message = result.error().text();
  const std::size_t at = message.find(" at line ");
  const std::string line = std::to_string(before + 2);
  EXPECT_EQ(message.substr(at + 9, line.size() + 1), line + " ") << message;
  return {message.substr(0, at), message.substr(message.find(" column ") + 8)};
}

TEST(PointReader, AFaultyCoordinateReadsAlikeOnEveryRoad) {
  // Enough points before the fault for the array to be read ahead.
  constexpr std::size_t kReadAhead = 62'000;
  const struct {
    std::string_view value;
    std::string_view message;
  } faults[] = {
      {R"("1")", R"(invalid type: string "1", expected f64)"},
      {"true", "invalid type: boolean `true`, expected f64"},
      {"null", "invalid type: null, expected f64"},
      {"1e400", "number out of range"},
      {"01", "invalid number"},
      {"1.", "invalid number"},
      {"-", "invalid number"},
      {"[1]", "invalid type: sequence, expected f64"},
  };
  const std::array<std::string_view, 7> forms = {"array", "xyz", "xzy", "yxz", "yzx", "zxy", "zyx"};
  // Written close, and spaced as json.dump writes points (the shortcut
  // takes one space), with a space before the closing bracket too.
  const std::array<std::string_view, 2> spacings = {"", " "};
  for (const auto& fault : faults) {
    for (const std::string_view form : forms) {
      for (const std::string_view space : spacings) {
        for (const char faulty : {'x', 'y', 'z'}) {
          SCOPED_TRACE(std::string(fault.value) + " as " + faulty + " in " + std::string(form) +
                       (space.empty() ? "" : ", spaced"));
          const std::string point = point_text(form, faulty, fault.value, space);
          const Fault alone = fault_of(0, point);
          EXPECT_EQ(alone.text, fault.message);
          const Fault read_ahead = fault_of(kReadAhead, point);
          EXPECT_EQ(read_ahead.text, alone.text);
          EXPECT_EQ(read_ahead.column, alone.column);
        }
      }
    }
  }
}

// The usual forms are the shortcut's; any other text is left to the
// field table, which reads it with the same coordinate rule.
TEST(PointReader, ReadsEveryFormToTheSamePoint) {
  const Vec3 expected{1.5, -2, 0.25};
  for (const std::string_view text :
       {"[1.5,-2,0.25]", " [ 1.5 , -2 , 0.25 ] ", R"({"x":1.5,"y":-2,"z":0.25})",
        R"({"z":0.25,"x":1.5,"y":-2})", R"({"x":1.5,"y":-2,"z":0.25,"w":[1]})",
        R"({"x":15e-1,"y":-2.0,"z":0.25})", R"({"x" : 1.5 , "y":-2,"z":0.25 })",
        R"({"x": 1.5, "y": -2, "z": 0.25})", "[1.5, -2, 0.25]", R"({"x":  1.5,"y":-2,"z":0.25})",
        "{\"x\":\t1.5,\"y\":-2,\"z\":0.25}", "[1.5,\n-2,0.25]"}) {
    SCOPED_TRACE(text);
    json::Reader reader(text);
    const auto point = read_point(reader);
    ASSERT_TRUE(point) << point.error().text();
    EXPECT_EQ(*point, expected);
  }
}

// The shortcut takes the usual forms written close and as json.dump writes
// them, one space after ":" and ",", or one before the closing bracket,
// and leaves the reader after the point.
TEST(PointReader, TheShortcutTakesOneSpaceWhereJsonDumpWritesIt) {
  const Vec3 expected{1.5, -2, 0.25};
  for (const std::string_view text :
       {"[1.5,-2,0.25]", "[1.5, -2, 0.25]", "[1.5, -2, 0.25 ]", R"({"x":1.5,"y":-2,"z":0.25})",
        R"({"x": 1.5, "y": -2, "z": 0.25})", R"({"x": 1.5, "y": -2, "z": 0.25 })"}) {
    SCOPED_TRACE(text);
    json::Reader reader(text);
    const auto point = read_usual_point(reader);
    ASSERT_TRUE(point);
    EXPECT_EQ(*point, expected);
    EXPECT_EQ(reader.position(), text.size());
  }
}

}  // namespace
}  // namespace qfm
