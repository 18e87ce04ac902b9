// Numbers both ways, against references worked out apart from the program.
// Every finite double written in its shortest form (and in the form of
// messages) reads back to the same bits. Every text is read as the
// decimal form, as its longest start of that form, as a JSON number in a
// case and as a margin line coordinate, each compared with the value and
// the form that strtod and plain scanners find.
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "qfm/case_metadata_parser.h"
#include "qfm/margin_line.h"
#include "reference_number.h"
#include "text/decimal_number.h"
#include "text/shortest_decimal.h"

namespace {

void check_reads_back(double value, const std::string& text) {
  const auto read = text::decimal_to_double(text);
  fuzz::check(read.has_value(), "a written number does not read", text);
  fuzz::check(!read->overflowed && fuzz::same_bits(read->value, value),
              "a written number reads back as another double", text);
}

// The positional form from libstdc++'s own shortest digits (scientific
// to_chars), as a second opinion on format_shortest.
std::string positional_by_to_chars(double value) {
  std::string out = std::signbit(value) ? "-" : "";
  if (value == 0) return out + "0";
  char buffer[64];
  const auto end =
      std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value), std::chars_format::scientific)
          .ptr;
  const std::string_view text(buffer, static_cast<std::size_t>(end - buffer));
  const std::size_t e = text.find('e');
  std::string digits(text.substr(0, e));
  if (digits.size() > 1) digits.erase(1, 1);  // the point
  const int exponent = std::stoi(std::string(text.substr(e + 1)));
  const auto count = static_cast<int>(digits.size());
  if (exponent < 0)
    return out + "0." + std::string(static_cast<std::size_t>(-exponent - 1), '0') + digits;
  if (exponent >= count - 1)
    return out + digits + std::string(static_cast<std::size_t>(exponent - count + 1), '0');
  return out + digits.insert(static_cast<std::size_t>(exponent + 1), ".");
}

void check_double(double value) {
  if (!std::isfinite(value)) return;
  const std::string shortest = text::format_shortest(value);
  fuzz::check(shortest == positional_by_to_chars(value),
              "format_shortest differs from to_chars' shortest digits", shortest);
  check_reads_back(value, shortest);
  check_reads_back(value, text::format_float_for_message(value));
  // Exactly the room the header promises, on the heap, so that writing past
  // it is an AddressSanitizer report.
  const auto room = std::make_unique<char[]>(text::kMaxShortestLength);
  const char* end = text::write_shortest(room.get(), value);
  fuzz::check(std::string_view(room.get(), static_cast<std::size_t>(end - room.get())) == shortest,
              "write_shortest differs from format_shortest", shortest);
}

void check_decimal(std::string_view text) {
  const std::size_t form = fuzz::decimal_form_length(text);
  const auto read = text::decimal_to_double(text);
  fuzz::check(read.has_value() == (form > 0 && form == text.size()),
              read ? "a text outside the form was read" : "a text of the form was not read", text);
  if (read) {
    double expected = 0;
    const auto parsed = std::from_chars(text.data(), text.data() + text.size(), expected);
    if (parsed.ec == std::errc() && parsed.ptr == text.data() + text.size()) {
      fuzz::check(!read->overflowed && fuzz::same_bits(read->value, expected),
                  "decimal_to_double differs from from_chars", text);
    }
  }
  const auto prefix = text::decimal_prefix_to_double(text);
  fuzz::check(prefix.has_value() == (form > 0), "the decimal start is found wrongly", text);
  if (!prefix) return;
  fuzz::check(prefix->length == form, "the decimal start has the wrong length", text);
  const double expected = fuzz::strtod_value(text.substr(0, form));
  fuzz::check(fuzz::same_bits(prefix->decimal.value, expected),
              "the decimal start differs from strtod", text);
  fuzz::check(prefix->decimal.overflowed == std::isinf(expected), "overflow flag is wrong", text);
}

// A JSON number as a bounding box entry reads as strtod reads it, or fails
// as out of range when beyond the double range; any other text of number
// characters fails.
void check_json_number(std::string_view text) {
  const bool number = fuzz::is_json_number(text);
  if (!number && (text.empty() || text.find_first_not_of("0123456789.eE+-") != text.npos)) return;
  const std::string json =
      R"({"machine":"","material":"","material_brand_reference":"","products":[)"
      R"({"product_type":"Crown","bounding_box":[)" +
      std::string(text) + R"(],"stl":""}]})";
  const auto read = qfm::parse_case_metadata(json);
  if (!number) {
    fuzz::check(!read.has_value(), "a text that is no JSON number was read as one", text);
    return;
  }
  const double expected = fuzz::strtod_value(text);
  if (std::isinf(expected)) {
    fuzz::check(!read && read.error().message == "number out of range",
                "a JSON number beyond the range did not fail as such", text);
    return;
  }
  if (!read) fuzz::fail("a JSON number does not read: " + read.error().text(), text);
  const double value = read->products.at(0).bounding_box.at(0);
  // An integer zero written "-0" may read with either sign.
  const bool integer_zero = expected == 0 && text.find_first_of(".eE") == std::string_view::npos;
  fuzz::check(fuzz::same_bits(value, expected) || (integer_zero && value == 0),
              "a JSON number reads differently from strtod", text);
}

// A word on a point line gives the point's x, or no point when it is not a
// coordinate word.
void check_margin_coordinate(std::string_view word) {
  for (const char c : word) {
    if (static_cast<unsigned char>(c) <= 0x20 || static_cast<unsigned char>(c) >= 0x7F) return;
  }
  const std::string text = "BEGIN_\n" + std::string(word) + " 0 0\n";
  const auto points = qfm::parse_margin_line_text(text);
  fuzz::check(points.has_value(), "an ASCII margin line is not text", text);
  const auto expected = fuzz::coordinate_value(word);
  fuzz::check(points->size() == (expected ? 1u : 0u), "a coordinate word is taken wrongly", text);
  if (expected) {
    fuzz::check(fuzz::same_bits(points->front().x, *expected),
                "a margin coordinate differs from strtod", text);
  }
}

// decimal_from_digits on digits and a point placed by the input.
void check_decimal_from_digits(const std::uint8_t* data, std::size_t size) {
  if (size < 10) return;
  const int digit_count = data[8] % 21;
  const int fraction_digits = data[9] % (digit_count + 1);
  std::uint64_t raw = 0;
  std::memcpy(&raw, data, sizeof raw);
  std::uint64_t limit = 1;
  for (int i = 0; i < digit_count && i < 19; ++i) limit *= 10;
  const std::uint64_t digits = raw % limit;
  const auto value = text::decimal_from_digits(digits, digit_count, fraction_digits);
  std::string text = std::to_string(digits);
  text.insert(0,
              static_cast<std::size_t>(digit_count) -
                  std::min(text.size(), static_cast<std::size_t>(digit_count)),
              '0');
  text.insert(text.size() - static_cast<std::size_t>(fraction_digits), ".");
  if (digit_count > text::kMaxGatheredDigits) {
    fuzz::check(!value.has_value(), "digits that may have wrapped taken", text);
    return;
  }
  fuzz::check(value.has_value() || digit_count > 15, "15 digits or fewer not taken", text);
  if (!value) return;
  fuzz::check(fuzz::same_bits(*value, fuzz::strtod_value(text + "0")),
              "decimal_from_digits differs from strtod", text);
}

void check_text(std::string_view text) {
  check_decimal(text);
  check_json_number(text);
  check_margin_coordinate(text);
  // The value that the text names, written again.
  if (const auto read = text::decimal_to_double(text)) check_double(read->value);
}

// The input's bytes spelled with number characters only, so that most
// inputs are of the forms or near them.
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
  check_decimal_from_digits(data, size);
  check_text(std::string_view(reinterpret_cast<const char*>(data), size));
  check_text(as_number_characters(data, size));
  return 0;
}
