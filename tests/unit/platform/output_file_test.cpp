// What writing an output file promises on every platform: the target is
// replaced whole on commit, or left as it was.
#include "platform/output_file.h"

#include "output_file_fixture.h"

namespace platform {
namespace {

namespace fs = std::filesystem;

// The temporary file and the replacing both work from the path in any
// form the user gave it.
TEST_F(OutputFileTest, ReplacesTheTargetOnlyOnCommit) {
  fs::current_path(dir_);
  const struct {
    const char* form;
    std::string path;
  } cases[] = {
      {"full", (dir_ / "out.xml").string()},
      {"relative", "out.xml"},
      {"relative with a dot folder",
       std::string(".") + static_cast<char>(fs::path::preferred_separator) + "out.xml"},
      {"forward slashes", (dir_ / "out.xml").generic_string()},
      {"mixed separators", dir_.string() + "/out.xml"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.form);
    std::ofstream(dir_ / "out.xml") << "previous content that is longer";
    {
      auto file = OutputFile::create(c.path);
      ASSERT_TRUE(file) << file.error().message;
      ASSERT_TRUE(file->write("new"));
      EXPECT_EQ(content(dir_ / "out.xml"), "previous content that is longer");
      const auto committed = file->commit();
      EXPECT_TRUE(committed) << committed.error().message;
    }
    EXPECT_EQ(content(dir_ / "out.xml"), "new");
    EXPECT_EQ(entries(), 1u);
  }
}

TEST_F(OutputFileTest, LeavesTheTargetAsItWasWithoutCommit) {
  const fs::path target = dir_ / "out.xml";
  std::ofstream(target) << "previous";
  {
    auto file = OutputFile::create(target.string());
    ASSERT_TRUE(file);
    ASSERT_TRUE(file->write("half a docu"));
  }
  EXPECT_EQ(content(target), "previous");
  EXPECT_EQ(entries(), 1u);
  {
    auto file = OutputFile::create((dir_ / "new.xml").string());
    ASSERT_TRUE(file);
  }
  EXPECT_FALSE(fs::exists(dir_ / "new.xml"));
}

// The temporary's name must fit wherever the target's name fits, and no
// leftover of an earlier run (the same process id is common in
// containers) may stand in its way.
TEST_F(OutputFileTest, CreatesTheLongestNameBesideLeftoversOfEarlierRuns) {
  const fs::path longest = dir_ / (std::string(251, 'n') + ".xml");
  const fs::path target = dir_ / "out.xml";
  std::ofstream(target.string() + ".tmp-1-0") << "leftover";
  for (const fs::path& path : {longest, target}) {
    auto file = OutputFile::create(path.string());
    ASSERT_TRUE(file) << file.error().message;
    ASSERT_TRUE(file->write("new"));
    const auto committed = file->commit();
    ASSERT_TRUE(committed) << committed.error().message;
    EXPECT_EQ(content(path), "new");
  }
  EXPECT_EQ(entries(), 3u);
}

// The temporary's name takes the first 32 bytes of the target's name; a
// character that would straddle that cut (a surrogate pair once in UTF-16)
// must stay out whole, or the temporary names no file that can be made.
TEST_F(OutputFileTest, WritesNamesWhoseCharactersStraddleTheTemporaryCut) {
  const struct {
    const char* what;
    std::string name;
  } cases[] = {
      {"an emoji across the cut", std::string(31, 'a') + "\xF0\x9F\x98\x80.constructionInfo"},
      {"an emoji just inside it", std::string(28, 'a') + "\xF0\x9F\x98\x80.constructionInfo"},
      {"an ideograph past the plane", std::string(30, 'a') + "\xF0\xA0\xAE\xB7.constructionInfo"},
      {"a two-byte letter", std::string(31, 'a') + "\xC3\xA9.constructionInfo"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const fs::path target = dir_ / fs::path(std::u8string(c.name.begin(), c.name.end()));
    const std::u8string full = target.u8string();
    auto file = OutputFile::create(std::string(full.begin(), full.end()));
    ASSERT_TRUE(file) << file.error().message;
    ASSERT_TRUE(file->write("new"));
    const auto committed = file->commit();
    ASSERT_TRUE(committed) << committed.error().message;
    EXPECT_EQ(content(target), "new");
  }
  EXPECT_EQ(entries(), 4u);
}

}  // namespace
}  // namespace platform
