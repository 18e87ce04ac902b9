#include "report/html_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>

#include "text/shortest_decimal.h"

namespace {

TEST(HtmlText, EscapesMarkupAndShowsWhatCouldHide) {
  struct Row {
    std::string input;
    std::string expected;
  };
  const Row rows[] = {
      {"plain 11_crown.stl", "plain 11_crown.stl"},
      {"<script>a&b</script>", "&lt;script&gt;a&amp;b&lt;/script&gt;"},
      {"say \"x\" 'y'", "say &quot;x&quot; &#39;y&#39;"},
      {"&amp;", "&amp;amp;"},
      {"a\nb\tc\rd", "a\u240Ab\u2409c\u240Dd"},
      {std::string("nul\0x", 5), "nul\u2400x"},
      {"del\x7f", "del\u2421"},
      {"Z\xc3\xbcrich \xe2\x82\xac", "Z\xc3\xbcrich \xe2\x82\xac"},
      {"bad\xff\xfe!", "bad\uFFFD\uFFFD!"},
      {"cut\xe2\x82", "cut\uFFFD"},
      {"evil\xe2\x80\xaetxt.stl", "evil&lt;U+202E&gt;txt.stl"},
      {"nb\xc2\xa0sp", "nb&lt;U+00A0&gt;sp"},
      {"C:\\cases\\a.json", "C:\\cases\\a.json"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.input);
    EXPECT_EQ(report::html_text(row.input), row.expected);
  }
}

TEST(HtmlText, NumbersRoundToTheirPlacesInTheirShortestForm) {
  struct Row {
    double value;
    int decimals;
    std::string expected;
  };
  const Row rows[] = {
      {12.345678, 2, "12.35"}, {12.0, 2, "12"},       {-0.001, 2, "0"},
      {-3.14159, 3, "-3.142"}, {0.1 + 0.2, 4, "0.3"}, {1234567.891, 1, "1234567.9"},
      {2.5, 0, "3"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.value);
    std::string out;
    report::append_number(out, row.value, row.decimals);
    EXPECT_EQ(out, row.expected);
  }
}

// The digits written from an integer are the shortest form of the rounded
// number, on both sides of where the integer road ends (2^52 scaled).
TEST(HtmlText, NumbersWrittenFromIntegersAreTheShortestForm) {
  constexpr double kScales[] = {1, 10, 100, 1000, 10000};
  std::mt19937_64 random(7);
  std::uniform_real_distribution<double> exponent(-6, 17);
  std::uniform_int_distribution<int> places(0, 4);
  for (int i = 0; i < 20000; ++i) {
    const double magnitude = std::pow(10.0, exponent(random));
    const double value = (i % 2 == 0 ? 1 : -1) * magnitude;
    const int decimals = places(random);
    SCOPED_TRACE(testing::Message() << value << " to " << decimals << " places");
    double rounded = std::round(value * kScales[decimals]) / kScales[decimals];
    if (rounded == 0) rounded = 0;
    std::string out;
    report::append_number(out, value, decimals);
    ASSERT_EQ(out, text::format_shortest(rounded));
  }
}

}  // namespace
