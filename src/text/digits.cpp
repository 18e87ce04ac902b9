#include "text/digits.h"

#include <algorithm>

namespace text {

DigitRun read_digit_run(std::string_view text) {
  const char* p = text.data();
  std::uint64_t value = 0;
  const auto length = static_cast<std::size_t>(gather_digits(p, text.data() + text.size(), value));
  // The gathering wraps past 64 bits; the count of significant digits tells
  // whether it did: fewer than 20 always fit, 20 up to 2^64 - 1.
  constexpr std::string_view kLargest = "18446744073709551615";
  const std::string_view run = text.substr(0, length);
  const std::string_view significant = run.substr(std::min(run.find_first_not_of('0'), length));
  const bool fits = significant.size() < kLargest.size() ||
                    (significant.size() == kLargest.size() && significant <= kLargest);
  return {length, fits ? std::optional<std::uint64_t>(value) : std::nullopt};
}

}  // namespace text
