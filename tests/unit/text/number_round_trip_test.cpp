// The number writer and reader against the standard library's conversions,
// over millions of doubles and texts: the writer's digits are exactly the
// shortest ones std::to_chars finds, every written number reads back to
// the same double, and the reader rounds exactly as std::from_chars does.
#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <random>
#include <string>

#include "text/decimal_number.h"
#include "text/shortest_decimal.h"

namespace text {
namespace {

// The positional form built from std::to_chars's shortest scientific form.
std::string reference_positional(double value) {
  if (std::isnan(value)) return "NaN";
  if (std::isinf(value)) return value < 0 ? "-inf" : "inf";
  std::string out = std::signbit(value) ? "-" : "";
  if (value == 0) return out + "0";
  char text[64];
  const auto end =
      std::to_chars(text, text + sizeof text, std::fabs(value), std::chars_format::scientific).ptr;
  std::string digits;
  const char* p = text;
  for (; *p != 'e'; ++p) {
    if (*p != '.') digits += *p;
  }
  int exponent = 0;
  std::from_chars(p + (p[1] == '+' ? 2 : 1), end, exponent);
  const int point = exponent + 1;
  const int length = static_cast<int>(digits.size());
  if (point <= 0) return out + "0." + std::string(static_cast<std::size_t>(-point), '0') + digits;
  if (point >= length)
    return out + digits + std::string(static_cast<std::size_t>(point - length), '0');
  return out + digits.substr(0, static_cast<std::size_t>(point)) + "." +
         digits.substr(static_cast<std::size_t>(point));
}

void expect_round_trip(double value) {
  const std::string text = format_shortest(value);
  ASSERT_EQ(text, reference_positional(value)) << std::bit_cast<std::uint64_t>(value);
  if (!std::isfinite(value)) return;
  const auto read = decimal_to_double(text);
  ASSERT_TRUE(read) << text;
  ASSERT_EQ(std::bit_cast<std::uint64_t>(read->value), std::bit_cast<std::uint64_t>(value)) << text;
}

TEST(NumberRoundTrip, WritesShortestDigitsThatReadBack) {
  std::mt19937_64 random(20261210);
  for (int i = 0; i < 2'000'000; ++i) {
    expect_round_trip(std::bit_cast<double>(random()));
  }
  // Subnormals, powers of ten, integers around 2^53, and coordinates as
  // margin line files hold them (six decimals, tens of millimetres).
  for (std::uint64_t bits = 1; bits < (std::uint64_t{1} << 52); bits = bits * 3 + 1) {
    expect_round_trip(std::bit_cast<double>(bits));
    expect_round_trip(-std::bit_cast<double>(bits));
  }
  for (int exponent = -324; exponent <= 308; ++exponent) {
    const double power = std::pow(10.0, exponent);
    for (double value : {power, std::nextafter(power, 0.0), std::nextafter(power, HUGE_VAL)}) {
      expect_round_trip(value);
    }
  }
  const double two53 = 9007199254740992.0;
  for (int offset = -1000; offset <= 1000; ++offset) expect_round_trip(two53 + 2.0 * offset);
  std::uniform_int_distribution<int> micrometres(-60'000'000, 60'000'000);
  for (int i = 0; i < 1'000'000; ++i) {
    const double coordinate = micrometres(random) / 1e6;
    expect_round_trip(coordinate);
    ASSERT_EQ(decimal_to_double(format_shortest(coordinate))->value, coordinate);
  }
  for (double value : {0.0, -0.0, 5e-324, 1.7976931348623157e308, HUGE_VAL, -HUGE_VAL}) {
    expect_round_trip(value);
  }
}

// A random text of the decimal form: digits around an optional point, an
// optional exponent, sometimes far more digits than a double holds.
std::string random_decimal(std::mt19937_64& random) {
  std::string text = random() % 2 ? "-" : "";
  const auto digits = [&](std::size_t count) {
    std::string run;
    for (std::size_t i = 0; i < count; ++i) run += static_cast<char>('0' + random() % 10);
    return run;
  };
  const std::size_t length = random() % 4 == 0 ? 1 + random() % 40 : 1 + random() % 18;
  const std::size_t point = random() % (length + 2);
  std::string body = digits(length);
  if (point <= length) body.insert(point, ".");
  text += body;
  if (random() % 3 == 0) {
    text += random() % 2 ? "e" : "E";
    if (random() % 2) text += random() % 2 ? "-" : "+";
    text += std::to_string(random() % 700);
  }
  return text;
}

TEST(NumberRoundTrip, ReadsDecimalsAsTheStandardLibraryRoundsThem) {
  std::mt19937_64 random(7);
  for (int i = 0; i < 2'000'000; ++i) {
    const std::string text = random_decimal(random);
    double expected = 0;
    const auto standard = std::from_chars(text.data(), text.data() + text.size(), expected);
    const auto read = decimal_to_double(text);
    ASSERT_TRUE(read) << text;
    if (standard.ec == std::errc::result_out_of_range) {
      // The standard library reports the range; the reader saturates.
      ASSERT_TRUE(std::isinf(read->value) || read->value == 0) << text;
      ASSERT_EQ(read->overflowed, std::isinf(read->value)) << text;
      continue;
    }
    ASSERT_EQ(standard.ptr, text.data() + text.size()) << text;
    ASSERT_EQ(std::bit_cast<std::uint64_t>(read->value), std::bit_cast<std::uint64_t>(expected))
        << text;
    ASSERT_FALSE(read->overflowed) << text;
  }
}

}  // namespace
}  // namespace text
