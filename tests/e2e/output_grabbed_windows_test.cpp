// The output while other programs open files in its folder, as virus
// scanners, indexers and sync clients do: the previous document or the new
// one is there whole after every run, the temporary is never opened by
// anyone else and never left behind, not even by a run killed while it
// waits for the output.
#include <windows.h>

#include <chrono>
#include <cstdio>

#include "tool_runner.h"

namespace e2e {
namespace {

namespace fs = std::filesystem;

constexpr int kRuns = 24;
constexpr int kPoints = 10000;

// The grabber (temporary_grabber_windows.cpp), started with its standard
// output in a file, until `stop` exists.
class Grabber {
 public:
  Grabber(const fs::path& folder, const fs::path& stop, const fs::path& report) : stop_(stop) {
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    const HANDLE out = CreateFileW(report.wstring().c_str(), GENERIC_WRITE, FILE_SHARE_READ,
                                   &inherit, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = out;
    const std::wstring program = fs::absolute(DAZ_GRABBER).wstring();
    std::wstring command_line = L"\"" + program + L"\" \"" + fs::absolute(folder).wstring() +
                                L"\" \"" + fs::absolute(stop).wstring() + L"\"";
    started_ = CreateProcessW(program.c_str(), command_line.data(), nullptr, nullptr, TRUE,
                              DETACHED_PROCESS, nullptr, nullptr, &startup, &process_) != 0;
    CloseHandle(out);
  }
  Grabber(const Grabber&) = delete;
  Grabber& operator=(const Grabber&) = delete;
  ~Grabber() { stop(); }

  bool started() const { return started_; }
  void stop() {
    if (!started_) return;
    write_bytes(stop_, "");
    WaitForSingleObject(process_.hProcess, INFINITE);
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
    started_ = false;
  }

 private:
  fs::path stop_;
  PROCESS_INFORMATION process_{};
  bool started_ = false;
};

std::string margin_file(double first) {
  std::string text = "BEGIN_\n";
  for (int i = 0; i < kPoints; ++i) {
    text += std::to_string(first + i) + " 2.25 3.125\n";
  }
  return text + "END_\n";
}

std::string case_file(const std::string& pts) {
  return R"({"machine":"VHF_K5","material":"ZIRCONIUM","material_brand_reference":"",)"
         R"("products":[{"product_type":"Crown","tooth_iso_number":[11],)"
         R"("bounding_box":[0,0,0,0,0,1],"stl":"a.stl","pts":")" +
         pts + R"("}]})";
}

std::size_t temporaries_in(const fs::path& folder) {
  std::size_t count = 0;
  for (const auto& entry : fs::directory_iterator(folder)) {
    if (entry.path().extension() == ".tmp") ++count;
  }
  return count;
}

class GrabbedOutput : public ToolTest {};

TEST_F(GrabbedOutput, ThePreviousOrTheNewDocumentIsAlwaysThereWhole) {
  const fs::path out = dir_ / "out";
  fs::create_directories(out);
  write("a.json", case_file("a.pts"));
  write("a.pts", margin_file(1.5));
  write("b.json", case_file("b.pts"));
  write("b.pts", margin_file(-7.5));
  const std::string cases[] = {"a.json", "b.json"};
  std::string documents[2];
  for (int i = 0; i < 2; ++i) {
    ASSERT_EQ(run({cases[i], "-o", "out\\" + std::to_string(i) + ".expected"}).status, 0);
    documents[i] = read_bytes(out / (std::to_string(i) + ".expected"));
    ASSERT_GT(documents[i].size(), 500000u);
  }
  ASSERT_NE(documents[0], documents[1]);

  Grabber grabber(out, dir_ / "stop", dir_ / "grabber.txt");
  ASSERT_TRUE(grabber.started());
  int previous = -1;
  int failed = 0;
  for (int run_number = 0; run_number < kRuns; ++run_number) {
    SCOPED_TRACE(run_number);
    const int now = run_number % 2;
    const Outcome outcome = run({cases[now], "-o", "out\\case.constructionInfo"});
    const std::string written = read_bytes(out / "case.constructionInfo");
    if (outcome.status == 0) {
      EXPECT_EQ(written == documents[now], true) << written.size();
      previous = now;
    } else {
      ++failed;
      EXPECT_EQ(outcome.status, 1);
      EXPECT_TRUE(outcome.err.starts_with("Error: Failed to write out\\case.constructionInfo\n"))
          << outcome.err;
      EXPECT_EQ(previous < 0 ? written.empty() : written == documents[previous], true)
          << written.size();
    }
    EXPECT_EQ(temporaries_in(out), 0u);
  }
  grabber.stop();
  const std::string report = read_bytes(dir_ / "grabber.txt");
  unsigned long seen = 0;
  unsigned long opened = 0;
  ASSERT_EQ(std::sscanf(report.c_str(), "seen %lu opened %lu", &seen, &opened), 2) << report;
  EXPECT_GT(seen, 0u) << "the grabber never saw a temporary; the test proves nothing";
  EXPECT_EQ(opened, 0u) << "another program opened an unfinished temporary";
  EXPECT_LT(failed, kRuns / 4) << "the final move gave up too often";
  std::printf("%d runs, %d given up; grabber: %s", kRuns, failed, report.c_str());
}

// Starts `command_line` (its program quoted first) in `directory` without
// a console and without waiting; a process with no handle when it did not
// start.
PROCESS_INFORMATION start_process(std::wstring command_line, const fs::path& directory) {
  const std::wstring working_directory = fs::absolute(directory).wstring();
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, command_line.data(), nullptr, nullptr, FALSE, DETACHED_PROCESS,
                      nullptr, working_directory.c_str(), &startup, &process)) {
    return {};
  }
  CloseHandle(process.hThread);
  return process;
}

// The grabber holding `file` as `sharing` says ("none", "no-delete") for
// `milliseconds`; returns once the hold is in place.
HANDLE hold(const fs::path& file, const wchar_t* sharing, DWORD milliseconds,
            const fs::path& ready) {
  const std::wstring command_line = L"\"" + fs::absolute(DAZ_GRABBER).wstring() + L"\" --hold \"" +
                                    fs::absolute(file).wstring() + L"\" " + sharing + L" " +
                                    std::to_wstring(milliseconds) + L" \"" +
                                    fs::absolute(ready).wstring() + L"\"";
  const PROCESS_INFORMATION holder = start_process(command_line, file.parent_path());
  if (holder.hProcess == nullptr) return nullptr;
  for (int i = 0; i < 1000 && !fs::exists(ready); ++i) Sleep(5);
  return holder.hProcess;
}

void wait_for(HANDLE process) {
  WaitForSingleObject(process, INFINITE);
  CloseHandle(process);
}

// Another program that holds the output, shared with nobody, when the run
// starts and lets it go half a second later: the run waits for it, as the
// final move waits.
TEST_F(GrabbedOutput, AnOutputHeldWhenTheRunStartsIsWaitedFor) {
  fs::create_directories(dir_ / "out");
  write("a.json", case_file("a.pts"));
  write("a.pts", margin_file(1.5));
  ASSERT_EQ(run({"a.json", "-o", "out\\expected.xml"}).status, 0);
  const std::string document = read("out\\expected.xml");
  write("out\\case.constructionInfo", "previous");
  const HANDLE holder = hold(dir_ / "out" / "case.constructionInfo", L"none", 500, dir_ / "held");
  ASSERT_NE(holder, nullptr);
  const Outcome outcome = run({"a.json", "-o", "out\\case.constructionInfo"});
  wait_for(holder);
  EXPECT_EQ(outcome.status, 0) << outcome.err;
  EXPECT_EQ(outcome.out, "Generated out\\case.constructionInfo\n");
  EXPECT_TRUE(read("out\\case.constructionInfo") == document);
  EXPECT_EQ(temporaries_in(dir_ / "out"), 0u);
}

// A run killed while it waits for the output to be let go leaves no
// temporary: the delete mark is off only for each attempt to move.
TEST_F(GrabbedOutput, ARunKilledWhileItWaitsForTheOutputLeavesNoTemporary) {
  const fs::path out = dir_ / "out";
  fs::create_directories(out);
  write("a.json", case_file("a.pts"));
  write("a.pts", "BEGIN_\n1.5 2.5 3.5\nEND_\n");
  write("out\\case.constructionInfo", "previous");
  const HANDLE holder = hold(out / "case.constructionInfo", L"no-delete", 5000, dir_ / "held");
  ASSERT_NE(holder, nullptr);
  const PROCESS_INFORMATION tool = start_process(
      L"\"" + fs::absolute(DAZ_TOOL).wstring() + L"\" a.json -o out\\case.constructionInfo", dir_);
  ASSERT_NE(tool.hProcess, nullptr);
  // The temporary appears, is written in a moment, and the move then
  // waits for the output: the kill falls in that wait.
  for (int i = 0; i < 1000 && temporaries_in(out) == 0; ++i) Sleep(2);
  EXPECT_EQ(temporaries_in(out), 1u);
  Sleep(400);
  DWORD status = 0;
  EXPECT_TRUE(GetExitCodeProcess(tool.hProcess, &status) && status == STILL_ACTIVE)
      << "the run ended before the kill, status " << status;
  TerminateProcess(tool.hProcess, 9);
  wait_for(tool.hProcess);
  // The system removes a marked file with its last handle, a moment after
  // the process is gone.
  for (int i = 0; i < 100 && temporaries_in(out) != 0; ++i) Sleep(10);
  EXPECT_EQ(temporaries_in(out), 0u);
  EXPECT_EQ(read("out\\case.constructionInfo"), "previous");
  TerminateProcess(holder, 0);
  wait_for(holder);
}

}  // namespace
}  // namespace e2e
