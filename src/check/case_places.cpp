#include "check/case_places.h"

#include <algorithm>
#include <functional>
#include <span>

#include "json/reader.h"
#include "qfm/case_metadata_parser.h"
#include "qfm/point_reader.h"

namespace check {

namespace {

using json::Reader;

// Reads on while the reader has no fault; the text was read by the tool
// already, so a fault only ends the walk early.
template <typename T>
bool ok(const json::Result<T>& result) {
  return result.has_value();
}

// Calls `each` at every element of the array at the next character; `each`
// takes the element.
bool walk_array(Reader& reader, const std::function<bool(Reader&, std::size_t)>& each) {
  if (reader.peek_after_white_space() != '[') return false;
  reader.take();
  bool first = true;
  for (std::size_t index = 0;; ++index) {
    const auto more = reader.has_next_element(first);
    if (!more) return false;
    if (!*more) break;
    reader.peek_after_white_space();
    if (!each(reader, index)) return false;
  }
  return ok(reader.end_sequence());
}

bool skip(Reader& reader) { return ok(reader.skip_value()); }

// Calls `value` at every member (object form) or field value (array form)
// of the record at the next character; `value` takes the value.
using ValueWalker = std::function<bool(Reader&, const MemberPlace&)>;

std::optional<RecordPlaces> walk_record(Reader& reader, std::span<const std::string_view> fields,
                                        const ValueWalker& value) {
  const auto opening = reader.peek_after_white_space();
  RecordPlaces record;
  record.offset = reader.position();
  if (opening == '[') {
    const bool walked = walk_array(reader, [&](Reader& r, std::size_t index) {
      if (index >= fields.size()) return skip(r);
      MemberPlace member{std::string(fields[index]), r.position(), r.position(), false};
      record.members.push_back(member);
      return value(r, member);
    });
    if (!walked) return std::nullopt;
    return record;
  }
  if (opening != '{') return std::nullopt;
  reader.take();
  bool first = true;
  for (;;) {
    const auto key = reader.next_key(first);
    if (!key) return std::nullopt;
    if (!*key) break;
    MemberPlace member;
    member.name = std::string(**key);
    // The name's opening quote; an escaped quote inside the name would
    // put it further on, which only moves the column.
    const std::string_view before = reader.text().substr(0, reader.position() - 1);
    const std::size_t quote = before.rfind('"');
    member.name_offset = quote == std::string_view::npos ? reader.position() : quote;
    if (!ok(reader.read_colon())) return std::nullopt;
    reader.peek_after_white_space();
    member.value_offset = reader.position();
    record.members.push_back(member);
    if (!value(reader, member)) return std::nullopt;
  }
  reader.take();
  return record;
}

// Every offset of the array's entries, each skipped.
bool walk_entries(Reader& reader, std::vector<std::size_t>& offsets) {
  return walk_array(reader, [&](Reader& r, std::size_t) {
    offsets.push_back(r.position());
    return skip(r);
  });
}

// The end of the array or object that opens at `start` of a text that the
// case reader has read without fault, whether an object opens inside it,
// and whether a string in it is other than `names` as written (an escape
// counts as other): brackets counted, strings compared, nothing else
// looked at.
struct EnclosedValue {
  std::size_t end = 0;
  bool holds_object = false;
  bool holds_other_string = false;
};

EnclosedValue enclosed_value(std::string_view text, std::size_t start,
                             std::span<const std::string_view> names) {
  EnclosedValue value{text.size(), false, false};
  std::size_t depth = 0;
  for (std::size_t i = start; i < text.size(); ++i) {
    switch (text[i]) {
      case '"': {
        const std::size_t first = i + 1;
        for (++i; i < text.size() && text[i] != '"'; ++i) {
          if (text[i] == '\\') ++i;
        }
        const std::string_view string = text.substr(first, i - first);
        value.holds_other_string = value.holds_other_string ||
                                   std::find(names.begin(), names.end(), string) == names.end();
        break;
      }
      case '{':
        value.holds_object = value.holds_object || depth > 0;
        ++depth;
        break;
      case '[':
        ++depth;
        break;
      case '}':
      case ']':
        if (--depth == 0) {
          value.end = i + 1;
          return value;
        }
        break;
      default:
        break;
    }
  }
  return value;
}

bool is_odd_member(const MemberPlace& member, std::span<const std::string_view> fields) {
  return member.named && std::find(fields.begin(), fields.end(), member.name) == fields.end();
}

// Whether the object at the reader (at its opening brace) has a member not
// among `fields`, the reader left after it: the names compared where they
// stand, so that the usual point costs no record of its members.
std::optional<bool> holds_odd_member(Reader& reader, std::span<const std::string_view> fields) {
  reader.take();
  bool first = true;
  bool odd = false;
  for (;;) {
    const auto key = reader.next_key(first);
    if (!key) return std::nullopt;
    if (!*key) break;
    odd = odd || std::find(fields.begin(), fields.end(), **key) == fields.end();
    if (!ok(reader.read_colon())) return std::nullopt;
    reader.peek_after_white_space();
    if (!skip(reader)) return std::nullopt;
  }
  reader.take();
  return odd;
}

bool walk_points(Reader& reader, std::vector<OddPointPlaces>& points) {
  if (reader.peek_after_white_space() != '[') return skip(reader);
  // Points in the array form name no member, and a member that reading
  // does not take has a name other than the fields': a margin without an
  // object, or whose only strings are the fields' names, is passed over in
  // one go, as quick to walk as to read.
  const auto fields = qfm::point_field_names();
  const std::size_t start = reader.position();
  const auto span = enclosed_value(reader.text(), start, fields);
  if (!span.holds_object || !span.holds_other_string) {
    reader.rewind(span.end);
    return true;
  }
  return walk_array(reader, [&](Reader& r, std::size_t index) {
    if (r.peek_after_white_space() != '{') return skip(r);
    const std::size_t opening = r.position();
    const auto odd = holds_odd_member(r, fields);
    if (!odd) return false;
    if (!*odd) return true;
    r.rewind(opening);
    auto point =
        walk_record(r, fields, [](Reader& inner, const MemberPlace&) { return skip(inner); });
    if (!point) return false;
    if (std::any_of(point->members.begin(), point->members.end(),
                    [&](const MemberPlace& member) { return is_odd_member(member, fields); })) {
      points.push_back({index, std::move(*point)});
    }
    return true;
  });
}

// The type's name, as a string or as the one member of an object.
bool walk_product_type(Reader& reader, std::optional<std::string>& name) {
  if (reader.peek_after_white_space() == '"') {
    reader.take();
    const auto text = reader.read_string_body();
    if (!text) return false;
    name = std::string(*text);
    return true;
  }
  const auto record =
      walk_record(reader, {}, [](Reader& r, const MemberPlace&) { return skip(r); });
  if (!record) return false;
  if (!record->members.empty()) name = record->members.front().name;
  return true;
}

std::optional<ProductPlaces> walk_product(Reader& reader) {
  ProductPlaces product;
  auto record =
      walk_record(reader, qfm::product_field_names(), [&](Reader& r, const MemberPlace& member) {
        if (member.name == "tooth_iso_number") return walk_entries(r, product.teeth);
        if (member.name == "bounding_box") return walk_entries(r, product.bounding_box);
        if (member.name == "margin_line_coordinates") return walk_points(r, product.odd_points);
        if (member.name == "product_type") return walk_product_type(r, product.type_name);
        return skip(r);
      });
  if (!record) return std::nullopt;
  product.record = std::move(*record);
  return product;
}

}  // namespace

std::size_t RecordPlaces::value_offset(std::string_view name) const {
  for (const MemberPlace& member : members) {
    if (member.name == name) return member.value_offset;
  }
  return offset;
}

bool RecordPlaces::holds(std::string_view name) const {
  for (const MemberPlace& member : members) {
    if (member.name == name) return true;
  }
  return false;
}

CasePlaces find_case_places(std::string_view text) {
  CasePlaces places;
  Reader reader(text);
  auto record =
      walk_record(reader, qfm::case_field_names(), [&](Reader& r, const MemberPlace& member) {
        if (member.name != "products") return skip(r);
        return walk_array(r, [&](Reader& inner, std::size_t) {
          auto product = walk_product(inner);
          if (!product) return false;
          places.products.push_back(std::move(*product));
          return true;
        });
      });
  if (record) places.record = std::move(*record);
  return places;
}

TextPosition position_in(std::string_view text, std::size_t offset) {
  // The reader's own count, which counts the character at the offset.
  const json::LineColumn place = json::line_column(text, offset + 1);
  return {place.line, place.column == 0 ? 1 : place.column};
}

std::vector<TextPosition> positions_in(std::string_view text,
                                       const std::vector<std::size_t>& offsets) {
  std::vector<std::size_t> order(offsets.size());
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::sort(order.begin(), order.end(),
            [&](std::size_t a, std::size_t b) { return offsets[a] < offsets[b]; });
  std::vector<TextPosition> positions(offsets.size());
  // Where the count stands: the byte up to which it has counted, the line,
  // and the characters of that line before the byte.
  std::size_t counted = 0;
  std::size_t line = 1;
  std::size_t characters = 0;
  for (const std::size_t i : order) {
    // The reader's own count, which counts the character at the offset.
    const std::size_t end = std::min(offsets[i] + 1, text.size());
    for (; counted < end; ++counted) {
      if (text[counted] == '\n') {
        ++line;
        characters = 0;
      } else if ((static_cast<unsigned char>(text[counted]) & 0xC0) != 0x80) {
        ++characters;
      }
    }
    positions[i] = {line, characters == 0 ? 1 : characters};
  }
  return positions;
}

}  // namespace check
