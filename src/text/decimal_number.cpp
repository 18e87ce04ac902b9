#include "text/decimal_number.h"

#include <fast_float/fast_float.h>

#include <cmath>
#include <cstdint>

namespace text {

namespace {

// Digits with at most one point and no exponent, few enough to gather in
// 64 bits (decimal_from_digits). Covers nearly every coordinate; anything
// else is none and goes to fast_float.
std::optional<DecimalPrefix> plain_short_decimal(std::string_view text) {
  const char* const begin = text.data();
  const char* const end = begin + text.size();
  const char* p = begin;
  const auto value = scan_plain_short_decimal(p, end);
  if (!value || (p < end && (*p == 'e' || *p == 'E'))) return std::nullopt;
  return DecimalPrefix{DecimalValue{*value, false}, static_cast<std::size_t>(p - begin)};
}

}  // namespace

std::optional<double> long_decimal_from_digits(std::uint64_t digits, int digit_count,
                                               int fraction_digits, bool negative) {
  if (digit_count > kMaxGatheredDigits) return std::nullopt;
  // fast_float's own step for a number whose digits fit 64 bits: the
  // product with a 128-bit power of ten, which settles the rounding for
  // nearly every number and says so when it cannot (power2 < 0).
  using Format = fast_float::binary_format<double>;
  const fast_float::adjusted_mantissa rounded =
      fast_float::compute_float<Format>(-fraction_digits, digits);
  if (rounded.power2 < 0) return std::nullopt;
  double value = 0;
  fast_float::to_float(negative, rounded, value);
  return value;
}

std::optional<DecimalPrefix> decimal_prefix_to_double(std::string_view text) {
  if (const auto plain = plain_short_decimal(text)) return plain;
  // fast_float reads exactly this form, and the words inf and nan besides,
  // which only a text starting with a letter can be.
  const std::size_t lead = !text.empty() && text[0] == '-' ? 1 : 0;
  if (lead >= text.size() || !(is_decimal_digit(text[lead]) || text[lead] == '.'))
    return std::nullopt;
  double value = 0;
  const auto result = fast_float::from_chars(text.data(), text.data() + text.size(), value);
  if (result.ec != std::errc()) return std::nullopt;
  // fast_float rounds a magnitude beyond the range to infinity, which no
  // decimal text spells otherwise.
  return DecimalPrefix{DecimalValue{value, std::isinf(value)},
                       static_cast<std::size_t>(result.ptr - text.data())};
}

std::optional<DecimalValue> decimal_to_double(std::string_view text) {
  const auto prefix = decimal_prefix_to_double(text);
  if (!prefix || prefix->length != text.size()) return std::nullopt;
  return prefix->decimal;
}

}  // namespace text
