#include "qfm/case_metadata_parser.h"

#include <array>
#include <limits>

#include "json/reader.h"
#include "json/record.h"
#include "qfm/material_code.h"
#include "qfm/point_reader.h"
#include "qfm/points_ahead.h"
#include "qfm/product_type.h"
#include "text/digits.h"

namespace qfm {

namespace {

using json::expect_value;
using json::read_f64;
using json::read_list_member;
using json::read_member;
using json::read_record;
using json::read_text;
using json::Reader;
using json::Result;

// A string, or an object whose one member is the type's name with null.
Result<ProductType> read_product_type(Reader& reader) {
  const auto opening =
      expect_value(reader, "\"{", [](Reader& r) { return r.error_at_next(json::kExpectedValue); });
  if (!opening) return std::unexpected(opening.error());
  if (*opening == '"') {
    reader.take();
    const auto name = reader.read_string_body();
    if (!name) return std::unexpected(name.error());
    return product_type_named(*name);
  }
  if (auto entered = reader.enter_nesting(); !entered) return std::unexpected(entered.error());
  reader.take();
  if (auto key = expect_value(reader, "\"", "variant identifier"); !key) {
    return std::unexpected(key.error());
  }
  reader.take();
  const auto name = reader.read_string_body();
  if (!name) return std::unexpected(name.error());
  const ProductType type = product_type_named(*name);
  if (auto colon = reader.read_colon(); !colon) return std::unexpected(colon.error());
  if (auto unit = expect_value(reader, "n", "unit"); !unit) return std::unexpected(unit.error());
  if (auto null = reader.read_literal(); !null) return std::unexpected(null.error());
  reader.leave_nesting();
  const auto end = reader.peek_after_white_space();
  if (!end) return std::unexpected(reader.error_here(json::kEofObject));
  if (*end != '}') return std::unexpected(reader.error_here(json::kExpectedValue));
  reader.take();
  return type;
}

// The digits of a tooth number written as text: an optional "+" and
// decimal digits, at most 4294967295.
std::expected<std::uint32_t, std::string> tooth_number_from_text(std::string_view text) {
  if (text.empty()) return std::unexpected(std::string("cannot parse integer from empty string"));
  if (text == "+" || text == "-")
    return std::unexpected(std::string("invalid digit found in string"));
  if (text.front() == '+') text.remove_prefix(1);
  // Read left to right, digits that already pass the limit make the fault
  // before any other character that follows them.
  const text::DigitRun digits = text::read_digit_run(text);
  if (!digits.value || *digits.value > std::numeric_limits<std::uint32_t>::max()) {
    return std::unexpected(std::string("number too large to fit in target type"));
  }
  if (digits.length != text.size()) {
    return std::unexpected(std::string("invalid digit found in string"));
  }
  return static_cast<std::uint32_t>(*digits.value);
}

std::expected<std::uint32_t, std::string> tooth_number_from_integer(const json::AnyValue& value) {
  using Kind = json::Number::Kind;
  if (value.kind != json::AnyValue::Kind::Number || value.number.kind == Kind::Float) {
    return std::unexpected("invalid type: " + value.describe() + ", expected u32");
  }
  const json::Number& number = value.number;
  if (number.kind == Kind::Unsigned &&
      number.unsigned_value <= std::numeric_limits<std::uint32_t>::max()) {
    return static_cast<std::uint32_t>(number.unsigned_value);
  }
  if (number.kind == Kind::Signed && number.signed_value == 0) return 0;  // "-0"
  return std::unexpected("invalid value: " + value.describe() + ", expected u32");
}

// A tooth number is an integer, or else a text holding one.
Result<std::uint32_t> read_tooth_number(Reader& reader) {
  const auto value = reader.read_any();
  if (!value) return std::unexpected(value.error());
  const auto as_integer = tooth_number_from_integer(*value);
  if (as_integer) return *as_integer;
  const auto as_text =
      value->kind == json::AnyValue::Kind::String
          ? tooth_number_from_text(value->text)
          : std::unexpected("invalid type: " + value->describe() + ", expected a string");
  if (as_text) return *as_text;
  return std::unexpected(reader.error_here(
      "PickFirst could not deserialize any variant:\n  First: " + as_integer.error() +
      "\n  Second: " + as_text.error()));
}

Result<std::string> read_material(Reader& reader) {
  auto text = read_text(reader);
  if (!text) return std::unexpected(text.error());
  return material_code(std::move(*text));
}

Result<std::optional<PointList>> read_margin_line_coordinates(Reader& reader) {
  if (reader.peek_after_white_space() == 'n') {
    if (auto null = reader.read_literal(); !null) return std::unexpected(null.error());
    return std::optional<PointList>{};
  }
  PointList points;
  // A long array's usual points are read ahead on every core and taken a
  // stretch at a time where they begin.
  PointsAhead ahead(reader.text());
  std::optional<std::size_t> array_start;
  const auto read = json::read_sequence(reader, [&](Reader& r) -> Result<void> {
    if (!array_start) array_start = r.position();
    if (const PointStretch* stretch = ahead.at(*array_start, r.position())) {
      reserve_points(points, ahead.room_for(points.size(), points.capacity()));
      points.insert(points.end(), stretch->points.begin(), stretch->points.end());
      r.rewind(stretch->end);
      return {};
    }
    auto point = read_point(r);
    if (!point) return std::unexpected(point.error());
    append_point(points, *point);
    return {};
  });
  if (!read) return std::unexpected(read.error());
  return std::optional<PointList>{std::move(points)};
}

// The fields in their array form's order. Absent in an object, only the
// ones marked required fail; margin_line_coordinates may be absent from an
// object (no points) but an array must still hold it.
constexpr json::RecordShape<Product, 7> kProductShape{
    "struct Product",
    {{
        {"product_type", true, true, read_member<&Product::product_type, read_product_type>},
        {"tooth_iso_number", false, false,
         read_list_member<&Product::tooth_iso_number, read_tooth_number>},
        {"bounding_box", true, true, read_list_member<&Product::bounding_box, read_f64>},
        {"color", false, false, read_member<&Product::color, read_text>},
        {"stl", true, true, read_member<&Product::stl, read_text>},
        {"pts", false, false, read_member<&Product::pts, read_text>},
        {"margin_line_coordinates", false, true,
         read_member<&Product::margin_line_coordinates, read_margin_line_coordinates>},
    }}};
static_assert(kProductShape.names_are_distinct());

Result<Product> read_product(Reader& reader) { return read_record(reader, kProductShape); }

constexpr json::RecordShape<CaseMetadata, 5> kCaseShape{
    "struct CaseMetadata",
    {{
        {"case_name", false, false, read_member<&CaseMetadata::case_name, read_text>},
        {"machine", true, true, read_member<&CaseMetadata::machine, read_text>},
        {"material", true, true, read_member<&CaseMetadata::material, read_material>},
        {"material_brand_reference", true, true,
         read_member<&CaseMetadata::material_brand_reference, read_text>},
        {"products", true, true, read_list_member<&CaseMetadata::products, read_product>},
    }}};
static_assert(kCaseShape.names_are_distinct());

constexpr auto kCaseFieldNames = kCaseShape.names();
constexpr auto kProductFieldNames = kProductShape.names();

}  // namespace

std::span<const std::string_view> case_field_names() { return kCaseFieldNames; }
std::span<const std::string_view> product_field_names() { return kProductFieldNames; }

std::expected<CaseMetadata, json::Error> parse_case_metadata(std::string_view text) {
  Reader reader(text);
  auto case_metadata = read_record(reader, kCaseShape);
  if (!case_metadata) return std::unexpected(case_metadata.error());
  if (auto end = reader.end_of_text(); !end) return std::unexpected(end.error());
  return case_metadata;
}

}  // namespace qfm
