// A pull reader over JSON text for readers that map JSON straight onto
// records in one pass. It knows tokens, positions and the standard fault
// messages; what a value means is the caller's business. Every fault is a
// value holding its message and its place as data (Error), shown as the
// message ending in " at line L column C" (lines from 1, columns counted in
// characters up to the character where the fault was found).
#pragma once

#include <cstdint>
#include <expected>
#include <optional>
#include <string>
#include <string_view>

#include "json/number.h"

namespace json {

// Where a byte of the text stands: its line (from 1) and column (in
// characters, the character at the byte counted), as fault messages give it.
struct LineColumn {
  std::size_t line = 1;
  std::size_t column = 0;
};
LineColumn line_column(std::string_view text, std::size_t offset);

// A fault of the text: what is wrong, and where it was found, kept apart so
// that a program placing the fault never reads it back out of the message.
struct Error {
  std::string message;     // "expected `:`", without its place
  std::size_t offset = 0;  // where reading stood: the place counts the characters before it
  LineColumn position;     // line_column(text, offset)

  // The fault as the tool shows it: "<message> at line L column C".
  std::string text() const;
};

template <typename T>
using Result = std::expected<T, Error>;

// The three literal words of JSON.
enum class Literal { Null, True, False };

// The literal as a fault message names it: "null", "boolean `true`",
// "boolean `false`".
std::string_view describe_literal(Literal literal);

// Any value read whole, kept only as far as messages and the tooth number
// rules need it.
struct AnyValue {
  enum class Kind { Null, Boolean, Number, String, Sequence, Map } kind = Kind::Null;
  bool boolean = false;
  Number number;
  std::string text;

  // The value as a fault message names it: "null", "boolean `true`",
  // "integer `5`", "string \"x\"", "sequence", "map".
  std::string describe() const;
};

// "string " and the text quoted for a message (quote_for_message).
std::string describe_string(std::string_view text);

class Reader {
 public:
  explicit Reader(std::string_view text) : text_(text) {}

  // Skips white space and shows the next character without taking it.
  std::optional<char> peek_after_white_space() {
    // Every character above the space is no white space: the usual case,
    // decided here without a call, and so is one space before it (after
    // ':' and ',' as Python's json.dump writes them). Any other white space
    // is skipped by the call, from the space on.
    if (index_ < text_.size()) {
      if (static_cast<unsigned char>(text_[index_]) > ' ') return text_[index_];
      if (text_[index_] == ' ' && index_ + 1 < text_.size() &&
          static_cast<unsigned char>(text_[index_ + 1]) > ' ') {
        return text_[++index_];
      }
    }
    return skip_white_space_then_peek();
  }
  void take() { ++index_; }
  // Where reading stands, and a way back there, for a reader that tries a
  // shortcut and takes the full way when the text is not as it expected.
  std::size_t position() const { return index_; }
  void rewind(std::size_t position) { index_ = position; }
  // The whole text, for reading ahead elsewhere.
  std::string_view text() const { return text_; }

  // Faults at the last character taken, or at the next character.
  Error error_here(std::string_view message) const;
  Error error_at_next(std::string_view message) const;

  // Enters an array or object read as a value; fails with "recursion limit
  // exceeded" once 127 are open. Pair each success with leave_nesting().
  Result<void> enter_nesting();
  void leave_nesting() { ++remaining_depth_; }

  // After the opening quote: the unescaped string, valid until the next
  // call.
  Result<std::string_view> read_string_body() {
    // Most strings (every member name) hold no escape and no control
    // character: they are found in place by one tight scan.
    for (std::size_t i = index_; i < text_.size(); ++i) {
      const auto c = static_cast<unsigned char>(text_[i]);
      if (c == '"') {
        const std::string_view body = text_.substr(index_, i - index_);
        index_ = i + 1;
        return body;
      }
      if (c == '\\' || c < 0x20) break;
    }
    return read_escaped_string_body();
  }
  // The literal starting at the next character ("n", "t" or "f"), taken
  // whole: "expected ident" at a misspelt letter, "EOF while parsing a
  // value" when the text ends inside it.
  Result<Literal> read_literal();
  // A number starting at the next character ("-" or a digit).
  Result<Number> read_number();
  // A number starting at the next character, as the nearest double:
  // through take_usual_double, and every fault by read_number.
  Result<double> read_double() {
    if (const auto value = take_usual_double()) [[likely]] {
      return *value;
    }
    return read_unusual_double();
  }
  // The shortcut of readers that read a value again the full way when it
  // is not as they expect: the number starting at the next character,
  // taken, as the nearest double; none, with nothing taken, for any other
  // text and for a number beyond the double range (whose fault the full
  // way reports). Inline: it runs for every coordinate of a case.
  std::optional<double> take_usual_double() {
    if (index_ >= text_.size() || !starts_number(text_[index_])) return std::nullopt;
    const NumberToken token = scan_number(text_, index_);
    if (token.fault != NumberToken::Fault::None) return std::nullopt;
    auto value = token.value_from_digits();
    if (!value) [[unlikely]] {
      value = convert_number_text(token.end);
    }
    if (value) index_ = token.end;
    return value;
  }

  // The parts of arrays and objects read as values. has_next_element and
  // next_key take the "," between entries; `first` tracks the first entry.
  Result<bool> has_next_element(bool& first);
  Result<void> end_sequence();
  // The next member name, or none at the closing brace (not taken).
  Result<std::optional<std::string_view>> next_key(bool& first);
  Result<void> read_colon() {
    if (index_ < text_.size() && text_[index_] == ':') {
      ++index_;
      return {};
    }
    return read_colon_after_white_space();
  }
  Result<void> end_map();

  // Any value, fully checked (depth spent, numbers converted).
  Result<AnyValue> read_any();
  // Any value checked for form only: no depth spent, numbers not converted,
  // lone surrogates accepted.
  Result<void> skip_value();

  // For a value that is not of the wanted type: reads it (scalars only) and
  // gives "invalid type: <found>, expected <expecting>", or the syntax fault
  // met while reading it.
  Error invalid_type(std::string_view expecting);

  // "trailing characters" unless only white space is left.
  Result<void> end_of_text();

 private:
  std::optional<char> skip_white_space_then_peek();
  Result<std::string_view> read_escaped_string_body();
  Result<void> read_colon_after_white_space();
  Error error_at(std::size_t index, std::string_view message) const;
  Result<void> read_escape(std::string& out);
  Result<char32_t> read_unicode_escape();
  Result<std::uint16_t> read_hex4();
  // Moves to the next quote or backslash inside a string; fails at the end
  // of the text or at a control character.
  Result<char> find_quote_or_backslash();
  Result<void> skip_string_body();
  // The fault of a malformed number token: "invalid number", or
  // `at_end` where the text ended inside it. Tokens are handed on in parts,
  // so that the scan's token stays in registers.
  Error number_fault(NumberToken::Fault fault, std::size_t at, std::string_view at_end) const;
  // Takes the well-formed token ending at `end` and gives its number.
  Result<Number> take_number(std::size_t end, bool is_integer);
  // The nearest double of the well-formed token ending at `end`, taken
  // from its text; none beyond the double range. Nothing is taken.
  std::optional<double> convert_number_text(std::size_t end) const;
  Result<void> skip_number();
  // read_double where take_usual_double gives none: a fault, or a number
  // beyond the double range.
  Result<double> read_unusual_double();
  // A value that opens no bracket, starting with `first`.
  Result<void> skip_scalar(char first);
  // After a skipped value, or right after a bracket opened: takes the
  // brackets that close there and the "," or member name before the next
  // value. False once the outermost bracket has closed.
  Result<bool> step_to_next_skipped_value(bool just_opened);
  int peek_byte() const {
    return index_ < text_.size() ? static_cast<unsigned char>(text_[index_]) : -1;
  }

  std::string_view text_;
  std::size_t index_ = 0;
  int remaining_depth_ = 128;
  std::string scratch_;
  // The brackets open around the value that skip_value is in, innermost
  // last: a depth of any size costs no recursion.
  std::string skip_stack_;
};

}  // namespace json
