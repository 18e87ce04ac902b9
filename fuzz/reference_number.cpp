#include "reference_number.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>

namespace fuzz {

namespace {

bool is_digit(char c) { return c >= '0' && c <= '9'; }

std::size_t digits_from(std::string_view text, std::size_t i) {
  while (i < text.size() && is_digit(text[i])) ++i;
  return i;
}

bool same_word_ignoring_case(std::string_view text, std::string_view lower) {
  if (text.size() != lower.size()) return false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(text[i])) != lower[i]) return false;
  }
  return true;
}

}  // namespace

std::size_t decimal_form_length(std::string_view text) {
  std::size_t i = text.starts_with('-') ? 1 : 0;
  const std::size_t integer_end = digits_from(text, i);
  std::size_t end = integer_end;
  std::size_t digit_count = integer_end - i;
  if (end < text.size() && text[end] == '.') {
    const std::size_t fraction_end = digits_from(text, end + 1);
    digit_count += fraction_end - (end + 1);
    end = fraction_end;
  }
  if (digit_count == 0) return 0;
  if (end < text.size() && (text[end] == 'e' || text[end] == 'E')) {
    std::size_t exponent = end + 1;
    if (exponent < text.size() && (text[exponent] == '+' || text[exponent] == '-')) ++exponent;
    const std::size_t exponent_end = digits_from(text, exponent);
    if (exponent_end > exponent) end = exponent_end;
  }
  return end;
}

bool is_json_number(std::string_view text) {
  std::size_t i = text.starts_with('-') ? 1 : 0;
  if (i == text.size()) return false;
  if (text[i] == '0') {
    ++i;
  } else if (is_digit(text[i])) {
    i = digits_from(text, i);
  } else {
    return false;
  }
  if (i < text.size() && text[i] == '.') {
    const std::size_t end = digits_from(text, i + 1);
    if (end == i + 1) return false;
    i = end;
  }
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    const std::size_t end = digits_from(text, i);
    if (end == i) return false;
    i = end;
  }
  return i == text.size();
}

double strtod_value(std::string_view text) {
  const std::string terminated(text);
  return std::strtod(terminated.c_str(), nullptr);
}

std::optional<double> coordinate_value(std::string_view word) {
  bool negative = false;
  if (word.starts_with('+') || word.starts_with('-')) {
    negative = word[0] == '-';
    word.remove_prefix(1);
  }
  double value = 0;
  if (same_word_ignoring_case(word, "inf") || same_word_ignoring_case(word, "infinity")) {
    value = std::numeric_limits<double>::infinity();
  } else if (same_word_ignoring_case(word, "nan")) {
    value = std::numeric_limits<double>::quiet_NaN();
  } else if (!word.empty() && word[0] != '-' && decimal_form_length(word) == word.size()) {
    value = strtod_value(word);
  } else {
    return std::nullopt;
  }
  return negative ? -value : value;
}

}  // namespace fuzz
