// The one rule by which floating-point numbers become text: the shortest
// digit string that reads back to the same double (ties to the digits
// nearest the exact value), laid out from the digits and their exponent.
#pragma once

#include <cstddef>
#include <string>

namespace text {

// Room that write_shortest may need: the smallest subnormal in positional
// form is "0.", 323 zeros and 2 digits; the largest double has 309 digits.
inline constexpr std::size_t kMaxShortestLength = 400;

// Writes the positional form with no exponent, as the ConstructionInfo file
// holds numbers ("NaN", "inf", "-inf", "-0", "7.25", "0.00000015", and a 1
// followed by 21 zeros for 1e21) at `out`, which has room for
// kMaxShortestLength bytes; returns the end of what it wrote.
char* write_shortest(char* out, double value);

// write_shortest by the general shortest-digits algorithm alone, never the
// short road that write_shortest takes for numbers of at most 15
// significant digits: what the checks compare that road with.
char* write_shortest_by_general_algorithm(char* out, double value);

// write_shortest as a string.
std::string format_shortest(double value);

// The form used inside messages about a floating-point JSON value: like the
// shortest digits, with ".0" on whole numbers and an exponent once the
// positional form would pass 16 digits or 5 leading zeros ("11.0", "1e23",
// "1.5e-7").
std::string format_float_for_message(double value);

}  // namespace text
