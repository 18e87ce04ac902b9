// Whole runs: the written documents byte for byte, and the failures of a
// run that leave the output path as it was.
#include <set>
#include <string>

#include "tool_runner.h"

namespace e2e {
namespace {

namespace fs = std::filesystem;

std::string golden(const std::string& name) {
  return read_bytes(fs::path(DAZ_FIXTURES_DIR) / "golden" / name);
}

constexpr const char* kCaseHead =
    R"({"machine":"VHF_K5","material":"ZIRCONIUM","material_brand_reference":"",)";

class Generation : public ToolTest {
 protected:
  // Copies an example case into the test's directory or a folder of it.
  void copy_example(const std::string& folder, const std::string& into = "") {
    const fs::path target = dir_ / utf8_path(into);
    fs::create_directories(target);
    for (const auto& entry : fs::directory_iterator(fs::path(DAZ_EXAMPLES_DIR) / folder)) {
      const std::string name = entry.path().filename().string();
      if (entry.is_regular_file() && !name.ends_with(".constructionInfo")) {
        fs::copy_file(entry.path(), target / name, fs::copy_options::overwrite_existing);
      }
    }
  }
  void expect_success(const Outcome& outcome, const std::string& output) {
    EXPECT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_EQ(outcome.out, "Generated " + output + "\n");
    EXPECT_EQ(outcome.err, "");
  }
};

// Each example, given by a relative path and by a full path ("Z:\...\case7.json"
// under Wine): the output keeps the path's folder, in the file and in the
// line printed, and holds the golden bytes.
TEST_F(Generation, ConvertsTheExamplesByteForByte) {
  const struct {
    const char* folder;
    const char* json;
    const char* golden;
  } cases[] = {
      {".", "case7.json", "case7.constructionInfo"},
      {"printing", "crowns.json", "printing-crowns.constructionInfo"},
      {"amann-girrbach", "inlay.json", "amann-girrbach-inlay.constructionInfo"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.json);
    copy_example(c.folder);
    const std::string output = fs::path(c.json).replace_extension("constructionInfo").string();
    expect_success(run({c.json}), output);
    EXPECT_EQ(read(output), golden(c.golden));

    const std::string full = std::string("full/") + c.folder;
    copy_example(c.folder, full);
    const fs::path json = fs::absolute(dir_ / full / c.json).lexically_normal();
    const fs::path full_output = fs::path(json).replace_extension("constructionInfo");
    expect_success(run({json.string()}), full_output.string());
    EXPECT_EQ(read_bytes(full_output), golden(c.golden));
  }
}

TEST_F(Generation, TakesPathsWithSpacesAndLettersBeyondAscii) {
  const std::string folder = "Z\xC3\xA4hne Fall";  // Zähne Fall
  const std::string name = "Krone \xC3\xBC";       // Krone ü
  copy_example(".", folder);
  fs::rename(dir_ / utf8_path(folder) / "case7.json",
             dir_ / utf8_path(folder + "/" + name + ".json"));
  const std::string output = native(folder + "/" + name + ".constructionInfo");
  expect_success(run({native(folder + "/" + name + ".json")}), output);
  std::string expected = golden("case7.constructionInfo");
  expected.replace(expected.find("<ProjectName>case7<"), 19, "<ProjectName>" + name + "<");
  EXPECT_EQ(read(output), expected);
}

// Escaped and empty texts, negative and huge heights, special numbers from
// a margin line file, the largest tooth number, a line feed in a name.
TEST_F(Generation, WritesTheEdgesOfTheFormByteForByte) {
  copy_fixture("edge");
  expect_success(run({"edge/edge.json"}), "edge/edge.constructionInfo");
  EXPECT_EQ(read("edge/edge.constructionInfo"), golden("edge.constructionInfo"));
}

TEST_F(Generation, WritesWhereTheOptionSaysAndNamesTheProjectAfterTheFile) {
  copy_example(".");
  fs::rename(dir_ / "case7.json", dir_ / "Y.json");
  fs::create_directory(dir_ / "out");
  expect_success(run({"-o", "out/result.xml", "Y.json"}), "out/result.xml");
  std::string expected = golden("case7.constructionInfo");
  expected.replace(expected.find("<ProjectName>case7<"), 19, "<ProjectName>Y<");
  EXPECT_EQ(read("out/result.xml"), expected);
  EXPECT_FALSE(exists("Y.constructionInfo"));
}

TEST_F(Generation, LooksForMarginLinesBesideTheCaseFile) {
  fs::create_directory(dir_ / "cases.old");
  write("cases.old/case.json",
        std::string(kCaseHead) + R"("products":[{"product_type":"Crown","tooth_iso_number":[11],)"
                                 R"("bounding_box":[0,0,0,0,0,1],"stl":"a.stl","pts":"a.pts"}]})");
  write("cases.old/a.pts", "BEGIN_\nnan inf -inf\nEND_\n");
  expect_success(run({"cases.old/case.json"}), "cases.old/case.constructionInfo");
  const std::string text = read("cases.old/case.constructionInfo");
  EXPECT_NE(text.find("<x>NaN</x>\n          <y>inf</y>\n          <z>-inf</z>"), std::string::npos)
      << text;
  EXPECT_NE(text.find("<ProjectName>case</ProjectName>"), std::string::npos);
}

TEST_F(Generation, ReplacesALongerPreviousFileWhole) {
  copy_example(".");
  write("case7.constructionInfo", std::string(100000, 'x'));
  expect_success(run({"case7.json"}), "case7.constructionInfo");
  EXPECT_EQ(read("case7.constructionInfo"), golden("case7.constructionInfo"));
  expect_success(run({"case7.json"}), "case7.constructionInfo");
  EXPECT_EQ(read("case7.constructionInfo"), golden("case7.constructionInfo"));
  // Nothing but the document is left beside the case's own files.
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir_))
    names.insert(entry.path().filename().string());
  EXPECT_EQ(names,
            (std::set<std::string>{"11_12_bridge.pts", "11_12_bridge.stl", "36_onlay.pts",
                                   "36 onlay&inlay.stl", "case7.json", "case7.constructionInfo"}));
}

TEST_F(Generation, KeepsTheCaseMarginWhenTheMarginFileIsNotText) {
  write("case.json", std::string(kCaseHead) +
                         R"("products":[{"product_type":"Crown","tooth_iso_number":[11],)"
                         R"("bounding_box":[0,0,0,0,0,1],"stl":"a.stl","pts":"a.pts",)"
                         R"("margin_line_coordinates":[[7,8,9]]}]})");
  write("a.pts", "BEGIN_\n1 2 3\n4 5 6\n\xFF 8 9\nEND_\n");
  expect_success(run({"case.json"}), "case.constructionInfo");
  EXPECT_NE(read("case.constructionInfo").find("<x>7</x>\n          <y>8</y>\n          <z>9</z>"),
            std::string::npos);
}

TEST_F(Generation, WritesAnEmptyDocumentForACaseWithoutProducts) {
  write("case.json", std::string(kCaseHead) + R"("products":[]})");
  expect_success(run({"case.json"}), "case.constructionInfo");
  EXPECT_EQ(
      read("case.constructionInfo"),
      "<?xml version=\"1.0\"?>\n<ConstuctionInfo "
      "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
      "xmlns:xsd=\"http://www.w3.org/2001/XMLSchema\">\n  <Teeth/>\n  <ConstructionFileList/>\n"
      "  <ProjectName>case</ProjectName>\n</ConstuctionInfo>");
}

using GenerationFailures = ToolTest;

// Each failing run reports, ends with status 1 and leaves an output file
// that was there untouched.
TEST_F(GenerationFailures, LeaveTheOutputAsItWas) {
  const std::string product =
      R"({"product_type":"Crown","tooth_iso_number":[11],"bounding_box":[0,0,0,0,0,1],"stl":"a.stl",)";
  const struct {
    const char* name;
    std::string products;
    std::string head;
    const SystemError* cause;  // none: the report is the head alone
  } cases[] = {
      {"first of three margin files missing",
       product + R"("pts":"none.pts"},)" + product + R"("pts":"a.pts"},)" + product +
           R"("pts":"a.pts"})",
       "Error: Failed to read " + native("cases/none.pts"), &kFileNotFound},
      {"the first of two missing margin files in product order",
       product + R"("pts":"a.pts"},)" + product + R"("pts":"a.pts"},)" + product +
           R"("pts":"second.pts"},)" + product + R"("pts":"a.pts"},)" + product +
           R"("pts":"third.pts"})",
       "Error: Failed to read " + native("cases/second.pts"), &kFileNotFound},
      {"a model's margin file missing",
       R"({"product_type":"Model","bounding_box":[],"stl":"m.stl","pts":"none.pts"})",
       "Error: Failed to read " + native("cases/none.pts"), &kFileNotFound},
      {"empty pts names the directory", product + R"("pts":""})",
       "Error: Failed to read " + native("cases/"), &kIsADirectory},
      {"margin file not text and no margin in the case", product + R"("pts":"bad.pts"})",
       "Error: Cannot read margin line coordinates", nullptr},
      {"no tooth number",
       R"({"product_type":"Crown","bounding_box":[0,0,0,0,0,1],"stl":"a.stl","pts":"a.pts"})",
       "Error: Product 1 (stl \"a.stl\") has no tooth number", nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    fs::create_directories(dir_ / "cases");
    write("cases/a.pts", "BEGIN_\n1 2 3\nEND_\n");
    write("cases/bad.pts", "BEGIN_\n\xC3\x28\nEND_\n");
    write("cases/case.json", std::string(kCaseHead) + R"("products":[)" + c.products + "]}");
    write("cases/case.constructionInfo", "previous");
    const Outcome outcome = run({"cases/case.json"});
    EXPECT_EQ(outcome.status, 1);
    EXPECT_EQ(outcome.out, "");
    if (c.cause) {
      EXPECT_TRUE(is_report(outcome.err, c.head, *c.cause));
    } else {
      EXPECT_EQ(outcome.err, c.head + "\n");
    }
    EXPECT_EQ(read("cases/case.constructionInfo"), "previous");
  }
}

// A NUL byte ends a name for the system, so such a name would open another
// file; it names none and stops the run.
TEST_F(GenerationFailures, AMarginFileNameWithANulByteNamesNoFile) {
  write("a.pts", "BEGIN_\n1 2 3\nEND_\n");
  for (const std::string pts : {"a.pts\\u0000x", "a.pts\\u0000", "\\u0000"}) {
    SCOPED_TRACE(pts);
    write("case.json", std::string(kCaseHead) +
                           R"("products":[{"product_type":"Crown","tooth_iso_number":[11],)"
                           R"("bounding_box":[0,0,0,0,0,1],"stl":"a.stl","pts":")" +
                           pts + R"("}]})");
    // The name as the system gets it: the escape turned into its NUL byte.
    const std::size_t escape = pts.find("\\u0000");
    std::string shown = pts.substr(0, escape);
    shown.push_back('\0');
    shown.append(pts, escape + 6);
    const Outcome outcome = run({"case.json"});
    EXPECT_EQ(outcome.status, 1);
    EXPECT_EQ(outcome.out, "");
    EXPECT_EQ(outcome.err, "Error: Failed to read " + shown +
                               "\n\nCaused by:\n    file name contained an unexpected NUL byte\n");
    EXPECT_FALSE(exists("case.constructionInfo"));
  }
}

TEST_F(GenerationFailures, ReportAnOutputThatCannotBeCreated) {
  write("case.json", std::string(kCaseHead) + R"("products":[]})");
  fs::create_directory(dir_ / "taken");
  const struct {
    const char* output;
    const SystemError& cause;
  } cases[] = {
      {"missing/out.xml", kFolderNotFound},
      {"taken", kIsADirectory},
  };
  for (const auto& c : cases) {
    const Outcome outcome = run({"case.json", "--output", c.output});
    EXPECT_EQ(outcome.status, 1) << c.output;
    EXPECT_EQ(outcome.out, "");
    EXPECT_TRUE(
        is_report(outcome.err, std::string("Error: Failed to create ") + c.output, c.cause));
  }
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 2);
}

// An output that is one of the run's own inputs, however it is spelled,
// would lose the case it came from: refused before anything is written,
// every input left as it was and no file added.
TEST_F(GenerationFailures, RefuseAnOutputThatIsAnInputOfTheRun) {
  for (const char* name : {"case7.json", "11_12_bridge.pts", "36_onlay.pts"}) {
    fs::copy_file(fs::path(DAZ_EXAMPLES_DIR) / name, dir_ / name);
  }
  fs::create_directory(dir_ / "sub");
  fs::create_hard_link(dir_ / "36_onlay.pts", dir_ / "second_name.pts");
  std::error_code no_symlinks;  // Windows grants them to few accounts
  fs::create_symlink("case7.json", dir_ / "link.json", no_symlinks);
  const struct {
    std::string json;
    std::string output;
  } cases[] = {
      {"case7.json", "case7.json"},
      {"case7.json", "36_onlay.pts"},
      {"case7.json", "11_12_bridge.pts"},
      {"case7.json", native("./case7.json")},
      {"case7.json", native("sub/../36_onlay.pts")},
      {native("./case7.json"), "case7.json"},
      {"case7.json", "second_name.pts"},
      {"case7.json", "link.json"},
      {"link.json", "case7.json"},
  };
  const auto before = [&] {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir_)) {
      names.insert(entry.path().filename().string() + "=" +
                   (entry.is_regular_file() ? read_bytes(entry.path()) : ""));
    }
    return names;
  };
  const auto inputs = before();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.json + " -o " + c.output);
    if (no_symlinks && (c.output == "link.json" || c.json == "link.json")) {
      continue;
    }
    const Outcome outcome = run({c.json, "-o", c.output});
    EXPECT_EQ(outcome.status, 1);
    EXPECT_EQ(outcome.out, "");
    EXPECT_EQ(outcome.err, "Error: Failed to create " + c.output +
                               "\n\nCaused by:\n    The output is a file that this run reads "
                               "(the case file or a margin line file)\n");
    EXPECT_EQ(before(), inputs);
  }
  // A copy of an input is another file, and is written.
  fs::copy_file(dir_ / "case7.json", dir_ / "copy.json");
  const Outcome copied = run({"case7.json", "-o", "copy.json"});
  EXPECT_EQ(copied.status, 0) << copied.err;
  EXPECT_EQ(read("copy.json"), golden("case7.constructionInfo"));
}

}  // namespace
}  // namespace e2e
