#include "qfm/case_metadata_parser.h"

#include <array>
#include <limits>
#include <span>

#include "platform/large_memory.h"
#include "qfm/json_reader.h"
#include "qfm/points_ahead.h"

namespace qfm {

namespace {

using json::Reader;
using json::Result;

// A record read from either JSON form: an object with named members or an
// array holding the field values in field order.
struct FieldShape {
  std::string_view name;
  bool required_in_object;
  bool required_in_array;
};

struct RecordShape {
  std::string_view expecting;  // "struct Product"
  std::span<const FieldShape> fields;
};

constexpr std::array kCaseFields = {
    FieldShape{"case_name", false, false}, FieldShape{"machine", true, true},
    FieldShape{"material", true, true},    FieldShape{"material_brand_reference", true, true},
    FieldShape{"products", true, true},
};
constexpr std::array kProductFields = {
    FieldShape{"product_type", true, true},
    FieldShape{"tooth_iso_number", false, false},
    FieldShape{"bounding_box", true, true},
    FieldShape{"color", false, false},
    FieldShape{"stl", true, true},
    FieldShape{"pts", false, false},
    // Absent means no points in an object; an array must still hold it.
    FieldShape{"margin_line_coordinates", false, true},
};
constexpr std::array kVec3Fields = {
    FieldShape{"x", true, true},
    FieldShape{"y", true, true},
    FieldShape{"z", true, true},
};

constexpr RecordShape kCaseShape{"struct CaseMetadata", kCaseFields};
constexpr RecordShape kProductShape{"struct Product", kProductFields};
constexpr RecordShape kVec3Shape{"struct Vec3", kVec3Fields};

std::string invalid_length(const RecordShape& shape, std::size_t position) {
  return "invalid length " + std::to_string(position) + ", expected " +
         std::string(shape.expecting) + " with " + std::to_string(shape.fields.size()) +
         " elements";
}

std::optional<std::size_t> field_index(const RecordShape& shape, std::string_view name) {
  for (std::size_t i = 0; i < shape.fields.size(); ++i) {
    const std::string_view field = shape.fields[i].name;
    // The first letter rules out nearly every other field before a compare,
    // and settles the one-letter names of points alone.
    if (field.size() == name.size() && field[0] == name[0] &&
        (field.size() == 1 || field.substr(1) == name.substr(1))) {
      return i;
    }
  }
  return std::nullopt;
}

template <typename Record, typename ReadField>
Result<Record> read_object_form(Reader& reader, const RecordShape& shape, ReadField& read_field) {
  Record record{};
  std::array<bool, 8> seen{};
  bool first = true;
  for (;;) {
    const auto key = reader.next_key(first);
    if (!key) return std::unexpected(key.error());
    if (!*key) break;
    const auto index = field_index(shape, **key);
    if (index && seen[*index]) {
      return std::unexpected(reader.error_here("duplicate field `" + std::string(**key) + "`"));
    }
    if (auto colon = reader.read_colon(); !colon) return std::unexpected(colon.error());
    if (!index) {
      if (auto skipped = reader.skip_value(); !skipped) return std::unexpected(skipped.error());
      continue;
    }
    seen[*index] = true;
    if (auto read = read_field(reader, *index, record); !read) return std::unexpected(read.error());
  }
  reader.take();  // the closing brace, so that a missing field points at it
  for (std::size_t i = 0; i < shape.fields.size(); ++i) {
    if (!seen[i] && shape.fields[i].required_in_object) {
      return std::unexpected(
          reader.error_here("missing field `" + std::string(shape.fields[i].name) + "`"));
    }
  }
  return record;
}

template <typename Record, typename ReadField>
Result<Record> read_array_form(Reader& reader, const RecordShape& shape, ReadField& read_field) {
  Record record{};
  bool first = true;
  for (std::size_t i = 0; i < shape.fields.size(); ++i) {
    const auto more = reader.has_next_element(first);
    if (!more) return std::unexpected(more.error());
    if (*more) {
      if (auto read = read_field(reader, i, record); !read) return std::unexpected(read.error());
    } else if (shape.fields[i].required_in_array) {
      reader.take();  // the closing bracket
      return std::unexpected(reader.error_here(invalid_length(shape, i)));
    }
  }
  if (auto end = reader.end_sequence(); !end) return std::unexpected(end.error());
  return record;
}

template <typename Record, typename ReadField>
Result<Record> read_record(Reader& reader, const RecordShape& shape, ReadField read_field) {
  const auto next = reader.peek_after_white_space();
  if (!next) return std::unexpected(reader.error_at_next("EOF while parsing a value"));
  if (*next != '[' && *next != '{') return std::unexpected(reader.invalid_type(shape.expecting));
  if (auto entered = reader.enter_nesting(); !entered) return std::unexpected(entered.error());
  reader.take();
  auto record = *next == '{' ? read_object_form<Record>(reader, shape, read_field)
                             : read_array_form<Record>(reader, shape, read_field);
  reader.leave_nesting();
  return record;
}

// Reads a JSON array, handing each element to `read_element`.
template <typename ReadElement>
Result<void> read_sequence(Reader& reader, ReadElement read_element) {
  const auto next = reader.peek_after_white_space();
  if (!next) return std::unexpected(reader.error_at_next("EOF while parsing a value"));
  if (*next != '[') return std::unexpected(reader.invalid_type("a sequence"));
  if (auto entered = reader.enter_nesting(); !entered) return std::unexpected(entered.error());
  reader.take();
  bool first = true;
  for (;;) {
    const auto more = reader.has_next_element(first);
    if (!more) return std::unexpected(more.error());
    if (!*more) break;
    if (auto read = read_element(reader); !read) return std::unexpected(read.error());
  }
  reader.leave_nesting();
  return reader.end_sequence();
}

// Reads a JSON array whose elements `read_element` turns into list entries.
template <typename T, typename ReadElement>
Result<void> read_list_into(Reader& reader, std::vector<T>& list, ReadElement read_element) {
  return read_sequence(reader, [&](Reader& r) -> Result<void> {
    auto element = read_element(r);
    if (!element) return std::unexpected(element.error());
    platform::append_to_growing_list(list, std::move(*element));
    return {};
  });
}

Result<std::string> read_text(Reader& reader) {
  const auto next = reader.peek_after_white_space();
  if (!next) return std::unexpected(reader.error_at_next("EOF while parsing a value"));
  if (*next != '"') return std::unexpected(reader.invalid_type("a string"));
  reader.take();
  const auto text = reader.read_string_body();
  if (!text) return std::unexpected(text.error());
  return std::string(*text);
}

Result<double> read_f64(Reader& reader) {
  const auto next = reader.peek_after_white_space();
  if (!next) return std::unexpected(reader.error_at_next("EOF while parsing a value"));
  if (*next != '-' && (*next < '0' || *next > '9'))
    return std::unexpected(reader.invalid_type("f64"));
  return reader.read_double();
}

ProductType product_type_named(std::string_view name) {
  if (name == "Inlay") return ProductType::Inlay;
  if (name == "Onlay") return ProductType::Onlay;
  if (name == "Overlay") return ProductType::Overlay;
  if (name == "Veneer") return ProductType::Veneer;
  if (name == "Model") return ProductType::Model;
  return ProductType::Crown;
}

// A string, or an object whose one member is the type's name with null.
Result<ProductType> read_product_type(Reader& reader) {
  const auto next = reader.peek_after_white_space();
  if (!next) return std::unexpected(reader.error_at_next("EOF while parsing a value"));
  if (*next == '"') {
    reader.take();
    const auto name = reader.read_string_body();
    if (!name) return std::unexpected(name.error());
    return product_type_named(*name);
  }
  if (*next != '{') return std::unexpected(reader.error_at_next("expected value"));
  if (auto entered = reader.enter_nesting(); !entered) return std::unexpected(entered.error());
  reader.take();
  const auto key = reader.peek_after_white_space();
  if (!key) return std::unexpected(reader.error_at_next("EOF while parsing a value"));
  if (*key != '"') return std::unexpected(reader.invalid_type("variant identifier"));
  reader.take();
  const auto name = reader.read_string_body();
  if (!name) return std::unexpected(name.error());
  const ProductType type = product_type_named(*name);
  if (auto colon = reader.read_colon(); !colon) return std::unexpected(colon.error());
  const auto value = reader.peek_after_white_space();
  if (!value) return std::unexpected(reader.error_at_next("EOF while parsing a value"));
  if (*value != 'n') return std::unexpected(reader.invalid_type("unit"));
  reader.take();
  if (auto null = reader.read_ident_rest("ull"); !null) return std::unexpected(null.error());
  reader.leave_nesting();
  const auto end = reader.peek_after_white_space();
  if (!end) return std::unexpected(reader.error_here("EOF while parsing an object"));
  if (*end != '}') return std::unexpected(reader.error_here("expected value"));
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
  std::uint64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::unexpected(std::string("invalid digit found in string"));
    value = value * 10 + static_cast<std::uint64_t>(c - '0');
    if (value > std::numeric_limits<std::uint32_t>::max()) {
      return std::unexpected(std::string("number too large to fit in target type"));
    }
  }
  return static_cast<std::uint32_t>(value);
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

std::string material_code(std::string material) {
  static constexpr std::array<std::pair<std::string_view, std::string_view>, 8> kCodes = {{
      {"RESIN", "3DP"},
      {"COMPOSITE", "CR"},
      {"ZIRCONIUM", "ZR"},
      {"GLASS_CERAMIC", "GC"},
      {"ACRYLIC_RESIN", "PMMA"},
      {"HYBRID_CERAMIC", "HC"},
      {"LITHIUM_DISILICATE", "LD"},
      {"FELDSPATHIC_CERAMIC", "FC"},
  }};
  for (const auto& [name, code] : kCodes) {
    if (material == name) return std::string(code);
  }
  return material;
}

// Takes `c` after white space, or tells that it is not there.
bool take_char(Reader& reader, char c) {
  if (reader.peek_after_white_space() != c) return false;
  reader.take();
  return true;
}

// Takes a member name and its colon, when it is exactly `name`.
bool take_key(Reader& reader, std::string_view name) {
  if (!take_char(reader, '"')) return false;
  const auto key = reader.read_string_body();
  return key && *key == name && take_char(reader, ':');
}

bool take_number(Reader& reader, double& value) {
  const auto next = reader.peek_after_white_space();
  if (!next || (*next != '-' && (*next < '0' || *next > '9'))) return false;
  const auto read = reader.read_double();
  if (!read) return false;
  value = *read;
  return true;
}

// The two forms that points nearly always take, [x, y, z] and
// {"x": x, "y": y, "z": z}, read without the record machinery; none when
// the text is any other way.
std::optional<Vec3> read_usual_vec3(Reader& reader) {
  Vec3 point;
  if (take_char(reader, '[')) {
    if (take_number(reader, point.x) && take_char(reader, ',') && take_number(reader, point.y) &&
        take_char(reader, ',') && take_number(reader, point.z) && take_char(reader, ']')) {
      return point;
    }
    return std::nullopt;
  }
  if (take_char(reader, '{') && take_key(reader, "x") && take_number(reader, point.x) &&
      take_char(reader, ',') && take_key(reader, "y") && take_number(reader, point.y) &&
      take_char(reader, ',') && take_key(reader, "z") && take_number(reader, point.z) &&
      take_char(reader, '}')) {
    return point;
  }
  return std::nullopt;
}

// A point is read the usual way first; any other text (another order,
// other members, a fault) is read again from its start by the general
// record reader, which has every rule and message. Its depth never comes
// near the limit, so the shortcut need not count it.
Result<Vec3> read_vec3(Reader& reader) {
  const std::size_t start = reader.position();
  if (const auto point = read_usual_vec3(reader)) return *point;
  reader.rewind(start);
  return read_record<Vec3>(reader, kVec3Shape,
                           [](Reader& r, std::size_t field, Vec3& point) -> Result<void> {
                             auto value = read_f64(r);
                             if (!value) return std::unexpected(value.error());
                             (field == 0 ? point.x : field == 1 ? point.y : point.z) = *value;
                             return {};
                           });
}

Result<std::optional<std::vector<Vec3>>> read_margin_line_coordinates(Reader& reader) {
  if (reader.peek_after_white_space() == 'n') {
    reader.take();
    if (auto null = reader.read_ident_rest("ull"); !null) return std::unexpected(null.error());
    return std::optional<std::vector<Vec3>>{};
  }
  std::vector<Vec3> points;
  // A long array's usual points are read ahead on every core and taken a
  // stretch at a time where they begin.
  PointsAhead ahead(reader.text(), read_usual_vec3);
  std::optional<std::size_t> array_start;
  const auto read = read_sequence(reader, [&](Reader& r) -> Result<void> {
    if (!array_start) array_start = r.position();
    if (const PointStretch* stretch = ahead.at(*array_start, r.position())) {
      platform::reserve_growing_list(points, ahead.room_for(points.size(), points.capacity()));
      points.insert(points.end(), stretch->points.begin(), stretch->points.end());
      r.rewind(stretch->end);
      return {};
    }
    auto point = read_vec3(r);
    if (!point) return std::unexpected(point.error());
    platform::append_to_growing_list(points, *point);
    return {};
  });
  if (!read) return std::unexpected(read.error());
  return std::optional<std::vector<Vec3>>{std::move(points)};
}

Result<void> read_product_field(Reader& reader, std::size_t field, Product& product) {
  switch (field) {
    case 0: {
      auto type = read_product_type(reader);
      if (!type) return std::unexpected(type.error());
      product.product_type = *type;
      return {};
    }
    case 1:
      return read_list_into(reader, product.tooth_iso_number, read_tooth_number);
    case 2:
      return read_list_into(reader, product.bounding_box, read_f64);
    case 6: {
      auto points = read_margin_line_coordinates(reader);
      if (!points) return std::unexpected(points.error());
      product.margin_line_coordinates = std::move(*points);
      return {};
    }
    default: {
      auto text = read_text(reader);
      if (!text) return std::unexpected(text.error());
      (field == 3 ? product.color : field == 4 ? product.stl : product.pts) = std::move(*text);
      return {};
    }
  }
}

Result<void> read_case_field(Reader& reader, std::size_t field, CaseMetadata& case_metadata) {
  if (field == 4) {
    return read_list_into(reader, case_metadata.products, [](Reader& r) {
      return read_record<Product>(r, kProductShape, read_product_field);
    });
  }
  auto text = read_text(reader);
  if (!text) return std::unexpected(text.error());
  switch (field) {
    case 0:
      case_metadata.case_name = std::move(*text);
      break;
    case 1:
      case_metadata.machine = std::move(*text);
      break;
    case 2:
      case_metadata.material = material_code(std::move(*text));
      break;
    default:
      case_metadata.material_brand_reference = std::move(*text);
      break;
  }
  return {};
}

}  // namespace

std::expected<CaseMetadata, std::string> parse_case_metadata(std::string_view text) {
  Reader reader(text);
  auto case_metadata = read_record<CaseMetadata>(reader, kCaseShape, read_case_field);
  if (!case_metadata) return std::unexpected(case_metadata.error());
  if (auto end = reader.end_of_text(); !end) return std::unexpected(end.error());
  return case_metadata;
}

}  // namespace qfm
