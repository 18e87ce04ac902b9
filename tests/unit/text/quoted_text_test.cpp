#include "text/quoted_text.h"

#include <gtest/gtest.h>

namespace text {
namespace {

TEST(QuoteForMessage, EscapesWhatWouldHideOrDisguiseTheText) {
  const struct {
    const char* name;
    std::string text;
    std::string quoted;
  } cases[] = {
      {"plain", "A2", R"("A2")"},
      {"quote and backslash", "a\"b\\c", R"("a\"b\\c")"},
      {"short escapes", std::string("\n\r\t\0", 4), R"("\n\r\t\0")"},
      {"other controls", "\x1b\x7f\xC2\x85", R"("\u{1b}\u{7f}\u{85}")"},
      {"a control of one hex digit, without leading zeros", "\x01", R"("\u{1}")"},
      {"right-to-left override",
       "ab\xE2\x80\xAE"
       "cd",
       R"("ab\u{202e}cd")"},
      {"zero-width space", "\xE2\x80\x8B", R"("\u{200b}")"},
      {"byte-order mark",
       "\xEF\xBB\xBF"
       "x",
       R"("\u{feff}x")"},
      {"no-break space",
       "1\xC2\xA0"
       "2",
       R"("1\u{a0}2")"},
      {"ideographic space", "\xE3\x80\x80", R"("\u{3000}")"},
      {"line and paragraph separators", "\xE2\x80\xA8\xE2\x80\xA9", R"("\u{2028}\u{2029}")"},
      {"combining accent", "e\xCC\x81", R"("e\u{301}")"},
      {"soft hyphen", "\xC2\xAD", R"("\u{ad}")"},
      {"private use", "\xEE\x80\x80\xF3\xB0\x80\x80", R"("\u{e000}\u{f0000}")"},
      {"unassigned", "\xCD\xB8\xF4\x8F\xBF\xBF", R"("\u{378}\u{10ffff}")"},
      {"tag character", "\xF3\xA0\x80\xA0", R"("\u{e0020}")"},
      {"printable letters and emoji", "\xC3\xA9\xC3\xBC \xF0\x9F\x98\x80",
       "\"\xC3\xA9\xC3\xBC \xF0\x9F\x98\x80\""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(text::quote_for_message(c.text), c.quoted) << c.name;
  }
}

}  // namespace
}  // namespace text
