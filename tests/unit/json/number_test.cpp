#include "json/number.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>

#include "json/reader.h"

namespace json {
namespace {

using Fault = NumberToken::Fault;

TEST(ScanNumber, FindsWhereAWellFormedTokenEndsAndWhatItIs) {
  const struct {
    std::string text;  // the token, then what follows it
    std::size_t end;
    bool is_integer;
    std::optional<double> value;  // from the gathered digits
  } cases[] = {
      {"0", 1, true, 0.0},
      {"-0", 2, true, -0.0},
      {"12,", 2, true, 12.0},
      {"-12.5]", 5, false, -12.5},
      {"0.25}", 4, false, 0.25},
      {"-3.1415926535 ", 13, false, -3.1415926535},
      // ':' follows '9' in the byte order: the first byte past the digits.
      {"1.1234567:8", 9, false, 1.1234567},
      {"0.1:23456789", 3, false, 0.1},
      {"1e2", 3, false, std::nullopt},
      {"2.5E-1x", 6, false, std::nullopt},
      {"1e+0", 4, false, std::nullopt},
      // Up to 19 digits, the integer's "0" counted; a double's shortest
      // exact form has up to 17.
      {"1234567890123456", 16, true, 1234567890123456.0},
      {"0.000000000000001", 17, false, 1e-15},
      {"-12.345678901234567,", 19, false, -12.345678901234567},
      {"9007199254740993", 16, true, 9007199254740992.0},  // a tie, to even
      {"0.1000000000000000055511151231257827", 36, false, std::nullopt},
      {"12345678901234567890", 20, true, std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    const NumberToken token = scan_number(c.text, 0);
    EXPECT_EQ(token.fault, Fault::None);
    EXPECT_EQ(token.end, c.end);
    EXPECT_EQ(token.is_integer(), c.is_integer);
    EXPECT_EQ(token.value_from_digits(), c.value);
    if (c.value) {
      EXPECT_EQ(std::signbit(*token.value_from_digits()), std::signbit(*c.value));
    }
  }
}

TEST(ScanNumber, PlacesEachFaultWhereTheFormBreaks) {
  const struct {
    std::string text;
    Fault fault;
    std::size_t at;  // past the offending character, or the end of the text
  } cases[] = {
      {"-", Fault::EndOfText, 1},     {"-x", Fault::Malformed, 2},  {"01", Fault::Malformed, 2},
      {"-007", Fault::Malformed, 3},  {"1.", Fault::EndOfText, 2},  {"1.e5", Fault::Malformed, 3},
      {"1e", Fault::EndOfText, 2},    {"1e+", Fault::EndOfText, 3}, {"1E-x", Fault::Malformed, 4},
      {"2.5ex", Fault::Malformed, 5},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    const NumberToken token = scan_number(c.text, 0);
    EXPECT_EQ(token.fault, c.fault);
    EXPECT_EQ(token.end, c.at);
  }
}

TEST(ScanNumber, StartsWhereItIsTold) {
  const std::string text = R"({"x":-1.5,"y":2})";
  EXPECT_EQ(scan_number(text, 5).end, 9u);
  EXPECT_EQ(scan_number(text, 14).end, 15u);
  EXPECT_EQ(scan_number(text, 14).value_from_digits(), 2.0);
}

// The readers' shortcut takes every number that read_double would give a
// value, with that value, whether the gathered digits give it or the text
// must be converted (a point with one such coordinate would otherwise end
// a stretch read ahead); it takes nothing else.
TEST(TakeUsualDouble, TakesEveryNumberInRangeAsReadDoubleReadsIt) {
  const struct {
    std::string text;
    std::optional<double> value;
    std::size_t end;  // where reading stands after
  } cases[] = {
      {"-12.345678,", -12.345678, 10},
      {"0.0000000000000000000012345]", 1.2345e-21, 27},
      {"1.7976931348623157e308", 1.7976931348623157e308, 22},
      {"25E-1", 2.5, 5},
      {"18446744073709551617", 18446744073709551617.0, 20},
      {"-0", -0.0, 2},
      {"1e400", std::nullopt, 0},
      {"01", std::nullopt, 0},
      {"1.", std::nullopt, 0},
      {"-x", std::nullopt, 0},
      {" 1", std::nullopt, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    Reader reader(c.text);
    const auto value = reader.take_usual_double();
    EXPECT_EQ(value, c.value);
    EXPECT_EQ(reader.position(), c.end);
    if (!c.value) continue;
    ASSERT_TRUE(value);
    EXPECT_EQ(std::signbit(*value), std::signbit(*c.value));
    Reader full(c.text);
    EXPECT_EQ(full.read_double(), *c.value);
  }
}

}  // namespace
}  // namespace json
