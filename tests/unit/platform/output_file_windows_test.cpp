#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "output_file_fixture.h"
#include "platform/output_file.h"

namespace platform {
namespace {

namespace fs = std::filesystem;

// The error's message is the system's one-line text and the code.
void expect_os_error(const common::RunError& error, int code) {
  const std::string end = " (os error " + std::to_string(code) + ")";
  EXPECT_TRUE(error.message.ends_with(end)) << error.message;
  EXPECT_GT(error.message.size(), end.size()) << error.message;
  EXPECT_EQ(error.message.find_first_of("\r\n"), std::string::npos) << error.message;
  EXPECT_TRUE(error.causes.empty());
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
}  // namespace platform
