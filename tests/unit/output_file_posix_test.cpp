#include "common/output_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

namespace common {
namespace {

namespace fs = std::filesystem;

class OutputFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("output_file_test_" + std::to_string(::getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::string content(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
  }
  std::size_t entries() {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()));
  }

  fs::path dir_;
};

TEST_F(OutputFileTest, ReplacesTheTargetOnlyOnCommit) {
  const fs::path target = dir_ / "out.xml";
  std::ofstream(target) << "previous content that is longer";
  {
    auto file = OutputFile::create(target.string());
    ASSERT_TRUE(file);
    ASSERT_TRUE(file->write("new"));
    EXPECT_EQ(content(target), "previous content that is longer");
    ASSERT_TRUE(file->commit());
  }
  EXPECT_EQ(content(target), "new");
  EXPECT_EQ(entries(), 1u);
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

TEST_F(OutputFileTest, KeepsModeAndSymbolicLinks) {
  const fs::path target = dir_ / "real.xml";
  std::ofstream(target) << "old";
  ::chmod(target.c_str(), 0640);
  fs::create_symlink(target, dir_ / "link.xml");
  auto file = OutputFile::create((dir_ / "link.xml").string());
  ASSERT_TRUE(file);
  ASSERT_TRUE(file->write("new"));
  ASSERT_TRUE(file->commit());
  EXPECT_TRUE(fs::is_symlink(dir_ / "link.xml"));
  EXPECT_EQ(content(target), "new");
  struct stat status {};
  ASSERT_EQ(::stat(target.c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 07777, 0640u);
}

TEST_F(OutputFileTest, WritesDevicesInPlaceAndRefusesDirectories) {
  auto device = OutputFile::create("/dev/null");
  ASSERT_TRUE(device);
  EXPECT_TRUE(device->write("x"));
  EXPECT_TRUE(device->commit());

  const auto directory = OutputFile::create(dir_.string());
  ASSERT_FALSE(directory);
  EXPECT_EQ(directory.error().message, "Is a directory (os error 21)");
  const auto missing = OutputFile::create((dir_ / "no" / "out.xml").string());
  ASSERT_FALSE(missing);
  EXPECT_EQ(missing.error().message, "No such file or directory (os error 2)");
}

}  // namespace
}  // namespace common
