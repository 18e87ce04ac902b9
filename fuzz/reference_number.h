// Number forms and values worked out apart from the program's readers, as
// the fuzz targets' reference: plain scanners for the forms, and the C
// library's correctly rounded strtod for the values.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

namespace fuzz {

// Length of the longest start of `text` in the decimal form: an optional
// "-", digits with at most one "." (at least one digit), then optionally
// "e" or "E", an optional sign and at least one digit. Zero when none.
std::size_t decimal_form_length(std::string_view text);

// True when all of `text` is a JSON number: "-"? (0 | [1-9][0-9]*)
// ("." [0-9]+)? ([eE] [+-]? [0-9]+)?
bool is_json_number(std::string_view text);

// The value of a text of the decimal form, by strtod.
double strtod_value(std::string_view text);

// A margin line coordinate word: an optional sign, then the decimal form
// (without a sign of its own) or inf, infinity or nan in any case. None
// when the word is not one.
std::optional<double> coordinate_value(std::string_view word);

}  // namespace fuzz
