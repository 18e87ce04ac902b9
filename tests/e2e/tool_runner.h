// Runs the built tool as a subprocess in a fresh working directory and
// captures its exit status, standard output and standard error.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace e2e {

struct Outcome {
  int status = -1;
  std::string out;
  std::string err;
};

// Runs the tool with `arguments` in `directory`.
Outcome run_tool(const std::vector<std::string>& arguments, const std::filesystem::path& directory);

std::string read_bytes(const std::filesystem::path& path);
void write_bytes(const std::filesystem::path& path, std::string_view bytes);

// A fresh directory per test, removed when the test passes and kept for a
// look when it fails.
class ToolTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  Outcome run(const std::vector<std::string>& arguments) { return run_tool(arguments, dir_); }
  void write(const std::string& name, std::string_view bytes) { write_bytes(dir_ / name, bytes); }
  std::string read(const std::string& name) const { return read_bytes(dir_ / name); }
  bool exists(const std::string& name) const { return std::filesystem::exists(dir_ / name); }
  // Copies a fixture file or folder from tests/fixtures into the directory.
  void copy_fixture(const std::string& name);

  std::filesystem::path dir_;
};

}  // namespace e2e
