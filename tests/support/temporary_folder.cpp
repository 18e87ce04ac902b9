#include "temporary_folder.h"

#include <iostream>
#include <string>

namespace testing_support {

std::filesystem::path folder_for_running_test() {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string name =
      std::to_string(process_id()) + "-" + info->test_suite_name() + "." + info->name();
  for (char& c : name) {
    if (c == '/') c = '_';
  }
  return std::filesystem::temp_directory_path() / "daz-tests" / name;
}

void TemporaryFolderTest::SetUp() {
  dir_ = folder_for_running_test();
  remove_tree(dir_);
  std::filesystem::create_directories(dir_);
}

void TemporaryFolderTest::TearDown() {
  if (dir_.empty()) return;  // skipped before SetUp made it
  if (HasFailure()) {
    std::cerr << "The test's folder is kept: " << dir_.string() << "\n";
    return;
  }
  remove_tree(dir_);
}

}  // namespace testing_support
