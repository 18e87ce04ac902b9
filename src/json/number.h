// JSON numbers: the one scan of their grammar, which the reader, the
// skipper and the coordinate fast path all share, and the value a number
// token stands for.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "text/decimal_number.h"
#include "text/digits.h"

namespace json {

// A number as the text wrote it. An integer token is an integer whatever
// its size: Unsigned and Signed hold those that fit 64 bits (Signed: those
// written with a minus sign, "-0" included), BigInteger the others, kept
// as their digits. Only a fraction or an exponent makes a Float.
struct Number {
  enum class Kind { Unsigned, Signed, BigInteger, Float } kind = Kind::Unsigned;
  std::uint64_t unsigned_value = 0;
  std::int64_t signed_value = 0;
  // The nearest double, for BigInteger and Float.
  double float_value = 0;
  std::string_view digits;  // BigInteger: the token as written, a view of the text

  // The nearest double; "-0" keeps its sign.
  double as_double() const;
  // "integer `5`", "integer `18446744073709551616`", "floating point `1.5`".
  std::string describe() const;
};

// Whether `c` can start a number token: a minus sign or a digit.
inline bool starts_number(int c) { return c == '-' || (c >= '0' && c <= '9'); }

// One number token, "-"? ("0" | [1-9][0-9]*) ("." [0-9]+)? ([eE] [+-]? [0-9]+)?,
// as scan_number found it.
struct NumberToken {
  // Where the form broke: at a character that is no digit where one must
  // stand (or a second digit after a leading zero), or at the end of the
  // text where a digit was still wanted.
  enum class Fault { None, Malformed, EndOfText } fault = Fault::None;
  // Past the token's last character. At a fault, where it is reported:
  // past the offending character, or the end of the text.
  std::size_t end = 0;
  bool negative = false;
  bool has_exponent = false;
  // The integer and fraction digits as one integer, to convert without
  // reading the text again; it wraps when they are many, which
  // digit_count then rules out.
  std::uint64_t digits = 0;
  int digit_count = 0;
  int fraction_count = 0;

  bool is_integer() const { return fraction_count == 0 && !has_exponent; }

  // The value, when the gathered digits give it (text::decimal_from_digits):
  // no exponent and at most 19 digits, nearly every coordinate. None
  // otherwise, for the conversion of the text.
  std::optional<double> value_from_digits() const {
    if (has_exponent) return std::nullopt;
    return text::decimal_from_digits(digits, digit_count, fraction_count, negative);
  }
};

// Scans the number token that starts at `start` of `text`. What follows it
// is the caller's to judge. Inline: it runs for every coordinate of a case.
inline NumberToken scan_number(std::string_view text, std::size_t start) {
  const char* const begin = text.data();
  const char* const end = begin + text.size();
  const char* p = begin + start;
  // The token whose form breaks at `p`: its fault is reported past the
  // offending character, or at the end of the text. A fresh token, so
  // that the one being scanned can stay in registers.
  const auto fault = [begin, end, &p] {
    NumberToken faulty;
    faulty.fault = p == end ? NumberToken::Fault::EndOfText : NumberToken::Fault::Malformed;
    faulty.end = static_cast<std::size_t>(p - begin) + (p == end ? 0 : 1);
    return faulty;
  };
  NumberToken token;
  token.negative = p < end && *p == '-';
  if (token.negative) ++p;
  const char* const integer = p;
  token.digit_count = text::gather_digits(p, end, token.digits);
  if (token.digit_count == 0) [[unlikely]] {
    return fault();
  }
  if (*integer == '0' && token.digit_count > 1) [[unlikely]] {
    p = integer + 1;
    return fault();
  }
  if (p < end && *p == '.') {
    ++p;
    token.fraction_count = text::gather_digits_by_eight(p, end, token.digits);
    if (token.fraction_count == 0) [[unlikely]] {
      return fault();
    }
    token.digit_count += token.fraction_count;
  }
  if (p < end && (*p == 'e' || *p == 'E')) {
    ++p;
    if (p < end && (*p == '+' || *p == '-')) ++p;
    if (text::skip_digits(p, end) == 0) return fault();
    token.has_exponent = true;
  }
  token.end = static_cast<std::size_t>(p - begin);
  return token;
}

// The number that the well-formed token `literal` stands for; none when it
// is beyond the double range.
std::optional<Number> number_from_token(std::string_view literal, bool is_integer);

}  // namespace json
