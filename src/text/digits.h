// Runs of decimal digits: the one digit loop that every number scanner and
// every reader of an integer written as text goes through.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace text {

inline bool is_decimal_digit(char c) { return c >= '0' && c <= '9'; }

// Moves `p` past the run of decimal digits it stands on, appending them
// to `digits`, and gives the run's length. A run too long for 64 bits
// wraps `digits`; decimal_from_digits refuses such counts anyway.
// Inline: the readers run it for nearly every number they read.
inline int gather_digits(const char*& p, const char* end, std::uint64_t& digits) {
  const char* const run = p;
  for (; p < end && is_decimal_digit(*p); ++p) {
    digits = digits * 10 + static_cast<unsigned>(*p - '0');
  }
  return static_cast<int>(p - run);
}

// gather_digits for a run whose value is not wanted (it is read again as
// text later): moves `p` past it and gives its length.
inline int skip_digits(const char*& p, const char* end) {
  std::uint64_t unused = 0;
  return gather_digits(p, end, unused);
}

// The run of decimal digits that starts a text, read as an integer.
struct DigitRun {
  std::size_t length = 0;
  std::optional<std::uint64_t> value;  // none when beyond 64 bits
};

// The digits at the start of `text` (none at all give length 0, value 0);
// whatever follows them is the caller's to judge. Leading zeros count for
// nothing.
DigitRun read_digit_run(std::string_view text);

}  // namespace text
