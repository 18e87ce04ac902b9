// Runs the built tool as a subprocess in a fresh working directory and
// captures its exit status, standard output and standard error.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "temporary_folder.h"

namespace e2e {

struct Outcome {
  int status = -1;
  std::string out;
  std::string err;
};

// Runs the tool with `arguments` (UTF-8; WTF-8 on Windows) in `directory`.
Outcome run_tool(const std::vector<std::string>& arguments, const std::filesystem::path& directory);
// The same for the case checker.
Outcome run_checker(const std::vector<std::string>& arguments,
                    const std::filesystem::path& directory);

std::string read_bytes(const std::filesystem::path& path);
void write_bytes(const std::filesystem::path& path, std::string_view bytes);

// The path named by the UTF-8 text `text` (std::filesystem on Windows does
// not read narrow strings as UTF-8).
std::filesystem::path utf8_path(std::string_view text);

// The separator that the tool puts between a folder and a name: "/" on
// POSIX systems, "\" on Windows.
extern const char kSeparator;

// `path` with each "/" as kSeparator: a path as the tool builds it.
std::string native(std::string_view path);

// A system error that the tests provoke, as this platform reports it.
// POSIX systems word their errors alike everywhere, so the whole text is
// known; Windows words them differently between versions and under Wine,
// so there only the code is.
struct SystemError {
  std::string_view text;  // empty where only the code is fixed
  int code;
};

// An argument that is no text here, which messages show as one U+FFFD: a
// byte that is never UTF-8 on POSIX systems; a lone surrogate, carried as
// WTF-8, on Windows.
extern const std::string_view kNotText;

extern const SystemError kFileNotFound;    // the file is missing
extern const SystemError kFolderNotFound;  // a folder on the way is missing
extern const SystemError kIsADirectory;    // a directory opened as a file
// A name with a character the system does not allow in names ("?" on
// Windows); elsewhere such a name is allowed and the file is just missing.
extern const SystemError kInvalidName;

// Whether `report` is the error report with the message `head` and the
// one cause `error`: its text (any one-line text where only the code is
// known), then " (os error N)".
::testing::AssertionResult is_report(std::string_view report, std::string_view head,
                                     const SystemError& error);

// A fresh directory per test (testing_support::TemporaryFolderTest), with
// the tool run in it.
class ToolTest : public testing_support::TemporaryFolderTest {
 protected:
  Outcome run(const std::vector<std::string>& arguments) { return run_tool(arguments, dir_); }
  void write(const std::string& name, std::string_view bytes) {
    write_bytes(dir_ / utf8_path(name), bytes);
  }
  std::string read(const std::string& name) const { return read_bytes(dir_ / utf8_path(name)); }
  bool exists(const std::string& name) const {
    return std::filesystem::exists(dir_ / utf8_path(name));
  }
  // Copies a fixture file or folder from tests/fixtures into the directory.
  void copy_fixture(const std::string& name);
};

}  // namespace e2e
