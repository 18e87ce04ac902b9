// The one rule by which floating-point numbers become text: the shortest
// digit string that reads back to the same double.
#pragma once

#include <string>

namespace common {

// Positional form with no exponent, as the ConstructionInfo file holds
// numbers: "NaN", "inf", "-inf", "-0", "7.25", "0.00000015", and a 1
// followed by 21 zeros for 1e21.
std::string format_shortest(double value);

// Appends format_shortest(value) to `out` without building a string of its
// own, for writers of millions of numbers.
void append_shortest(std::string& out, double value);

// The form used inside messages about a floating-point JSON value: like the
// shortest digits, with ".0" on whole numbers and an exponent once the
// positional form would pass 16 digits or 5 leading zeros ("11.0", "1e23",
// "1.5e-7").
std::string format_float_for_message(double value);

}  // namespace common
