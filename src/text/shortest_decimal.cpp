#include "text/shortest_decimal.h"

#include <dragonbox/dragonbox.h>

#include <array>
#include <bit>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <optional>

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

// A positive decimal: significand * 10^exponent, the significand without
// trailing zeros.
struct Decimal {
  std::uint64_t significand = 0;
  int exponent = 0;
};

Digits digits_of(Decimal decimal) {
  Digits digits;
  digits.length = digit_count(decimal.significand);
  write_digits_backward(decimal.significand, digits.text + digits.length);
  digits.point = digits.length + decimal.exponent;
  return digits;
}

// The general algorithm (Dragonbox), for any finite, non-zero magnitude.
Decimal general_shortest_decimal(double magnitude) {
  const auto decimal = jkj::dragonbox::to_decimal(magnitude, jkj::dragonbox::policy::sign::ignore);
  return {decimal.significand, decimal.exponent};
}

// The short road, for magnitudes of at most 15 significant digits (nearly
// every coordinate): m = round(x * 10^k) for a k of at most 22, kept when
// m < 10^15 and m / 10^k == x in double arithmetic. Why m * 10^-k is then
// the shortest form of x, once its trailing zeros are dropped:
//
// - m < 10^15 < 2^53 and 10^k (5^22 < 2^53) are exact doubles, so
//   m / 10^k is the correctly rounded (ties to even) quotient, which is
//   what reading the decimal D = m * 10^-k gives: D reads as x, and D has
//   at most 15 significant digits.
// - No other decimal of at most 15 significant digits reads as x. x is
//   normal (x >= 10^-22), say 2^q <= x < 2^(q+1), with ulp u = 2^(q-52);
//   a decimal read as x lies within u/2 of it, so two such, D1 < D2, lie
//   at most u apart. With 10^e <= D1 < 10^(e+1), every decimal of at
//   most 15 significant digits from 10^e on is a multiple of 10^(e-14),
//   so D2 - D1 >= 10^(e-14); and 10^(e+1) > D1 >= x - u/2 > 2^(q-1), so
//   10^(e-14) > 2^(q-1) / 10^15 > 2^(q-52) = u, as 10^15 < 2^51: a
//   contradiction.
// - The shortest form reads as x and has no more digits than D, so it is
//   D; with one candidate of its length, the nearest-digits rule has
//   nothing to choose.
//
// Only that check decides; a k that misses merely sends x on. Two k are
// tried: 6 first, the places of nearly every coordinate that dental
// software writes, with a writer of its own; then the most places that
// keep x below 10^15, so that any x of at most 15 digits is found (the
// errors of x and of the product stay far below the 0.5 that would round
// m wrongly). The division needs a double's own rounding, not x87's.
static_assert(FLT_EVAL_METHOD == 0);

constexpr int kMostShortRoadPlaces = 22;
constexpr double kExactPowersOfTen[kMostShortRoadPlaces + 1] = {
    1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
    1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
constexpr int kShortRoadDigits = 15;
constexpr std::uint64_t kShortRoadLimit = kPowersOfTen[kShortRoadDigits];

// m when x = m * 10^-places by the check above, else none.
std::optional<std::uint64_t> scaled_exactly(double magnitude, int places) {
  const double scaled = magnitude * kExactPowersOfTen[places];
  // Also refuses what a 64-bit integer cannot hold.
  if (!(scaled < kExactPowersOfTen[kShortRoadDigits])) return std::nullopt;
  const auto m = static_cast<std::uint64_t>(scaled + 0.5);
  if (m >= kShortRoadLimit || static_cast<double>(m) / kExactPowersOfTen[places] != magnitude) {
    return std::nullopt;
  }
  return m;
}

constexpr int kUsualPlaces = 6;

// Writes m * 10^-6 (m < 10^15): the whole part, then the places without
// their trailing zeros, the point only when one is left.
char* write_millionths(char* out, std::uint64_t m) {
  constexpr std::uint32_t kUnit = 1000000;
  const auto whole = static_cast<std::uint32_t>(m / kUnit);  // below 10^9
  const auto places = static_cast<std::uint32_t>(m % kUnit);
  // Coordinates in millimetres: one or two whole digits, nearly always.
  if (whole < 10) {
    *out++ = static_cast<char>('0' + whole);
  } else if (whole < 100) {
    write_pair(out, whole);
    out += 2;
  } else {
    out += digit_count(whole);
    write_short_digits_backward(whole, out);
  }
  if (places == 0) return out;
  *out++ = '.';
  write_pair(out, places / 10000);
  write_pair(out + 2, places / 100 % 100);
  write_pair(out + 4, places % 100);
  out += kUsualPlaces;
  while (out[-1] == '0') --out;
  return out;
}

// Binary exponents of the magnitudes on the wider short road: from 2^-27
// (about 7e-9, where k reaches 22) to below 2^49 (the last binary exponent
// whose magnitudes all stay below 10^15).
constexpr int kLowestShortRoadExponent = -27;
constexpr int kHighestShortRoadExponent = 48;

// 2^power * 10^places <= 10^15.
constexpr bool stays_below_limit(int power, int places) {
  if (places >= kShortRoadDigits) {
    return power <= 0 && kPowersOfTen[places - kShortRoadDigits] <= (std::uint64_t{1} << -power);
  }
  return power <= 0 || (std::uint64_t{1} << power) <= kPowersOfTen[kShortRoadDigits - places];
}

// k by the binary exponent, from kLowestShortRoadExponent on: the most
// places that keep every magnitude of that exponent below 10^15.
constexpr auto kShortRoadPlaces = [] {
  std::array<std::int8_t, kHighestShortRoadExponent - kLowestShortRoadExponent + 1> places{};
  for (int q = kLowestShortRoadExponent; q <= kHighestShortRoadExponent; ++q) {
    int k = kMostShortRoadPlaces;
    while (!stays_below_limit(q + 1, k)) --k;
    places[static_cast<std::size_t>(q - kLowestShortRoadExponent)] = static_cast<std::int8_t>(k);
  }
  return places;
}();
static_assert(kShortRoadPlaces.back() == 0 && kShortRoadPlaces.front() == kMostShortRoadPlaces);

// Drops `zeros` trailing zeros from the decimal when it has them.
template <int zeros>
void drop_trailing_zeros(Decimal& decimal) {
  constexpr std::uint64_t kUnit = kPowersOfTen[zeros];
  if (decimal.significand % kUnit == 0) {
    decimal.significand /= kUnit;
    decimal.exponent += zeros;
  }
}

std::optional<Decimal> short_road_decimal(double magnitude) {
  constexpr int kExponentBias = 1023;
  constexpr int kSignificandBits = 52;
  const int exponent =
      static_cast<int>(std::bit_cast<std::uint64_t>(magnitude) >> kSignificandBits) - kExponentBias;
  const auto slot = static_cast<unsigned>(exponent - kLowestShortRoadExponent);
  if (slot >= kShortRoadPlaces.size()) return std::nullopt;
  int places = kShortRoadPlaces[slot];
  // The decade below 10^15 that the binary exponent spans: one place more.
  if (magnitude * kExactPowersOfTen[places] < kExactPowersOfTen[kShortRoadDigits - 1] &&
      places < kMostShortRoadPlaces) {
    ++places;
  }
  const auto m = scaled_exactly(magnitude, places);
  if (!m) return std::nullopt;
  // At most 14 trailing zeros: steps of 8, 4, 2 and 1 drop them all.
  Decimal decimal{*m, -places};
  drop_trailing_zeros<8>(decimal);
  drop_trailing_zeros<4>(decimal);
  drop_trailing_zeros<2>(decimal);
  drop_trailing_zeros<1>(decimal);
  return decimal;
}

Digits shortest_digits(double magnitude) {
  if (const auto decimal = short_road_decimal(magnitude)) return digits_of(*decimal);
  return digits_of(general_shortest_decimal(magnitude));
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
  if (!std::isfinite(value)) [[unlikely]]
    return write_non_finite(out, value);
  if (std::signbit(value)) *out++ = '-';
  if (value == 0) {
    *out++ = '0';
    return out;
  }
  const double magnitude = std::fabs(value);
  if (const auto m = scaled_exactly(magnitude, kUsualPlaces)) return write_millionths(out, *m);
  return write_positional(out, shortest_digits(magnitude));
}

char* write_shortest_by_general_algorithm(char* out, double value) {
  if (char* end = write_non_finite(out, value)) return end;
  if (std::signbit(value)) *out++ = '-';
  if (value == 0) {
    *out++ = '0';
    return out;
  }
  return write_positional(out, digits_of(general_shortest_decimal(std::fabs(value))));
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
