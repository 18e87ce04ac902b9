#include "text/utf8.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace text
