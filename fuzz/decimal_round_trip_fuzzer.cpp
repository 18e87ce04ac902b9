// Numbers both ways. Every finite double written in its shortest form (and
// in the form of messages) reads back to the same bits; decimal_to_double
// takes exactly the texts of its documented form and agrees with
// std::from_chars and with the C library's strtod on each of them.
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "common/decimal_number.h"
#include "common/shortest_decimal.h"
#include "fuzz_check.h"

namespace {

bool is_digit(char c) { return c >= '0' && c <= '9'; }

// An optional "-", digits with at most one "." (at least one digit), then
// optionally "e" or "E", an optional sign and at least one digit. Written
// apart from the reader so that the two can disagree.
bool has_decimal_form(std::string_view text) {
  std::size_t i = text.starts_with('-') ? 1 : 0;
  std::size_t digits = 0;
  std::size_t points = 0;
  for (; i < text.size() && (is_digit(text[i]) || text[i] == '.'); ++i) {
    if (text[i] == '.')
      ++points;
    else
      ++digits;
  }
  if (digits == 0 || points > 1) return false;
  if (i == text.size()) return true;
  if (text[i] != 'e' && text[i] != 'E') return false;
  ++i;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  if (i == text.size()) return false;
  for (; i < text.size(); ++i) {
    if (!is_digit(text[i])) return false;
  }
  return true;
}

void check_reads_back(double value, const std::string& text) {
  const auto read = common::decimal_to_double(text);
  fuzz::check(read.has_value(), "a written number does not read", text);
  fuzz::check(!read->overflowed && fuzz::same_bits(read->value, value),
              "a written number reads back as another double", text);
}

void check_double(double value) {
  if (!std::isfinite(value)) return;
  check_reads_back(value, common::format_shortest(value));
  check_reads_back(value, common::format_float_for_message(value));
  std::string appended = "x";
  common::append_shortest(appended, value);
  fuzz::check(appended == "x" + common::format_shortest(value),
              "append_shortest differs from format_shortest", appended);
}

void check_text(std::string_view text) {
  const auto read = common::decimal_to_double(text);
  fuzz::check(read.has_value() == has_decimal_form(text),
              read ? "a text outside the form was read" : "a text of the form was not read", text);
  if (!read) return;

  double expected = 0;
  const auto parsed = std::from_chars(text.data(), text.data() + text.size(), expected);
  if (parsed.ec == std::errc() && parsed.ptr == text.data() + text.size()) {
    fuzz::check(!read->overflowed && fuzz::same_bits(read->value, expected),
                "decimal_to_double differs from from_chars", text);
  }
  // strtod rounds correctly, saturates to infinity and underflows to zero.
  const std::string terminated(text);
  char* end = nullptr;
  const double by_strtod = std::strtod(terminated.c_str(), &end);
  fuzz::check(end == terminated.c_str() + terminated.size(), "strtod stopped early", text);
  fuzz::check(fuzz::same_bits(read->value, by_strtod), "decimal_to_double differs from strtod",
              text);
  fuzz::check(read->overflowed == std::isinf(by_strtod), "overflow flag is wrong", text);
}

// The input's bytes spelled with number characters only, so that most
// inputs are of the form or near it.
std::string as_number_characters(const std::uint8_t* data, std::size_t size) {
  static constexpr std::string_view kAlphabet = "0123456789012345.-eE+0000999.-e";
  std::string text(size, '0');
  for (std::size_t i = 0; i < size; ++i) text[i] = kAlphabet[data[i] % kAlphabet.size()];
  return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::uint64_t bits = 0;
  std::memcpy(&bits, data, size < sizeof bits ? size : sizeof bits);
  check_double(std::bit_cast<double>(bits));
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  check_text(text);
  check_text(as_number_characters(data, size));
  // Texts are also doubles: the value that the text names, written again.
  if (const auto read = common::decimal_to_double(text)) check_double(read->value);
  return 0;
}
