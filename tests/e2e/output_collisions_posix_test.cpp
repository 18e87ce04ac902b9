// Runs that meet on one output: several at once on a file with several
// hard links, and runs killed at any moment on each kind of output. The
// output always holds one whole document, and no temporary stays behind.
#include <fcntl.h>
#include <sys/inotify.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <iterator>
#include <optional>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "tool_runner_posix.h"

namespace e2e {
namespace {

namespace fs = std::filesystem;

class OutputCollisions : public ToolTest {
 protected:
  // Two cases whose documents differ all through but have one length, so
  // that their runs take as long and meet in the copy: "a" and "b", with
  // `count` margin points each.
  void two_cases(int count) {
    for (const char* folder : {"a", "b"}) {
      fs::create_directory(dir_ / folder);
      for (const char* name : {"case7.json", "36_onlay.pts"}) {
        fs::copy_file(fs::path(DAZ_EXAMPLES_DIR) / name, dir_ / folder / name);
      }
      std::string points = "BEGIN_\n";
      const std::string y = folder[0] == 'a' ? " -2.5 " : " -3.5 ";
      for (int i = 0; i < count; ++i) {
        points += std::to_string(i % 97) + ".25" + y + std::to_string(i) + "\n";
      }
      write(std::string(folder) + "/11_12_bridge.pts", points);
      const Outcome whole = run({std::string(folder) + "/case7.json", "-o", "whole.xml"});
      EXPECT_EQ(whole.status, 0) << whole.err;
      (folder[0] == 'a' ? document_a_ : document_b_) = read("whole.xml");
      fs::remove(dir_ / "whole.xml");
    }
  }
  std::set<std::string> names() const {
    std::set<std::string> found;
    for (const auto& entry : fs::recursive_directory_iterator(dir_)) {
      found.insert(entry.path().lexically_relative(dir_).string());
    }
    return found;
  }
  // `previous` under "out.xml" and, for a hard-linked output, "twin".
  void previous_output(const std::string& previous, bool hard_linked) {
    fs::remove(dir_ / "out.xml");
    fs::remove(dir_ / "twin");
    write("out.xml", previous);
    if (hard_linked) fs::create_hard_link(dir_ / "out.xml", dir_ / "twin");
  }

  std::string document_a_;
  std::string document_b_;
};

int wait_for(pid_t pid) {
  int status = 0;
  ::waitpid(pid, &status, 0);
  return status;
}

// Without a lock, the copies of runs at once over one file interleave
// their blocks: a document made of both, which every run called written.
TEST_F(OutputCollisions, RunsAtOnceOnAHardLinkedOutputLeaveOneWholeDocument) {
  const std::vector<std::string> one_cpu = std::system("taskset -c 0 true >/dev/null 2>&1") == 0
                                               ? std::vector<std::string>{"taskset", "-c", "0"}
                                               : std::vector<std::string>{};
  two_cases(100000);
  for (int round = 0; round < 5; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    previous_output("previous", true);
    const auto before = names();
    // On one CPU, the runs take turns in slices of some milliseconds, and a
    // copy of some megabytes is often cut by another run's.
    std::vector<pid_t> runs;
    for (int i = 0; i < 10; ++i) {
      runs.push_back(start_tool({i % 2 == 0 ? "a/case7.json" : "b/case7.json", "-o", "out.xml"},
                                dir_, one_cpu));
    }
    for (const pid_t pid : runs) {
      const int status = wait_for(pid);
      EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    }
    const std::string output = read("out.xml");
    EXPECT_TRUE(output == document_a_ || output == document_b_) << output.size() << " bytes";
    EXPECT_TRUE(read("twin") == output);
    EXPECT_EQ(names(), before);
  }
}

// The names created in the folder watched by `watch` since it was set up.
std::vector<std::string> names_created(int watch) {
  std::vector<std::string> created;
  alignas(inotify_event) char events[16384];
  for (ssize_t got; (got = ::read(watch, events, sizeof events)) > 0;) {
    for (ssize_t at = 0; at < got;) {
      const auto* event = reinterpret_cast<const inotify_event*>(events + at);
      if (event->len > 0) created.emplace_back(event->name);
      at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
    }
  }
  return created;
}

// A new output is never under a temporary's name, not even for a moment:
// a kill at any time leaves nothing or the whole document.
TEST_F(OutputCollisions, ANewOutputIsTheOnlyNameItsFolderEverShows) {
  two_cases(1000);
  fs::create_directory(dir_ / "out");
  const int probe = ::open((dir_ / "out").c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
  if (probe < 0) GTEST_SKIP() << "this file system offers no unnamed files";
  ::close(probe);
  const int watch = ::inotify_init1(IN_CLOEXEC | IN_NONBLOCK);
  ASSERT_GE(watch, 0);
  ASSERT_GE(::inotify_add_watch(watch, (dir_ / "out").c_str(), IN_CREATE | IN_MOVED_TO), 0);
  const Outcome outcome = run({"a/case7.json", "-o", "out/new.xml"});
  EXPECT_EQ(outcome.status, 0) << outcome.err;
  EXPECT_EQ(read("out/new.xml"), document_a_);
  EXPECT_EQ(names_created(watch), std::vector<std::string>{"new.xml"});
  ::close(watch);
}

// Whether `output` is what a copy of `document` over `previous` cut short
// leaves: the document's first bytes over the previous file's.
bool torn_by_the_copy(const std::string& output, const std::string& document,
                      const std::string& previous) {
  std::size_t same = 0;
  while (same < output.size() && same < document.size() && output[same] == document[same]) ++same;
  for (std::size_t copied = same;; --copied) {
    const std::string expected =
        document.substr(0, copied) + (copied < previous.size() ? previous.substr(copied) : "");
    if (expected == output) return true;
    if (copied == 0 || same - copied > 1 << 20) return false;
  }
}

// The one name in `after` that `before` lacks, when it is a temporary
// beside the output (".out.xml-<letters>.tmp") and nothing else differs.
std::optional<std::string> left_between_naming_and_rename(const std::set<std::string>& before,
                                                          const std::set<std::string>& after) {
  if (after.size() != before.size() + 1) return std::nullopt;
  std::vector<std::string> extra;
  std::set_difference(after.begin(), after.end(), before.begin(), before.end(),
                      std::back_inserter(extra));
  if (extra.size() != 1 || !extra[0].starts_with(".out.xml-") || !extra[0].ends_with(".tmp"))
    return std::nullopt;
  return extra[0];
}

// Killed with SIGKILL at a random moment, 40 times on each kind of output:
// no temporary remains, and the output holds the previous document or the
// whole new one; only an output that must stay the same file may hold the
// new document's start over the previous one, cut where the kill met the
// copy over it.
TEST_F(OutputCollisions, AKillAtAnyMomentLeavesNoTemporaryAndTearsOnlyInTheCopy) {
  const std::string probe = "cd '" + dir_.string() +
                            "' && unshare -rm sh -c 'touch probe && mount --bind probe probe' "
                            ">/dev/null 2>&1";
  const bool can_mount = std::system(probe.c_str()) == 0;
  fs::remove(dir_ / "probe");
  two_cases(40000);
  const std::string& whole = document_a_;
  const std::string& previous = document_b_;
  const std::vector<std::string> on_mount_point = {
      "unshare", "-rm", "sh", "-c", R"(mount --bind source.xml out.xml && exec "$0" "$@")"};
  const struct {
    const char* kind;
    bool hard_linked;
    bool mount_point;
  } kinds[] = {
      {"single link", false, false}, {"hard-linked", true, false}, {"mount point", false, true}};
  const unsigned seed = std::random_device{}();
  std::mt19937 random(seed);
  for (const auto& kind : kinds) {
    SCOPED_TRACE(std::string(kind.kind) + ", seed " + std::to_string(seed));
    if (kind.mount_point && !can_mount) {
      std::printf("%s: skipped, no bind mount in a mount namespace here\n", kind.kind);
      continue;
    }
    const auto prefix = kind.mount_point ? on_mount_point : std::vector<std::string>{};
    // Where the document lands: the bind mount's source outside the namespace.
    const std::string landed = kind.mount_point ? "source.xml" : "out.xml";
    const auto prepare = [&] {
      previous_output(previous, kind.hard_linked);
      if (kind.mount_point) write("source.xml", previous);
    };
    prepare();
    const auto started = std::chrono::steady_clock::now();
    const int finished = wait_for(start_tool({"a/case7.json", "-o", "out.xml"}, dir_, prefix));
    const auto duration = std::chrono::duration_cast<std::chrono::microseconds>(
        std::chrono::steady_clock::now() - started);
    ASSERT_TRUE(WIFEXITED(finished) && WEXITSTATUS(finished) == 0);
    ASSERT_EQ(read(landed), whole);
    std::uniform_int_distribution<long> moment(0, duration.count() * 11 / 10);
    int kept = 0, replaced = 0, torn = 0, named = 0;
    for (int attempt = 0; attempt < 40; ++attempt) {
      prepare();
      const auto before = names();
      const std::chrono::microseconds after(moment(random));
      SCOPED_TRACE("attempt " + std::to_string(attempt) + ", killed after " +
                   std::to_string(after.count()) + " µs");
      const pid_t pid = start_tool({"a/case7.json", "-o", "out.xml"}, dir_, prefix);
      ASSERT_GT(pid, 0);
      std::this_thread::sleep_for(after);
      ::kill(pid, SIGKILL);
      (void)wait_for(pid);
      const std::string output = read(landed);
      // The one moment the README names: the finished document linked under
      // the temporary's name, killed before the rename that follows at once.
      if (const auto left = left_between_naming_and_rename(before, names());
          left && output == previous && read(*left) == whole) {
        ++named;
        fs::remove(dir_ / *left);
      }
      EXPECT_EQ(names(), before);
      if (kind.hard_linked) {
        EXPECT_TRUE(read("twin") == output);
      }
      if (output == previous) {
        ++kept;
      } else if (output == whole) {
        ++replaced;
      } else {
        ++torn;
        EXPECT_TRUE(kind.hard_linked || kind.mount_point) << "torn, " << output.size() << " bytes";
        EXPECT_TRUE(torn_by_the_copy(output, whole, previous)) << output.size() << " bytes";
      }
    }
    std::printf(
        "%s: a run of %ld µs; of 40 kills, %d kept the previous output, %d found the new "
        "one whole, %d met the copy, %d met the rename after naming\n",
        kind.kind, static_cast<long>(duration.count()), kept, replaced, torn, named);
  }
}

}  // namespace
}  // namespace e2e
