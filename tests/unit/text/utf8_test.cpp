#include "text/utf8.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace text {
namespace {

TEST(Utf8, TellsWellFormedTextFromBytesThatAreNot) {
  const struct {
    std::string_view bytes;
    bool valid;
  } cases[] = {
      {"", true},
      {"plain", true},
      {"\xC3\xA9\xE2\x82\xAC\xF0\x9F\xA6\xB7", true},  // é € 🦷
      {"\xEF\xBB\xBF{}", true},                        // a byte-order mark is text
      {"\xC3", false},                                 // truncated
      {"\xC0\xAF", false},                             // overlong
      {"\xE0\x80\xAF", false},                         // overlong in three bytes
      {"\xF0\x80\x80\xAF", false},                     // overlong in four bytes
      {"\xED\xA0\x80", false},                         // surrogate
      {"\xF4\x90\x80\x80", false},                     // past U+10FFFF
      {"\x80", false},                                 // lone continuation
      {"\xFF", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(is_valid_utf8(c.bytes), c.valid) << testing::PrintToString(std::string(c.bytes));
  }
}

TEST(Utf8, LossyReplacesEachMaximalIllFormedPart) {
  EXPECT_EQ(utf8_lossy("case\xFF.json"), "case\xEF\xBF\xBD.json");
  EXPECT_EQ(utf8_lossy("a\xE2\x82z"), "a\xEF\xBF\xBDz");  // one part, one mark
  EXPECT_EQ(utf8_lossy("\xC0\xAF"), "\xEF\xBF\xBD\xEF\xBF\xBD");
  EXPECT_EQ(utf8_lossy("\xC3\xA9"), "\xC3\xA9");
}

TEST(Utf8, DecodesOneCharacterOrMeasuresTheIllFormedPart) {
  const struct {
    std::string_view bytes;
    Surrogates surrogates;
    Utf8Character expected;
  } cases[] = {
      {"", Surrogates::Refused, {0, 0, false}},
      {"A\xC3", Surrogates::Refused, {U'A', 1, true}},
      {"\xC3\xA9z", Surrogates::Refused, {U'\u00E9', 2, true}},
      {"\xE2\x82\xAC", Surrogates::Refused, {U'\u20AC', 3, true}},
      {"\xF4\x8F\xBF\xBF", Surrogates::Refused, {U'\U0010FFFF', 4, true}},
      {"\xED\x9F\xBF", Surrogates::Refused, {U'\uD7FF', 3, true}},
      {"\xED\xA0\x80", Surrogates::Refused, {0, 1, false}},
      {"\xED\xA0\x80", Surrogates::Accepted, {0xD800, 3, true}},
      {"\xED\xBF\xBF", Surrogates::Accepted, {0xDFFF, 3, true}},
      {"\xED\xA0", Surrogates::Accepted, {0, 2, false}},      // cut short
      {"\xF0\x9F\xA6z", Surrogates::Refused, {0, 3, false}},  // one part for U+FFFD
      {"\xE0\x80\xAF", Surrogates::Accepted, {0, 1, false}},  // overlong
      {"\xF4\x90\x80\x80", Surrogates::Refused, {0, 1, false}},
      {"\x80", Surrogates::Refused, {0, 1, false}},
      {"\xC1\xBF", Surrogates::Refused, {0, 1, false}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(std::string(c.bytes)));
    const Utf8Character decoded = decode_utf8_character(c.bytes, c.surrogates);
    EXPECT_EQ(decoded.well_formed, c.expected.well_formed);
    EXPECT_EQ(decoded.length, c.expected.length);
    if (c.expected.well_formed) {
      EXPECT_EQ(decoded.code_point, c.expected.code_point);
    }
  }
}

// Long runs of ASCII are checked many bytes at a time: a character or a
// fault is found at every offset, in a whole block and in the tail.
TEST(Utf8, FindsAFaultAtEveryOffsetOfALongAsciiText) {
  for (std::size_t at = 0; at < 80; ++at) {
    SCOPED_TRACE(at);
    // Built by appending, not by replacing within the string: GCC 12 warns
    // (-Wrestrict) of a replace by a literal that it cannot prove apart.
    const auto ascii_with = [at](std::string_view bytes) {
      std::string text(at, 'a');
      text.append(bytes);
      text.append(79 - at, 'a');
      return text;
    };
    EXPECT_FALSE(is_valid_utf8(ascii_with("\xC3")));  // a lead byte without its continuation
    EXPECT_TRUE(is_valid_utf8(ascii_with("\xC3\xA9")));
    EXPECT_FALSE(is_valid_utf8(ascii_with("\x80")));
  }
}

}  // namespace
}  // namespace text
