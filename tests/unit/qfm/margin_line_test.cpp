#include "qfm/margin_line.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <limits>
#include <regex>
#include <sstream>
#include <string>

#include "margin_line_steps.h"
#include "margin_lines/margin_line_rows.h"
#include "temporary_folder.h"

namespace qfm {
namespace {

namespace fs = std::filesystem;

class MarginLine : public testing_support::TemporaryFolderTest {
 protected:
  std::expected<PointList, MarginLineError> read(std::string_view content) {
    const fs::path path = dir_ / "line.pts";
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(content.data(), static_cast<std::streamsize>(content.size()));
    return read_margin_line_file(path.string());
  }
};

// The system's error for a missing file. POSIX systems word it alike
// everywhere; Windows words it differently between versions and under Wine,
// so there only its code is fixed.
#ifdef _WIN32
const std::regex kMissingFileError(R"([^\r\n]+ \(os error 2\))");
#else
const std::regex kMissingFileError(R"(No such file or directory \(os error 2\))");
#endif

const PointList kTwoPoints{{1, 2, 3}, {4.5, -6, 0.7}};

TEST_F(MarginLine, ReadsThePointsBetweenTheMarkers) {
  const struct {
    const char* name;
    std::string content;
    PointList points;
  } cases[] = {
      {"plain", "BEGIN_MARGIN\n1 2 3\n4.5 -6 7e-1\nEND_MARGIN\n", kTwoPoints},
      {"crlf", "BEGIN_MARGIN\r\n1 2 3\r\n4.5 -6 7e-1\r\nEND_MARGIN\r\n", kTwoPoints},
      {"tabs and indented markers", "  BEGIN_MARGIN\n1\t2\t3\n\t4.5  -6 7e-1 \n   END_MARGIN",
       kTwoPoints},
      {"unicode white space",
       "BEGIN_\n\xC2\xA0"
       "1\xE2\x80\x83"
       "2\xE3\x80\x80"
       "3\xE2\x80\xA8\n4.5 -6 7e-1\n",
       kTwoPoints},
      {"no final line feed", "BEGIN_X\n1 2 3\n4.5 -6 7e-1", kTwoPoints},
      {"bad lines skipped",
       "BEGIN_MARGIN\n1 2\n1 2 3\n1 2 3 4\n1,5 2 3\nbegin_x\nend_x\n4.5 -6 7e-1\n0x1 2 3\n1e 2 "
       "3\nEND_MARGIN\n",
       kTwoPoints},
      {"words run together are no numbers",
       "BEGIN_\n1 2 3\n1-2 3\n1.5.5 2\n1 2+3\n1e5e5 2 3\n-1.5-2 3\n4.5 -6 7e-1\n", kTwoPoints},
      {"before the begin marker ignored", "1 2 3\nBEGIN_\n1 2 3\nBEGIN_AGAIN\n4.5 -6 7e-1\nEND_",
       kTwoPoints},
      {"after the end marker ignored", "BEGIN_\n1 2 3\n4.5 -6 7e-1\nEND_\n7 8 9\n\xFF\xFE\n",
       kTwoPoints},
      {"number forms", "BEGIN_\n5. .5 +5\n-0 1E+2 1e-400\nEND_", {{5, 0.5, 5}, {-0.0, 100, 0}}},
      {"end before begin", "END_\nBEGIN_\n1 2 3\n", {}},
      {"empty file", "", {}},
      {"no begin marker", "1 2 3\n", {}},
      {"short markers are not markers", "BEGIN\n1 2 3\n", {}},
      {"a bare END does not end the section", "BEGIN_\n1 2 3\nEND\n4.5 -6 7e-1\n", kTwoPoints},
      {"next line and hair space are white space",
       "BEGIN_\n\xC2\x85"
       "1\xE2\x80\x8A"
       "2\xC2\x85"
       "3\n4.5 -6 7e-1\xE2\x80\x8A\n",
       kTwoPoints},
  };
  for (const auto& c : cases) {
    const auto points = read(c.content);
    ASSERT_TRUE(points) << c.name;
    EXPECT_EQ(*points, c.points) << c.name;
  }
}

// Negative zero is a value of its own; == cannot tell it from zero.
TEST_F(MarginLine, KeepsTheSignOfNegativeZero) {
  const auto points = read("BEGIN_\n-0 -0.0 0\nEND_\n");
  ASSERT_TRUE(points);
  ASSERT_EQ(points->size(), 1u);
  EXPECT_TRUE(std::signbit((*points)[0].x));
  EXPECT_TRUE(std::signbit((*points)[0].y));
  EXPECT_FALSE(std::signbit((*points)[0].z));
}

TEST_F(MarginLine, ReadsInfinitiesAndNotANumber) {
  const auto points = read("BEGIN_\nnan inf -Infinity\n1e400 -INF NaN\nEND_\n");
  ASSERT_TRUE(points);
  ASSERT_EQ(points->size(), 2u);
  EXPECT_TRUE(std::isnan((*points)[0].x));
  EXPECT_EQ((*points)[0].y, HUGE_VAL);
  EXPECT_EQ((*points)[0].z, -HUGE_VAL);
  EXPECT_EQ((*points)[1].x, HUGE_VAL);
  EXPECT_EQ((*points)[1].y, -HUGE_VAL);
  EXPECT_TRUE(std::isnan((*points)[1].z));

  // A sign standing alone is a word that is no number, however much white
  // space parts it from a word after it.
  const auto rejected = read(
      "BEGIN_\nnan(1) 2 3\ninfinit 2 3\n0x10 2 3\n1_0 2 3\n1e+ 2 3\n+-1 2 3\n"
      "6 -   INF\n6 +\t\t\tnan\n- inf 3\nEND_\n");
  ASSERT_TRUE(rejected);
  EXPECT_TRUE(rejected->empty());
}

TEST_F(MarginLine, FailsSilentlyOnTextThatIsNotUtf8BeforeTheEnd) {
  for (const char* content :
       {"BEGIN_\n1 2 3\n4 5 6\n7 \xFF 9\nEND_\n", "\xC3\nBEGIN_\n", "BEGIN_\n1 2 3\nEND_\xFF\n"}) {
    const auto points = read(content);
    ASSERT_FALSE(points) << content;
    EXPECT_EQ(points.error().failure, MarginLineFailure::CannotRead);
  }
}

TEST_F(MarginLine, ReadsLinesLongerThanItsBuffer) {
  std::string content =
      "BEGIN_\n" + std::string(20000, ' ') + "1 2 3" + std::string(9000, '\t') + "\n";
  for (int i = 0; i < 5000; ++i) content += "4.5 -6 7e-1\n";
  const auto points = read(content);
  ASSERT_TRUE(points);
  ASSERT_EQ(points->size(), 5001u);
  EXPECT_EQ(points->front(), (Vec3{1, 2, 3}));
  EXPECT_EQ(points->back(), (Vec3{4.5, -6, 0.7}));
}

// Lines split between two pieces of the text read like whole ones,
// wherever the split falls: inside a number, a marker, a CRLF or a
// multi-byte white space character.
// The one rule for a line, as a checker of cases calls it: each kind,
// and the usual point line next to forms that only the full rule reads.
TEST(ClassifyMarginLine, NamesWhatEachLineIs) {
  const struct {
    const char* line;
    bool inside;
    MarginLineKind kind;
    Vec3 point;
  } cases[] = {
      {"", true, MarginLineKind::Blank, {}},
      {" \t\r", false, MarginLineKind::Blank, {}},
      {"  BEGIN_MARGIN\r", false, MarginLineKind::Begin, {}},
      {"BEGIN_X", true, MarginLineKind::Begin, {}},
      {"END_MARGIN", false, MarginLineKind::End, {}},
      {"1 2 3", false, MarginLineKind::Outside, {}},
      {"1 2 3", true, MarginLineKind::Point, {1, 2, 3}},
      {"\t-1.250000  2.5\t.5 \r", true, MarginLineKind::Point, {-1.25, 2.5, 0.5}},
      {"\v1 2 3", true, MarginLineKind::Point, {1, 2, 3}},
      {"+1 2e1 inf", true, MarginLineKind::Point, {1, 20, std::numeric_limits<double>::infinity()}},
      {"1 2 3 4", true, MarginLineKind::Dropped, {}},
      {"1,5 2 3", true, MarginLineKind::Dropped, {}},
      // ':' follows '9' in the byte order; it ends a number's digits.
      {"1.1234567:8 2 3", true, MarginLineKind::Dropped, {}},
      {"1 2 3\xC3", true, MarginLineKind::NotText, {}},
      {"\xFF", false, MarginLineKind::NotText, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    const ClassifiedLine read = classify_margin_line(c.line, c.inside);
    EXPECT_EQ(read.kind, c.kind);
    if (c.kind == MarginLineKind::Point) {
      EXPECT_EQ(read.point, c.point);
    }
  }
}

TEST(MarginLineReader, ReadsTheSameWhereverThePiecesSplit) {
  const std::string text =
      "x\r\nBEGIN_M\r\n1\xE2\x80\x83"
      "2 3\r\n4.5 -6 7e-1\nEND_M\n\xFF";
  for (std::size_t split = 0; split <= text.size(); ++split) {
    MarginLineReader reader;
    if (reader.feed(std::string_view(text).substr(0, split))) {
      if (reader.feed(std::string_view(text).substr(split))) reader.finish();
    }
    EXPECT_FALSE(reader.not_text()) << split;
    EXPECT_EQ(reader.points(), kTwoPoints) << split;
  }
  EXPECT_EQ(parse_margin_line_text(text), kTwoPoints);
  const auto not_text = parse_margin_line_text("BEGIN_\n1 2 3\n\xC3\n");
  ASSERT_FALSE(not_text);
  EXPECT_EQ(not_text.error().message, "stream did not contain valid UTF-8");
}

// A byte that is not UTF-8 fails the text wherever the pieces split: in
// the line before it, in its own line on either side of it, or in the
// piece after it, whether the rest of its piece is valid or not.
TEST(MarginLineReader, FailsOnABadByteWhereverThePiecesSplit) {
  for (const std::string text : {"BEGIN_\n1 2 3\n4 \xFF 6\nEND_\n", "BEGIN_\n1 2 3\n4 5 6\xC3\n"}) {
    for (std::size_t split = 0; split <= text.size(); ++split) {
      SCOPED_TRACE(split);
      MarginLineReader reader;
      if (reader.feed(std::string_view(text).substr(0, split))) {
        if (reader.feed(std::string_view(text).substr(split))) reader.finish();
      }
      EXPECT_TRUE(reader.not_text());
    }
  }
}

// Lines far shorter than usual outgrow the room made from the file's size
// several times over, past the size where the room is advised onto huge
// pages: every point must survive each move, in order.
TEST_F(MarginLine, KeepsEveryPointWhenShortLinesOutgrowTheRoomMadeForThem) {
  constexpr int kCount = 300'000;
  std::string content = "BEGIN_MARGIN\n";
  for (int i = 0; i < kCount; ++i) content += std::to_string(i) + " 0 1\n";
  const auto points = read(content);
  ASSERT_TRUE(points.has_value());
  ASSERT_EQ(points->size(), static_cast<std::size_t>(kCount));
  for (int i = 0; i < kCount; ++i) {
    ASSERT_EQ((*points)[static_cast<std::size_t>(i)], (Vec3{static_cast<double>(i), 0, 1}))
        << "point " << i;
  }
}

TEST_F(MarginLine, CannotOpenAMissingFileOrADirectory) {
  for (const fs::path& path : {dir_ / "missing.pts", dir_}) {
    const auto points = read_margin_line_file(path.string());
    ASSERT_FALSE(points);
    EXPECT_EQ(points.error().failure, MarginLineFailure::CannotOpen);
  }
  const std::string message =
      read_margin_line_file((dir_ / "missing.pts").string()).error().error.message;
  EXPECT_TRUE(std::regex_match(message, kMissingFileError)) << message;
}

// The rows shared with the case checker's test: what the tool reads
// from each file of tests/margin_lines/margin-line-cases.tsv.
namespace shared_rows {

using margin_rows::split;
using margin_rows::unescape;

// "x y z|x y z" as the points' text, read back the same way for both sides,
// so that NaN compares equal to NaN.
std::string points_text(const PointList& points) {
  if (points.empty()) return "none";
  std::string text;
  for (const Vec3& point : points) {
    if (!text.empty()) text += '|';
    for (const double value : {point.x, point.y, point.z}) {
      std::ostringstream number;
      if (std::isnan(value)) {
        number << "nan";
      } else {
        number << value;
      }
      if (!text.empty() && text.back() != '|') text += ' ';
      text += number.str();
    }
  }
  return text;
}

std::string normalised(const std::string& expected) {
  if (expected == "none" || expected == "not text") return expected;
  PointList points;
  for (const std::string& point : split(expected, "|")) {
    std::istringstream words(point);
    std::array<double, 3> values{};
    for (double& value : values) {
      std::string word;
      words >> word;
      value = std::strtod(word.c_str(), nullptr);
    }
    points.push_back({values[0], values[1], values[2]});
  }
  return points_text(points);
}

}  // namespace shared_rows

TEST_F(MarginLine, ReadsEveryFileOfTheTableSharedWithTheChecker) {
  std::ifstream table(std::string(DAZ_SOURCE_DIR) + "/tests/margin_lines/margin-line-cases.tsv");
  ASSERT_TRUE(table);
  int rows = 0;
  for (std::string line; std::getline(table, line);) {
    if (line.empty() || line[0] == '#') continue;
    const auto columns = shared_rows::split(line, "\t");
    ASSERT_EQ(columns.size(), 4u) << line;
    SCOPED_TRACE(columns[0]);
    ++rows;
    const auto points = read(shared_rows::unescape(columns[1]));
    if (columns[2] == "not text") {
      ASSERT_FALSE(points);
      EXPECT_EQ(points.error().failure, MarginLineFailure::CannotRead);
    } else {
      ASSERT_TRUE(points);
      EXPECT_EQ(shared_rows::points_text(*points), shared_rows::normalised(columns[2]));
    }
  }
  EXPECT_GT(rows, 20);
}

}  // namespace
}  // namespace qfm
