// The readers of whole values: any value read for its description, a
// value skipped for its form alone, and the fault for a value of the
// wrong type.
#include <utility>

#include "json/messages.h"
#include "json/reader.h"
#include "text/quoted_text.h"

namespace json {

std::string_view describe_literal(Literal literal) {
  // In the order of Literal.
  static constexpr std::string_view kDescriptions[] = {"null", "boolean `true`", "boolean `false`"};
  return kDescriptions[std::to_underlying(literal)];
}

std::string describe_string(std::string_view text) {
  return "string " + text::quote_for_message(text);
}

std::string AnyValue::describe() const {
  switch (kind) {
    case Kind::Null:
      return std::string(describe_literal(Literal::Null));
    case Kind::Boolean:
      return std::string(describe_literal(boolean ? Literal::True : Literal::False));
    case Kind::Number:
      return number.describe();
    case Kind::String:
      return describe_string(text);
    case Kind::Sequence:
      return "sequence";
    case Kind::Map:
      return "map";
  }
  return {};
}

Result<AnyValue> Reader::read_any() {
  const auto next = peek_after_white_space();
  if (!next) return std::unexpected(error_at_next(kEofValue));
  AnyValue value;
  switch (*next) {
    case 'n':
    case 't':
    case 'f': {
      const auto literal = read_literal();
      if (!literal) return std::unexpected(literal.error());
      value.kind = *literal == Literal::Null ? AnyValue::Kind::Null : AnyValue::Kind::Boolean;
      value.boolean = *literal == Literal::True;
      return value;
    }
    case '"': {
      take();
      const auto text = read_string_body();
      if (!text) return std::unexpected(text.error());
      value.kind = AnyValue::Kind::String;
      value.text = *text;
      return value;
    }
    case '[':
    case '{': {
      if (auto entered = enter_nesting(); !entered) return std::unexpected(entered.error());
      take();
      const bool is_sequence = *next == '[';
      bool first = true;
      for (;;) {
        if (is_sequence) {
          const auto more = has_next_element(first);
          if (!more) return std::unexpected(more.error());
          if (!*more) break;
        } else {
          const auto key = next_key(first);
          if (!key) return std::unexpected(key.error());
          if (!*key) break;
          if (auto colon = read_colon(); !colon) return std::unexpected(colon.error());
        }
        if (auto inner = read_any(); !inner) return std::unexpected(inner.error());
      }
      leave_nesting();
      if (auto end = is_sequence ? end_sequence() : end_map(); !end) {
        return std::unexpected(end.error());
      }
      value.kind = is_sequence ? AnyValue::Kind::Sequence : AnyValue::Kind::Map;
      return value;
    }
    default:
      if (starts_number(*next)) {
        auto number = read_number();
        if (!number) return std::unexpected(number.error());
        value.kind = AnyValue::Kind::Number;
        value.number = *number;
        return value;
      }
      return std::unexpected(error_at_next(kExpectedValue));
  }
}

Result<void> Reader::skip_scalar(char first) {
  switch (first) {
    case 'n':
    case 't':
    case 'f': {
      const auto literal = read_literal();
      if (!literal) return std::unexpected(literal.error());
      return {};
    }
    case '"':
      take();
      return skip_string_body();
    default:
      if (!starts_number(first)) return std::unexpected(error_at_next(kExpectedValue));
      return skip_number();
  }
}

Result<bool> Reader::step_to_next_skipped_value(bool just_opened) {
  // Right after a bracket opens, no comma may come before its first value.
  bool accept_comma = !just_opened;
  for (;;) {
    const char frame = skip_stack_.back();
    const auto after = peek_after_white_space();
    if (!after) return std::unexpected(error_at_next(frame == '[' ? kEofList : kEofObject));
    if (*after == (frame == '[' ? ']' : '}')) {
      take();
      skip_stack_.pop_back();
      if (skip_stack_.empty()) return false;
      accept_comma = true;
      continue;
    }
    if (accept_comma) {
      if (*after != ',') {
        return std::unexpected(
            error_at_next(frame == '[' ? kExpectedCommaOrBracket : kExpectedCommaOrBrace));
      }
      take();
    }
    break;
  }
  if (skip_stack_.back() == '{') {
    const auto key = peek_after_white_space();
    if (!key) return std::unexpected(error_at_next(kEofObject));
    if (*key != '"') return std::unexpected(error_at_next("key must be a string"));
    take();
    if (auto read = skip_string_body(); !read) return std::unexpected(read.error());
    if (auto colon = read_colon(); !colon) return std::unexpected(colon.error());
  }
  return true;
}

Result<void> Reader::skip_value() {
  skip_stack_.clear();
  for (;;) {
    const auto next = peek_after_white_space();
    if (!next) return std::unexpected(error_at_next(kEofValue));
    const bool opens = *next == '[' || *next == '{';
    if (opens) {
      take();
      skip_stack_ += *next;
    } else if (auto read = skip_scalar(*next); !read) {
      return read;
    }
    if (skip_stack_.empty()) return {};
    const auto more = step_to_next_skipped_value(opens);
    if (!more) return std::unexpected(more.error());
    if (!*more) return {};
  }
}

Error Reader::invalid_type(std::string_view expecting) {
  std::string found;
  const int next = peek_byte();
  if (next == 'n' || next == 't' || next == 'f') {
    const auto literal = read_literal();
    if (!literal) return literal.error();
    found = describe_literal(*literal);
  } else if (starts_number(next)) {
    const auto number = read_number();
    if (!number) return number.error();
    found = number->describe();
  } else if (next == '"') {
    take();
    const auto text = read_string_body();
    if (!text) return text.error();
    found = describe_string(*text);
  } else if (next == '[') {
    found = "sequence";
  } else if (next == '{') {
    found = "map";
  } else {
    return error_at_next(kExpectedValue);
  }
  return error_here("invalid type: " + found + ", expected " + std::string(expecting));
}

}  // namespace json
