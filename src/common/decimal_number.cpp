#include "common/decimal_number.h"

#include <charconv>
#include <limits>

namespace common {

namespace {

bool is_digit(char c) { return c >= '0' && c <= '9'; }

// The shape of a decimal text, found in one pass.
struct Shape {
  bool negative = false;
  // Power of ten of the first non-zero significand digit, before the
  // exponent is added; meaningless when every digit is zero.
  long long leading_power = 0;
  bool all_zero = true;
  long long exponent = 0;
};

std::optional<Shape> scan(std::string_view text) {
  Shape shape;
  std::size_t i = 0;
  if (i < text.size() && text[i] == '-') {
    shape.negative = true;
    ++i;
  }
  long long integer_digits = 0;
  long long position = 0;  // digits seen so far, integer and fraction
  bool seen_point = false;
  bool any_digit = false;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    if (is_digit(c)) {
      any_digit = true;
      if (c != '0' && shape.all_zero) {
        shape.all_zero = false;
        shape.leading_power = position;
      }
      ++position;
      if (!seen_point) ++integer_digits;
    } else if (c == '.' && !seen_point) {
      seen_point = true;
    } else {
      break;
    }
  }
  if (!any_digit) return std::nullopt;
  shape.leading_power = integer_digits - shape.leading_power;
  if (i == text.size()) return shape;
  if (text[i] != 'e' && text[i] != 'E') return std::nullopt;
  ++i;
  bool exponent_negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) exponent_negative = text[i++] == '-';
  if (i == text.size()) return std::nullopt;
  constexpr long long kSaturated = 1'000'000'000'000LL;
  for (; i < text.size(); ++i) {
    if (!is_digit(text[i])) return std::nullopt;
    if (shape.exponent < kSaturated) shape.exponent = shape.exponent * 10 + (text[i] - '0');
  }
  if (exponent_negative) shape.exponent = -shape.exponent;
  return shape;
}

bool has_only_decimal_characters(std::string_view text) {
  for (char c : text) {
    if (!is_digit(c) && c != '.' && c != 'e' && c != 'E' && c != '+' && c != '-') return false;
  }
  return true;
}

// For a text that from_chars found beyond the double range either way.
std::optional<DecimalValue> saturated(std::string_view text) {
  const auto shape = scan(text);
  if (!shape) return std::nullopt;
  const double zero = shape->negative ? -0.0 : 0.0;
  if (shape->all_zero || shape->leading_power + shape->exponent <= 0) return DecimalValue{zero, false};
  const double infinity = std::numeric_limits<double>::infinity();
  return DecimalValue{shape->negative ? -infinity : infinity, true};
}

}  // namespace

std::optional<DecimalValue> decimal_to_double(std::string_view text) {
  // Within these characters, from_chars taking the whole text is exactly
  // the decimal form; words such as "inf" or "nan" never get that far.
  if (text.empty() || !has_only_decimal_characters(text)) return std::nullopt;
  double value = 0;
  const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
  if (result.ptr != text.data() + text.size()) return std::nullopt;
  if (result.ec == std::errc::result_out_of_range) return saturated(text);
  if (result.ec != std::errc()) return std::nullopt;
  return DecimalValue{value, false};
}

}  // namespace common
