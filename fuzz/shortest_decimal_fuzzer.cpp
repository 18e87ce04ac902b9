// The shortest form of a double, write_shortest against the general
// algorithm alone (write_shortest_by_general_algorithm), which it must
// equal byte for byte: on the double whose bits the input gives, and on
// decimals of 1 to 15 significant digits, the input's digits at every
// decimal exponent around and within the span that the short road takes,
// and at one exponent of the whole double range.
#include <bit>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "text/shortest_decimal.h"

namespace {

void check_same_form(double value) {
  char fast[text::kMaxShortestLength];
  char general[text::kMaxShortestLength];
  const std::string_view fast_text(
      fast, static_cast<std::size_t>(text::write_shortest(fast, value) - fast));
  const std::string_view general_text(
      general, static_cast<std::size_t>(text::write_shortest_by_general_algorithm(general, value) -
                                        general));
  fuzz::check(fast_text == general_text, "write_shortest differs from the general algorithm",
              std::string(fast_text) + " against " + std::string(general_text));
}

// The double nearest to significand * 10^exponent (zero or infinity
// beyond the range).
double decimal_value(std::uint64_t significand, int exponent) {
  const std::string text = std::to_string(significand) + "e" + std::to_string(exponent);
  double value = 0;
  const auto read = std::from_chars(text.data(), text.data() + text.size(), value);
  if (read.ec == std::errc::result_out_of_range) return 0;  // from_chars leaves such values out
  return value;
}

std::uint64_t power_of_ten(int n) {
  std::uint64_t power = 1;
  for (int i = 0; i < n; ++i) power *= 10;
  return power;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::uint64_t bits = 0;
  std::memcpy(&bits, data, size < sizeof bits ? size : sizeof bits);
  check_same_form(std::bit_cast<double>(bits));
  check_same_form(-std::bit_cast<double>(bits));
  if (size < 11) return 0;

  // A decimal of 1 to 15 significant digits (its last digit not zero, so
  // that it has exactly that many).
  const int digit_count = data[8] % 15 + 1;
  std::uint64_t significand = bits % power_of_ten(digit_count);
  if (significand % 10 == 0) significand += 1 + data[9] % 9;
  if (significand == 0) significand = 1;

  // The short road's span (about 10^-9 to 10^15) and a decade beyond on
  // each side, at every exponent.
  for (int exponent = -10 - digit_count; exponent <= 16; ++exponent) {
    check_same_form(decimal_value(significand, exponent));
  }
  // One exponent of the whole range, subnormals included.
  std::uint16_t wide = 0;
  std::memcpy(&wide, data + 9, sizeof wide);
  check_same_form(decimal_value(significand, static_cast<int>(wide % 680) - 350));
  return 0;
}
