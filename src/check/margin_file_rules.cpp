#include "check/margin_file_rules.h"

#include <optional>
#include <utility>

#include "qfm/margin_line.h"
#include "text/quoted_text.h"
#include "text/utf8.h"
#include "text/white_space.h"

namespace check {

namespace {

using qfm::MarginLineKind;

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// The column (from 1, in characters) of byte `offset` of `line`.
std::size_t column_of(std::string_view line, std::size_t offset) {
  std::size_t column = 1;
  for (std::size_t i = 0; i < offset && i < line.size(); ++i) {
    if ((static_cast<unsigned char>(line[i]) & 0xC0) != 0x80) ++column;
  }
  return column;
}

// Whether the reader takes `word` as a coordinate: asked of the reader's
// own rule, on a point line that holds it.
bool is_number_word(std::string_view word) {
  const std::string line = std::string(word) + " 0 0";
  return qfm::classify_margin_line(line, true).kind == MarginLineKind::Point;
}

bool is_letter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// "1.5mm": a number with letters after it.
std::optional<std::string_view> unit_of(std::string_view word) {
  std::size_t end = word.size();
  while (end > 0 && is_letter(word[end - 1])) --end;
  if (end == 0 || end == word.size() || !is_number_word(word.substr(0, end))) return std::nullopt;
  return word.substr(end);
}

bool is_digit(char c) { return c >= '0' && c <= '9'; }

struct Word {
  std::string_view text;
  std::size_t offset;  // in the line
};

std::vector<Word> words_of(std::string_view line) {
  std::vector<Word> words;
  std::string_view rest = line;
  while (const auto word = text::next_word(rest)) {
    words.push_back({*word, static_cast<std::size_t>(word->data() - line.data())});
  }
  return words;
}

// Why a line inside the point section is not a point, with the byte of the
// line where the reason shows, and whether the line was meant as one (its
// words numbers, or numbers written wrong) rather than other text.
struct Reason {
  std::size_t offset;
  std::string message;
  bool meant_as_point = true;
};

Reason why_dropped(std::string_view line) {
  const std::string_view trimmed = text::trim_white_space(line);
  const std::size_t start = static_cast<std::size_t>(trimmed.data() - line.data());
  if (const std::size_t comma = trimmed.find(','); comma != std::string_view::npos) {
    const bool decimal = comma > 0 && comma + 1 < trimmed.size() && is_digit(trimmed[comma - 1]) &&
                         is_digit(trimmed[comma + 1]) &&
                         (comma + 2 >= trimmed.size() || trimmed[comma + 2] != ',');
    const bool separator_only = words_of(trimmed).size() == 1;
    return {start + comma,
            decimal && !separator_only
                ? "a decimal comma: the line is dropped (write 1.5, not 1,5)"
                : "commas between the numbers: the line is dropped (part the three numbers "
                  "with spaces)"};
  }
  if (const std::size_t semicolon = trimmed.find(';'); semicolon != std::string_view::npos) {
    return {start + semicolon,
            "\";\" between the numbers: the line is dropped (part the three numbers with spaces)"};
  }
  const auto words = words_of(line);
  std::size_t numbers = 0;
  for (const Word& word : words) {
    if (is_number_word(word.text)) {
      ++numbers;
      continue;
    }
    if (const auto unit = unit_of(word.text)) {
      return {word.offset + word.text.size() - unit->size(),
              "a unit after a number (" + text::quote_for_message(*unit) +
                  "): the line is dropped (numbers alone, in millimetres)"};
    }
    return {word.offset,
            "not a point line (" + text::quote_for_message(word.text) +
                " is no number): the line is dropped",
            false};
  }
  return {start, std::to_string(numbers) + (numbers == 1 ? " number" : " numbers") +
                     ", not three: the line is dropped"};
}

// Lines run together by carriage returns without line feeds (old Mac line
// ends): the byte of the first such return, if the line has one inside.
std::optional<std::size_t> lone_carriage_return(std::string_view line) {
  const std::string_view trimmed = text::trim_white_space(line);
  const std::size_t at = trimmed.find('\r');
  if (at == std::string_view::npos) return std::nullopt;
  return static_cast<std::size_t>(trimmed.data() - line.data()) + at;
}

// The first byte of `line` where its text stops being UTF-8.
std::size_t first_byte_not_text(std::string_view line) {
  std::size_t offset = 0;
  while (offset < line.size()) {
    const std::size_t length = text::utf8_sequence_length(line.substr(offset));
    if (length == 0) return offset;
    offset += length;
  }
  return offset;
}

}  // namespace

std::vector<LineFinding> check_margin_line_text(std::string_view bytes) {
  std::vector<LineFinding> findings;
  if (bytes.starts_with(kByteOrderMark)) {
    findings.push_back({1, 1,
                        "byte-order mark: the first line is not read as written (save the file "
                        "as UTF-8 without BOM)"});
  }
  bool inside = false;
  bool ended = false;
  // A point outside the section is told once per file: a file whose
  // markers are missing or misread has many.
  bool told_before = false;
  bool told_after = false;
  std::optional<std::size_t> end_line;
  std::size_t points_read = 0;
  std::size_t number = 0;
  std::string_view rest = bytes;
  while (!rest.empty()) {
    ++number;
    const std::size_t feed = rest.find('\n');
    const std::string_view line = rest.substr(0, feed);
    rest = feed == std::string_view::npos ? std::string_view() : rest.substr(feed + 1);
    if (ended) {
      // Nothing after the end marker is read; a point there is lost.
      if (!told_after && qfm::classify_margin_line(line, true).kind == MarginLineKind::Point) {
        findings.push_back({number,
                            column_of(line, line.size() - text::skip_white_space(line).size()),
                            "a point after the END_ line: not read (nor any line after it)"});
        told_after = true;
      }
      continue;
    }
    const qfm::ClassifiedLine reading = qfm::classify_margin_line(line, inside);
    if (reading.kind == MarginLineKind::NotText) {
      const std::size_t at = first_byte_not_text(line);
      findings.push_back({number, column_of(line, at),
                          "not UTF-8: the tool reads no point of this file (the product keeps "
                          "the margin line of its case file, if any)"});
      // No margin is loaded from this file for a point to stand in.
      for (LineFinding& finding : findings) finding.point.reset();
      return findings;
    }
    if (reading.kind != MarginLineKind::Blank && reading.kind != MarginLineKind::Point) {
      if (const auto at = lone_carriage_return(line)) {
        findings.push_back({number, column_of(line, *at),
                            "carriage returns without line feeds (old Mac line ends): the "
                            "lines run together and are not read as lines"});
        if (reading.kind == MarginLineKind::Begin) inside = true;
        if (reading.kind == MarginLineKind::End) ended = true;
        continue;
      }
    }
    switch (reading.kind) {
      case MarginLineKind::Point:
        ++points_read;
        break;
      case MarginLineKind::Blank:
      case MarginLineKind::NotText:  // told above
        break;
      case MarginLineKind::Begin:
        inside = true;
        break;
      case MarginLineKind::End:
        ended = true;
        end_line = number;
        break;
      case MarginLineKind::Outside:
        if (!told_before && qfm::classify_margin_line(line, true).kind == MarginLineKind::Point) {
          told_before = true;
          findings.push_back(
              {number, column_of(line, line.size() - text::skip_white_space(line).size()),
               "a point before the first BEGIN_ line: ignored (as is every one before it)"});
        }
        break;
      case MarginLineKind::Dropped: {
        Reason reason = why_dropped(line);
        findings.push_back({number, column_of(line, reason.offset), std::move(reason.message),
                            reason.meant_as_point ? std::optional(points_read) : std::nullopt});
        break;
      }
    }
  }
  if (!inside) {
    if (end_line) {
      findings.push_back({*end_line, 1,
                          "an END_ line before any BEGIN_ line: reading stops here, the margin "
                          "is empty"});
    } else {
      findings.push_back({1, 1, "no BEGIN_ line: the margin is empty"});
    }
  }
  return findings;
}

std::optional<std::vector<TextPosition>> point_positions(std::string_view bytes) {
  std::vector<TextPosition> positions;
  bool inside = false;
  std::size_t number = 0;
  std::string_view rest = bytes;
  while (!rest.empty()) {
    ++number;
    const std::size_t feed = rest.find('\n');
    const std::string_view line = rest.substr(0, feed);
    rest = feed == std::string_view::npos ? std::string_view() : rest.substr(feed + 1);
    switch (qfm::classify_margin_line(line, inside).kind) {
      case MarginLineKind::Begin:
        inside = true;
        break;
      case MarginLineKind::End:
        return positions;
      case MarginLineKind::NotText:
        return std::nullopt;
      case MarginLineKind::Point:
        positions.push_back(
            {number, column_of(line, line.size() - text::skip_white_space(line).size())});
        break;
      case MarginLineKind::Blank:
      case MarginLineKind::Dropped:
      case MarginLineKind::Outside:
        break;
    }
  }
  return positions;
}

}  // namespace check
