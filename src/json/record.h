// Records read from JSON through a table of their fields. A record may be
// written as an object with named members in any order, or as an array
// holding its field values in the table's order; both forms share the
// table, its rules for absent fields and its messages.
#pragma once

#include <array>
#include <concepts>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "json/messages.h"
#include "json/reader.h"

namespace json {

namespace detail {

// Converts to anything: an aggregate initialised from N of these has at
// least N fields.
struct AnyField {
  template <typename T>
  operator T() const;
};

template <typename Record, std::size_t... I>
constexpr bool initialisable_from(std::index_sequence<I...>) {
  return requires { Record{(void(I), AnyField{})...}; };
}

}  // namespace detail

// The number of fields of the aggregate `Record`.
template <typename Record, std::size_t Known = 0>
constexpr std::size_t aggregate_field_count() {
  if constexpr (detail::initialisable_from<Record>(std::make_index_sequence<Known + 1>{})) {
    return aggregate_field_count<Record, Known + 1>();
  } else {
    return Known;
  }
}

// One field: its name, whether each form must hold it, and how its value
// is read into the record.
template <typename Record>
struct Field {
  std::string_view name;
  bool required_in_object;
  bool required_in_array;
  Result<void> (*read)(Reader&, Record&);
};

// A record's table: what messages call it ("struct Product") and its
// fields in the array form's order.
template <typename Record, std::size_t N>
struct RecordShape {
  static_assert(N == aggregate_field_count<Record>(), "the table lists every field of its record");

  std::string_view expecting;
  std::array<Field<Record>, N> fields;

  constexpr bool names_are_distinct() const {
    for (std::size_t i = 0; i < N; ++i) {
      for (std::size_t j = i + 1; j < N; ++j) {
        if (fields[i].name == fields[j].name) return false;
      }
    }
    return true;
  }
};

// The first character of the next value, not taken, when it is one of
// `openings`. At the end of the text the fault is "EOF while parsing a
// value"; at any other character, the one `otherwise` makes.
template <std::invocable<Reader&> Otherwise>
Result<char> expect_value(Reader& reader, std::string_view openings, Otherwise otherwise) {
  const auto next = reader.peek_after_white_space();
  if (!next) return std::unexpected(reader.error_at_next(kEofValue));
  if (openings.find(*next) == std::string_view::npos) return std::unexpected(otherwise(reader));
  return *next;
}

// As above; any other character is "invalid type: <found>, expected
// <expecting>".
inline Result<char> expect_value(Reader& reader, std::string_view openings,
                                 std::string_view expecting) {
  return expect_value(reader, openings,
                      [expecting](Reader& r) { return r.invalid_type(expecting); });
}

// A string; any other value is "invalid type: <found>, expected a string".
inline Result<std::string> read_text(Reader& reader) {
  if (auto opening = expect_value(reader, "\"", "a string"); !opening) {
    return std::unexpected(opening.error());
  }
  reader.take();
  const auto text = reader.read_string_body();
  if (!text) return std::unexpected(text.error());
  return std::string(*text);
}

// A number as the nearest double; any other value is "invalid type:
// <found>, expected f64". Inline: it reads every coordinate of a case.
[[gnu::always_inline]] inline Result<double> read_f64(Reader& reader) {
  const auto next = reader.peek_after_white_space();
  if (next && starts_number(*next)) [[likely]] {
    return reader.read_double();
  }
  if (!next) return std::unexpected(reader.error_at_next(kEofValue));
  return std::unexpected(reader.invalid_type("f64"));
}

// The record whose member `member` points into, and the member's type.
template <typename>
struct MemberPointer;
template <typename R, typename T>
struct MemberPointer<T R::*> {
  using Record = R;
  using Value = T;
};
template <auto member>
using RecordOf = typename MemberPointer<decltype(member)>::Record;

// A field reader for a table: `read_value` gives the value of `member`.
template <auto member, auto read_value>
Result<void> read_member(Reader& reader, RecordOf<member>& record) {
  auto value = read_value(reader);
  if (!value) return std::unexpected(value.error());
  record.*member = std::move(*value);
  return {};
}

// Reads a JSON array, handing each element to `read_element`.
template <typename ReadElement>
Result<void> read_sequence(Reader& reader, ReadElement read_element) {
  if (auto opening = expect_value(reader, "[", "a sequence"); !opening) {
    return std::unexpected(opening.error());
  }
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
    list.push_back(std::move(*element));
    return {};
  });
}

// A field reader for a table: a list `member` whose entries `read_entry`
// reads.
template <auto member, auto read_entry>
Result<void> read_list_member(Reader& reader, RecordOf<member>& record) {
  return read_list_into(reader, record.*member, read_entry);
}

template <typename Record, std::size_t N>
std::optional<std::size_t> field_index(const RecordShape<Record, N>& shape, std::string_view name) {
  for (std::size_t i = 0; i < N; ++i) {
    if (shape.fields[i].name == name) return i;
  }
  return std::nullopt;
}

template <typename Record, std::size_t N>
Result<Record> read_object_form(Reader& reader, const RecordShape<Record, N>& shape) {
  Record record{};
  std::array<bool, N> seen{};
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
    if (auto read = shape.fields[*index].read(reader, record); !read) {
      return std::unexpected(read.error());
    }
  }
  reader.take();  // the closing brace, so that a missing field points at it
  for (std::size_t i = 0; i < N; ++i) {
    if (!seen[i] && shape.fields[i].required_in_object) {
      return std::unexpected(
          reader.error_here("missing field `" + std::string(shape.fields[i].name) + "`"));
    }
  }
  return record;
}

template <typename Record, std::size_t N>
Result<Record> read_array_form(Reader& reader, const RecordShape<Record, N>& shape) {
  Record record{};
  bool first = true;
  for (std::size_t i = 0; i < N; ++i) {
    const auto more = reader.has_next_element(first);
    if (!more) return std::unexpected(more.error());
    if (*more) {
      if (auto read = shape.fields[i].read(reader, record); !read) {
        return std::unexpected(read.error());
      }
    } else if (shape.fields[i].required_in_array) {
      reader.take();  // the closing bracket
      return std::unexpected(reader.error_here("invalid length " + std::to_string(i) +
                                               ", expected " + std::string(shape.expecting) +
                                               " with " + std::to_string(N) + " elements"));
    }
  }
  if (auto end = reader.end_sequence(); !end) return std::unexpected(end.error());
  return record;
}

// A record in either form; any other value is "invalid type: <found>,
// expected <shape.expecting>".
template <typename Record, std::size_t N>
Result<Record> read_record(Reader& reader, const RecordShape<Record, N>& shape) {
  const auto opening = expect_value(reader, "[{", shape.expecting);
  if (!opening) return std::unexpected(opening.error());
  if (auto entered = reader.enter_nesting(); !entered) return std::unexpected(entered.error());
  reader.take();
  auto record = *opening == '{' ? read_object_form(reader, shape) : read_array_form(reader, shape);
  reader.leave_nesting();
  return record;
}

}  // namespace json
