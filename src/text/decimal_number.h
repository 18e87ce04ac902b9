// Decimal number text to the nearest double (ties to even), the one
// conversion behind JSON numbers and margin line coordinates.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "text/digits.h"

namespace text {

struct DecimalValue {
  double value = 0;
  // True when the magnitude is beyond the double range; `value` is then the
  // infinity of the number's sign. Too small magnitudes give zero instead.
  bool overflowed = false;
};

// `text` must be: an optional "-", digits with at most one "." (at least
// one digit in all), then optionally "e" or "E", an optional sign and at
// least one digit. Anything else gives none.
std::optional<DecimalValue> decimal_to_double(std::string_view text);

// The most digits that a scanner's 64-bit gathering holds without wrapping.
constexpr int kMaxGatheredDigits = 19;

// decimal_from_digits for more than 15 digits; out of line, since it is the
// rarer path and needs the full conversion's tables.
std::optional<double> long_decimal_from_digits(std::uint64_t digits, int digit_count,
                                               int fraction_digits, bool negative);

// `digits` × 10^-`fraction_digits` (negated when `negative`), rounded to
// the nearest double, for scanners that gather the digits as they go;
// `digit_count` counts leading zeros too. Up to 15 digits, the digits and
// the power of ten are both exact doubles, so that one division rounds
// correctly; up to 19, the digits still fit 64 bits and the nearest double
// is found from them without reading the text again. None for more digits
// (`digits` may have wrapped), or in the rare case where those 64 bits
// cannot settle the rounding: the caller then converts the text itself.
// Inline: the readers call it for nearly every number they read.
inline std::optional<double> decimal_from_digits(std::uint64_t digits, int digit_count,
                                                 int fraction_digits, bool negative = false) {
  // Powers of ten that a double holds exactly.
  static constexpr double kExactPowersOfTen[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                                 1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
  // 10^15 < 2^53: the digits fit a double exactly; and a fraction of at
  // most 15 digits needs no power beyond 10^15.
  constexpr int kMaxExactDigits = 15;
  if (digit_count > kMaxExactDigits) [[unlikely]] {
    return long_decimal_from_digits(digits, digit_count, fraction_digits, negative);
  }
  const double value = static_cast<double>(digits) / kExactPowersOfTen[fraction_digits];
  return negative ? -value : value;
}

// A plain short decimal ("-"? digits, then "." and digits if any; no
// exponent) read from `p` on, the digits gathered as they pass: its value
// when decimal_from_digits gives one, with `p` moved past its last digit;
// none (and `p` somewhere inside) when it has no digit or too many.
// Whatever follows is the caller's to judge. Looser than JSON's numbers
// (leading zeros, "5." and ".5" pass): the margin line files' form.
inline std::optional<double> scan_plain_short_decimal(const char*& p, const char* end) {
  const bool negative = p < end && *p == '-';
  if (negative) ++p;
  std::uint64_t digits = 0;
  int count = gather_digits(p, end, digits);
  int fraction_count = 0;
  if (p < end && *p == '.') {
    ++p;
    fraction_count = gather_digits_by_eight(p, end, digits);
    count += fraction_count;
  }
  if (count == 0) return std::nullopt;
  return decimal_from_digits(digits, count, fraction_count, negative);
}

// The longest start of `text` that has that form, read as above, and its
// length; none when not even one digit starts it. For scanners that find
// where a number ends by reading it.
struct DecimalPrefix {
  DecimalValue decimal;
  std::size_t length = 0;
};
std::optional<DecimalPrefix> decimal_prefix_to_double(std::string_view text);

}  // namespace text
