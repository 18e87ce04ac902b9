#include "qfm/json_reader.h"

#include <limits>

#include "text/decimal_number.h"
#include "text/quoted_text.h"
#include "text/shortest_decimal.h"
#include "text/utf8.h"

namespace qfm::json {

namespace {

bool is_digit(int c) { return c >= '0' && c <= '9'; }

int hex_value(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The character that a one-letter escape after a backslash stands for.
std::optional<char> simple_escape(char c) {
  switch (c) {
    case '"':
      return '"';
    case '\\':
      return '\\';
    case '/':
      return '/';
    case 'b':
      return '\b';
    case 'f':
      return '\f';
    case 'n':
      return '\n';
    case 'r':
      return '\r';
    case 't':
      return '\t';
    default:
      return std::nullopt;
  }
}

constexpr std::string_view kEofValue = "EOF while parsing a value";
constexpr std::string_view kEofString = "EOF while parsing a string";
constexpr std::string_view kEofList = "EOF while parsing a list";
constexpr std::string_view kEofObject = "EOF while parsing an object";
constexpr std::string_view kInvalidNumber = "invalid number";
constexpr std::string_view kExpectedValue = "expected value";

}  // namespace

double Number::as_double() const {
  switch (kind) {
    case Kind::Unsigned:
      return static_cast<double>(unsigned_value);
    case Kind::Signed:
      // Only "-0" is a Signed zero; as a double it keeps its sign.
      return signed_value == 0 ? -0.0 : static_cast<double>(signed_value);
    case Kind::BigInteger:
    case Kind::Float:
      return float_value;
  }
  return float_value;
}

std::string Number::describe() const {
  switch (kind) {
    case Kind::Unsigned:
      return "integer `" + std::to_string(unsigned_value) + "`";
    case Kind::Signed:
      return "integer `" + std::to_string(signed_value) + "`";
    case Kind::BigInteger:
      return "integer `" + std::string(digits) + "`";
    case Kind::Float:
      return "floating point `" + text::format_float_for_message(float_value) + "`";
  }
  return {};
}

std::string describe_string(std::string_view text) {
  return "string " + text::quote_for_message(text);
}

std::string AnyValue::describe() const {
  switch (kind) {
    case Kind::Null:
      return "null";
    case Kind::Boolean:
      return boolean ? "boolean `true`" : "boolean `false`";
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

Error Reader::error_at(std::size_t index, std::string_view message) const {
  const std::string_view before = text_.substr(0, std::min(index, text_.size()));
  const std::size_t last_feed = before.rfind('\n');
  const std::size_t line_start = last_feed == std::string_view::npos ? 0 : last_feed + 1;
  std::size_t line = 1;
  for (std::size_t i = 0; i < line_start; ++i)
    if (before[i] == '\n') ++line;
  std::size_t column = 0;
  for (std::size_t i = line_start; i < before.size(); ++i) {
    if ((static_cast<unsigned char>(before[i]) & 0xC0) != 0x80) ++column;
  }
  return std::string(message) + " at line " + std::to_string(line) + " column " +
         std::to_string(column);
}

Error Reader::error_here(std::string_view message) const { return error_at(index_, message); }

Error Reader::error_at_next(std::string_view message) const {
  return error_at(index_ + 1, message);
}

std::optional<char> Reader::skip_white_space_then_peek() {
  while (index_ < text_.size()) {
    const char c = text_[index_];
    if (c != ' ' && c != '\n' && c != '\t' && c != '\r') return c;
    ++index_;
  }
  return std::nullopt;
}

Result<void> Reader::enter_nesting() {
  if (--remaining_depth_ == 0) {
    ++remaining_depth_;
    return std::unexpected(error_at_next("recursion limit exceeded"));
  }
  return {};
}

Result<std::uint16_t> Reader::read_hex4() {
  if (text_.size() - index_ < 4) {
    index_ = text_.size();
    return std::unexpected(error_here(kEofString));
  }
  int value = 0;
  for (int i = 0; i < 4; ++i) {
    const int digit = hex_value(text_[index_ + static_cast<std::size_t>(i)]);
    if (digit < 0) value = -1;
    if (value >= 0) value = value * 16 + digit;
  }
  index_ += 4;
  if (value < 0) return std::unexpected(error_here("invalid escape"));
  return static_cast<std::uint16_t>(value);
}

Result<char32_t> Reader::read_unicode_escape() {
  const auto first = read_hex4();
  if (!first) return std::unexpected(first.error());
  if (*first >= 0xDC00 && *first <= 0xDFFF) {
    return std::unexpected(error_here("lone leading surrogate in hex escape"));
  }
  if (*first < 0xD800 || *first > 0xDBFF) return static_cast<char32_t>(*first);
  for (char expected : {'\\', 'u'}) {
    if (index_ == text_.size()) return std::unexpected(error_here(kEofString));
    if (text_[index_++] != expected) {
      return std::unexpected(error_here("unexpected end of hex escape"));
    }
  }
  const auto second = read_hex4();
  if (!second) return std::unexpected(second.error());
  if (*second < 0xDC00 || *second > 0xDFFF) {
    return std::unexpected(error_here("lone leading surrogate in hex escape"));
  }
  return 0x10000 + ((static_cast<char32_t>(*first) - 0xD800) << 10) +
         (static_cast<char32_t>(*second) - 0xDC00);
}

Result<void> Reader::read_escape(std::string& out) {
  if (index_ == text_.size()) return std::unexpected(error_here(kEofString));
  const char c = text_[index_++];
  if (const auto simple = simple_escape(c)) {
    out += *simple;
    return {};
  }
  if (c != 'u') return std::unexpected(error_here("invalid escape"));
  const auto code_point = read_unicode_escape();
  if (!code_point) return std::unexpected(code_point.error());
  text::append_utf8(out, *code_point);
  return {};
}

Result<char> Reader::find_quote_or_backslash() {
  for (; index_ < text_.size(); ++index_) {
    const auto c = static_cast<unsigned char>(text_[index_]);
    if (c == '"' || c == '\\') return static_cast<char>(c);
    if (c < 0x20) {
      ++index_;
      return std::unexpected(
          error_here("control character (\\u0000-\\u001F) found while parsing a string"));
    }
  }
  return std::unexpected(error_here(kEofString));
}

Result<std::string_view> Reader::read_escaped_string_body() {
  bool escaped = false;
  scratch_.clear();
  std::size_t start = index_;
  for (;;) {
    const auto c = find_quote_or_backslash();
    if (!c) return std::unexpected(c.error());
    if (*c == '"') {
      const std::string_view run = text_.substr(start, index_ - start);
      ++index_;
      if (!escaped) return run;
      scratch_ += run;
      return std::string_view(scratch_);
    }
    scratch_ += text_.substr(start, index_ - start);
    escaped = true;
    ++index_;
    if (auto read = read_escape(scratch_); !read) return std::unexpected(read.error());
    start = index_;
  }
}

Result<void> Reader::read_ident_rest(std::string_view rest) {
  for (char expected : rest) {
    if (index_ == text_.size()) return std::unexpected(error_here(kEofValue));
    if (text_[index_++] != expected) return std::unexpected(error_here("expected ident"));
  }
  return {};
}

Result<void> Reader::scan_integer_digits(std::string_view at_end) {
  if (index_ == text_.size()) return std::unexpected(error_here(at_end));
  const char lead = text_[index_++];
  if (lead == '0') {
    if (is_digit(peek_byte())) return std::unexpected(error_at_next(kInvalidNumber));
  } else if (is_digit(lead)) {
    while (is_digit(peek_byte())) ++index_;
  } else {
    return std::unexpected(error_here(kInvalidNumber));
  }
  return {};
}

Result<Number> Reader::read_number() {
  const std::size_t start = index_;
  if (peek_byte() == '-') ++index_;
  if (auto digits = scan_integer_digits(kEofValue); !digits) {
    return std::unexpected(digits.error());
  }
  bool is_integer = true;
  if (peek_byte() == '.') {
    ++index_;
    if (!is_digit(peek_byte())) {
      return std::unexpected(error_at_next(peek_byte() < 0 ? kEofValue : kInvalidNumber));
    }
    while (is_digit(peek_byte())) ++index_;
    is_integer = false;
  }
  if (peek_byte() == 'e' || peek_byte() == 'E') {
    ++index_;
    if (peek_byte() == '+' || peek_byte() == '-') ++index_;
    if (index_ == text_.size()) return std::unexpected(error_here(kEofValue));
    if (!is_digit(text_[index_++])) return std::unexpected(error_here(kInvalidNumber));
    while (is_digit(peek_byte())) ++index_;
    is_integer = false;
  }
  return number_from_text(start, is_integer);
}

namespace {

// The value of a run of decimal digits, or none when it does not fit 64 bits.
std::optional<std::uint64_t> fitting_integer(std::string_view digits) {
  std::uint64_t value = 0;
  for (char c : digits) {
    const auto digit = static_cast<std::uint64_t>(c - '0');
    if (value > (std::numeric_limits<std::uint64_t>::max() - digit) / 10) return std::nullopt;
    value = value * 10 + digit;
  }
  return value;
}

// An integer token that fits 64 bits, as Unsigned or (written with a minus
// sign) Signed; none otherwise.
std::optional<Number> fitting_number(std::string_view literal) {
  const bool negative = literal.front() == '-';
  const auto value = fitting_integer(negative ? literal.substr(1) : literal);
  if (!value) return std::nullopt;
  Number number;
  if (!negative) {
    number.unsigned_value = *value;
    return number;
  }
  constexpr std::uint64_t kMostNegative = std::uint64_t{1} << 63;
  if (*value > kMostNegative) return std::nullopt;
  number.kind = Number::Kind::Signed;
  number.signed_value = *value == kMostNegative ? std::numeric_limits<std::int64_t>::min()
                                                : -static_cast<std::int64_t>(*value);
  return number;
}

}  // namespace

Result<double> Reader::read_double() {
  // The usual form of a coordinate, "-"? digits ("." digits)?, is checked
  // and its digits gathered in one scan. Exponents, long digit strings, and
  // every fault go the long way, which has the exact rules and messages.
  const char* const begin = text_.data() + index_;
  const char* const end = text_.data() + text_.size();
  const char* p = begin;
  const bool negative = p < end && *p == '-';
  if (negative) ++p;
  const char* const integer = p;
  std::uint64_t digits = 0;
  for (; p < end && is_digit(*p); ++p) digits = digits * 10 + static_cast<unsigned>(*p - '0');
  const int integer_count = static_cast<int>(p - integer);
  bool plain = integer_count > 0 && (*integer != '0' || integer_count == 1);
  int fraction_count = 0;
  if (plain && p < end && *p == '.') {
    const char* const fraction = ++p;
    for (; p < end && is_digit(*p); ++p) digits = digits * 10 + static_cast<unsigned>(*p - '0');
    fraction_count = static_cast<int>(p - fraction);
    plain = fraction_count > 0;
  }
  plain = plain && (p == end || (*p != 'e' && *p != 'E'));
  if (plain) {
    if (const auto value =
            text::exact_short_decimal(digits, integer_count + fraction_count, fraction_count)) {
      index_ = static_cast<std::size_t>(p - text_.data());
      return negative ? -*value : *value;
    }
    // Too many digits for the exact path (a double written in full): the
    // long way's conversion of the same text, without its second scan.
    if (fraction_count > 0) {
      const auto value = text::decimal_to_double(std::string_view(begin, p));
      if (value && !value->overflowed) {
        index_ = static_cast<std::size_t>(p - text_.data());
        return value->value;
      }
    }
  }
  const auto number = read_number();
  if (!number) return std::unexpected(number.error());
  return number->as_double();
}

Result<Number> Reader::number_from_text(std::size_t start, bool is_integer) {
  const std::string_view literal = text_.substr(start, index_ - start);
  if (is_integer) {
    if (auto number = fitting_number(literal)) return *number;
  }
  const auto converted = text::decimal_to_double(literal);
  if (!converted || converted->overflowed) {
    return std::unexpected(error_here("number out of range"));
  }
  Number number;
  number.kind = is_integer ? Number::Kind::BigInteger : Number::Kind::Float;
  number.float_value = converted->value;
  if (is_integer) number.digits = literal;
  return number;
}

Result<bool> Reader::has_next_element(bool& first) {
  const auto next = peek_after_white_space();
  if (!next) return std::unexpected(error_at_next(kEofList));
  if (*next == ']') return false;
  if (first) {
    first = false;
    return true;
  }
  if (*next != ',') return std::unexpected(error_at_next("expected `,` or `]`"));
  take();
  const auto after = peek_after_white_space();
  if (!after) return std::unexpected(error_at_next(kEofValue));
  if (*after == ']') return std::unexpected(error_at_next("trailing comma"));
  return true;
}

Result<void> Reader::end_sequence() {
  const auto next = peek_after_white_space();
  if (!next) return std::unexpected(error_at_next(kEofList));
  if (*next == ']') {
    take();
    return {};
  }
  if (*next == ',') {
    take();
    const auto after = peek_after_white_space();
    return std::unexpected(error_at_next(after == ']' ? "trailing comma" : "trailing characters"));
  }
  return std::unexpected(error_at_next("trailing characters"));
}

Result<std::optional<std::string_view>> Reader::next_key(bool& first) {
  auto next = peek_after_white_space();
  if (!next) return std::unexpected(error_at_next(kEofObject));
  if (*next == '}') return std::optional<std::string_view>{};
  if (*next == ',' && !first) {
    take();
    next = peek_after_white_space();
  } else if (first) {
    first = false;
  } else {
    return std::unexpected(error_at_next("expected `,` or `}`"));
  }
  if (!next) return std::unexpected(error_at_next(kEofValue));
  if (*next == '}') return std::unexpected(error_at_next("trailing comma"));
  if (*next != '"') return std::unexpected(error_at_next("key must be a string"));
  take();
  const auto key = read_string_body();
  if (!key) return std::unexpected(key.error());
  return std::optional<std::string_view>{*key};
}

Result<void> Reader::read_colon_after_white_space() {
  const auto next = peek_after_white_space();
  if (!next) return std::unexpected(error_at_next(kEofObject));
  if (*next != ':') return std::unexpected(error_at_next("expected `:`"));
  take();
  return {};
}

Result<void> Reader::end_map() {
  const auto next = peek_after_white_space();
  if (!next) return std::unexpected(error_at_next(kEofObject));
  if (*next == '}') {
    take();
    return {};
  }
  return std::unexpected(error_at_next(*next == ',' ? "trailing comma" : "trailing characters"));
}

Result<AnyValue> Reader::read_any() {
  const auto next = peek_after_white_space();
  if (!next) return std::unexpected(error_at_next(kEofValue));
  AnyValue value;
  switch (*next) {
    case 'n':
      take();
      if (auto read = read_ident_rest("ull"); !read) return std::unexpected(read.error());
      value.kind = AnyValue::Kind::Null;
      return value;
    case 't':
    case 'f': {
      take();
      const bool truth = *next == 't';
      if (auto read = read_ident_rest(truth ? "rue" : "alse"); !read) {
        return std::unexpected(read.error());
      }
      value.kind = AnyValue::Kind::Boolean;
      value.boolean = truth;
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
      if (*next == '-' || is_digit(*next)) {
        auto number = read_number();
        if (!number) return std::unexpected(number.error());
        value.kind = AnyValue::Kind::Number;
        value.number = *number;
        return value;
      }
      return std::unexpected(error_at_next(kExpectedValue));
  }
}

Result<void> Reader::skip_string_body() {
  for (;;) {
    const auto c = find_quote_or_backslash();
    if (!c) return std::unexpected(c.error());
    ++index_;
    if (*c == '"') return {};
    if (index_ == text_.size()) return std::unexpected(error_here(kEofString));
    const char escape = text_[index_++];
    if (simple_escape(escape)) continue;
    if (escape != 'u') return std::unexpected(error_here("invalid escape"));
    // Only the form counts here: any four hex digits, surrogates alone too.
    if (auto hex = read_hex4(); !hex) return std::unexpected(hex.error());
  }
}

Result<void> Reader::skip_exponent() {
  ++index_;
  if (peek_byte() == '+' || peek_byte() == '-') ++index_;
  if (!is_digit(peek_byte())) {
    if (index_ < text_.size()) ++index_;
    return std::unexpected(error_here(kInvalidNumber));
  }
  while (is_digit(peek_byte())) ++index_;
  return {};
}

Result<void> Reader::skip_fraction() {
  ++index_;
  if (!is_digit(peek_byte())) return std::unexpected(error_at_next(kInvalidNumber));
  while (is_digit(peek_byte())) ++index_;
  if (peek_byte() == 'e' || peek_byte() == 'E') return skip_exponent();
  return {};
}

Result<void> Reader::skip_number() {
  if (peek_byte() == '-') ++index_;
  if (auto digits = scan_integer_digits(kInvalidNumber); !digits) return digits;
  if (peek_byte() == '.') return skip_fraction();
  if (peek_byte() == 'e' || peek_byte() == 'E') return skip_exponent();
  return {};
}

// Iterative, with the open brackets on a stack of characters, so that any
// depth of nesting costs no recursion.
Result<void> Reader::skip_value() {
  skip_stack_.clear();
  std::optional<char> enclosing;
  for (;;) {
    const auto next = peek_after_white_space();
    if (!next) return std::unexpected(error_at_next(kEofValue));
    std::optional<char> opened;
    switch (*next) {
      case 'n':
      case 't':
      case 'f': {
        take();
        const std::string_view rest = *next == 'n' ? "ull" : *next == 't' ? "rue" : "alse";
        if (auto read = read_ident_rest(rest); !read) return read;
        break;
      }
      case '"':
        take();
        if (auto read = skip_string_body(); !read) return read;
        break;
      case '[':
      case '{':
        if (enclosing) skip_stack_ += *enclosing;
        enclosing.reset();
        take();
        opened = *next;
        break;
      default:
        if (*next != '-' && !is_digit(*next)) return std::unexpected(error_at_next(kExpectedValue));
        if (auto read = skip_number(); !read) return read;
    }

    bool accept_comma = true;
    char frame = 0;
    if (opened) {
      accept_comma = false;
      frame = *opened;
    } else if (enclosing) {
      frame = *enclosing;
      enclosing.reset();
    } else if (!skip_stack_.empty()) {
      frame = skip_stack_.back();
      skip_stack_.pop_back();
    } else {
      return {};
    }

    for (;;) {
      const auto after = peek_after_white_space();
      if (!after) return std::unexpected(error_at_next(frame == '[' ? kEofList : kEofObject));
      if (*after == ',' && accept_comma) {
        take();
        break;
      }
      const bool closes = (*after == ']' && frame == '[') || (*after == '}' && frame == '{');
      if (!closes) {
        if (!accept_comma) break;
        return std::unexpected(
            error_at_next(frame == '[' ? "expected `,` or `]`" : "expected `,` or `}`"));
      }
      take();
      if (skip_stack_.empty()) return {};
      frame = skip_stack_.back();
      skip_stack_.pop_back();
      accept_comma = true;
    }

    if (frame == '{') {
      const auto key = peek_after_white_space();
      if (!key) return std::unexpected(error_at_next(kEofObject));
      if (*key != '"') return std::unexpected(error_at_next("key must be a string"));
      take();
      if (auto read = skip_string_body(); !read) return read;
      if (auto colon = read_colon(); !colon) return colon;
    }
    enclosing = frame;
  }
}

Error Reader::invalid_type(std::string_view expecting) {
  std::string found;
  const int next = peek_byte();
  if (next == 'n' || next == 't' || next == 'f') {
    take();
    const std::string_view rest = next == 'n' ? "ull" : next == 't' ? "rue" : "alse";
    if (auto read = read_ident_rest(rest); !read) return read.error();
    found = next == 'n' ? "null" : next == 't' ? "boolean `true`" : "boolean `false`";
  } else if (next == '-' || is_digit(next)) {
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

Result<void> Reader::end_of_text() {
  if (peek_after_white_space()) return std::unexpected(error_at_next("trailing characters"));
  return {};
}

}  // namespace qfm::json
