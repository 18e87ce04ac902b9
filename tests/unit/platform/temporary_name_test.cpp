#include "platform/temporary_name.h"

#include <gtest/gtest.h>

#include <string>

namespace platform {
namespace {

constexpr auto W = PathRules::Windows;
constexpr auto P = PathRules::Posix;

// 36^10 - 1: every one of the ten random letters is the last digit, "z".
constexpr std::uint64_t kAllZ = 3656158440062975;

const std::string a31(31, 'a');
const std::string a28(28, 'a');
const std::string a29(29, 'a');
const std::string a30(30, 'a');
const std::string a32(32, 'a');

TEST(TemporaryName, KeepsTheFolderAndCutsTheNameAtAWholeCharacter) {
  const struct {
    PathRules rules;
    std::string target;
    std::string expected;
  } cases[] = {
      {P, "out.xml", ".out.xml-zzzzzzzzzz.tmp"},
      {P, "cases/./out.xml", "cases/./.out.xml-zzzzzzzzzz.tmp"},
      {P, "/out.xml", "/.out.xml-zzzzzzzzzz.tmp"},
      {P, R"(a\out.xml)", R"(.a\out.xml-zzzzzzzzzz.tmp)"},
      {W, R"(C:\cases\out.xml)", R"(C:\cases\.out.xml-zzzzzzzzzz.tmp)"},
      {W, "C:out.xml", "C:.out.xml-zzzzzzzzzz.tmp"},
      {W, "cases/out.xml", "cases/.out.xml-zzzzzzzzzz.tmp"},
      {W, R"(\\?\C:\cases\out.xml)", R"(\\?\C:\cases\.out.xml-zzzzzzzzzz.tmp)"},
      {W, R"(\\server\share\out.xml)", R"(\\server\share\.out.xml-zzzzzzzzzz.tmp)"},
      // 32 bytes of the name at most, and never part of a character: an
      // emoji (4 bytes, a surrogate pair in UTF-16) that would end past
      // byte 32 stays out whole.
      {P, a32 + "b.constructionInfo", "." + a32 + "-zzzzzzzzzz.tmp"},
      {W, a31 + "\xF0\x9F\x98\x80.constructionInfo", "." + a31 + "-zzzzzzzzzz.tmp"},
      {P, a31 + "\xF0\x9F\x98\x80.constructionInfo", "." + a31 + "-zzzzzzzzzz.tmp"},
      {W, a28 + "\xF0\x9F\x98\x80.constructionInfo", "." + a28 + "\xF0\x9F\x98\x80-zzzzzzzzzz.tmp"},
      {W, a29 + "\xF0\x9F\x98\x80.constructionInfo", "." + a29 + "-zzzzzzzzzz.tmp"},
      {W, a31 + "\xF0\xA0\xAE\xB7", "." + a31 + "-zzzzzzzzzz.tmp"},
      {W, a31 + "\xC3\xA9", "." + a31 + "-zzzzzzzzzz.tmp"},
      // A lone surrogate (WTF-8) is one character of three bytes.
      {W, a31 + "\xED\xA0\x80.json", "." + a31 + "-zzzzzzzzzz.tmp"},
      // Bytes that are no character are cut where the limit falls.
      {P, a31 + "\x80\x80\x80\x80\x80", "." + a31 + "\x80-zzzzzzzzzz.tmp"},
      {P, a30 + "\xC3\xA9\x80.json", "." + a30 + "\xC3\xA9-zzzzzzzzzz.tmp"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.target);
    EXPECT_EQ(temporary_name_for(c.target, kAllZ, c.rules), c.expected);
  }
}

TEST(TemporaryName, SpellsTheRandomBitsInBase36) {
  EXPECT_EQ(temporary_name_for("o", 0, P), ".o-0000000000.tmp");
  EXPECT_EQ(temporary_name_for("o", 36 + 35, P), ".o-z100000000.tmp");
  EXPECT_NE(temporary_name_for("o"), temporary_name_for("o"));
}

}  // namespace
}  // namespace platform
