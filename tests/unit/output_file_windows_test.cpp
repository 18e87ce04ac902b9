#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "common/output_file.h"

namespace common {
namespace {

namespace fs = std::filesystem;

class OutputFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ =
        fs::temp_directory_path() / ("output_file_test_" + std::to_string(GetCurrentProcessId()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    previous_directory_ = fs::current_path();
  }
  void TearDown() override {
    fs::current_path(previous_directory_);
    fs::remove_all(dir_);
  }

  static std::string content(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
  }
  std::size_t entries() const {
    return static_cast<std::size_t>(
        std::distance(fs::directory_iterator(dir_), fs::directory_iterator()));
  }
  // The error's message is the system's one-line text and the code.
  static void expect_os_error(const RunError& error, int code) {
    const std::string end = " (os error " + std::to_string(code) + ")";
    EXPECT_TRUE(error.message.ends_with(end)) << error.message;
    EXPECT_GT(error.message.size(), end.size()) << error.message;
    EXPECT_EQ(error.message.find_first_of("\r\n"), std::string::npos) << error.message;
    EXPECT_TRUE(error.causes.empty());
  }

  fs::path dir_;
  fs::path previous_directory_;
};

// The temporary file and the replacing both need full paths, whatever form
// the target was given in.
TEST_F(OutputFileTest, ReplacesTheTargetOnlyOnCommit) {
  fs::current_path(dir_);
  const struct {
    const char* form;
    std::string path;
  } cases[] = {
      {"full", (dir_ / "out.xml").string()},
      {"relative", "out.xml"},
      {"relative with a dot folder", ".\\out.xml"},
      {"forward slashes", (dir_ / "out.xml").generic_string()},
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

TEST_F(OutputFileTest, CreatesANewTargetOnCommit) {
  {
    auto file = OutputFile::create((dir_ / "new.xml").string());
    ASSERT_TRUE(file);
    ASSERT_TRUE(file->write("new"));
    EXPECT_FALSE(fs::exists(dir_ / "new.xml"));
    ASSERT_TRUE(file->commit());
  }
  EXPECT_EQ(content(dir_ / "new.xml"), "new");
  EXPECT_EQ(entries(), 1u);
}

// The temporary's name must fit wherever the target's name fits, and no
// leftover of an earlier run (under the same process id) may stand in its
// way.
TEST_F(OutputFileTest, CreatesTheLongestNameBesideLeftoversOfEarlierRuns) {
  const fs::path longest = dir_ / (std::string(251, 'n') + ".xml");
  const fs::path target = dir_ / "out.xml";
  std::ofstream(target.string() + ".tmp-" + std::to_string(GetCurrentProcessId()) + "-0")
      << "leftover";
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

TEST_F(OutputFileTest, WritesDevicesInPlace) {
  auto device = OutputFile::create("NUL");
  ASSERT_TRUE(device) << device.error().message;
  EXPECT_TRUE(device->write("x"));
  EXPECT_TRUE(device->commit());
  EXPECT_EQ(entries(), 0u);
}

// Each refusal is the system's error, and the file system stays as it was.
TEST_F(OutputFileTest, RefusesWhatCannotBeWritten) {
  fs::create_directory(dir_ / "folder");
  const struct {
    const char* what;
    fs::path path;
    int code;
  } cases[] = {
      {"a directory", dir_ / "folder", ERROR_ACCESS_DENIED},
      {"a missing folder", dir_ / "missing" / "out.xml", ERROR_PATH_NOT_FOUND},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const auto file = OutputFile::create(c.path.string());
    ASSERT_FALSE(file);
    expect_os_error(file.error(), c.code);
  }
  EXPECT_EQ(entries(), 1u);
}

// One long name in a short folder: the test's own file functions (the C
// runtime's, under std::filesystem) stop at the limit, so the test reads
// and removes the file through the "\\?\" form, while the file is named
// to OutputFile as users type it.
TEST_F(OutputFileTest, WritesPathsPastTheClassicLimit) {
  const fs::path target = dir_ / (std::string(230, 'n') + ".xml");
  const fs::path verbatim = L"\\\\?\\" + fs::absolute(target).wstring();
  ASSERT_GT(target.wstring().size(), 260u);
  for (const char* text : {"first", "second"}) {
    auto file = OutputFile::create(target.string());
    ASSERT_TRUE(file) << file.error().message;
    ASSERT_TRUE(file->write(text));
    ASSERT_TRUE(file->commit());
    EXPECT_EQ(content(verbatim), text);
  }
  EXPECT_EQ(entries(), 1u);
  DeleteFileW(verbatim.c_str());
}

}  // namespace
}  // namespace common
