// Inputs far beyond any real case, made by the tests themselves: deep
// nesting, a huge string, a huge margin line file and a huge line. Each
// must end in a result or a message, never a crash, with peak memory
// within a small multiple of the input. Every reading runs in a child
// process that measures its own time and peak memory.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "margin_line_steps.h"
#include "measured_child.h"
#include "qfm/case_metadata_parser.h"
#include "qfm/margin_line.h"
#include "temporary_folder.h"

namespace qfm {
namespace {

namespace fs = std::filesystem;
using testing_support::ChildReport;
using testing_support::run_measured;

constexpr std::size_t kMiB = 1024 * 1024;
constexpr std::size_t kMillion = 1'000'000;

constexpr std::string_view kCaseFields =
    R"("machine":"M","material":"ZIRCONIUM","material_brand_reference":"")";

// What a reading gave, as one comparable line.
std::string case_outcome(std::string_view text) {
  const auto result = parse_case_metadata(text);
  if (!result) return "error: " + result.error().text();
  return "machine of " + std::to_string(result->machine.size()) + " bytes, material " +
         result->material + ", " + std::to_string(result->products.size()) + " products";
}

std::string margin_outcome(const fs::path& path) {
  const auto points = read_margin_line_file(path.string());
  if (!points) return "error: " + points.error().error.message;
  std::string outcome = std::to_string(points->size()) + " points";
  if (!points->empty()) {
    const Vec3& last = points->back();
    outcome += ", last " + std::to_string(last.x) + " " + std::to_string(last.y) + " " +
               std::to_string(last.z);
  }
  return outcome;
}

// Runs `work`, prints what it cost and checks that it finished within
// `multiple` times `input_bytes` of memory (plus a little for the
// program's own buffers).
std::string measure(const char* name, std::size_t input_bytes, double multiple,
                    const std::function<std::string()>& work) {
  const ChildReport report = run_measured(work);
  EXPECT_TRUE(report.finished) << name << " crashed";
  std::printf("[huge] %s: input %.1f MiB, peak %.1f MiB, %.2f s\n", name,
              static_cast<double>(input_bytes) / kMiB,
              static_cast<double>(report.peak_bytes) / kMiB, report.seconds);
  if (!testing_support::memory_is_instrumented()) {
    const auto limit = static_cast<std::size_t>(multiple * static_cast<double>(input_bytes));
    EXPECT_LE(report.peak_bytes, limit + 16 * kMiB) << name;
  }
  return report.outcome;
}

// Reading hundreds of megabytes takes seconds when optimized and about ten
// times as long without; unoptimized builds leave those tests out, and
// scripts/huge-inputs.sh runs them in a release build.
#if defined(__OPTIMIZE__)
constexpr bool kOptimized = true;
#else
constexpr bool kOptimized = false;
#endif
constexpr const char* kUnoptimized = "too slow unoptimized; scripts/huge-inputs.sh runs it";

std::string nested(std::size_t depth) { return std::string(depth, '[') + std::string(depth, ']'); }

TEST(HugeInput, ANestingOfAMillionInASkippedMemberIsSkipped) {
  const std::string rest = "," + std::string(kCaseFields) + R"(,"products":[]})";
  std::string objects;
  for (std::size_t i = 0; i < kMillion; ++i) objects += R"({"a":)";
  objects += "0" + std::string(kMillion, '}');
  const struct {
    const char* name;
    std::string after_name;  // the member's value and the rest of the text
    std::string outcome;
  } cases[] = {
      {"arrays", nested(kMillion) + rest, "machine of 1 bytes, material ZR, 0 products"},
      {"objects", objects + rest, "machine of 1 bytes, material ZR, 0 products"},
      {"unclosed arrays", std::string(kMillion, '['),
       "error: EOF while parsing a list at line 1 column 1000011"},
  };
  for (const auto& c : cases) {
    const std::string text = R"({"skipped":)" + c.after_name;
    const std::string outcome =
        measure(c.name, text.size(), 4, [&text] { return case_outcome(text); });
    EXPECT_EQ(outcome, c.outcome) << c.name;
  }
}

TEST(HugeInput, ANestingOfAMillionInAToothNumberListHitsTheDepthLimit) {
  const std::string before = "{" + std::string(kCaseFields) +
                             R"(,"products":[{"product_type":"Crown","tooth_iso_number":[)";
  const std::string text =
      before + nested(kMillion) + R"(],"bounding_box":[0,0,0,0,0,0],"stl":"a.stl"}]})";
  const std::string outcome =
      measure("tooth numbers", text.size(), 4, [&text] { return case_outcome(text); });
  // The case, the product list, the product and the tooth number list are
  // four levels; the 124th bracket inside is the 128th, one too many.
  EXPECT_EQ(outcome, "error: recursion limit exceeded at line 1 column " +
                         std::to_string(before.size() + 124));
}

TEST(HugeInput, AStringOf200MiBIsRead) {
  if (!kOptimized) GTEST_SKIP() << kUnoptimized;
  constexpr std::size_t kLength = 200 * kMiB;
  constexpr std::size_t kInputBytes = kLength + 200;
  const struct {
    const char* name;
    std::string_view start;  // escapes make the reader copy the string
    std::size_t machine_bytes;
  } cases[] = {
      {"plain string", "", kLength},
      {"escaped string", "\\n", kLength + 1},
  };
  for (const auto& c : cases) {
    const std::string outcome = measure(c.name, kInputBytes, 4, [&c] {
      std::string text;
      text.reserve(kInputBytes);
      text += R"({"machine":")";
      text += c.start;
      text.append(kLength, 'a');
      text += R"(","material":"ZIRCONIUM","material_brand_reference":"","products":[]})";
      return case_outcome(text);
    });
    EXPECT_EQ(outcome,
              "machine of " + std::to_string(c.machine_bytes) + " bytes, material ZR, 0 products")
        << c.name;
  }
}

class HugeMarginLine : public testing_support::TemporaryFolderTest {
 protected:
  void SetUp() override {
    if (!kOptimized) GTEST_SKIP() << kUnoptimized;
    TemporaryFolderTest::SetUp();
    path_ = dir_ / "huge.pts";
  }

  // Writes `head`, then `block` `count` times, then `tail`.
  std::size_t write(std::string_view head, std::string_view block, std::size_t count,
                    std::string_view tail) {
    std::ofstream out(path_, std::ios::binary | std::ios::trunc);
    out << head;
    for (std::size_t i = 0; i < count; ++i) out << block;
    out << tail;
    return head.size() + block.size() * count + tail.size();
  }

  fs::path path_;
};

TEST_F(HugeMarginLine, TenMillionPointsAreRead) {
  // 1000 point lines of 15 bytes per block. Under AddressSanitizer ten
  // million take over a minute, so it reads a tenth of them.
  std::string block;
  for (int i = 0; i < 1000; ++i) block += "1.25 -2.5 3.75\n";
  const std::size_t blocks = testing_support::memory_is_instrumented() ? 1'000 : 10'000;
  const std::size_t bytes = write("BEGIN_MARGIN\n", block, blocks, "0 0 7\nEND_MARGIN\n");
  // The points take 24 bytes each against 15 in the file, and growing
  // their list briefly holds the old list and the new one.
  const std::string points = std::to_string(blocks * 1000 + 1) + " points";
  const std::string outcome =
      measure(points.c_str(), bytes, 3.5, [this] { return margin_outcome(path_); });
  EXPECT_EQ(outcome, points + ", last 0.000000 0.000000 7.000000");
}

TEST_F(HugeMarginLine, ALineOf100MiBWithoutLineFeedIsRead) {
  const std::string block(kMiB, '0');
  const std::size_t bytes = write("BEGIN_MARGIN\n1.", block, 100, " 2 3");
  const std::string outcome =
      measure("one line of 100 MiB", bytes, 3, [this] { return margin_outcome(path_); });
  EXPECT_EQ(outcome, "1 points, last 1.000000 2.000000 3.000000");
}

}  // namespace
}  // namespace qfm
