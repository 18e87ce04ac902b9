// Margin line files: the points between a BEGIN_ and an END_ marker line.
// The text is read by MarginLineReader, fed in pieces of any size, so the
// same rules serve a file streamed through a buffer and a text in memory.
#pragma once

#include <expected>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/run_error.h"
#include "platform/input_file.h"
#include "qfm/case_metadata.h"

namespace qfm {

// What a line of a margin line file is, by the one rule that decides which
// lines give points and which are ignored.
enum class MarginLineKind {
  Blank,    // empty or white space alone: ignored
  Begin,    // starts with BEGIN_ once trimmed: the point section begins
  End,      // starts with END_ once trimmed: reading ends here
  Point,    // a point line inside the section: one point
  Dropped,  // inside the section, not a point line: ignored
  Outside,  // any other line before the section: ignored
  NotText,  // not UTF-8: reading fails
};

struct ClassifiedLine {
  MarginLineKind kind = MarginLineKind::Blank;
  Vec3 point{};  // for Point
};

// The rule for one line (without its line feed), `inside` once a Begin
// line has been read (and no End line yet).
ClassifiedLine classify_margin_line(std::string_view line, bool inside);

// The usual point line read from `p` on: spaces or tabs, three plain
// decimals ("-"? digits, "." and digits) parted by spaces or tabs, then
// spaces, tabs or a carriage return up to a line feed or `end`. Its point
// and where it stops (its line feed, or `end`); none for any other line,
// which classify_margin_line reads in full. That function's first step,
// and the reader's scan of a whole line in one pass.
struct UsualPointLine {
  Vec3 point;
  const char* end;
};
std::optional<UsualPointLine> scan_usual_point_line(const char* p, const char* end);

// Reads margin line text fed in pieces. Lines that lie whole in a piece
// are read in place; only a line split between pieces is copied.
class MarginLineReader {
 public:
  // Takes the next bytes of the text. False once reading has ended: at an
  // end marker, or at a line that is not UTF-8 (then `not_text()`).
  bool feed(std::string_view bytes);
  // The end of the text: a last line without line feed is read now.
  void finish();

  // Makes room for the points a text of `bytes` usually holds, so that a
  // long margin is not copied as it grows.
  void expect_text_of(std::size_t bytes);

  bool not_text() const { return not_text_; }
  // The points read, in text order (meaningless once `not_text()`).
  PointList& points() { return points_; }

 private:
  // One line without its line feed; false once reading has ended.
  bool take_line(std::string_view line);

  PointList points_;
  std::string partial_;  // the start of a line that the next piece ends
  bool inside_ = false;
  bool ended_ = false;
  bool not_text_ = false;
};

// The points of a whole margin line text, or none when a line up to and
// including the end marker is not UTF-8.
std::expected<PointList, common::RunError> parse_margin_line_text(std::string_view text);

// Opens the margin line file at `path`: a regular file only, refused
// before anything is read when it is not (see platform::Accept). Fails with
// the system's error or that refusal.
common::Result<platform::InputFile> open_margin_line(const std::string& path);

// The points of an opened margin line file, in file order; fails when
// reading fails (an input error, or a line that is not UTF-8).
common::Result<PointList> read_margin_line(platform::InputFile& file);

}  // namespace qfm
