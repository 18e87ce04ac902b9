// Runs of decimal digits: the one digit loop that every number scanner and
// every reader of an integer written as text goes through.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
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

// gather_digits eight bytes at a time while eight are left, then byte by
// byte: for the places after a point, six in a usual coordinate, which
// take one step here against six turns of the byte loop. (For whole parts
// the steps cost more than the loop: more instructions in all.)
inline int gather_digits_by_eight(const char*& p, const char* end, std::uint64_t& digits) {
  static constexpr std::uint64_t kPowersOfTen[] = {1,      10,      100,      1000,     10000,
                                                   100000, 1000000, 10000000, 100000000};
  constexpr std::uint64_t kZeros = 0x3030303030303030;
  constexpr std::uint64_t kHighNibbles = 0xF0F0F0F0F0F0F0F0;
  const char* const run = p;
  while (end - p >= 8) {
    std::uint64_t chunk;
    std::memcpy(&chunk, p, sizeof chunk);
    // A byte is a digit when its high nibble is 3 and it stays so with 6
    // added; the first byte that is not marks the run's end (a carry out
    // of a byte past it changes only what follows). Bytes in text order,
    // the first lowest (the chunk is read little-endian).
    const std::uint64_t off = ((chunk & kHighNibbles) ^ kZeros) |
                              (((chunk + 0x0606060606060606) & kHighNibbles) ^ kZeros);
    const int count = std::countr_zero(off) / 8;  // 64 / 8 when all are digits
    if (count == 0) break;
    // The run's digits at the chunk's top, zeros below: eight digits with
    // leading zeros, combined in three multiplications.
    std::uint64_t value = (chunk - kZeros) << (8 * (8 - count));
    value = value * 10 + (value >> 8);
    value = (((value & 0x000000FF000000FF) * 0x000F424000000064) +
             (((value >> 16) & 0x000000FF000000FF) * 0x0000271000000001)) >>
            32;
    digits = digits * kPowersOfTen[count] + value;
    p += count;
    if (count < 8) return static_cast<int>(p - run);
  }
  const auto by_eight = static_cast<int>(p - run);
  return by_eight + gather_digits(p, end, digits);
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
