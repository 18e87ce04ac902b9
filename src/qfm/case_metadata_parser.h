// Reading a case metadata file's text into a CaseMetadata.
#pragma once

#include <expected>
#include <span>
#include <string>
#include <string_view>

#include "json/reader.h"
#include "qfm/case_metadata.h"

namespace qfm {

// The case of `text`, or the first fault in reading order, with its place.
std::expected<CaseMetadata, json::Error> parse_case_metadata(std::string_view text);

// The member names that reading takes, in the array form's order: any
// other member of a case or a product is skipped unread.
std::span<const std::string_view> case_field_names();
std::span<const std::string_view> product_field_names();

}  // namespace qfm
