#include "text/decimal_number.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <random>
#include <string>

namespace text {
namespace {

TEST(DecimalToDouble, RoundsToNearestAndSaturatesAtTheEnds) {
  const struct {
    const char* text;
    double value;
    bool overflowed;
  } cases[] = {
      {"0", 0.0, false},
      {"-0", -0.0, false},
      {"5.", 5.0, false},
      {".5", 0.5, false},
      {"7e-1", 0.7, false},
      {"1E+2", 100.0, false},
      {"0.1", 0.1, false},
      {"9007199254740993", 9007199254740992.0, false},  // tie to even
      {"1e400", HUGE_VAL, true},
      {"-1e400", -HUGE_VAL, true},
      {"1e-400", 0.0, false},
      {"-1e-400", -0.0, false},
      {"0e99999999999999999999", 0.0, false},
      {"4.9e-324", 4.9e-324, false},
      {"1e99999999999999999999", HUGE_VAL, true},
  };
  for (const auto& c : cases) {
    const auto result = decimal_to_double(c.text);
    ASSERT_TRUE(result) << c.text;
    EXPECT_EQ(result->value, c.value) << c.text;
    EXPECT_EQ(std::signbit(result->value), std::signbit(c.value)) << c.text;
    EXPECT_EQ(result->overflowed, c.overflowed) << c.text;
  }
}

TEST(DecimalToDouble, RejectsWhatIsNotADecimal) {
  for (const char* text : {"", "-", ".", "1e", "1e+", "1..2", "1.2.3", "0x10", "1,5", "+1", "inf",
                           "nan", "1 ", " 1", "--1", "e5"}) {
    EXPECT_FALSE(decimal_to_double(text)) << text;
  }
}

using Gather = int (*)(const char*&, const char*, std::uint64_t&);

void expect_whole_runs_gathered(Gather gather) {
  for (int length = 0; length <= 20; ++length) {
    for (const std::string stop : {"/", ":", "\xB9", "", ".5", "e7"}) {
      for (std::size_t trail = 0; trail <= 9; ++trail) {
        std::string run;
        for (int i = 0; i < length; ++i) run += static_cast<char>('0' + (i * 7 + 3) % 10);
        const std::string text = run + stop + std::string(stop.empty() ? 0 : trail, 'x');
        SCOPED_TRACE(text);
        std::uint64_t expected = 0;
        for (char c : run) expected = expected * 10 + static_cast<std::uint64_t>(c - '0');
        const char* p = text.data();
        std::uint64_t digits = 0;
        EXPECT_EQ(gather(p, text.data() + text.size(), digits), length);
        EXPECT_EQ(p, text.data() + length);
        EXPECT_EQ(digits, expected);  // wrapped alike beyond 19 digits
      }
    }
  }
}

// Runs of every length up to past two words, ended by each character that
// sits next to the digits in the byte order ('/' and ':'), a byte above
// 0x7F, or the end of the text; each at every offset from the end, so that
// runs are met in words, in single bytes, and across the two. Both ways of
// gathering, byte by byte and eight at a time, take the same run.
TEST(GatherDigits, TakesExactlyTheRunAndItsValue) {
  const struct {
    const char* name;
    Gather gather;
  } ways[] = {{"byte by byte", gather_digits}, {"eight at a time", gather_digits_by_eight}};
  for (const auto& way : ways) {
    SCOPED_TRACE(way.name);
    expect_whole_runs_gathered(way.gather);
  }
}

// Digits gathered by a scanner, converted without the text: the nearest
// double, as glibc's strtod finds it from the text, or none; never another
// value. Seeded random digits at every count and point place, so that the
// 16 to 19 digits of shortest forms and beyond are all met.
TEST(DecimalFromDigits, GivesTheNearestDoubleOrNone) {
  std::mt19937_64 random(20261211);
  for (int digit_count = 1; digit_count <= 21; ++digit_count) {
    for (int round = 0; round < 2000; ++round) {
      std::string text;
      std::uint64_t digits = 0;
      for (int i = 0; i < digit_count; ++i) {
        const int digit = static_cast<int>(random() % 10);
        text += static_cast<char>('0' + digit);
        digits = digits * 10 + static_cast<std::uint64_t>(digit);
      }
      const int fraction_digits =
          static_cast<int>(random() % static_cast<unsigned>(digit_count + 1));
      // Appended piece by piece: inserting into the string makes GCC 12
      // at -O2 warn of an overlap that cannot happen (-Wrestrict).
      const std::size_t point = text.size() - static_cast<std::size_t>(fraction_digits);
      const bool negative = round % 2 == 1;
      std::string number = negative ? "-" : "";
      number.append(text, 0, point);
      number += '.';
      number.append(text, point);
      text = std::move(number);
      const auto value = decimal_from_digits(digits, digit_count, fraction_digits, negative);
      SCOPED_TRACE(text);
      if (digit_count <= 15) {
        ASSERT_TRUE(value);
      }
      if (digit_count > kMaxGatheredDigits) {
        ASSERT_FALSE(value);
      }
      if (!value) continue;
      const double expected = std::strtod((text + "0").c_str(), nullptr);
      ASSERT_EQ(*value, expected);
      ASSERT_EQ(std::signbit(*value), std::signbit(expected));
    }
  }
}

}  // namespace
}  // namespace text
