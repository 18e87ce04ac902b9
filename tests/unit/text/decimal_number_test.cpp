#include "text/decimal_number.h"

#include <gtest/gtest.h>

#include <cmath>

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

}  // namespace
}  // namespace text
