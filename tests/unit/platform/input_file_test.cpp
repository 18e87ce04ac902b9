#include "platform/input_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace platform {
namespace {

namespace fs = std::filesystem;

// The size hint plans the reading of margin line files: a regular file's
// size, 0 for whatever has no size to plan by or is not there.
TEST(FileSizeHint, GivesARegularFilesSizeAndZeroForAnythingElse) {
  const fs::path dir = fs::temp_directory_path() / "input_file_test_FileSizeHint";
  fs::remove_all(dir);
  fs::create_directories(dir);
  std::ofstream(dir / "five.pts", std::ios::binary) << "12345";
  std::ofstream(dir / "empty.pts", std::ios::binary);
  struct Row {
    fs::path path;
    std::size_t size;
  };
  const Row rows[] = {
      {dir / "five.pts", 5},
      {dir / "empty.pts", 0},
      {dir, 0},
      {dir / "missing.pts", 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.path.string());
    EXPECT_EQ(file_size_hint(row.path.string()), row.size);
  }
  fs::remove_all(dir);
}

}  // namespace
}  // namespace platform
