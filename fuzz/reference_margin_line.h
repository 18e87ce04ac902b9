// A margin line reader for ASCII texts, written apart from the program's
// as the margin line fuzz target's reference: whole lines split at line
// feeds, white space only the six ASCII White_Space characters.
#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "qfm/case_metadata.h"

namespace fuzz {

// The points of `text`, or none when it holds a byte outside ASCII (where
// this reference does not know the answer).
std::optional<qfm::PointList> reference_margin_points(std::string_view text);

}  // namespace fuzz
