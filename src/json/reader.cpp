#include "json/reader.h"

#include <algorithm>
#include <utility>

#include "json/messages.h"
#include "text/utf8.h"

namespace json {

namespace {

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

// The literals' words, in the order of Literal.
constexpr std::string_view kLiteralWords[] = {"null", "true", "false"};

}  // namespace

LineColumn line_column(std::string_view text, std::size_t offset) {
  const std::string_view before = text.substr(0, std::min(offset, text.size()));
  const std::size_t last_feed = before.rfind('\n');
  const std::size_t line_start = last_feed == std::string_view::npos ? 0 : last_feed + 1;
  LineColumn position;
  for (std::size_t i = 0; i < line_start; ++i)
    if (before[i] == '\n') ++position.line;
  for (std::size_t i = line_start; i < before.size(); ++i) {
    if ((static_cast<unsigned char>(before[i]) & 0xC0) != 0x80) ++position.column;
  }
  return position;
}

std::string Error::text() const {
  return message + " at line " + std::to_string(position.line) + " column " +
         std::to_string(position.column);
}

Error Reader::error_at(std::size_t index, std::string_view message) const {
  const std::size_t offset = std::min(index, text_.size());
  return Error{std::string(message), offset, line_column(text_, offset)};
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

Result<Literal> Reader::read_literal() {
  const char first = text_[index_++];
  const Literal literal = first == 'n'   ? Literal::Null
                          : first == 't' ? Literal::True
                                         : Literal::False;
  for (char expected : kLiteralWords[std::to_underlying(literal)].substr(1)) {
    if (index_ == text_.size()) return std::unexpected(error_here(kEofValue));
    if (text_[index_++] != expected) return std::unexpected(error_here("expected ident"));
  }
  return literal;
}

Error Reader::number_fault(NumberToken::Fault fault, std::size_t at,
                           std::string_view at_end) const {
  return error_at(at, fault == NumberToken::Fault::EndOfText ? at_end : kInvalidNumber);
}

Result<Number> Reader::take_number(std::size_t end, bool is_integer) {
  const std::string_view literal = text_.substr(index_, end - index_);
  index_ = end;
  auto number = number_from_token(literal, is_integer);
  if (!number) return std::unexpected(error_here("number out of range"));
  return *number;
}

std::optional<double> Reader::convert_number_text(std::size_t end) const {
  const auto converted = text::decimal_to_double(text_.substr(index_, end - index_));
  if (!converted || converted->overflowed) return std::nullopt;
  return converted->value;
}

Result<Number> Reader::read_number() {
  const NumberToken token = scan_number(text_, index_);
  if (token.fault != NumberToken::Fault::None) {
    return std::unexpected(number_fault(token.fault, token.end, kEofValue));
  }
  return take_number(token.end, token.is_integer());
}

Result<double> Reader::read_unusual_double() {
  // A fault, or a number beyond the double range: read_number words it.
  const auto number = read_number();
  if (!number) return std::unexpected(number.error());
  return number->as_double();
}

Result<bool> Reader::has_next_element(bool& first) {
  const auto next = peek_after_white_space();
  if (!next) return std::unexpected(error_at_next(kEofList));
  if (*next == ']') return false;
  if (first) {
    first = false;
    return true;
  }
  if (*next != ',') return std::unexpected(error_at_next(kExpectedCommaOrBracket));
  take();
  const auto after = peek_after_white_space();
  if (!after) return std::unexpected(error_at_next(kEofValue));
  if (*after == ']') return std::unexpected(error_at_next(kTrailingComma));
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
    return std::unexpected(error_at_next(after == ']' ? kTrailingComma : kTrailingCharacters));
  }
  return std::unexpected(error_at_next(kTrailingCharacters));
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
    return std::unexpected(error_at_next(kExpectedCommaOrBrace));
  }
  if (!next) return std::unexpected(error_at_next(kEofValue));
  if (*next == '}') return std::unexpected(error_at_next(kTrailingComma));
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
  return std::unexpected(error_at_next(*next == ',' ? kTrailingComma : kTrailingCharacters));
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

Result<void> Reader::skip_number() {
  const NumberToken token = scan_number(text_, index_);
  // Skipped text is judged by its form alone: a number cut short by the end
  // of the text is as malformed as any other.
  if (token.fault != NumberToken::Fault::None) {
    return std::unexpected(number_fault(token.fault, token.end, kInvalidNumber));
  }
  index_ = token.end;
  return {};
}

Result<void> Reader::end_of_text() {
  if (peek_after_white_space()) return std::unexpected(error_at_next(kTrailingCharacters));
  return {};
}

}  // namespace json
