#include "text/digits.h"

#include <gtest/gtest.h>

namespace text {
namespace {

// Where 64 bits end, with leading zeros, and a run cut by what follows it.
TEST(ReadDigitRun, GivesTheRunsLengthAndItsValueWhenItFits64Bits) {
  const struct {
    std::string_view text;
    std::size_t length;
    std::optional<std::uint64_t> value;
  } cases[] = {
      {"", 0, 0},
      {"x1", 0, 0},
      {"0", 1, 0},
      {"42 ", 2, 42},
      {"+7", 0, 0},
      {"9999999999999999999", 19, 9999999999999999999ULL},
      {"18446744073709551615", 20, 18446744073709551615ULL},
      {"18446744073709551616", 20, std::nullopt},
      {"99999999999999999999", 20, std::nullopt},
      {"100000000000000000000", 21, std::nullopt},
      {"0000018446744073709551615e", 25, 18446744073709551615ULL},
      {"0000000000000000000000000", 25, 0},
      {"000000000000000000000000123.5", 27, 123},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    const DigitRun run = read_digit_run(c.text);
    EXPECT_EQ(run.length, c.length);
    EXPECT_EQ(run.value, c.value);
  }
}

}  // namespace
}  // namespace text
