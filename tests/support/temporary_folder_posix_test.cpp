// The shared test folder clears what a killed run left under its name,
// a file system still mounted inside included (a fixed name once kept such
// a mount and failed every later run).
#include <sys/mount.h>

#include <fstream>

#include "temporary_folder.h"

namespace testing_support {
namespace {

namespace fs = std::filesystem;

TEST_F(TemporaryFolderTest, IsNamedForTheProcessAndTheTest) {
  EXPECT_EQ(dir_, folder_for_running_test());
  EXPECT_EQ(dir_.filename().string(),
            std::to_string(process_id()) + "-TemporaryFolderTest.IsNamedForTheProcessAndTheTest");
  EXPECT_TRUE(fs::is_empty(dir_));
}

TEST_F(TemporaryFolderTest, ALeftoverMountIsDetachedAndTheFolderCleared) {
  const fs::path inner = dir_ / "left" / "mounted";
  fs::create_directories(inner);
  if (::mount("tmpfs", inner.c_str(), "tmpfs", 0, "size=16k") != 0) {
    GTEST_SKIP() << "cannot mount a small file system here";
  }
  std::ofstream(inner / "file") << "left over";
  // What the next run's set-up does with the same name.
  TemporaryFolderTest::SetUp();
  EXPECT_TRUE(fs::is_empty(dir_));
  std::ifstream mounts("/proc/self/mounts");
  for (std::string line; std::getline(mounts, line);) {
    EXPECT_EQ(line.find(dir_.string()), std::string::npos) << line;
  }
}

}  // namespace
}  // namespace testing_support
