#include "qfm/margin_line.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <limits>
#include <memory>
#include <optional>

#include "platform/input_file.h"
#include "text/decimal_number.h"
#include "text/utf8.h"
#include "text/white_space.h"

namespace qfm {

namespace {

// Case-insensitive match of an ASCII word.
bool equals_ignoring_case(std::string_view text, std::string_view lower_word) {
  if (text.size() != lower_word.size()) return false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != lower_word[i]) return false;
  }
  return true;
}

// A coordinate word in its special forms: inf, infinity or nan in any
// case, after the sign.
std::optional<double> special_coordinate(std::string_view word, bool negative) {
  if (equals_ignoring_case(word, "inf") || equals_ignoring_case(word, "infinity")) {
    const double infinity = std::numeric_limits<double>::infinity();
    return negative ? -infinity : infinity;
  }
  if (equals_ignoring_case(word, "nan")) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    return negative ? -nan : nan;
  }
  return std::nullopt;
}

struct Coordinate {
  double value = 0;
  std::size_t length = 0;  // of its word
};

// The coordinate word at the start of `text` (which holds no white space
// first): an optional sign, then the decimal form or a special word. The
// word must end at white space or at the end of the text.
std::optional<Coordinate> read_coordinate(std::string_view text) {
  const bool signed_word = text[0] == '+' || text[0] == '-';
  const bool negative = text[0] == '-';
  const std::string_view body = text.substr(signed_word ? 1 : 0);
  // A sign must stand right before its digits or word: a lone sign is a
  // word of its own, and no number.
  if (body.empty() || body[0] == '+' || body[0] == '-' || text::white_space_length(body) != 0) {
    return std::nullopt;
  }
  const std::size_t sign_length = signed_word ? 1 : 0;
  if (const auto decimal = text::decimal_prefix_to_double(body)) {
    const std::size_t length = sign_length + decimal->length;
    if (text::white_space_length(text.substr(length)) == 0 && length != text.size())
      return std::nullopt;
    return Coordinate{negative ? -decimal->decimal.value : decimal->decimal.value, length};
  }
  std::string_view rest = body;
  const auto word = text::next_word(rest);
  const auto special = special_coordinate(*word, negative);
  if (!special) return std::nullopt;
  return Coordinate{*special, sign_length + word->size()};
}

bool is_blank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

std::optional<UsualPointLine> scan_usual_point_line(const char* p, const char* end) {
  while (p < end && is_blank(*p)) ++p;
  std::array<double, 3> coordinates{};
  for (std::size_t i = 0; i < coordinates.size(); ++i) {
    if (i > 0) {
      if (p == end || !is_blank(*p)) return std::nullopt;
      while (p < end && is_blank(*p)) ++p;
    }
    const auto value = text::scan_plain_short_decimal(p, end);
    if (!value) return std::nullopt;
    coordinates[i] = *value;
  }
  while (p < end && (is_blank(*p) || *p == '\r')) ++p;
  if (p < end && *p != '\n') return std::nullopt;
  return UsualPointLine{Vec3{coordinates[0], coordinates[1], coordinates[2]}, p};
}

namespace {

// The point of a point line (trimmed, not empty): exactly three coordinate
// words, read where they stand.
std::optional<Vec3> parse_point_line(std::string_view line) {
  std::array<double, 3> coordinates{};
  std::string_view rest = line;
  for (double& coordinate : coordinates) {
    rest = text::skip_white_space(rest);
    if (rest.empty()) return std::nullopt;
    const auto read = read_coordinate(rest);
    if (!read) return std::nullopt;
    coordinate = read->value;
    rest.remove_prefix(read->length);
  }
  // The line is trimmed: anything left is a fourth word.
  if (!rest.empty()) return std::nullopt;
  return Vec3{coordinates[0], coordinates[1], coordinates[2]};
}

common::RunError not_text_error() {
  return common::plain_error("stream did not contain valid UTF-8");
}

// The fewest bytes a point line of a real scan takes ("-12.3456 7.8901
// 3.2109" and its line feed): room for that many points is seldom outgrown.
constexpr std::size_t kUsualPointLineBytes = 24;

// Margin line files are read through a buffer of this size: few system
// calls per file, and the buffer stays in the cache.
constexpr std::size_t kMarginReadSize = 64 * 1024;

// Room made ahead for no more points than this (24 MiB): a huge file that
// turns out not to be a margin line (not text, no markers) must not ask
// for memory in proportion to its size. Longer margins grow as they read.
constexpr std::size_t kMostPointsExpected = std::size_t{1} << 20;

}  // namespace

ClassifiedLine classify_margin_line(std::string_view raw, bool inside) {
  // The usual point line first, read where it stands: ASCII, so text.
  if (inside) {
    const char* const end = raw.data() + raw.size();
    const auto usual = scan_usual_point_line(raw.data(), end);
    if (usual && usual->end == end) return {MarginLineKind::Point, usual->point};
  }
  if (!text::is_valid_utf8(raw)) return {MarginLineKind::NotText};
  const std::string_view line = text::trim_white_space(raw);
  if (line.empty()) return {MarginLineKind::Blank};
  if (line.starts_with("BEGIN_")) return {MarginLineKind::Begin};
  if (line.starts_with("END_")) return {MarginLineKind::End};
  if (!inside) return {MarginLineKind::Outside};
  if (const auto point = parse_point_line(line)) return {MarginLineKind::Point, *point};
  return {MarginLineKind::Dropped};
}

bool MarginLineReader::take_line(std::string_view line) {
  const ClassifiedLine read = classify_margin_line(line, inside_);
  switch (read.kind) {
    case MarginLineKind::NotText:
      not_text_ = true;
      return false;
    case MarginLineKind::End:
      return false;
    case MarginLineKind::Begin:
      inside_ = true;
      return true;
    case MarginLineKind::Point:
      append_point(points_, read.point);
      return true;
    case MarginLineKind::Blank:
    case MarginLineKind::Outside:
    case MarginLineKind::Dropped:
      return true;
  }
  return true;
}

bool MarginLineReader::feed(std::string_view bytes) {
  if (ended_) return false;
  const char* p = bytes.data();
  const char* const end = p + bytes.size();
  while (p < end) {
    // Inside the point section, a usual point line is read in the one scan
    // that also finds its line feed: the first step of
    // classify_margin_line, taken before the line's end is known. Any
    // other line, or one that the piece cuts, takes the whole rule.
    if (inside_ && partial_.empty()) {
      const auto usual = scan_usual_point_line(p, end);
      if (usual && usual->end < end) {
        append_point(points_, usual->point);
        p = usual->end + 1;
        continue;
      }
    }
    const auto* feed =
        static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(end - p)));
    if (feed == nullptr) {
      partial_.append(p, end);
      return true;
    }
    std::string_view line(p, static_cast<std::size_t>(feed - p));
    p = feed + 1;
    if (!partial_.empty()) {
      partial_.append(line);
      line = partial_;
    }
    const bool more = take_line(line);
    partial_.clear();
    if (!more) {
      ended_ = true;
      return false;
    }
  }
  return true;
}

void MarginLineReader::expect_text_of(std::size_t bytes) {
  reserve_points(points_, std::min(bytes / kUsualPointLineBytes, kMostPointsExpected));
}

void MarginLineReader::finish() {
  if (ended_) return;
  ended_ = true;
  if (!partial_.empty()) {
    (void)take_line(partial_);
    partial_.clear();
  }
}

std::expected<PointList, common::RunError> parse_margin_line_text(std::string_view text) {
  MarginLineReader reader;
  reader.expect_text_of(text.size());
  reader.feed(text);
  reader.finish();
  if (reader.not_text()) return std::unexpected(not_text_error());
  return std::move(reader.points());
}

common::Result<platform::InputFile> open_margin_line(const std::string& path) {
  return platform::InputFile::open(path, platform::Accept::RegularFileOnly);
}

common::Result<PointList> read_margin_line(platform::InputFile& file) {
  const std::size_t size = file.size_hint();
  MarginLineReader reader;
  reader.expect_text_of(size);
  // Room for the reads, not cleared first: only what a read fills is used.
  // A small file's room is its size and the byte that finds its end.
  const std::size_t room = size != 0 && size < kMarginReadSize ? size + 1 : kMarginReadSize;
  const std::unique_ptr<char[]> buffer(new char[room]);
  for (;;) {
    auto count = file.read(buffer.get(), room);
    if (!count) return std::unexpected(count.error());
    if (*count == 0) {
      reader.finish();
      break;
    }
    if (!reader.feed(std::string_view(buffer.get(), *count))) break;
  }
  if (reader.not_text()) return std::unexpected(not_text_error());
  return std::move(reader.points());
}

}  // namespace qfm
