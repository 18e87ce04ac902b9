// "Did you mean": the known key that a mistyped one most likely stands
// for.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace check {

// The key of `keys` nearest to `typed`: one that differs only in letter
// case, in "-", "_" or spaces, else one at most two letters away (a letter
// left out, added, changed or two swapped) once those are set aside.
// None when no key is that near, or for an empty text.
std::optional<std::string> near_key(std::string_view typed, std::span<const std::string> keys);

// "; did you mean \"KEY\"?" for a near key, else nothing.
std::string did_you_mean(std::string_view typed, std::span<const std::string> keys);

}  // namespace check
