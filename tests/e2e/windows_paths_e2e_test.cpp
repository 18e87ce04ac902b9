// Windows paths as users type them: drive letters, backslashes, dots in
// folder names, names that are not valid UTF-16, devices, and paths past
// the classic limit of 260 characters.
#include <set>

#include "tool_runner.h"

namespace e2e {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kCase =
    R"({"machine":"VHF_K5","material":"ZIRCONIUM","material_brand_reference":"",)"
    R"("products":[{"product_type":"Crown","tooth_iso_number":[11],)"
    R"("bounding_box":[0,0,0,0,0,1],"stl":"a.stl","pts":"a.pts"}]})";
// The one point that the document can only have taken from the margin file.
constexpr std::string_view kMargin = "BEGIN_\n1.5 2.5 3.5\nEND_\n";
constexpr std::string_view kMarginPoint = "<x>1.5</x>\n          <y>2.5</y>\n          <z>3.5</z>";

class WindowsPaths : public ToolTest {
 protected:
  static void write_case(const fs::path& folder, const std::string& name) {
    fs::create_directories(folder);
    write_bytes(folder / name, kCase);
    write_bytes(folder / "a.pts", kMargin);
  }
  static void expect_generated(const Outcome& outcome, const std::string& shown,
                               const fs::path& output) {
    EXPECT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_EQ(outcome.out, "Generated " + shown + "\n");
    EXPECT_EQ(outcome.err, "");
    EXPECT_NE(read_bytes(output).find(kMarginPoint), std::string::npos) << output;
  }
};

// The test's own folder typed in full, from its drive letter on (C: under
// Wine, whose temporary folder lies in the prefix).
TEST_F(WindowsPaths, ADrivePathKeepsItsDriveAndFolder) {
  const fs::path cases = fs::absolute(dir_) / "cases";
  const std::string typed = cases.string();
  if (typed.size() < 3 || typed[1] != ':' || typed[2] != '\\') {
    GTEST_SKIP() << "the temporary folder has no drive letter: " << typed;
  }
  write_case(cases, "case.json");
  expect_generated(run({typed + "\\case.json"}), typed + "\\case.constructionInfo",
                   cases / "case.constructionInfo");
}

TEST_F(WindowsPaths, ADotInAFolderNameIsNoExtension) {
  const struct {
    const char* json;
    const char* output;
  } cases[] = {
      {"cases.old\\case", "cases.old\\case.constructionInfo"},
      {"cases.old/case", "cases.old/case.constructionInfo"},
      {".\\cases.old\\case.", ".\\cases.old\\case.constructionInfo"},
      {"cases.old\\..\\cases.old\\case", "cases.old\\..\\cases.old\\case.constructionInfo"},
  };
  write_case(dir_ / "cases.old", "case");
  for (const auto& c : cases) {
    SCOPED_TRACE(c.json);
    expect_generated(run({c.json}), c.output, dir_ / "cases.old" / "case.constructionInfo");
    fs::remove(dir_ / "cases.old" / "case.constructionInfo");
  }
}

// A name that is not valid UTF-16 reaches the system as it was typed and
// shows with U+FFFD for its lone surrogate.
TEST_F(WindowsPaths, ALoneSurrogateShowsAsAReplacementCharacter) {
  const Outcome outcome = run({"a\xED\xA0\x80.json"});
  EXPECT_EQ(outcome.status, 1);
  EXPECT_EQ(outcome.out, "");
  EXPECT_TRUE(
      is_report(outcome.err, "Error: Failed to read file a\xEF\xBF\xBD.json", kFileNotFound));
}

TEST_F(WindowsPaths, ADeviceIsWrittenInPlace) {
  write_case(dir_, "case.json");
  const Outcome outcome = run({"case.json", "-o", "NUL"});
  EXPECT_EQ(outcome.status, 0) << outcome.err;
  EXPECT_EQ(outcome.out, "Generated NUL\n");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 2);
}

// A verbatim path ("\\?\") means no normalisation: its trailing dot is part
// of the name, and the file named without it is left alone.
TEST_F(WindowsPaths, AVerbatimPathIsTakenAsTyped) {
  const std::string folder = fs::absolute(dir_).string();
  if (folder.size() < 3 || folder[1] != ':' || folder[2] != '\\') {
    GTEST_SKIP() << "the temporary folder has no drive letter: " << folder;
  }
  write_case(dir_, "case.json");
  write("other.xml", "previous");
  const std::string typed = "\\\\?\\" + folder + "\\other.xml.";
  const Outcome outcome = run({"case.json", "-o", typed});
  EXPECT_EQ(outcome.status, 0) << outcome.err;
  EXPECT_EQ(outcome.out, "Generated " + typed + "\n");
  EXPECT_EQ(read("other.xml"), "previous");
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir_)) {
    names.insert(entry.path().filename().string());
  }
  EXPECT_EQ(names, (std::set<std::string>{"a.pts", "case.json", "other.xml", "other.xml."}));
}

// A stream cannot be replaced whole: refused before anything is made.
TEST_F(WindowsPaths, AnAlternateDataStreamIsRefused) {
  write_case(dir_, "case.json");
  const Outcome outcome = run({"case.json", "-o", "out.constructionInfo:ads"});
  EXPECT_EQ(outcome.status, 1);
  EXPECT_EQ(outcome.out, "");
  EXPECT_EQ(outcome.err,
            "Error: Failed to create out.constructionInfo:ads\n\nCaused by:\n"
            "    An alternate data stream (a ':' in the file name) cannot be written as an "
            "output\n");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 2);
}

// Device names name a device in every folder, with any extension: as a
// margin line file one is refused before anything is read, and after a
// file that does not open it is not looked at. (Wine opens AUX, COM1 and
// NUL; CON without a console fails to open.)
TEST_F(WindowsPaths, ADeviceNameAsMarginFileEndsTheRunAtOnce) {
  write_bytes(dir_ / "a.pts", kMargin);
  const std::string product =
      R"({"product_type":"Crown","tooth_iso_number":[11],"bounding_box":[0,0,0,0,0,1],)"
      R"("stl":"a.stl","pts":")";
  const struct {
    std::vector<std::string> pts;
    std::string head;
    const SystemError* cause;  // none: "Not a regular file: a device"
  } cases[] = {
      {{"a.pts", "aux.pts"}, "Error: Failed to read aux.pts", nullptr},
      {{"COM1"}, "Error: Failed to read COM1", nullptr},
      {{"nul.pts"}, "Error: Failed to read nul.pts", nullptr},
      {{"missing.pts", "aux.pts"}, "Error: Failed to read missing.pts", &kFileNotFound},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.head);
    std::string products;
    for (const std::string& pts : c.pts) {
      products += (products.empty() ? "" : ",") + product + pts + R"("})";
    }
    write_bytes(dir_ / "case.json", std::string(kCase.substr(0, kCase.find("\"products\""))) +
                                        R"("products":[)" + products + "]}");
    write_bytes(dir_ / "case.constructionInfo", "previous");
    const Outcome outcome = run({"case.json"});
    EXPECT_EQ(outcome.status, 1);
    EXPECT_EQ(outcome.out, "");
    if (c.cause) {
      EXPECT_TRUE(is_report(outcome.err, c.head, *c.cause));
    } else {
      EXPECT_EQ(outcome.err, c.head + "\n\nCaused by:\n    Not a regular file: a device\n");
    }
    EXPECT_EQ(read_bytes(dir_ / "case.constructionInfo"), "previous");
  }
}

// The test's own files are made and read through the "\\?\" form, which
// reaches past the limit on any Windows.
TEST_F(WindowsPaths, PathsPastTheClassicLimitWork) {
  std::string folder;
  for (const char letter : {'a', 'b', 'c', 'd', 'e'}) folder += std::string(60, letter) + "\\";
  const fs::path full = fs::absolute(dir_ / folder);
  const fs::path verbatim = L"\\\\?\\" + full.wstring();
  write_case(verbatim, "case.json");
  const std::string typed[] = {folder + "case.json", full.string() + "case.json"};
  for (const auto& json : typed) {
    SCOPED_TRACE(json.size());
    ASSERT_GT(json.size(), 260u);
    const std::string output = json.substr(0, json.size() - 4) + "constructionInfo";
    expect_generated(run({json}), output, verbatim / "case.constructionInfo");
  }
}

}  // namespace
}  // namespace e2e
