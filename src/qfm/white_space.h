// Unicode White_Space, by which margin line files are trimmed and split.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

namespace qfm {

// `text` (valid UTF-8) without White_Space characters at either end.
std::string_view trim_white_space(std::string_view text);

// Length of the White_Space character that starts `text`, or 0 when none
// does.
std::size_t white_space_length(std::string_view text);

// `text` without the White_Space characters at its start.
std::string_view skip_white_space(std::string_view text);

// Takes the next run of non-White_Space characters from `rest`, dropping
// the white space before it; none when only white space is left.
std::optional<std::string_view> next_word(std::string_view& rest);

}  // namespace qfm
