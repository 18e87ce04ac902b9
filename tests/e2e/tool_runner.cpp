#include "tool_runner.h"

#include <fstream>
#include <sstream>

namespace e2e {

namespace fs = std::filesystem;

std::string read_bytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

void write_bytes(const fs::path& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

void ToolTest::SetUp() {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string name = std::string(info->test_suite_name()) + "." + info->name();
  for (char& c : name) {
    if (c == '/') c = '_';
  }
  dir_ = fs::path(DAZ_WORK_DIR) / name;
  fs::remove_all(dir_);
  fs::create_directories(dir_);
}

void ToolTest::TearDown() {
  if (!HasFailure()) fs::remove_all(dir_);
}

void ToolTest::copy_fixture(const std::string& name) {
  const fs::path source = fs::path(DAZ_FIXTURES_DIR) / name;
  fs::copy(source, dir_ / fs::path(name).filename(),
           fs::copy_options::recursive | fs::copy_options::overwrite_existing);
}

}  // namespace e2e
