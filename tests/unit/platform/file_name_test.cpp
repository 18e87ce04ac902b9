#include "platform/file_name.h"

#include <gtest/gtest.h>

namespace platform {
namespace {

constexpr auto W = PathRules::Windows;
constexpr auto P = PathRules::Posix;

const char* rules_name(PathRules rules) { return rules == W ? "windows" : "posix"; }

struct NameCase {
  PathRules rules;
  std::string_view path;
  std::optional<std::string_view> name;  // none: no final name
  std::string_view stem;
  std::string_view parent;
  std::string_view default_output;
};

TEST(FileName, SplitsCasePathsUnderBothRuleSets) {
  const NameCase cases[] = {
      {W, R"(C:\cases\case.json)", "case.json", "case", R"(C:\cases)",
       R"(C:\cases\case.constructionInfo)"},
      {P, "/cases/case.json", "case.json", "case", "/cases", "/cases/case.constructionInfo"},
      {W, "a.b.json", "a.b.json", "a.b", "", "a.b.constructionInfo"},
      {P, "a.b.json", "a.b.json", "a.b", "", "a.b.constructionInfo"},
      {W, "case", "case", "case", "", "case.constructionInfo"},
      {P, "case.", "case.", "case", "", "case.constructionInfo"},
      {W, ".json", ".json", ".json", "", ".json.constructionInfo"},
      {P, ".json", ".json", ".json", "", ".json.constructionInfo"},
      {W, R"(cases.old\case)", "case", "case", "cases.old", R"(cases.old\case.constructionInfo)"},
      // A backslash is an ordinary character under POSIX rules.
      {P, R"(cases.old\case)", R"(cases.old\case)", "cases", "", "cases.constructionInfo"},
      {P, "cases.old/case", "case", "case", "cases.old", "cases.old/case.constructionInfo"},
      {W, R"(cases\\case.json\\)", "case.json", "case", "cases", R"(cases\\case.constructionInfo)"},
      {P, "a//b.json", "b.json", "b", "a", "a//b.constructionInfo"},
      {P, "dir/./case.json/", "case.json", "case", "dir", "dir/./case.constructionInfo"},
      {W, "dir/case.json", "case.json", "case", "dir", "dir/case.constructionInfo"},
      {P, "./case.json", "case.json", "case", ".", "./case.constructionInfo"},
      {P, "/case.json", "case.json", "case", "/", "/case.constructionInfo"},
      {W, R"(C:case.json)", "case.json", "case", "C:", "C:case.constructionInfo"},
      {W, R"(\\server\share\case.json)", "case.json", "case", R"(\\server\share\)",
       R"(\\server\share\case.constructionInfo)"},
      {P, "C:", "C:", "C:", "", "C:.constructionInfo"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(rules_name(c.rules)) + " " + std::string(c.path));
    EXPECT_EQ(final_name(c.path, c.rules), c.name);
    EXPECT_EQ(stem(*final_name(c.path, c.rules)), c.stem);
    EXPECT_EQ(parent(c.path, c.rules), c.parent);
    EXPECT_EQ(replace_extension(c.path, "constructionInfo", c.rules), c.default_output);
  }
}

TEST(FileName, FindsNoFinalNameInRootsDrivesAndParentSteps) {
  const struct {
    PathRules rules;
    std::string_view path;
  } cases[] = {
      {W, ".."},     {P, ".."},
      {P, "a/.."},   {W, R"(a\..\)"},
      {P, "/"},      {P, "//"},
      {W, R"(\)"},   {W, "C:"},
      {W, R"(C:\)"}, {W, "c:/"},
      {P, "."},      {W, "."},
      {P, ""},       {W, R"(\\server\share)"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(final_name(c.path, c.rules), std::nullopt) << rules_name(c.rules) << " " << c.path;
    EXPECT_EQ(replace_extension(c.path, "x", c.rules), std::nullopt) << c.path;
  }
}

TEST(FileName, StemDropsTheLastExtension) {
  EXPECT_EQ(stem("case.json"), "case");
  EXPECT_EQ(stem("a.b.json"), "a.b");
  EXPECT_EQ(stem("case."), "case");
  EXPECT_EQ(stem(".json"), ".json");
  EXPECT_EQ(stem("case"), "case");
}

TEST(FileName, JoinsMarginLineNamesOntoTheCaseDirectory) {
  const struct {
    PathRules rules;
    std::string_view directory;
    std::string_view name;
    std::string_view joined;
  } cases[] = {
      {W, R"(C:\cases)", "11.pts", R"(C:\cases\11.pts)"},
      {W, R"(C:\cases\)", "11.pts", R"(C:\cases\11.pts)"},
      {W, "cases/", "11.pts", "cases/11.pts"},
      {W, "", "11.pts", "11.pts"},
      {W, R"(C:\cases)", "", R"(C:\cases\)"},
      {W, R"(C:\cases)", R"(D:\other\11.pts)", R"(D:\other\11.pts)"},
      {W, R"(C:\cases)", R"(\\server\share\11.pts)", R"(\\server\share\11.pts)"},
      {W, R"(C:\cases)", R"(\11.pts)", R"(C:\11.pts)"},
      {W, "C:", "11.pts", "C:11.pts"},
      {W, R"(C:\cases)", "sub/11.pts", R"(C:\cases\sub/11.pts)"},
      {P, "/cases", "11.pts", "/cases/11.pts"},
      {P, "/", "11.pts", "/11.pts"},
      {P, "", "11.pts", "11.pts"},
      {P, "cases", "", "cases/"},
      {P, "", "", ""},
      {P, "/cases", "/abs/11.pts", "/abs/11.pts"},
      {P, "cases", R"(C:\11.pts)", R"(cases/C:\11.pts)"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(join(c.directory, c.name, c.rules), c.joined)
        << rules_name(c.rules) << " " << c.directory << " + " << c.name;
  }
}

}  // namespace
}  // namespace platform
