#include "qfm/margin_line.h"

#include <array>
#include <cmath>
#include <limits>
#include <optional>

#include "common/decimal_number.h"
#include "common/input_file.h"
#include "common/utf8.h"
#include "qfm/white_space.h"

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

// A coordinate word: the decimal form with an optional sign, or inf,
// infinity or nan in any case.
std::optional<double> parse_coordinate(std::string_view word) {
  bool negative = false;
  std::string_view body = word;
  if (!body.empty() && (body[0] == '+' || body[0] == '-')) {
    negative = body[0] == '-';
    body.remove_prefix(1);
  }
  if (equals_ignoring_case(body, "inf") || equals_ignoring_case(body, "infinity")) {
    const double infinity = std::numeric_limits<double>::infinity();
    return negative ? -infinity : infinity;
  }
  if (equals_ignoring_case(body, "nan")) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    return negative ? -nan : nan;
  }
  if (body.empty() || body[0] == '-' || body[0] == '+') return std::nullopt;
  const auto value = common::decimal_to_double(body);
  if (!value) return std::nullopt;
  return negative ? -value->value : value->value;
}

// The point of a point line: exactly three coordinate words.
std::optional<Vec3> parse_point_line(std::string_view line) {
  std::array<double, 3> coordinates{};
  std::size_t count = 0;
  std::string_view rest = line;
  while (const auto word = next_word(rest)) {
    if (count == coordinates.size()) return std::nullopt;
    const auto value = parse_coordinate(*word);
    if (!value) return std::nullopt;
    coordinates[count++] = *value;
  }
  if (count != coordinates.size()) return std::nullopt;
  return Vec3{coordinates[0], coordinates[1], coordinates[2]};
}

// Hands out the lines of a file read through a fixed 8 KiB buffer.
class LineReader {
 public:
  explicit LineReader(common::InputFile file) : file_(std::move(file)) {}

  // The next line without its line feed; none at the end of the file.
  common::Result<std::optional<std::string_view>> next() {
    line_.clear();
    for (;;) {
      if (start_ == end_) {
        auto count = file_.read(buffer_.data(), buffer_.size());
        if (!count) return std::unexpected(count.error());
        if (*count == 0) {
          if (line_.empty() && at_end_of_line_) return std::optional<std::string_view>{};
          at_end_of_line_ = true;
          return std::optional<std::string_view>{line_};
        }
        start_ = 0;
        end_ = *count;
      }
      at_end_of_line_ = false;
      const std::string_view chunk(buffer_.data() + start_, end_ - start_);
      const std::size_t feed = chunk.find('\n');
      if (feed != std::string_view::npos) {
        line_.append(chunk.substr(0, feed));
        start_ += feed + 1;
        at_end_of_line_ = true;
        return std::optional<std::string_view>{line_};
      }
      line_.append(chunk);
      start_ = end_;
    }
  }

 private:
  common::InputFile file_;
  std::array<char, 8192> buffer_{};
  std::size_t start_ = 0;
  std::size_t end_ = 0;
  bool at_end_of_line_ = true;
  std::string line_;
};

}  // namespace

std::expected<std::vector<Vec3>, MarginLineError> read_margin_line(const std::string& path) {
  auto file = common::InputFile::open(path);
  if (!file) return std::unexpected(MarginLineError{MarginLineFailure::CannotOpen, file.error()});
  LineReader reader(std::move(*file));
  std::vector<Vec3> points;
  bool inside = false;
  for (;;) {
    auto raw = reader.next();
    if (!raw) return std::unexpected(MarginLineError{MarginLineFailure::CannotRead, raw.error()});
    if (!*raw) return points;
    if (!common::is_valid_utf8(**raw)) {
      return std::unexpected(
          MarginLineError{MarginLineFailure::CannotRead,
                          common::plain_error("stream did not contain valid UTF-8")});
    }
    const std::string_view line = trim_white_space(**raw);
    if (line.empty()) continue;
    if (line.starts_with("BEGIN_")) {
      inside = true;
      continue;
    }
    if (line.starts_with("END_")) return points;
    if (!inside) continue;
    if (const auto point = parse_point_line(line)) points.push_back(*point);
  }
}

}  // namespace qfm
