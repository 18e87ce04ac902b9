#include "common/run_error.h"

#include <gtest/gtest.h>

namespace common {
namespace {

TEST(RenderReport, LaysOutCausesByTheirCount) {
  struct Case {
    const char* name;
    RunError error;
    const char* expected;
  };
  const Case cases[] = {
      {"no cause", plain_error("file should have a name"), "Error: file should have a name\n"},
      {"one cause",
       wrap_error("Failed to read file a.json", plain_error("No such file (os error 2)")),
       "Error: Failed to read file a.json\n\nCaused by:\n    No such file (os error 2)\n"},
      {"one cause over two lines", RunError{"m", {"first\n  second"}},
       "Error: m\n\nCaused by:\n    first\n      second\n"},
      {"two causes", RunError{"m", {"a", "b\nc"}},
       "Error: m\n\nCaused by:\n    0: a\n    1: b\n       c\n"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(render_report(c.error), c.expected) << c.name;
  }
}

TEST(RenderReport, RightAlignsPositionsPastNine) {
  RunError error{"m", {}};
  for (int i = 0; i < 11; ++i) error.causes.push_back("c");
  const std::string report = render_report(error);
  EXPECT_NE(report.find("\n    9: c\n   10: c\n"), std::string::npos) << report;
}

TEST(WrapError, KeepsTheLowerCausesAfterItsMessage) {
  const RunError lower{"parse", {"inner"}};
  const RunError wrapped = wrap_error("outer", lower);
  EXPECT_EQ(wrapped.message, "outer");
  EXPECT_EQ(wrapped.causes, (std::vector<std::string>{"parse", "inner"}));
}

TEST(WrapError, KeepsThePlaceOfTheInnermostFault) {
  const RunError wrapped = wrap_error(
      "outer", wrap_error("middle", placed_error("fault at line 2 column 5", {7, 2, 5})));
  ASSERT_TRUE(wrapped.place);
  EXPECT_EQ(wrapped.place->offset, 7u);
  EXPECT_EQ(wrapped.place->line, 2u);
  EXPECT_EQ(wrapped.place->column, 5u);
  EXPECT_FALSE(wrap_error("outer", plain_error("no text read")).place);
}

}  // namespace
}  // namespace common
