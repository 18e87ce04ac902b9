#include "text/shortest_decimal.h"

#include <dragonbox/dragonbox.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace text {

namespace {

constexpr int kMaxDigits = 20;  // of a 64-bit significand
// Room to copy kMaxDigits places from any digit on.
constexpr int kDigitPlaces = 2 * kMaxDigits;

constexpr char kDigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

constexpr std::uint64_t kPowersOfTen[] = {1ULL,
                                          10ULL,
                                          100ULL,
                                          1000ULL,
                                          10000ULL,
                                          100000ULL,
                                          1000000ULL,
                                          10000000ULL,
                                          100000000ULL,
                                          1000000000ULL,
                                          10000000000ULL,
                                          100000000000ULL,
                                          1000000000000ULL,
                                          10000000000000ULL,
                                          100000000000000ULL,
                                          1000000000000000ULL,
                                          10000000000000000ULL,
                                          100000000000000000ULL,
                                          1000000000000000000ULL,
                                          10000000000000000000ULL};

// The shortest significant digits of a finite, non-zero magnitude and the
// decimal exponent of the first digit: value = 0.d1d2... * 10^point.
struct Digits {
  char text[kDigitPlaces] = {};  // the digits, then zeros
  int length = 0;
  int point = 0;
};

// The number of decimal digits of a non-zero `value`, from its bit width.
int digit_count(std::uint64_t value) {
  // 1233/4096 is just above log10(2).
  const int guess = ((64 - std::countl_zero(value | 1)) * 1233) >> 12;
  return guess + (value >= kPowersOfTen[guess] ? 1 : 0);
}

// Writes the two digits of `pair` (below 100) at `out`.
void write_pair(char* out, std::uint32_t pair) {
  std::memcpy(out, kDigitPairs + static_cast<std::size_t>(pair) * 2, 2);
}

// Writes the digits of `value` ending at `end`, two at a time, in 32-bit
// arithmetic, which is cheaper than 64-bit.
void write_short_digits_backward(std::uint32_t value, char* end) {
  while (value >= 100) {
    end -= 2;
    write_pair(end, value % 100);
    value /= 100;
  }
  if (value >= 10) {
    write_pair(end - 2, value);
  } else {
    end[-1] = static_cast<char>('0' + value);
  }
}

// Writes the eight digits of `value` (below 10^8), leading zeros included,
// at `out`.
void write_eight_digits(char* out, std::uint32_t value) {
  const std::uint32_t high = value / 10000;
  const std::uint32_t low = value % 10000;
  write_pair(out, high / 100);
  write_pair(out + 2, high % 100);
  write_pair(out + 4, low / 100);
  write_pair(out + 6, low % 100);
}

// Writes the digits of `value` ending at `end`: eight at a time while
// there are more than eight (a double's 16 or 17 digits are three pieces),
// then the rest.
void write_digits_backward(std::uint64_t value, char* end) {
  constexpr std::uint64_t kEightDigits = 100000000;
  while (value >= kEightDigits) {
    end -= 8;
    write_eight_digits(end, static_cast<std::uint32_t>(value % kEightDigits));
    value /= kEightDigits;
  }
  write_short_digits_backward(static_cast<std::uint32_t>(value), end);
}

Digits shortest_digits(double magnitude) {
  const auto decimal = jkj::dragonbox::to_decimal(magnitude, jkj::dragonbox::policy::sign::ignore);
  Digits digits;
  digits.length = digit_count(decimal.significand);
  write_digits_backward(decimal.significand, digits.text + digits.length);
  digits.point = digits.length + decimal.exponent;
  return digits;
}

char* write_zeros(char* out, int count) {
  std::memset(out, '0', static_cast<std::size_t>(count));
  return out + count;
}

char* write_text(char* out, const char* text, int length) {
  std::memcpy(out, text, static_cast<std::size_t>(length));
  return out + length;
}

// Copies twenty places of the digit buffer from `text` on, a fixed-size
// copy the compiler does in two moves, and keeps `length` of them: the
// places after stay within the room the caller gives (kMaxShortestLength)
// and are written over by what follows.
char* write_digit_places(char* out, const char* text, int length) {
  std::memcpy(out, text, kMaxDigits);
  return out + length;
}

char* write_positional(char* out, const Digits& d) {
  if (d.point <= 0) {
    *out++ = '0';
    *out++ = '.';
    out = write_zeros(out, -d.point);
    return write_digit_places(out, d.text, d.length);
  }
  if (d.point >= d.length) {
    out = write_digit_places(out, d.text, d.length);
    return write_zeros(out, d.point - d.length);
  }
  out = write_digit_places(out, d.text, d.point);
  *out++ = '.';
  return write_digit_places(out, d.text + d.point, d.length - d.point);
}

// "NaN", "inf", "-inf", or nothing for a finite value.
char* write_non_finite(char* out, double value) {
  if (std::isnan(value)) return write_text(out, "NaN", 3);
  if (std::isinf(value)) return value < 0 ? write_text(out, "-inf", 4) : write_text(out, "inf", 3);
  return nullptr;
}

}  // namespace

char* write_shortest(char* out, double value) {
  if (char* end = write_non_finite(out, value)) return end;
  if (std::signbit(value)) *out++ = '-';
  if (value == 0) {
    *out++ = '0';
    return out;
  }
  return write_positional(out, shortest_digits(std::fabs(value)));
}

std::string format_shortest(double value) {
  char text[kMaxShortestLength];
  return std::string(text, write_shortest(text, value));
}

std::string format_float_for_message(double value) {
  char text[kMaxShortestLength];
  if (char* end = write_non_finite(text, value)) return std::string(text, end);
  std::string out = std::signbit(value) ? "-" : "";
  if (value == 0) return out + "0.0";
  const Digits d = shortest_digits(std::fabs(value));
  if (d.point > -5 && d.point <= 16) {
    out.append(text, write_positional(text, d));
    if (d.point >= d.length) out += ".0";
    return out;
  }
  out += d.text[0];
  if (d.length > 1) {
    out += '.';
    out.append(d.text + 1, static_cast<std::size_t>(d.length - 1));
  }
  return out + "e" + std::to_string(d.point - 1);
}

}  // namespace text
