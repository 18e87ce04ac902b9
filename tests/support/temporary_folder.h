// A folder of its own for each test, under the system's temporary folder
// and named for the process and the test, so that suites and runs side by
// side never share one. Whatever a killed run left under the same name (a
// process id comes round again, in containers often) is cleared first,
// a mount included.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>

namespace testing_support {

// The running test's folder: <temporary folder>/daz-tests/<process id>-
// <suite>.<test>, any "/" of a parameterised name turned into "_".
std::filesystem::path folder_for_running_test();

// The process's id, the platform's way.
int process_id();

// Removes `path` and everything under it, however deep; a file system
// mounted at or under it is detached first.
void remove_tree(const std::filesystem::path& path);

// A fixture whose `dir_` is the running test's folder, fresh and empty.
// It is removed when the test passes and kept for a look when it fails.
class TemporaryFolderTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  std::filesystem::path dir_;
};

}  // namespace testing_support
