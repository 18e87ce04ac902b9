#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "output_file_fixture.h"
#include "platform/file_lock.h"
#include "platform/output_file.h"
#include "platform/signal_cleanup.h"

namespace platform {
namespace {

namespace fs = std::filesystem;

TEST_F(OutputFileTest, KeepsModeAndSymbolicLinks) {
  const fs::path target = dir_ / "real.xml";
  std::ofstream(target) << "old";
  ::chmod(target.c_str(), 0640);
  fs::create_symlink(target, dir_ / "link.xml");
  auto file = OutputFile::create((dir_ / "link.xml").string());
  ASSERT_TRUE(file);
  ASSERT_TRUE(file->write("new"));
  ASSERT_TRUE(file->commit());
  EXPECT_TRUE(fs::is_symlink(dir_ / "link.xml"));
  EXPECT_EQ(content(target), "new");
  struct stat status {};
  ASSERT_EQ(::stat(target.c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 07777, 0640u);
}

TEST_F(OutputFileTest, WritesDevicesInPlaceAndRefusesDirectories) {
  auto device = OutputFile::create("/dev/null");
  ASSERT_TRUE(device);
  EXPECT_TRUE(device->write("x"));
  EXPECT_TRUE(device->commit());

  const auto directory = OutputFile::create(dir_.string());
  ASSERT_FALSE(directory);
  EXPECT_EQ(directory.error().message, "Is a directory (os error 21)");
  const auto missing = OutputFile::create((dir_ / "no" / "out.xml").string());
  ASSERT_FALSE(missing);
  EXPECT_EQ(missing.error().message, "No such file or directory (os error 2)");
}

// Writes "new" through a fresh OutputFile for `path`.
common::Result<void> write_new(const fs::path& path) {
  auto file = OutputFile::create(path.string());
  if (!file) return std::unexpected(file.error());
  if (auto written = file->write("new"); !written) return written;
  return file->commit();
}

TEST_F(OutputFileTest, WritesTheFileADanglingLinkPointsTo) {
  fs::create_directory(dir_ / "sub");
  fs::create_symlink("sub/real.xml", dir_ / "link.xml");
  ASSERT_TRUE(write_new(dir_ / "link.xml"));
  EXPECT_TRUE(fs::is_symlink(dir_ / "link.xml"));
  EXPECT_EQ(content(dir_ / "sub" / "real.xml"), "new");
  EXPECT_EQ(entries(), 2u);
}

TEST_F(OutputFileTest, RefusesALinkLoop) {
  fs::create_symlink("b.xml", dir_ / "a.xml");
  fs::create_symlink("a.xml", dir_ / "b.xml");
  const auto written = write_new(dir_ / "a.xml");
  ASSERT_FALSE(written);
  EXPECT_EQ(written.error().message, "Too many levels of symbolic links (os error 40)");
  EXPECT_EQ(entries(), 2u);
}

// The kernel follows 40 links in one path: a chain of 40 is written
// through, one of 41 fails whole, whether its last file exists or not.
TEST_F(OutputFileTest, FollowsAChainOfLinksUpToTheSystemsLimit) {
  const struct {
    int links;
    bool file_there;
    bool written;
  } cases[] = {{1, true, true},  {40, true, true},  {41, true, false},
               {1, false, true}, {40, false, true}, {41, false, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.links) + (c.file_there ? " links to a file" : " links to none"));
    fs::remove_all(dir_);
    fs::create_directory(dir_);
    if (c.file_there) std::ofstream(dir_ / "real.xml") << "previous";
    // Names put together by appending: GCC 12 at -O2 takes
    // `"l" + std::to_string(i)` for an overlapping copy (-Wrestrict).
    const auto link_name = [](int i) {
      std::string name = "l";
      name += std::to_string(i);
      return name;
    };
    for (int i = 0; i < c.links; ++i) {
      const std::string next = i + 1 < c.links ? link_name(i + 1) : "real.xml";
      fs::create_symlink(next, dir_ / link_name(i));
    }
    const auto written = write_new(dir_ / "l0");
    EXPECT_EQ(static_cast<bool>(written), c.written);
    if (!written) {
      EXPECT_EQ(written.error().message, "Too many levels of symbolic links (os error 40)");
    }
    const std::string expected = c.written ? "new" : c.file_there ? "previous" : "";
    EXPECT_EQ(content(dir_ / "real.xml"), expected);
    EXPECT_TRUE(fs::is_symlink(dir_ / "l0"));
    EXPECT_EQ(entries(), static_cast<std::size_t>(c.links) + (c.file_there || c.written ? 1 : 0));
  }
}

// A document is no program: a replaced file's set-user-ID, set-group-ID
// and sticky bits are not carried to it, whether it replaces the file or
// is copied over it; its permissions are.
TEST_F(OutputFileTest, DropsTheSetIdAndStickyBitsOfAReplacedFile) {
  for (const bool hard_linked : {false, true}) {
    for (const mode_t mode : {04755u, 02750u, 01644u, 06711u}) {
      SCOPED_TRACE((hard_linked ? "hard-linked, mode " : "mode ") + std::to_string(mode));
      fs::remove_all(dir_);
      fs::create_directory(dir_);
      const fs::path target = dir_ / "out.xml";
      std::ofstream(target) << "previous";
      if (hard_linked) fs::create_hard_link(target, dir_ / "twin.xml");
      ASSERT_EQ(::chmod(target.c_str(), mode), 0);
      ASSERT_TRUE(write_new(target));
      EXPECT_EQ(content(target), "new");
      struct stat status {};
      ASSERT_EQ(::stat(target.c_str(), &status), 0);
      EXPECT_EQ(status.st_mode & 07777, mode & 0777);
    }
  }
}

// A run that copies over an output waits for another that holds it, and
// says so once the bound has passed.
TEST_F(OutputFileTest, TheOutputsLockIsWaitedForWithinABound) {
  const fs::path target = dir_ / "out.xml";
  std::ofstream(target) << "previous";
  const int holder = ::open(target.c_str(), O_WRONLY | O_CLOEXEC);
  const int waiter = ::open(target.c_str(), O_WRONLY | O_CLOEXEC);
  ASSERT_GE(holder, 0);
  ASSERT_GE(waiter, 0);
  ASSERT_TRUE(lock_exclusively(holder, std::chrono::milliseconds(0)));

  auto started = std::chrono::steady_clock::now();
  const auto refused = lock_exclusively(waiter, std::chrono::milliseconds(300));
  ASSERT_FALSE(refused);
  EXPECT_EQ(refused.error().message,
            "Another run kept the output locked for 0.3 s; nothing was written");
  EXPECT_GE(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(300));

  started = std::chrono::steady_clock::now();
  std::thread letting_go([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    ::close(holder);
  });
  const auto taken = lock_exclusively(waiter, std::chrono::seconds(10));
  letting_go.join();
  EXPECT_TRUE(taken);
  EXPECT_GE(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(200));
  ::close(waiter);
}

// Replacing by rename would cut the other links off the new document; the
// file is overwritten only at commit, and never without it.
TEST_F(OutputFileTest, WritesAFileWithSeveralLinksInPlace) {
  std::ofstream(dir_ / "a.xml") << "previous, longer than the new one";
  fs::create_hard_link(dir_ / "a.xml", dir_ / "b.xml");
  {
    auto file = OutputFile::create((dir_ / "a.xml").string());
    ASSERT_TRUE(file) << file.error().message;
    ASSERT_TRUE(file->write("new"));
  }
  EXPECT_EQ(content(dir_ / "b.xml"), "previous, longer than the new one");
  {
    auto file = OutputFile::create((dir_ / "a.xml").string());
    ASSERT_TRUE(file) << file.error().message;
    ASSERT_TRUE(file->write("new"));
    EXPECT_EQ(content(dir_ / "b.xml"), "previous, longer than the new one");
    ASSERT_TRUE(file->commit());
  }
  EXPECT_EQ(content(dir_ / "b.xml"), "new");
  EXPECT_EQ(fs::hard_link_count(dir_ / "a.xml"), 2u);
  EXPECT_EQ(entries(), 2u);
}

TEST_F(OutputFileTest, KeepsTheOwnerAndGroupOfAReplacedFile) {
  if (::geteuid() != 0) GTEST_SKIP() << "only root can hand a file to another owner";
  const fs::path target = dir_ / "out.xml";
  std::ofstream(target) << "previous";
  ASSERT_EQ(::chown(target.c_str(), 65534, 65534), 0);
  ASSERT_EQ(::chmod(target.c_str(), 0604), 0);
  ASSERT_TRUE(write_new(target));
  struct stat status {};
  ASSERT_EQ(::stat(target.c_str(), &status), 0);
  EXPECT_EQ(status.st_uid, 65534u);
  EXPECT_EQ(status.st_gid, 65534u);
  EXPECT_EQ(status.st_mode & 07777, 0604u);
}

// A file system to fill up, or none when this machine allows no mounts.
class FullFileSystemTest : public OutputFileTest {
 protected:
  void SetUp() override {
    OutputFileTest::SetUp();
    if (::mount("tmpfs", dir_.c_str(), "tmpfs", 0, "size=16k") != 0) {
      GTEST_SKIP() << "cannot mount a small file system here";
    }
    mounted_ = true;
  }
  void TearDown() override {
    if (mounted_) ::umount(dir_.c_str());
    OutputFileTest::TearDown();
  }
  bool mounted_ = false;
};

TEST_F(FullFileSystemTest, LeavesThePreviousFileWhenSpaceRunsOut) {
  const fs::path target = dir_ / "out.xml";
  std::ofstream(target) << "previous";
  auto file = OutputFile::create(target.string());
  ASSERT_TRUE(file);
  common::Result<void> written;
  for (int i = 0; i < 64 && written; ++i) written = file->write(std::string(4096, 'x'));
  ASSERT_FALSE(written);
  EXPECT_EQ(written.error().message, "No space left on device (os error 28)");
  file = std::unexpected(common::RunError{});
  EXPECT_EQ(content(target), "previous");
  EXPECT_EQ(entries(), 1u);
}

// A write that fails past the first megabyte, as the file system fills, is
// reported.
TEST_F(OutputFileTest, ReportsRunningOutOfSpace) {
  const fs::path small = dir_ / "small";
  fs::create_directory(small);
  if (::mount("tmpfs", small.c_str(), "tmpfs", 0, "size=1536k") != 0) {
    GTEST_SKIP() << "cannot mount a small file system here";
  }
  common::Result<void> handed;
  common::Result<void> finished;
  {
    auto file = OutputFile::create((small / "out.xml").string());
    ASSERT_TRUE(file);
    for (int i = 0; i < 64 && handed; ++i) {
      const std::string buffer(64 * 1024, 'x');
      handed = file->write(buffer);
    }
    finished = handed;
  }
  ::umount(small.c_str());
  ASSERT_FALSE(finished);
  EXPECT_EQ(finished.error().message, "No space left on device (os error 28)");
}

// A file mounted over another cannot be renamed over; it is written in place.
TEST_F(OutputFileTest, WritesAMountPointInPlace) {
  const fs::path target = dir_ / "out.xml";
  std::ofstream(target) << "previous";
  std::ofstream(dir_ / "source.xml") << "source";
  if (::mount((dir_ / "source.xml").c_str(), target.c_str(), nullptr, MS_BIND, nullptr) != 0) {
    GTEST_SKIP() << "cannot bind-mount here";
  }
  const auto written = write_new(target);
  EXPECT_TRUE(written) << (written ? "" : written.error().message);
  EXPECT_EQ(content(target), "new");
  ::umount(target.c_str());
  EXPECT_EQ(content(dir_ / "source.xml"), "new");
  EXPECT_EQ(entries(), 2u);
}

// The first failed write is the one reported, by the next hand-over or at
// the end, and nothing is written after it.
// The first failed write is the one reported.
TEST(OutputFileFailure, ReportsTheFirstWriteError) {
  auto file = OutputFile::create("/dev/full");
  ASSERT_TRUE(file);
  common::Result<void> handed;
  for (int i = 0; i < 100 && handed; ++i) {
    const std::string buffer(4096, 'x');
    handed = file->write(buffer);
  }
  ASSERT_FALSE(handed);
  EXPECT_EQ(handed.error().message, "No space left on device (os error 28)");
}

// A signal that ends the process removes the registered temporary first,
// then ends it as the signal would have.
TEST_F(OutputFileTest, AFatalSignalRemovesTheRegisteredTemporary) {
  for (const int signal_number : {SIGINT, SIGTERM, SIGHUP}) {
    const fs::path temporary = dir_ / "half.tmp";
    std::ofstream(temporary) << "half a document";
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      remove_on_fatal_signal(temporary.string());
      std::raise(signal_number);
      ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal_number) << signal_number;
    EXPECT_FALSE(fs::exists(temporary)) << signal_number;
  }
}

}  // namespace
}  // namespace platform
