#include "text/shortest_decimal.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace text {
namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();

TEST(FormatShortest, WritesPositionalShortestDigits) {
  const struct {
    double value;
    const char* text;
  } cases[] = {
      {0.0, "0"},
      {-0.0, "-0"},
      {1.0, "1"},
      {-1.0, "-1"},
      {7.25, "7.25"},
      {0.3 - 0.1, "0.19999999999999998"},
      {8.2 - 2, "6.199999999999999"},
      {1e21, "1000000000000000000000"},
      {1.5e-7, "0.00000015"},
      {123456.789, "123456.789"},
      {5e-324,
       "0.000000000000000000000000000000000000000000000000000000000000000000000000000000"
       "000000000000000000000000000000000000000000000000000000000000000000000000000000"
       "000000000000000000000000000000000000000000000000000000000000000000000000000000"
       "000000000000000000000000000000000000000000000000000000000000000000000000000000"
       "000000000005"},
      {kInfinity, "inf"},
      {-kInfinity, "-inf"},
      {std::nan(""), "NaN"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(format_shortest(c.value), c.text) << c.text;
  }
  EXPECT_EQ(format_shortest(1.7976931348623157e308).size(), 309u);
}

TEST(FormatFloatForMessage, MarksWholeNumbersAndSwitchesToExponents) {
  const struct {
    double value;
    const char* text;
  } cases[] = {
      {11.0, "11.0"},
      {1.5, "1.5"},
      {-0.0, "-0.0"},
      {1e15, "1000000000000000.0"},
      {1e16, "1e16"},
      {1.5e17, "1.5e17"},
      {0.0001, "0.0001"},
      {0.00001, "0.00001"},
      {0.000001, "1e-6"},
      {1.5e-7, "1.5e-7"},
      {4294967296.0, "4294967296.0"},
      {kInfinity, "inf"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(format_float_for_message(c.value), c.text) << c.text;
  }
}

}  // namespace
}  // namespace text
