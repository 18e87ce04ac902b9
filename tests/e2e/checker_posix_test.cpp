// The case checker as a lab, a CI job and a hostile folder meet it: pipes,
// devices and vanished files in a folder, a case given as a pipe, paths
// that do not exist, standard output that takes nothing. It never hangs,
// never passes what it could not check, and says what it could not do.
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>

#include "clean_mesh.h"
#include "tool_runner_posix.h"

namespace e2e {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kGoodCase = R"({
  "machine": "VHF_K5",
  "material": "ZIRCONIUM",
  "material_brand_reference": "zige",
  "products": [
    {"product_type": "Crown", "tooth_iso_number": [11], "bounding_box": [0, 0, 1.5, 10, 10, 9.5],
     "stl": "a.stl", "pts": "a.pts"}
  ]
}
)";

class HostileChecker : public ToolTest {
 protected:
  void SetUp() override {
    ToolTest::SetUp();
    write("a.stl", testing_support::clean_mesh_stl());
    write("a.pts", "BEGIN_M\n1 2 3\n4 5 6\n7 8 9\nEND_M\n");
  }
  // The checker under a time limit: a run that waits on a pipe ends with
  // status 124 instead of stalling the suite.
  Outcome check(const std::vector<std::string>& arguments,
                std::vector<std::string> prefix = {"timeout", "20"}) {
    return run_launched(arguments, dir_, {std::move(prefix), Launch::Output::File, DAZ_CHECKER});
  }
};

// STL files that would make a reader allocate, wait or run past their end
// give each its finding, in the order of the products, at once.
TEST_F(HostileChecker, HostileStlFilesGiveAFindingEach) {
  std::string products;
  for (const char* stl : {"a.stl", "b.stl", "c.stl", "d.stl"}) {
    products += std::string(products.empty() ? "" : ",\n") +
                R"(    {"product_type": "Crown", "tooth_iso_number": [11], )"
                R"("bounding_box": [0, 0, 1.5, 10, 10, 9.5], "stl": ")" +
                stl + R"(", "pts": "a.pts"})";
  }
  write("case.json", R"({"machine": "VHF_K5", "material": "ZIRCONIUM", )"
                     R"("material_brand_reference": "zige", "products": [)"
                     "\n" +
                         products + "\n]}\n");
  // A binary STL's header counting 4 294 967 295 facets, in 100 bytes.
  write("a.stl",
        std::string(80, '\0') + std::string("\xFF\xFF\xFF\xFF", 4) + std::string(16, '\0'));
  write("b.stl", std::string(1000, '\0'));
  ASSERT_EQ(::mkfifo((dir_ / "c.stl").c_str(), 0600), 0);
  fs::create_symlink("/dev/zero", dir_ / "d.stl");
  const auto start = std::chrono::steady_clock::now();
  // The products share their tooth and margin on purpose: not told here.
  const Outcome outcome =
      check({"case.json", "--ignore", "tooth-repeated", "--ignore", "pts-shared"});
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
  EXPECT_EQ(outcome.status, 1);
  EXPECT_EQ(outcome.out,
            "a.stl:1:1: error: the STL of product 1 could not be read: a binary STL whose header "
            "counts 4294967295 facets, but whose 100 bytes hold 0 and 16 bytes more "
            "[stl-unreadable]\n"
            "b.stl:1:1: error: the STL of product 2 could not be read: a binary STL whose header "
            "counts 0 facets, but whose 1000 bytes hold 18 and 16 bytes more [stl-unreadable]\n"
            "c.stl:1:1: error: the STL of product 3 could not be read: Not a regular file: a "
            "pipe [stl-unreadable]\n"
            "d.stl:1:1: error: the STL of product 4 could not be read: Not a regular file: a "
            "device [stl-unreadable]\n"
            "1 case checked: 4 errors, 0 warnings\n");
  EXPECT_EQ(outcome.err, "");
}

TEST_F(HostileChecker, AFolderOfPipesDevicesAndVanishedCasesGivesOneFindingForEach) {
  write("good.json", kGoodCase);
  std::string flagged(kGoodCase);
  flagged.replace(flagged.find("\"Crown\""), 7, "\"onlay\"");
  write("onlay.json", flagged);
  ASSERT_EQ(::mkfifo((dir_ / "fifo.json").c_str(), 0600), 0);
  fs::create_symlink("/dev/zero", dir_ / "zero.json");
  fs::create_symlink(dir_ / "gone-meanwhile", dir_ / "vanished.json");
  const auto start = std::chrono::steady_clock::now();
  const Outcome outcome = check({"."});
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
  EXPECT_EQ(outcome.status, 1);
  EXPECT_EQ(outcome.out,
            "./fifo.json:1:1: error: the case file could not be read, and was not checked: Not a "
            "regular file: a pipe [file-unreadable]\n"
            "./onlay.json:6:22: warning: product_type \"onlay\" of product 1 is no type the tool "
            "knows: it is taken for a crown, and the document carries AnatomicCrown; did you mean "
            "\"Onlay\"? [product-type-unknown]\n"
            "./vanished.json:1:1: error: the case file could not be read, and was not checked: No "
            "such file or directory (os error 2) [file-unreadable]\n"
            "./zero.json:1:1: error: the case file could not be read, and was not checked: Not a "
            "regular file: a device [file-unreadable]\n"
            "5 cases checked: 3 errors, 1 warning\n");
  EXPECT_EQ(outcome.err, "");
}

TEST_F(HostileChecker, AReportThatCannotBeWrittenEndsWithStatusTwo) {
  write("good.json", kGoodCase);
  for (const std::string format : {"text", "json"}) {
    SCOPED_TRACE(format);
    const Outcome outcome =
        check({"--format", format, "good.json"}, {"sh", "-c", "exec \"$@\" >/dev/full", "sh"});
    EXPECT_EQ(outcome.status, 2);
    EXPECT_EQ(outcome.err,
              "Error: could not write the report\n\nCaused by:\n    No space left on device (os "
              "error 28)\n");
  }
}

TEST_F(HostileChecker, APathThatDoesNotReadIsTroubleAfterTheOthersAreChecked) {
  write("good.json", kGoodCase);
  const struct {
    std::string path;
    std::string error;
  } rows[] = {
      {"none.json", "No such file or directory (os error 2)"},
      {"/dev/zero", "Not a regular file: a device"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.path);
    const Outcome outcome = check({row.path, "good.json"});
    EXPECT_EQ(outcome.status, 2);
    EXPECT_EQ(outcome.out, "1 case checked: 0 errors, 0 warnings\n");
    EXPECT_EQ(outcome.err,
              "Error: could not read \"" + row.path + "\"\n\nCaused by:\n    " + row.error + "\n");
  }
}

TEST_F(HostileChecker, TakesACaseFromAPipeAsTheToolDoes) {
  // Files beside a piped case lie in /dev for both programs: named whole.
  std::string text(kGoodCase);
  text.replace(text.find("\"a.stl\""), 7, "\"" + (dir_ / "a.stl").string() + "\"");
  text.replace(text.find("\"a.pts\""), 7, "\"" + (dir_ / "a.pts").string() + "\"");
  write("good.json", text);
  const std::vector<std::string> piped{"sh", "-c", "cat good.json | \"$@\"", "sh"};
  const Outcome tool =
      run_launched({"/dev/stdin", "-o", "out.xml"}, dir_, {piped, Launch::Output::File, DAZ_TOOL});
  EXPECT_EQ(tool.status, 0) << tool.err;
  const Outcome outcome = check({"/dev/stdin"}, piped);
  EXPECT_EQ(outcome.status, 0) << outcome.out << outcome.err;
  EXPECT_EQ(outcome.out, "1 case checked: 0 errors, 0 warnings\n");
}

TEST_F(HostileChecker, AFoldersCaseFilesEndInJsonInAnyLetterCase) {
  fs::create_directory(dir_ / "cases");
  write("cases/UPPER.JSON", kGoodCase);
  write("cases/a.stl", testing_support::clean_mesh_stl());
  write("cases/a.pts", "BEGIN_M\n1 2 3\n4 5 6\n7 8 9\nEND_M\n");
  write("cases/.json", "not a case");
  write("cases/notes.txt", "not a case");
  const Outcome outcome = check({"cases"});
  EXPECT_EQ(outcome.status, 0) << outcome.out;
  EXPECT_EQ(outcome.out, "1 case checked: 0 errors, 0 warnings\n");
}

TEST_F(HostileChecker, ANameCannotForgeAFindingLine) {
  const std::string forged = "x\ny.json:1:1: error: forged [tool-error]";
  fs::create_directory(dir_ / forged);
  write(forged + "/\x1B[2Jcase.json", "{\"machine\": 1}");
  const Outcome outcome = check({"."});
  EXPECT_EQ(outcome.status, 1);
  const auto lines = std::count(outcome.out.begin(), outcome.out.end(), '\n');
  EXPECT_EQ(lines, 2) << outcome.out;
  EXPECT_TRUE(outcome.out.starts_with(
      "./x\\x0Ay.json:1:1: error: forged [tool-error]/\\x1B[2Jcase.json:1:13: error: "))
      << outcome.out;
}

// Names that Windows does not allow: quotes, markup, a line feed and bytes
// that are no UTF-8, in the folder, STL and margin line file names, shown
// in the report as text, never as markup, and the page still UTF-8.
TEST_F(HostileChecker, HostileNamesAppearEscapedInTheReport) {
  const std::string folder = "a\"<b>&amp;\n\xFF";
  fs::create_directory(dir_ / folder);
  const std::string stl = "<i>\"x&.stl";
  const std::string pts = "q&\"<u>\n.pts";
  fs::copy_file(fs::path(DAZ_FIXTURES_DIR) / "geometry/clean/11.stl", dir_ / folder / stl);
  fs::copy_file(fs::path(DAZ_FIXTURES_DIR) / "geometry/clean/11.pts", dir_ / folder / pts);
  write(
      folder + "/case.json",
      R"({"machine": "VHF_K5", "material": "ZIRCONIUM", "material_brand_reference": "", "products": [
    {"product_type": "Crown", "tooth_iso_number": [11], "bounding_box": [-4, -3.5, 0, 4, 3.5, 9],
     "stl": "<i>\"x&.stl", "pts": "q&\"<u>\n.pts"}]})");
  const Outcome outcome = check({"--report", "page.html", "."});
  EXPECT_LE(outcome.status, 1) << outcome.err;
  const std::string page = read("page.html");
  EXPECT_EQ(std::count(page.begin(), page.end(), '<'), std::count(page.begin(), page.end(), '>'));
  for (const std::string_view markup : {"<b>", "<i>", "<u>", "\xFF"}) {
    EXPECT_EQ(page.find(markup), std::string::npos) << markup;
  }
  const std::string_view line_feed = "\xE2\x90\x8A", not_text = "\xEF\xBF\xBD";
  const std::string shown[] = {
      "a&quot;&lt;b&gt;&amp;amp;" + std::string(line_feed) + std::string(not_text),
      "&lt;i&gt;&quot;x&amp;.stl",
      "q&amp;&quot;&lt;u&gt;" + std::string(line_feed) + ".pts",
  };
  for (const std::string& text : shown) EXPECT_NE(page.find(text), std::string::npos) << text;
  const std::string drawing = "class=\"view\"";
  std::size_t drawings = 0;
  for (auto at = page.find(drawing); at != std::string::npos; at = page.find(drawing, at + 1)) {
    ++drawings;
  }
  EXPECT_EQ(drawings, 3U);
}

}  // namespace
}  // namespace e2e
