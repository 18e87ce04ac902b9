#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "output_file_fixture.h"
#include "platform/file_lock.h"
#include "platform/interruptions_held.h"
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

// The file is overwritten only at commit, and never without it.
TEST_F(OutputFileTest, WritesAFileWithSeveralLinksInPlace) {
  const fs::path target = dir_ / "out.xml";
  const fs::path other = dir_ / "other.xml";
  std::ofstream(target) << "previous, longer than the new one";
  ASSERT_TRUE(CreateHardLinkW(other.wstring().c_str(), target.wstring().c_str(), nullptr));
  {
    auto file = OutputFile::create(target.string());
    ASSERT_TRUE(file) << file.error().message;
    ASSERT_TRUE(file->write("new"));
  }
  EXPECT_EQ(content(other), "previous, longer than the new one");
  {
    auto file = OutputFile::create(target.string());
    ASSERT_TRUE(file) << file.error().message;
    ASSERT_TRUE(file->write("new"));
    EXPECT_EQ(content(other), "previous, longer than the new one");
    ASSERT_TRUE(file->commit());
  }
  EXPECT_EQ(content(target), "new");
  EXPECT_EQ(content(other), "new");
  EXPECT_EQ(entries(), 2u);
}

// The Unix name of `path` under Wine; empty on Windows itself.
std::string unix_name_of(const fs::path& path) {
  using UnixName = char*(__cdecl*)(const wchar_t*);
  // Through void*, as GetProcAddress's type fits no function.
  const auto unix_name = reinterpret_cast<UnixName>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"kernel32"), "wine_get_unix_file_name")));
  if (unix_name == nullptr) return {};
  char* name = unix_name(fs::absolute(path).c_str());
  if (name == nullptr) return {};
  std::string text = name;
  HeapFree(GetProcessHeap(), 0, name);
  return text;
}

// Runs a Unix program under Wine; its arguments are split at blanks and
// taken as they are, quotes included.
bool run_unix(const std::string& command) {
  return std::system(("start /wait /unix " + command).c_str()) == 0;
}

// Another program holding the output (without letting it be deleted) for
// a moment is waited for; one that holds it on is given up on after about
// a second, leaving the output as it was and no temporary.
TEST_F(OutputFileTest, WaitsAboutASecondForAHeldOutput) {
  const fs::path target = dir_ / "out.xml";
  const struct {
    const char* what;
    DWORD held_ms;  // INFINITE: until the commit has returned
    bool commits;
  } cases[] = {
      {"released after a fifth of a second", 200, true},
      {"held throughout", INFINITE, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::ofstream(target) << "previous";
    common::Result<void> committed;
    std::chrono::steady_clock::duration waited{};
    {
      auto file = OutputFile::create(target.string());
      ASSERT_TRUE(file) << file.error().message;
      ASSERT_TRUE(file->write("new"));
      const HANDLE held = CreateFileW(target.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
      ASSERT_NE(held, INVALID_HANDLE_VALUE);
      std::thread releaser;
      if (c.held_ms != INFINITE) {
        releaser = std::thread([&] {
          Sleep(c.held_ms);
          CloseHandle(held);
        });
      }
      const auto start = std::chrono::steady_clock::now();
      committed = file->commit();
      waited = std::chrono::steady_clock::now() - start;
      if (releaser.joinable()) releaser.join();
      if (c.held_ms == INFINITE) CloseHandle(held);
    }
    EXPECT_EQ(committed.has_value(), c.commits);
    EXPECT_EQ(content(target), c.commits ? "new" : "previous");
    if (!c.commits && !committed) {
      EXPECT_GE(waited, std::chrono::milliseconds(900));
      EXPECT_LT(waited, std::chrono::seconds(10));
      const std::string& message = committed.error().message;
      const int code = std::stoi(message.substr(message.rfind("(os error ") + 10));
      EXPECT_TRUE(code == ERROR_SHARING_VIOLATION || code == ERROR_ACCESS_DENIED) << message;
    }
    EXPECT_EQ(entries(), 1u);
  }
}

// A symbolic link at `link` to `target` (relative to the link's folder).
// std::filesystem of this C++ library makes none on Windows, and Wine's
// CreateSymbolicLinkW reports success making nothing; under Wine a Unix
// link, which it follows as Windows follows its own, is made instead.
bool make_symbolic_link(const fs::path& link, const fs::path& target) {
  constexpr DWORD kWithoutPrivilege = 0x2;  // SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE
  if (CreateSymbolicLinkW(link.c_str(), target.c_str(), kWithoutPrivilege) && fs::exists(link)) {
    return true;
  }
  const std::string unix_link = unix_name_of(link);
  if (unix_link.empty()) return false;
  std::string unix_target = target.string();
  std::replace(unix_target.begin(), unix_target.end(), '\\', '/');
  return run_unix("/bin/ln -s " + unix_target + " " + unix_link) && fs::exists(link);
}

// Removes the link itself: Wine's DeleteFileW removes the file it names.
void remove_symbolic_link(const fs::path& link) {
  const std::string unix_link = unix_name_of(link);
  if (unix_link.empty()) {
    DeleteFileW(link.c_str());
  } else {
    run_unix("/bin/rm " + unix_link);
  }
}

// The file a link names is replaced, and the link stays a link to it.
TEST_F(OutputFileTest, ReplacesTheFileASymbolicLinkNames) {
  fs::create_directory(dir_ / "real");
  const fs::path real = dir_ / "real" / "out.xml";
  const fs::path link = dir_ / "link.xml";
  std::ofstream(real) << "previous";
  if (!make_symbolic_link(link, "real\\out.xml")) GTEST_SKIP() << "no symbolic links here";
  auto file = OutputFile::create(link.string());
  ASSERT_TRUE(file) << file.error().message;
  ASSERT_TRUE(file->write("new"));
  const auto committed = file->commit();
  ASSERT_TRUE(committed) << committed.error().message;
  EXPECT_EQ(content(real), "new");
  EXPECT_EQ(content(link), "new");
  EXPECT_EQ(entries(), 2u);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_ / "real"), fs::directory_iterator()), 1);
  remove_symbolic_link(link);
}

// A stream cannot be replaced whole: refused before anything is made, and
// a file that is there stays as it was.
TEST_F(OutputFileTest, RefusesAnAlternateDataStream) {
  std::ofstream(dir_ / "there.xml") << "previous";
  for (const char* name : {"out.xml:ads", "there.xml:ads", "there.xml::$DATA"}) {
    SCOPED_TRACE(name);
    const auto file = OutputFile::create((dir_ / name).string());
    ASSERT_FALSE(file);
    EXPECT_EQ(file.error().message,
              "An alternate data stream (a ':' in the file name) cannot be written as an output");
  }
  EXPECT_EQ(content(dir_ / "there.xml"), "previous");
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

// A run that copies over an output waits for another that holds it, and
// says so once the bound has passed.
TEST_F(OutputFileTest, TheOutputsLockIsWaitedForWithinABound) {
  const fs::path target = dir_ / "out.xml";
  std::ofstream(target) << "previous";
  const auto open = [&] {
    return CreateFileW(target.c_str(), GENERIC_WRITE,
                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  };
  const HANDLE holder = open();
  const HANDLE waiter = open();
  ASSERT_NE(holder, INVALID_HANDLE_VALUE);
  ASSERT_NE(waiter, INVALID_HANDLE_VALUE);
  ASSERT_TRUE(lock_exclusively(reinterpret_cast<NativeFile>(holder), std::chrono::milliseconds(0)));

  auto started = std::chrono::steady_clock::now();
  const auto refused =
      lock_exclusively(reinterpret_cast<NativeFile>(waiter), std::chrono::milliseconds(300));
  ASSERT_FALSE(refused);
  EXPECT_EQ(refused.error().message,
            "Another run kept the output locked for 0.3 s; nothing was written");
  EXPECT_GE(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(300));

  started = std::chrono::steady_clock::now();
  std::thread letting_go([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    CloseHandle(holder);
  });
  const auto taken =
      lock_exclusively(reinterpret_cast<NativeFile>(waiter), std::chrono::seconds(10));
  letting_go.join();
  EXPECT_TRUE(taken);
  EXPECT_GE(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(200));
  CloseHandle(waiter);
}

std::atomic<int> console_events{0};

// Stands for the system's own handler, which would end the process: the
// hold's handler, registered later, is asked first.
BOOL WINAPI count_console_event(DWORD) {
  ++console_events;
  return TRUE;
}

bool console_events_reach(int count) {
  for (int i = 0; i < 200 && console_events.load() < count; ++i) Sleep(10);
  return console_events.load() >= count;
}

// Ctrl+C and Ctrl+Break that arrive during the copy reach the handler
// that ends the process only once the copy is over. (Closing the console
// cannot be sent by a program; it takes the same handler.)
TEST(InterruptionsHeldTest, DefersCtrlCAndCtrlBreakUntilTheCopyEnds) {
  // A console of this process alone, so that no other program gets the
  // events; the standard handles stay where the test's output goes.
  const HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
  const HANDLE err = GetStdHandle(STD_ERROR_HANDLE);
  FreeConsole();
  const bool console = AllocConsole() != 0;
  SetStdHandle(STD_OUTPUT_HANDLE, out);
  SetStdHandle(STD_ERROR_HANDLE, err);
  if (!console) GTEST_SKIP() << "no console can be made here";
  SetConsoleCtrlHandler(nullptr, FALSE);  // Ctrl+C is not ignored
  SetConsoleCtrlHandler(count_console_event, TRUE);
  if (!GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0) || !console_events_reach(1)) {
    SetConsoleCtrlHandler(count_console_event, FALSE);
    GTEST_SKIP() << "this system delivers no console events to the sender";
  }
  for (const DWORD event : {DWORD{CTRL_C_EVENT}, DWORD{CTRL_BREAK_EVENT}}) {
    SCOPED_TRACE(event == CTRL_C_EVENT ? "Ctrl+C" : "Ctrl+Break");
    const int before = console_events.load();
    {
      const InterruptionsHeld held;
      if (!GenerateConsoleCtrlEvent(event, 0)) {
        // Wine sends Ctrl+C to a whole console but not Ctrl+Break.
        std::printf("this system cannot send the event to its own console\n");
        continue;
      }
      Sleep(300);
      EXPECT_EQ(console_events.load(), before);
    }
    EXPECT_TRUE(console_events_reach(before + 1));
  }
  // The console stays: freeing it ends the standard streams under Wine.
  SetConsoleCtrlHandler(count_console_event, FALSE);
}

}  // namespace
}  // namespace platform
