#include "json/number.h"

#include <limits>

#include "text/shortest_decimal.h"

namespace json {

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

std::optional<Number> number_from_token(std::string_view literal, bool is_integer) {
  if (is_integer) {
    if (auto number = fitting_number(literal)) return *number;
  }
  const auto converted = text::decimal_to_double(literal);
  if (!converted || converted->overflowed) return std::nullopt;
  Number number;
  number.kind = is_integer ? Number::Kind::BigInteger : Number::Kind::Float;
  number.float_value = converted->value;
  if (is_integer) number.digits = literal;
  return number;
}

}  // namespace json
