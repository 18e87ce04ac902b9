#include "qfm/point_reader.h"

#include "json/record.h"

namespace qfm {

namespace {

using json::Reader;
using json::Result;

// A coordinate: every road reads each of a point's three numbers here.
[[gnu::always_inline]] inline Result<double> read_coordinate(Reader& reader) {
  return json::read_f64(reader);
}

constexpr json::RecordShape<Vec3, 3> kVec3Shape{
    "struct Vec3",
    {{
        {"x", true, true, json::read_member<&Vec3::x, read_coordinate>},
        {"y", true, true, json::read_member<&Vec3::y, read_coordinate>},
        {"z", true, true, json::read_member<&Vec3::z, read_coordinate>},
    }}};
static_assert(kVec3Shape.names_are_distinct());
constexpr auto kVec3FieldNames = kVec3Shape.names();

// Takes `c` after white space, or tells that it is not there.
bool take_char(Reader& reader, char c) {
  if (reader.peek_after_white_space() != c) return false;
  reader.take();
  return true;
}

// Takes a member name written without escapes, `quoted` (the name in its
// quotes), and its colon, when they come next.
// Inline, so that the name's comparison is one of a known length, not a
// call.
[[gnu::always_inline]] inline bool take_key(Reader& reader, std::string_view quoted) {
  if (reader.peek_after_white_space() != '"') return false;
  const std::string_view text = reader.text();
  const std::size_t at = reader.position();
  if (text.size() - at < quoted.size()) return false;
  for (std::size_t i = 0; i < quoted.size(); ++i) {
    if (text.data()[at + i] != quoted[i]) return false;
  }
  reader.rewind(at + quoted.size());
  return take_char(reader, ':');
}

// Takes `literal` when the text goes on with it at the reader's position.
// Inline, so that the comparison is one of a known length, not a call.
[[gnu::always_inline]] inline bool take_literal(Reader& reader, std::string_view literal) {
  const std::string_view text = reader.text();
  const std::size_t at = reader.position();
  if (text.size() - at < literal.size()) return false;
  for (std::size_t i = 0; i < literal.size(); ++i) {
    if (text.data()[at + i] != literal[i]) return false;
  }
  reader.rewind(at + literal.size());
  return true;
}

bool take_coordinate(Reader& reader, double& value) {
  const auto read = read_coordinate(reader);
  if (!read) [[unlikely]] {
    return false;
  }
  value = *read;
  return true;
}

// The members of an object point after its "{" as programs write them:
// x, y, z in that order, close ({"x":1,"y":2,"z":3}) or spaced as Python's
// json.dump writes them ({"x": 1, "y": 2, "z": 3}), each name with its
// "," and ":" (and their spaces) compared at once. None for any other
// text; the coordinates are read by the one coordinate rule.
std::optional<Vec3> read_usual_members(Reader& reader) {
  if (!take_literal(reader, "\"x\":")) return std::nullopt;
  Vec3 point;
  const auto members = [&](std::string_view y, std::string_view z) {
    return take_coordinate(reader, point.x) && take_literal(reader, y) &&
           take_coordinate(reader, point.y) && take_literal(reader, z) &&
           take_coordinate(reader, point.z) && take_char(reader, '}');
  };
  const bool taken =
      take_literal(reader, " ") ? members(", \"y\": ", ", \"z\": ") : members(",\"y\":", ",\"z\":");
  if (!taken) return std::nullopt;
  return point;
}

}  // namespace

std::optional<Vec3> read_usual_point(Reader& reader) {
  Vec3 point;
  if (take_char(reader, '[')) {
    if (take_coordinate(reader, point.x) && take_char(reader, ',') &&
        take_coordinate(reader, point.y) && take_char(reader, ',') &&
        take_coordinate(reader, point.z) && take_char(reader, ']')) {
      return point;
    }
    return std::nullopt;
  }
  if (!take_char(reader, '{')) return std::nullopt;
  const std::size_t members = reader.position();
  if (const auto written_usually = read_usual_members(reader)) return written_usually;
  reader.rewind(members);
  if (take_key(reader, "\"x\"") && take_coordinate(reader, point.x) && take_char(reader, ',') &&
      take_key(reader, "\"y\"") && take_coordinate(reader, point.y) && take_char(reader, ',') &&
      take_key(reader, "\"z\"") && take_coordinate(reader, point.z) && take_char(reader, '}')) {
    return point;
  }
  return std::nullopt;
}

// The usual form's depth never comes near the nesting limit, so the
// shortcut need not count it.
Result<Vec3> read_point(Reader& reader) {
  const std::size_t start = reader.position();
  if (const auto point = read_usual_point(reader)) return *point;
  reader.rewind(start);
  return json::read_record(reader, kVec3Shape);
}

std::span<const std::string_view> point_field_names() { return kVec3FieldNames; }

}  // namespace qfm
