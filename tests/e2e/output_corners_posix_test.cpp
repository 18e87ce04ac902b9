// How a run meets the corners of a POSIX system: broken and closed
// standard streams, file-size and memory limits, folders that take no new
// files, and signals in the middle of writing. Whatever happens, the
// previous output is either replaced whole or left as it was, and no
// temporary file stays behind.
#include <poll.h>
#include <sched.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <random>
#include <set>
#include <sstream>
#include <thread>

#include "tool_runner_posix.h"

namespace e2e {
namespace {

namespace fs = std::filesystem;

class OutputCorners : public ToolTest {
 protected:
  void SetUp() override {
    ToolTest::SetUp();
    for (const char* name : {"case7.json", "11_12_bridge.pts", "36_onlay.pts"}) {
      fs::copy_file(fs::path(DAZ_EXAMPLES_DIR) / name, dir_ / name);
    }
  }
  std::set<std::string> names() const {
    std::set<std::string> found;
    for (const auto& entry : fs::directory_iterator(dir_)) {
      found.insert(entry.path().filename().string());
    }
    return found;
  }
  static std::string golden() {
    return read_bytes(fs::path(DAZ_FIXTURES_DIR) / "golden" / "case7.constructionInfo");
  }
  // Gives case7 a margin file of `count` points and returns its document,
  // written aside under "whole.xml".
  std::string large_document(int count) {
    std::string points = "BEGIN_\n";
    for (int i = 0; i < count; ++i) points += "1.2345678 -2.3456789 " + std::to_string(i) + "\n";
    write("11_12_bridge.pts", points);
    const Outcome whole = run({"case7.json", "-o", "whole.xml"});
    EXPECT_EQ(whole.status, 0) << whole.err;
    std::string document = read("whole.xml");
    fs::remove(dir_ / "whole.xml");
    return document;
  }
  // "previous" under `name` and under a second name, "twin", of the same file.
  void hard_linked_previous(const std::string& name) {
    write(name, "previous");
    fs::remove(dir_ / "twin");
    fs::create_hard_link(dir_ / name, dir_ / "twin");
  }
};

// A file name may hold any bytes here; what is not UTF-8 shows as U+FFFD.
TEST_F(OutputCorners, ShowsAnOutputNameThatIsNotUtf8WithReplacementMarks) {
  const Outcome outcome = run({"case7.json", "-o", "out\xFF\xFE.xml"});
  EXPECT_EQ(outcome.status, 0) << outcome.err;
  EXPECT_EQ(outcome.out, "Generated out\xEF\xBF\xBD\xEF\xBF\xBD.xml\n");
  EXPECT_EQ(read("out\xFF\xFE.xml"), golden());
}

TEST_F(OutputCorners, ABrokenPipeIsARunErrorNotASilentDeath) {
  const Outcome outcome =
      run_launched({"case7.json", "-o", "/dev/stdout"}, dir_, {{}, Launch::Output::BrokenPipe});
  EXPECT_EQ(outcome.status, 1);
  EXPECT_EQ(outcome.err,
            "Error: Failed to write /dev/stdout\n\nCaused by:\n    Broken pipe (os error 32)\n");
}

// The document is in place, so a Generated line that cannot be printed
// does not make the run a failure.
TEST_F(OutputCorners, AClosedStandardOutputDoesNotUndoTheDocument) {
  const Outcome outcome = run_launched({"case7.json"}, dir_, {{}, Launch::Output::Closed});
  EXPECT_EQ(outcome.status, 0);
  EXPECT_EQ(outcome.err, "");
  EXPECT_EQ(read("case7.constructionInfo"), golden());
}

TEST_F(OutputCorners, AFileSizeLimitLeavesThePreviousOutput) {
  write("case7.constructionInfo", "previous");
  const auto before = names();
  const Outcome outcome =
      run_launched({"case7.json"}, dir_, {{"prlimit", "--fsize=1000"}, Launch::Output::File});
  EXPECT_EQ(outcome.status, 1);
  EXPECT_EQ(outcome.err,
            "Error: Failed to write case7.constructionInfo\n\nCaused by:\n"
            "    File too large (os error 27)\n");
  EXPECT_EQ(read("case7.constructionInfo"), "previous");
  EXPECT_EQ(names(), before);
}

// GCC names AddressSanitizer by a macro, clang by a feature.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kAddressSanitizer = true;
#elif defined(__has_feature)
constexpr bool kAddressSanitizer = __has_feature(address_sanitizer);
#else
constexpr bool kAddressSanitizer = false;
#endif

// A document of more than a megabyte ends on the writer's own thread; a
// limit that lets all but its last byte through must still fail the run.
TEST_F(OutputCorners, AFileSizeLimitOneByteShortOfALargeDocumentFailsTheRun) {
  std::string points = "BEGIN_\n";
  for (int i = 0; i < 20000; ++i) points += "1.2345678 -2.3456789 " + std::to_string(i) + "\n";
  write("11_12_bridge.pts", points);
  const Outcome whole = run({"case7.json"});
  ASSERT_EQ(whole.status, 0) << whole.err;
  const std::size_t size = read("case7.constructionInfo").size();
  ASSERT_GT(size, std::size_t{1} << 20);
  write("case7.constructionInfo", "previous");
  const auto before = names();
  const Outcome outcome =
      run_launched({"case7.json"}, dir_,
                   {{"prlimit", "--fsize=" + std::to_string(size - 1)}, Launch::Output::File});
  EXPECT_EQ(outcome.status, 1);
  EXPECT_EQ(outcome.out, "");
  EXPECT_EQ(outcome.err,
            "Error: Failed to write case7.constructionInfo\n\nCaused by:\n"
            "    File too large (os error 27)\n");
  const std::string kept = read("case7.constructionInfo");
  EXPECT_TRUE(kept == "previous") << "a document of " << kept.size() << " bytes";
  EXPECT_EQ(names(), before);
}

// Runs what follows with /proc hidden, in a mount namespace of its own and
// under `umask`: no unnamed temporary can then be linked, so the document
// goes through a named one.
std::vector<std::string> without_proc(const std::string& umask = "022") {
  return {"unshare",
          "--mount",
          "--propagation",
          "private",
          "sh",
          "-c",
          "mount -t tmpfs none /proc && umask " + umask + R"( && exec "$0" "$@")"};
}

bool can_hide_proc() {
  return std::system(
             "unshare --mount --propagation private sh -c 'mount -t tmpfs none /proc' "
             ">/dev/null 2>&1") == 0;
}

// The leak checker of a sanitized tool needs /proc and works under no
// tracer.
constexpr const char* kLeakCheckerNeedsProc = "a sanitized tool needs /proc and no tracer";

TEST_F(OutputCorners, TheNamedTemporaryTakesTheUmaskAndLeavesNothingBehind) {
  if (kAddressSanitizer) GTEST_SKIP() << kLeakCheckerNeedsProc;
  if (!can_hide_proc()) GTEST_SKIP() << "cannot hide /proc in a mount namespace here";
  auto before = names();
  const Outcome created = run_launched({"case7.json"}, dir_, {without_proc("027")});
  EXPECT_EQ(created.status, 0) << created.err;
  EXPECT_EQ(read("case7.constructionInfo"), golden());
  struct stat status {};
  ASSERT_EQ(::stat((dir_ / "case7.constructionInfo").c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 07777, 0640u);
  before.insert("case7.constructionInfo");
  EXPECT_EQ(names(), before);

  write("case7.constructionInfo", "previous");
  std::vector<std::string> limited = {"prlimit", "--fsize=1000"};
  for (const std::string& part : without_proc()) limited.push_back(part);
  const Outcome failed = run_launched({"case7.json"}, dir_, {limited});
  EXPECT_EQ(failed.status, 1);
  EXPECT_EQ(failed.err,
            "Error: Failed to write case7.constructionInfo\n\nCaused by:\n"
            "    File too large (os error 27)\n");
  EXPECT_EQ(read("case7.constructionInfo"), "previous");
  EXPECT_EQ(names(), before);
}

// Where in a trace (strace's output, one system call a line) the temporary
// is opened, its descriptor first synced and the output renamed onto; -1
// for what is not there.
struct TraceOrder {
  long open = -1;
  long sync = -1;
  long rename = -1;
};

TraceOrder order_in(const std::string& trace) {
  TraceOrder order;
  std::string descriptor;
  std::istringstream lines(trace);
  long index = 0;
  for (std::string line; std::getline(lines, line); ++index) {
    const bool opens_temporary =
        line.find("openat(") != std::string::npos &&
        (line.find("O_TMPFILE") != std::string::npos || line.find(".tmp\"") != std::string::npos);
    if (order.open < 0 && opens_temporary) {
      order.open = index;
      descriptor = line.substr(line.rfind("= ") + 2);
    } else if (order.open >= 0 && order.sync < 0 &&
               (line.find("fsync(" + descriptor + ")") != std::string::npos ||
                line.find("fdatasync(" + descriptor + ")") != std::string::npos)) {
      order.sync = index;
    } else if (line.find("rename") != std::string::npos &&
               line.find("\"case7.constructionInfo\"") != std::string::npos) {
      order.rename = index;
    }
  }
  return order;
}

// A crash between the rename and the data reaching the disk would leave an
// empty or torn document under the output's name: the temporary is synced
// first, named (no /proc) or not.
TEST_F(OutputCorners, TheTemporaryIsSyncedBeforeItIsRenamed) {
  if (kAddressSanitizer) GTEST_SKIP() << kLeakCheckerNeedsProc;
  if (std::system("strace -V >/dev/null 2>&1") != 0) GTEST_SKIP() << "no strace here";
  const fs::path trace = dir_.parent_path() / (dir_.filename().string() + ".strace");
  const std::vector<std::string> strace = {
      "strace",
      "-f",
      "-qq",
      "-o",
      trace.string(),
      "-e",
      "trace=openat,fsync,fdatasync,rename,renameat,renameat2"};
  struct Row {
    const char* name;
    std::vector<std::string> prefix;
  };
  std::vector<Row> cases = {{"unnamed", {}}};
  if (can_hide_proc()) cases.push_back({"named", without_proc()});
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::string> prefix = strace;
    prefix.insert(prefix.end(), c.prefix.begin(), c.prefix.end());
    write("case7.constructionInfo", "previous");
    const Outcome outcome = run_launched({"case7.json"}, dir_, {prefix});
    EXPECT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_EQ(read("case7.constructionInfo"), golden());
    const std::string text = read_bytes(trace);
    fs::remove(trace);
    const TraceOrder order = order_in(text);
    ASSERT_GE(order.open, 0) << text;
    ASSERT_GE(order.rename, 0) << text;
    EXPECT_GE(order.sync, 0) << text;
    EXPECT_LT(order.sync, order.rename) << text;
  }
}

// The clone and clone3 calls in a trace: the threads a run started.
long clones_in(const std::string& trace) {
  long clones = 0;
  std::istringstream lines(trace);
  for (std::string line; std::getline(lines, line);) {
    if (line.find("clone(") != std::string::npos || line.find("clone3(") != std::string::npos) {
      ++clones;
    }
  }
  return clones;
}

// A run held to one CPU (taskset, a container's CPU set) starts no thread
// beside its own, even for a case large enough to be read on several; held
// to none, the same case does start one where two CPUs are there to take
// it, which shows that the trace sees the threads.
TEST_F(OutputCorners, ARunHeldToOneCpuStartsNoSecondThread) {
  if (kAddressSanitizer) GTEST_SKIP() << kLeakCheckerNeedsProc;
  if (std::system("strace -V >/dev/null 2>&1") != 0) GTEST_SKIP() << "no strace here";
  if (std::system("taskset -p $$ >/dev/null 2>&1") != 0) GTEST_SKIP() << "no taskset here";
  cpu_set_t allowed;
  CPU_ZERO(&allowed);
  ASSERT_EQ(::sched_getaffinity(0, sizeof allowed, &allowed), 0);
  std::size_t first_cpu = 0;
  while (!CPU_ISSET(first_cpu, &allowed)) ++first_cpu;
  // Over a mebibyte of points in the case itself: read ahead side by side.
  std::string points;
  for (int i = 0; i < 80000; ++i) points += i == 0 ? "[1.5,2.25,3.125]" : ",[1.5,2.25,3.125]";
  write("large.json", R"({"machine":"VHF_K5","material":"ZIRCONIUM","material_brand_reference":"",)"
                      R"("products":[{"product_type":"Crown","tooth_iso_number":[11],)"
                      R"("bounding_box":[0,0,0,0,0,1],"stl":"a.stl","pts":"a.pts",)"
                      R"("margin_line_coordinates":[)" +
                          points + "]}]}");
  write("a.pts", "BEGIN_\n1 2 3\nEND_\n");
  const fs::path trace = dir_.parent_path() / (dir_.filename().string() + ".strace");
  const std::vector<std::string> strace = {
      "strace", "-f", "-qq", "-o", trace.string(), "-e", "trace=clone,clone3"};
  struct Row {
    const char* name;
    std::vector<std::string> prefix;
    bool threads_expected;
  };
  std::vector<Row> cases = {{"one CPU", {"taskset", "-c", std::to_string(first_cpu)}, false}};
  if (CPU_COUNT(&allowed) >= 2) cases.push_back({"every CPU", {}, true});
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::string> prefix = c.prefix;
    prefix.insert(prefix.end(), strace.begin(), strace.end());
    const Outcome outcome = run_launched({"large.json"}, dir_, {prefix});
    EXPECT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_EQ(outcome.out, "Generated large.constructionInfo\n");
    const std::string text = read_bytes(trace);
    fs::remove(trace);
    if (c.threads_expected) {
      EXPECT_GT(clones_in(text), 0) << text;
    } else {
      EXPECT_EQ(clones_in(text), 0) << text;
    }
  }
}

TEST_F(OutputCorners, RunningOutOfMemoryIsARunError) {
  if (kAddressSanitizer) {
    GTEST_SKIP() << "the address sanitizer reserves more address space than the limit";
  }
  const Outcome outcome = run_launched({"/dev/zero", "-o", "out.xml"}, dir_,
                                       {{"prlimit", "--as=268435456"}, Launch::Output::File});
  EXPECT_EQ(outcome.status, 1);
  EXPECT_EQ(outcome.err, "Error: Ran out of memory\n");
  EXPECT_FALSE(exists("out.xml"));
}

// A margin line file of 64 GiB (sparse) that is not text fails after its
// first bytes, as a small one does: the room made ahead for its points must
// not grow with its size, or the address-space limit would end the run with
// another message.
TEST_F(OutputCorners, AHugeMarginFileThatIsNotTextAsksNoMemoryForItsSize) {
  if (kAddressSanitizer) {
    GTEST_SKIP() << "the address sanitizer reserves more address space than the limit";
  }
  write("11_12_bridge.pts", "\xFF\xFE\n");
  fs::resize_file(dir_ / "11_12_bridge.pts", std::uintmax_t{64} << 30);
  const Outcome outcome =
      run_launched({"case7.json"}, dir_, {{"prlimit", "--as=1073741824"}, Launch::Output::File});
  EXPECT_EQ(outcome.status, 1);
  EXPECT_EQ(outcome.err, "Error: Cannot read margin line coordinates\n");
  EXPECT_FALSE(exists("case7.constructionInfo"));
}

// Only lack of permission makes the tool write an existing file in place;
// a new file in such a folder cannot be made at all.
TEST_F(OutputCorners, AFolderThatTakesNoNewFilesIsWrittenInPlace) {
  fs::create_directory(dir_ / "locked");
  write("locked/out.xml", "previous");
  fs::permissions(dir_ / "locked/out.xml", fs::perms(0666));
  fs::permissions(dir_ / "locked", fs::perms(0555));
  const Launch unprivileged{unprivileged_prefix(), Launch::Output::File};
  const Outcome replaced = run_launched({"case7.json", "-o", "locked/out.xml"}, dir_, unprivileged);
  const Outcome created = run_launched({"case7.json", "-o", "locked/new.xml"}, dir_, unprivileged);
  fs::permissions(dir_ / "locked", fs::perms(0755));
  EXPECT_EQ(replaced.status, 0) << replaced.err;
  EXPECT_EQ(read("locked/out.xml"), golden());
  EXPECT_EQ(created.status, 1);
  EXPECT_EQ(created.err,
            "Error: Failed to create locked/new.xml\n\nCaused by:\n"
            "    Permission denied (os error 13)\n");
  EXPECT_FALSE(exists("locked/new.xml"));
}

// An output that must stay the same file (a second name; a folder that
// takes no new files) is overwritten only once the document is whole: a
// limit that the document runs into leaves it as it was.
TEST_F(OutputCorners, AnOutputThatMustStayTheSameFileIsOverwrittenOnlyWhenTheDocumentIsWhole) {
  const std::string whole = large_document(20000);
  fs::create_directory(dir_ / "locked");
  const struct {
    const char* output;
    std::string limit;
    int status;
    const char* err;
  } cases[] = {
      {"case7.constructionInfo", "", 0, ""},
      {"case7.constructionInfo", "--fsize=" + std::to_string(whole.size() - 1), 1,
       "Error: Failed to write case7.constructionInfo\n\nCaused by:\n"
       "    File too large (os error 27)\n"},
      {"locked/out.xml", "", 0, ""},
      {"locked/out.xml", "--fsize=" + std::to_string(whole.size() - 1), 1,
       "Error: Failed to write locked/out.xml\n\nCaused by:\n    File too large (os error 27)\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.output) + " " + c.limit);
    const bool locked = std::string_view(c.output).starts_with("locked/");
    fs::permissions(dir_ / "locked", fs::perms(0777));
    if (locked) {
      write(c.output, "previous");
      fs::permissions(dir_ / c.output, fs::perms(0666));
      fs::permissions(dir_ / "locked", fs::perms(0555));
    } else {
      hard_linked_previous(c.output);
    }
    const auto before = names();
    Launch launch{locked ? unprivileged_prefix() : std::vector<std::string>{},
                  Launch::Output::File};
    if (!c.limit.empty()) launch.prefix.insert(launch.prefix.begin(), {"prlimit", c.limit});
    const Outcome outcome = run_launched({"case7.json", "-o", c.output}, dir_, launch);
    EXPECT_EQ(outcome.status, c.status);
    EXPECT_EQ(outcome.err, c.err);
    const std::string expected = c.status == 0 ? whole : "previous";
    EXPECT_TRUE(read(c.output) == expected) << read(c.output).size() << " bytes";
    if (!locked) {
      EXPECT_TRUE(read("twin") == expected) << read("twin").size() << " bytes";
    }
    EXPECT_EQ(names(), before);
  }
  fs::permissions(dir_ / "locked", fs::perms(0755));
}

// A file system without room for the document: the room is asked for
// before a byte of the output is overwritten.
TEST_F(OutputCorners, AFullFileSystemLeavesAHardLinkedOutputAsItWas) {
  if (std::system("unshare --mount --propagation private sh -c "
                  "'mount -t tmpfs none /mnt' >/dev/null 2>&1") != 0) {
    GTEST_SKIP() << "cannot mount a file system in a mount namespace here";
  }
  const std::string whole = large_document(20000);
  ASSERT_GT(whole.size(), std::size_t{1} << 20);
  fs::create_directory(dir_ / "full");
  // In a mount namespace of its own: a 1 MiB file system on "full" holding
  // "previous" under two names; after the run, both are copied out.
  const std::vector<std::string> on_full = {
      "unshare",
      "--mount",
      "--propagation",
      "private",
      "sh",
      "-c",
      R"(mount -t tmpfs -o size=1m none full && printf previous >full/out.xml &&
         ln full/out.xml full/twin && "$0" "$@"; status=$?;
         cp full/out.xml out.after && cp full/twin twin.after && ls full >names.after;
         exit $status)"};
  const Outcome outcome = run_launched({"case7.json", "-o", "full/out.xml"}, dir_, {on_full});
  EXPECT_EQ(outcome.status, 1);
  EXPECT_EQ(outcome.err,
            "Error: Failed to write full/out.xml\n\nCaused by:\n"
            "    No space left on device (os error 28)\n");
  EXPECT_EQ(read("out.after"), "previous");
  EXPECT_EQ(read("twin.after"), "previous");
  EXPECT_EQ(read("names.after"), "out.xml\ntwin\n");
}

// True once the process holds a file in `directory` open that is none of
// `inputs`: the document being written.
bool writes_into(pid_t pid, const fs::path& directory, const std::set<std::string>& inputs) {
  std::error_code error;
  for (const auto& entry : fs::directory_iterator("/proc/" + std::to_string(pid) + "/fd", error)) {
    const fs::path target = fs::read_symlink(entry.path(), error);
    if (!error && target.parent_path() == directory &&
        !inputs.contains(target.filename().string())) {
      return true;
    }
  }
  return false;
}

// Whether the process behind `pidfd` ends within `nanoseconds`; it is not
// reaped.
bool ends_within(int pidfd, long nanoseconds) {
  pollfd ending{pidfd, POLLIN, 0};
  const timespec timeout{0, nanoseconds};
  return ::ppoll(&ending, 1, &timeout, nullptr) > 0;
}

TEST_F(OutputCorners, ASignalInTheMiddleOfWritingLeavesNothingBehind) {
  std::string points = "BEGIN_\n";
  for (int i = 0; i < 100000; ++i) points += "1.2345678 -2.3456789 " + std::to_string(i) + "\n";
  write("11_12_bridge.pts", points);
  write("case7.constructionInfo", "previous");
  const auto before = names();
  for (const int signal_number : {SIGTERM, SIGINT, SIGHUP, SIGKILL}) {
    SCOPED_TRACE(signal_number);
    const pid_t pid = start_tool({"case7.json"}, dir_);
    ASSERT_GT(pid, 0);
    // Debian 12's <sys/pidfd.h> lacks C linkage for C++, so the call is made directly.
    const int ending = static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
    ASSERT_GE(ending, 0);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!writes_into(pid, fs::canonical(dir_), before) &&
           std::chrono::steady_clock::now() < deadline) {
      // Looks again after 200 µs, or stops at once when the tool has ended.
      if (ends_within(ending, 200'000)) break;
    }
    ::close(ending);
    ::kill(pid, signal_number);
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal_number);
    EXPECT_EQ(read("case7.constructionInfo"), "previous");
    EXPECT_EQ(names(), before);
  }
}

// True once the process holds the document's temporary in memory.
bool stages_in_memory(pid_t pid) {
  std::error_code error;
  for (const auto& entry : fs::directory_iterator("/proc/" + std::to_string(pid) + "/fd", error)) {
    if (fs::read_symlink(entry.path(), error).string().starts_with("/memfd:")) return true;
  }
  return false;
}

// Ends a run of the tool `after` its start with `signal_number`.
int end_after(pid_t pid, std::chrono::microseconds after, int signal_number) {
  std::this_thread::sleep_for(after);
  ::kill(pid, signal_number);
  int status = 0;
  ::waitpid(pid, &status, 0);
  return status;
}

// Ended at any moment, a run leaves both names of a hard-linked output on
// the previous document or the whole new one: the document is written
// whole before the copy over the output starts, and SIGINT, SIGTERM and
// SIGHUP wait for the copy to end.
TEST_F(OutputCorners, AHardLinkedOutputEndedAtAnyMomentIsTheOldOrTheWholeNewDocument) {
  const std::string whole = large_document(100000);
  hard_linked_previous("case7.constructionInfo");
  const auto before = names();
  const auto started = std::chrono::steady_clock::now();
  ASSERT_EQ(run({"case7.json"}).status, 0);
  const auto duration = std::chrono::duration_cast<std::chrono::microseconds>(
      std::chrono::steady_clock::now() - started);
  const unsigned seed = std::random_device{}();
  std::mt19937 random(seed);
  std::uniform_int_distribution<long> moment(0, duration.count() * 11 / 10);
  constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};
  int kept = 0;
  for (int attempt = 0; attempt < 20; ++attempt) {
    hard_linked_previous("case7.constructionInfo");
    const std::chrono::microseconds after(moment(random));
    SCOPED_TRACE("seed " + std::to_string(seed) + ", attempt " + std::to_string(attempt) +
                 ", ended after " + std::to_string(after.count()) + " µs");
    const pid_t pid = start_tool({"case7.json"}, dir_);
    ASSERT_GT(pid, 0);
    (void)end_after(pid, after, kSignals[attempt % 3]);
    const std::string output = read("case7.constructionInfo");
    EXPECT_TRUE(output == "previous" || output == whole) << output.size() << " bytes";
    EXPECT_TRUE(read("twin") == output);
    EXPECT_EQ(names(), before);
    if (output == "previous") ++kept;
  }
  std::printf("a run of %ld µs; previous output kept %d times of 20\n",
              static_cast<long>(duration.count()), kept);

  // SIGKILL cannot wait: sent while the document is written to memory.
  hard_linked_previous("case7.constructionInfo");
  const pid_t pid = start_tool({"case7.json"}, dir_);
  ASSERT_GT(pid, 0);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (!stages_in_memory(pid) && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::microseconds(200));
  }
  const int status = end_after(pid, std::chrono::microseconds(0), SIGKILL);
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
  EXPECT_EQ(read("case7.constructionInfo"), "previous");
  EXPECT_EQ(read("twin"), "previous");
  EXPECT_EQ(names(), before);
}

}  // namespace
}  // namespace e2e
