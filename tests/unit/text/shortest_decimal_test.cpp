#include "text/shortest_decimal.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

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

// Numbers of at most 15 significant digits are written from their scaled
// digits, others by the general algorithm; each row must give the same
// text both ways: the edges of that road.
TEST(FormatShortest, ShortRoadAgreesWithTheGeneralAlgorithm) {
  const struct {
    double value;
    const char* text;
  } cases[] = {
      {-0.0, "-0"},
      {12.345678, "12.345678"},
      {-12.3456, "-12.3456"},
      {1200.0, "1200"},
      {1e14, "100000000000000"},
      {999999999999999.0, "999999999999999"},    // 15 digits, just below 10^15
      {99999999999999.9, "99999999999999.9"},    // 15 digits with a fraction
      {1e15, "1000000000000000"},                // 10^15 itself: the general road
      {562949953421312.0, "562949953421312"},    // 2^49: 15 digits, the general road
      {600000000000000.5, "600000000000000.5"},  // 16 digits above 2^49
      {999999999999999.9, "999999999999999.9"},  // 16 digits
      {1.234567890123456, "1.234567890123456"},  // 16 digits
      {0.123456789012345, "0.123456789012345"},  // 15 digits below one
      {9007199254740993.0, "9007199254740992"},  // 2^53 + 1 reads as 2^53
      {0.1 + 0.2, "0.30000000000000004"},
      {1.0 - 0.9, "0.09999999999999998"},
      {9.999999999999998, "9.999999999999998"},
      {8.0, "8"},
      {10.0, "10"},
      {0.001, "0.001"},
      {1.5e-7, "0.00000015"},
      {1.23456789012345e-7, "0.000000123456789012345"},
      {1e-8, "0.00000001"},
      {7.450580596923828e-9, "0.000000007450580596923828"},  // 2^-27
      {1e-22, "0.0000000000000000000001"},
      {4503599627370495.5, "4503599627370495.5"},  // a half near 2^52
  };
  for (const auto& c : cases) {
    EXPECT_EQ(format_shortest(c.value), c.text) << c.text;
    char general[kMaxShortestLength];
    EXPECT_EQ(std::string(general, write_shortest_by_general_algorithm(general, c.value)), c.text)
        << c.text;
  }
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
