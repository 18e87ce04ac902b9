// Margin line files that are no regular files, as a mistaken or hostile
// case can name them: a pipe, a device reached through "..", a folder.
// Each run ends at once with "Failed to read" and why, before anything is
// read; none waits on a pipe or reads a device without end. The case file
// itself is the user's choice and may well be a pipe.
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>

#include "tool_runner_posix.h"

namespace e2e {
namespace {

namespace fs = std::filesystem;

constexpr const char* kCaseHead =
    R"({"machine":"VHF_K5","material":"ZIRCONIUM","material_brand_reference":"","products":[)";

// A product whose margin line file is `pts` (a JSON text, quoted).
std::string product(const std::string& pts) {
  return R"({"product_type":"Crown","tooth_iso_number":[11],"bounding_box":[0,0,0,0,0,1],)"
         R"("stl":"a.stl","pts":")" +
         pts + R"("})";
}

class MarginFiles : public ToolTest {
 protected:
  // Runs the tool under a time limit, so that a run that waits on a pipe
  // ends (status 124) instead of stalling the suite; gives the outcome and
  // how long it took.
  std::pair<Outcome, std::chrono::duration<double>> run_timed(
      const std::vector<std::string>& arguments) {
    const auto start = std::chrono::steady_clock::now();
    Outcome outcome = run_launched(arguments, dir_, {{"timeout", "10"}, Launch::Output::File});
    return {outcome, std::chrono::steady_clock::now() - start};
  }
  // "../" as often as `dir_` is deep: from there to the root.
  std::string up_to_the_root() const {
    std::string up;
    for (const auto& part : fs::canonical(dir_).relative_path()) {
      (void)part;
      up += "../";
    }
    return up;
  }
};

TEST_F(MarginFiles, ThatAreNoRegularFilesEndTheRunAtOnce) {
  ASSERT_EQ(::mkfifo((dir_ / "fifo.pts").c_str(), 0644), 0);
  fs::create_directory(dir_ / "folder.pts");
  write("a.pts", "BEGIN_\n1 2 3\nEND_\n");
  const std::string zero = up_to_the_root() + "dev/zero";
  const struct {
    const char* name;
    std::vector<std::string> pts;
    std::string err;
  } cases[] = {
      {"a pipe",
       {"a.pts", "fifo.pts"},
       "Error: Failed to read fifo.pts\n\nCaused by:\n    Not a regular file: a pipe\n"},
      {"a pipe after a missing file",
       {"missing.pts", "fifo.pts"},
       "Error: Failed to read missing.pts\n\nCaused by:\n"
       "    No such file or directory (os error 2)\n"},
      {"a device through ..",
       {"a.pts", zero},
       "Error: Failed to read " + zero + "\n\nCaused by:\n    Not a regular file: a device\n"},
      {"a folder",
       {"folder.pts", "fifo.pts"},
       "Error: Failed to read folder.pts\n\nCaused by:\n    Is a directory (os error 21)\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::string products;
    for (const std::string& pts : c.pts) {
      if (!products.empty()) products += ',';
      products += product(pts);
    }
    write("case.json", kCaseHead + products + "]}");
    write("case.constructionInfo", "previous");
    const auto [outcome, took] = run_timed({"case.json"});
    EXPECT_EQ(outcome.status, 1);
    EXPECT_EQ(outcome.out, "");
    EXPECT_EQ(outcome.err, c.err);
    EXPECT_LT(took, std::chrono::seconds(1));
    EXPECT_EQ(read("case.constructionInfo"), "previous");
  }
}

// After the first file that does not open no other is opened at all: the
// run is lost by then, and a later file could stall it.
TEST_F(MarginFiles, AfterOneThatDoesNotOpenNoneIsOpened) {
  write("later.pts", "BEGIN_\n1 2 3\nEND_\n");
  write("case.json", kCaseHead + product("missing.pts") + "," + product("later.pts") + "," +
                         product("later.pts") + "]}");
  const int watch = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  ASSERT_GE(watch, 0);
  ASSERT_GE(::inotify_add_watch(watch, (dir_ / "later.pts").c_str(), IN_OPEN), 0);
  const Outcome outcome = run({"case.json"});
  char events[4096];
  const ssize_t opened = ::read(watch, events, sizeof events);
  ::close(watch);
  EXPECT_EQ(outcome.status, 1);
  EXPECT_EQ(outcome.err,
            "Error: Failed to read missing.pts\n\nCaused by:\n"
            "    No such file or directory (os error 2)\n");
  EXPECT_LT(opened, 0) << "later.pts was opened";
}

// The case file given as `<(...)` and as /dev/stdin from a pipe; its
// margin line file, named in full, is a regular file as always.
TEST_F(MarginFiles, TheCaseFileItselfMayBeAPipe) {
  write("a.pts", "BEGIN_\n1.5 2.5 3.5\nEND_\n");
  write("case.txt", kCaseHead + product((fs::canonical(dir_) / "a.pts").string()) + "]}");
  const struct {
    const char* name;
    const char* shell_command;  // $0 is the tool, "$@" the arguments
  } cases[] = {
      {"process substitution", R"(exec "$0" <(cat case.txt) "$@")"},
      {"standard input", R"(cat case.txt | "$0" /dev/stdin "$@")"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const Outcome outcome = run_launched({"-o", "out.xml"}, dir_,
                                         {{"bash", "-c", c.shell_command}, Launch::Output::File});
    EXPECT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_EQ(outcome.out, "Generated out.xml\n");
    EXPECT_NE(read("out.xml").find("<x>1.5</x>\n          <y>2.5</y>\n          <z>3.5</z>"),
              std::string::npos);
    fs::remove(dir_ / "out.xml");
  }
}

}  // namespace
}  // namespace e2e
