// What the fuzz targets share: a check whose failure ends the run as a
// crash that libFuzzer records, and double comparison by bits.
#pragma once

#include <bit>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace fuzz {

// Prints `what` and the offending text, then aborts.
[[noreturn]] inline void fail(std::string_view what, std::string_view text) {
  std::fprintf(stderr, "check failed: %.*s\n  on: %.*s\n", static_cast<int>(what.size()),
               what.data(), static_cast<int>(text.size()), text.data());
  std::abort();
}

inline void check(bool holds, std::string_view what, std::string_view text) {
  if (!holds) fail(what, text);
}

// Equal as bit patterns: -0 differs from 0, and a NaN equals itself.
inline bool same_bits(double a, double b) {
  return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

}  // namespace fuzz
