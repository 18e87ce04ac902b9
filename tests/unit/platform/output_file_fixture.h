// A fresh folder per output file test, shared by the tests of the contract
// that holds everywhere and by each platform's own.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "temporary_folder.h"

namespace platform {

class OutputFileTest : public testing_support::TemporaryFolderTest {
 protected:
  void SetUp() override {
    TemporaryFolderTest::SetUp();
    previous_directory_ = std::filesystem::current_path();
  }
  void TearDown() override {
    std::filesystem::current_path(previous_directory_);
    TemporaryFolderTest::TearDown();
  }

  static std::string content(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
  }
  std::size_t entries() const {
    return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(dir_),
                                                  std::filesystem::directory_iterator()));
  }

  std::filesystem::path previous_directory_;
};

}  // namespace platform
