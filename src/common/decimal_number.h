// Decimal number text to the nearest double (ties to even), the one
// conversion behind JSON numbers and margin line coordinates.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

namespace common {

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

// The longest start of `text` that has that form, read as above, and its
// length; none when not even one digit starts it. For scanners that find
// where a number ends by reading it.
struct DecimalPrefix {
  DecimalValue decimal;
  std::size_t length = 0;
};
std::optional<DecimalPrefix> decimal_prefix_to_double(std::string_view text);

}  // namespace common
