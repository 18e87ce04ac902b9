// Reading a case metadata file's text into a CaseMetadata.
#pragma once

#include <expected>
#include <string>
#include <string_view>

#include "qfm/case_metadata.h"

namespace qfm {

// The case of `text`, or the first fault in reading order as one message
// ending in " at line L column C".
std::expected<CaseMetadata, std::string> parse_case_metadata(std::string_view text);

}  // namespace qfm
