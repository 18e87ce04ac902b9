#include "common/decimal_number.h"

#include <fast_float/fast_float.h>

#include <cmath>

namespace common {

namespace {

bool is_digit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

std::optional<DecimalValue> decimal_to_double(std::string_view text) {
  // fast_float reads exactly this form, and the words inf and nan besides,
  // which only a text starting with a letter can be.
  const std::size_t lead = !text.empty() && text[0] == '-' ? 1 : 0;
  if (lead >= text.size() || !(is_digit(text[lead]) || text[lead] == '.')) return std::nullopt;
  double value = 0;
  const char* end = text.data() + text.size();
  const auto result = fast_float::from_chars(text.data(), end, value);
  if (result.ec != std::errc() || result.ptr != end) return std::nullopt;
  // fast_float rounds a magnitude beyond the range to infinity, which no
  // decimal text spells otherwise.
  return DecimalValue{value, std::isinf(value)};
}

}  // namespace common
