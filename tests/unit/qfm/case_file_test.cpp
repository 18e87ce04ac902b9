// The case file's name is checked once: a path with a final name gives the
// case's name and the document's default path beside it; any other is the
// user's mistake, never a stand-in that could be the case file itself.
#include <gtest/gtest.h>

#include "qfm/load_case.h"

namespace qfm {
namespace {

TEST(CaseFile, NamesTheCaseAndTheDocumentBesideIt) {
  const struct {
    std::string path;
    std::string case_name;
    std::string default_output;
  } rows[] = {
      {"case7.json", "case7", "case7.constructionInfo"},
      {"cases.old/a.b.json", "a.b", "cases.old/a.b.constructionInfo"},
      {"case.", "case", "case.constructionInfo"},
      {"dir/case", "case", "dir/case.constructionInfo"},
      {"dir/.json", ".json", "dir/.json.constructionInfo"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.path);
    const auto file = name_case_file(row.path);
    ASSERT_TRUE(file) << file.error().message;
    EXPECT_EQ(file->path, row.path);
    EXPECT_EQ(file->case_name, row.case_name);
    EXPECT_EQ(file->default_output, row.default_output);
  }
}

TEST(CaseFile, APathWithoutFinalNameIsTheUsersMistake) {
  for (const std::string path : {"", "..", "dir/..", "/"}) {
    SCOPED_TRACE(path);
    const auto file = name_case_file(path);
    ASSERT_FALSE(file);
    EXPECT_EQ(file.error().message, "file should have a name");
    EXPECT_TRUE(file.error().causes.empty());
  }
}

}  // namespace
}  // namespace qfm
