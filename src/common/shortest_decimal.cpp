#include "common/shortest_decimal.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

namespace common {

namespace {

// The shortest significant digits of a finite, non-zero magnitude and the
// decimal exponent of the first digit: value = 0.d1d2... * 10^point.
struct Digits {
  std::string digits;
  int point = 0;
};

Digits shortest_digits(double magnitude) {
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, magnitude,
                                    std::chars_format::scientific);
  const std::string_view text(buffer, static_cast<std::size_t>(result.ptr - buffer));
  const std::size_t e = text.find('e');
  Digits out;
  for (char c : text.substr(0, e)) {
    if (c != '.') out.digits += c;
  }
  out.point = std::atoi(std::string(text.substr(e + 1)).c_str()) + 1;
  return out;
}

std::string positional(const Digits& d) {
  const int length = static_cast<int>(d.digits.size());
  if (d.point <= 0) return "0." + std::string(static_cast<std::size_t>(-d.point), '0') + d.digits;
  if (d.point >= length) return d.digits + std::string(static_cast<std::size_t>(d.point - length), '0');
  const auto split = static_cast<std::size_t>(d.point);
  return d.digits.substr(0, split) + "." + d.digits.substr(split);
}

std::string non_finite(double value) {
  if (std::isnan(value)) return "NaN";
  return value < 0 ? "-inf" : "inf";
}

}  // namespace

std::string format_shortest(double value) {
  if (!std::isfinite(value)) return non_finite(value);
  const std::string sign = std::signbit(value) ? "-" : "";
  if (value == 0) return sign + "0";
  return sign + positional(shortest_digits(std::fabs(value)));
}

std::string format_float_for_message(double value) {
  if (!std::isfinite(value)) return non_finite(value);
  const std::string sign = std::signbit(value) ? "-" : "";
  if (value == 0) return sign + "0.0";
  const Digits d = shortest_digits(std::fabs(value));
  const int length = static_cast<int>(d.digits.size());
  std::string body;
  if (d.point >= length && d.point <= 16) {
    body = positional(d) + ".0";
  } else if (d.point > -5 && d.point <= 16) {
    body = positional(d);
  } else {
    const std::string mantissa =
        length == 1 ? d.digits : d.digits.substr(0, 1) + "." + d.digits.substr(1);
    body = mantissa + "e" + std::to_string(d.point - 1);
  }
  return sign + body;
}

}  // namespace common
