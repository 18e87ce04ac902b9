#include "report/margin_thinning.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(ThinLine, KeepsEndsMarkedPointsAndPointsApart) {
  struct Row {
    const char* name;
    std::vector<report::Point2> points;
    std::vector<bool> keep;
    std::vector<std::size_t> expected;
  };
  const Row rows[] = {
      {"empty", {}, {}, {}},
      {"one point", {{1, 1}}, {}, {0}},
      {"close points dropped, ends kept",
       {{0, 0}, {0.1, 0}, {0.2, 0}, {1, 0}, {1.1, 0}, {1.2, 0}},
       {},
       {0, 3, 5}},
      {"marked point kept however close",
       {{0, 0}, {0.1, 0}, {0.2, 0}, {0.3, 0}},
       {false, false, true, false},
       {0, 2, 3}},
      {"measured from the last kept, not the last seen",
       {{0, 0}, {0.4, 0}, {0.8, 0}, {1.2, 0}, {1.6, 0}, {5, 5}},
       {},
       {0, 2, 4, 5}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(report::thin_line(row.points, row.keep, 0.6), row.expected);
  }
}

}  // namespace
