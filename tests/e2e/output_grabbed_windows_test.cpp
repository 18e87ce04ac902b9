// The output while other programs open files in its folder, as virus
// scanners, indexers and sync clients do: the previous document or the new
// one is there whole after every run, the temporary is never opened by
// anyone else and never left behind.
#include <windows.h>

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

}  // namespace
}  // namespace e2e
