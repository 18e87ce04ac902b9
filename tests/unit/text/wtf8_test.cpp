#include "text/wtf8.h"

#include <gtest/gtest.h>

namespace text {
namespace {

// Pairs of the same name as UTF-16 and as WTF-8; each converts into the
// other.
TEST(Wtf8, CarriesEveryUtf16NameBothWays) {
  const struct {
    std::u16string utf16;
    std::string wtf8;
  } cases[] = {
      {u"", ""},
      {u"case7.json", "case7.json"},
      {u"Z\u00e4hne \u20ac.json", "Z\xC3\xA4hne \xE2\x82\xAC.json"},
      {u"\U0001F9B7", "\xF0\x9F\xA6\xB7"},            // a pair is one code point
      {u"a\xD800.json", "a\xED\xA0\x80.json"},        // lone high surrogate
      {u"\xDFFF", "\xED\xBF\xBF"},                    // lone low surrogate
      {u"\xDC00\xD800", "\xED\xB0\x80\xED\xA0\x80"},  // low before high: two lone ones
      {u"\xD83E", "\xED\xA0\xBE"},                    // high at the end
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.wtf8));
    EXPECT_EQ(wtf8_from_utf16(c.utf16), c.wtf8);
    EXPECT_EQ(utf16_from_wtf8(c.wtf8), c.utf16);
  }
}

TEST(Wtf8, TurnsBytesThatAreNotWtf8IntoReplacementCharacters) {
  EXPECT_EQ(utf16_from_wtf8("a\xFF"
                            "b"),
            u"a\uFFFDb");
  EXPECT_EQ(utf16_from_wtf8("\xC3"), u"\uFFFD");
  EXPECT_EQ(utf16_from_wtf8("\xE2\x82"), u"\uFFFD\uFFFD");
}

TEST(Wtf8, ShowsEachLoneSurrogateAsOneReplacementCharacter) {
  const struct {
    std::string_view text;
    std::string_view shown;
  } cases[] = {
      {"C:\\cases\\case.json", "C:\\cases\\case.json"},
      {"Z\xC3\xA4hne", "Z\xC3\xA4hne"},
      {"a\xED\xA0\x80.json", "a\xEF\xBF\xBD.json"},
      {"\xED\xA0\x80\xED\xB0\x80", "\xEF\xBF\xBD\xEF\xBF\xBD"},
      {"\xED\xA0", "\xEF\xBF\xBD\xEF\xBF\xBD"},  // cut short: as utf8_lossy shows it
      {"x\xFF\xED\xBF\xBFy", "x\xEF\xBF\xBD\xEF\xBF\xBDy"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(wtf8_lossy(c.text), c.shown) << testing::PrintToString(std::string(c.text));
  }
}

}  // namespace
}  // namespace text
