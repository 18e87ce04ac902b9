#include "mesh/stl_layout.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <string>

#include "text/quoted_text.h"

namespace mesh {

namespace {

constexpr std::size_t kBinaryHeaderSize = 84;
constexpr std::size_t kBinaryFacetSize = 50;
// Longer words are cut in a message: they are junk, not words.
constexpr std::size_t kLongestQuotedWord = 40;
// How many first bytes tell text from binary: a binary STL's label and its
// first facets.
constexpr std::size_t kTextProbe = 1024;

std::uint32_t little_endian_count(std::string_view bytes) {
  std::uint32_t count = 0;
  for (int i = 3; i >= 0; --i) {
    count = (count << 8) | static_cast<unsigned char>(bytes[80 + static_cast<std::size_t>(i)]);
  }
  return count;
}

// The C library's white space, which the STL library's scanf reads between
// words.
bool is_space(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Text: no control byte but white space. Bytes from 0x80 are let through
// (a solid's name in UTF-8); a binary STL's floats hold NUL bytes and other
// control bytes within their first facets.
bool is_text(std::string_view bytes) {
  return std::all_of(bytes.begin(), bytes.end(), [](char c) {
    const auto byte = static_cast<unsigned char>(c);
    return is_space(c) || (byte >= 0x20 && byte != 0x7F);
  });
}

bool same_word(std::string_view word, std::string_view lower) {
  return word.size() == lower.size() &&
         std::equal(word.begin(), word.end(), lower.begin(), [](char a, char b) {
           return (a >= 'A' && a <= 'Z' ? static_cast<char>(a - 'A' + 'a') : a) == b;
         });
}

// A number that scanf's %f reads whole: every byte of the word is the
// number (a leading "+" allowed), so the library's next read starts at the
// next word, as this scan does.
bool is_whole_number(std::string_view word) {
  if (!word.empty() && word.front() == '+') {
    word.remove_prefix(1);
    if (!word.empty() && word.front() == '-') return false;
  }
  double value = 0;
  const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
  return !word.empty() && end == word.data() + word.size() &&
         (error == std::errc{} || error == std::errc::result_out_of_range);
}

std::string quoted_word(std::string_view word) {
  return text::quote_for_message(word.substr(0, kLongestQuotedWord));
}

// The words of an ASCII STL, with the line each starts on.
class Words {
 public:
  explicit Words(std::string_view text) : text_(text) {}
  // The next word; empty at the end of the text.
  std::string_view next() {
    while (at_ < text_.size() && is_space(text_[at_])) {
      if (text_[at_] == '\n') ++line_;
      ++at_;
    }
    const std::size_t start = at_;
    while (at_ < text_.size() && !is_space(text_[at_])) ++at_;
    return text_.substr(start, at_ - start);
  }
  std::size_t line() const { return line_; }
  // Passes the rest of the current line and its line feed; false when no
  // line feed follows.
  bool skip_line() {
    const std::size_t feed = text_.find('\n', at_);
    if (feed == std::string_view::npos) return false;
    at_ = feed + 1;
    ++line_;
    return true;
  }

 private:
  std::string_view text_;
  std::size_t at_ = 0;
  std::size_t line_ = 1;
};

// One item of a facet: a word that must be there, or a number.
struct Item {
  std::string_view word;  // empty for a number
};
constexpr Item kFacetItems[] = {{"normal"}, {""},       {""}, {""},        {"outer"},
                                {"loop"},   {"vertex"}, {""}, {""},        {""},
                                {"vertex"}, {""},       {""}, {""},        {"vertex"},
                                {""},       {""},       {""}, {"endloop"}, {"endfacet"}};

std::unexpected<StlError> fault(StlFault kind, std::string message) {
  return std::unexpected(StlError{kind, std::move(message)});
}

std::expected<StlLayout, StlError> lay_out_ascii(std::string_view text) {
  Words words(text);
  words.next();  // "solid", checked by the caller
  // The library skips the first line whole (the solid's name).
  if (!words.skip_line()) {
    return fault(StlFault::AsciiCutShort, "an ASCII STL that ends on its first line");
  }
  std::size_t facets = 0;
  for (;;) {
    const std::string_view word = words.next();
    if (word.empty()) {
      return fault(StlFault::AsciiCutShort, "an ASCII STL that ends after " +
                                                std::to_string(facets) +
                                                " facets, without \"endsolid\"");
    }
    if (same_word(word, "endsolid")) break;
    if (!same_word(word, "facet")) {
      return fault(StlFault::AsciiMalformed, "an ASCII STL with " + quoted_word(word) +
                                                 " on line " + std::to_string(words.line()) +
                                                 " where \"facet\" or \"endsolid\" belongs");
    }
    for (const Item& item : kFacetItems) {
      const std::string_view next = words.next();
      if (next.empty()) {
        return fault(StlFault::AsciiCutShort,
                     "an ASCII STL that ends inside facet " + std::to_string(facets + 1));
      }
      const bool fits = item.word.empty() ? is_whole_number(next) : same_word(next, item.word);
      if (!fits) {
        // Put together by appending: GCC 12 at -O2 takes a chain of
        // + here for an overlapping copy (-Wrestrict).
        std::string message = "an ASCII STL with " + quoted_word(next);
        message.append(" on line ").append(std::to_string(words.line())).append(" where ");
        if (item.word.empty()) {
          message.append("a number");
        } else {
          message.append("\"").append(item.word).append("\"");
        }
        message.append(" belongs");
        return fault(StlFault::AsciiMalformed, std::move(message));
      }
    }
    ++facets;
  }
  if (facets == 0) return fault(StlFault::ZeroFacets, "an ASCII STL of no facet");
  return StlLayout{StlForm::Ascii, facets};
}

bool begins_with_solid(std::string_view bytes) {
  Words words(bytes);
  const std::string_view first = words.next();
  return words.line() == 1 && same_word(first, "solid");
}

}  // namespace

std::expected<StlLayout, StlError> lay_out_stl(std::string_view bytes) {
  if (bytes.size() >= kBinaryHeaderSize) {
    const std::uint64_t count = little_endian_count(bytes);
    const std::uint64_t room = (bytes.size() - kBinaryHeaderSize) / kBinaryFacetSize;
    const std::uint64_t over = (bytes.size() - kBinaryHeaderSize) % kBinaryFacetSize;
    if (count == room && over == 0) {
      if (count == 0) return fault(StlFault::ZeroFacets, "a binary STL of no facet");
      return StlLayout{StlForm::Binary, static_cast<std::size_t>(count)};
    }
    if (!is_text(bytes.substr(0, kTextProbe))) {
      std::string message = "a binary STL whose header counts " + std::to_string(count) +
                            " facets, but whose " + std::to_string(bytes.size()) + " bytes hold " +
                            std::to_string(room);
      if (over != 0) message += " and " + std::to_string(over) + " bytes more";
      return fault(StlFault::SizeMismatch, std::move(message));
    }
  }
  if (bytes.empty()) return fault(StlFault::NotStl, "not an STL: an empty file");
  if (!is_text(bytes.substr(0, kTextProbe))) {
    return fault(StlFault::NotStl, "not an STL: " + std::to_string(bytes.size()) +
                                       " bytes, fewer than a binary STL's header");
  }
  if (!begins_with_solid(bytes)) {
    return fault(StlFault::NotStl, "not an STL: text that does not begin with \"solid\"");
  }
  return lay_out_ascii(bytes);
}

}  // namespace mesh
