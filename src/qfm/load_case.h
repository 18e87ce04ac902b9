// Loading a case: its name, its metadata file and the margin line files
// that lie beside it.
#pragma once

#include <string>

#include "common/run_error.h"
#include "qfm/case_metadata.h"

namespace qfm {

// The case named by `json_path`, ready for generation: `case_name` is the
// file's stem and each product's margin line comes from its `pts` file when
// that file reads. Fails with "file should have a name", "Failed to read
// file <path>", "Failed to parse JSON metadata file '<path>'" or
// "Failed to read <pts path>".
common::Result<CaseMetadata> load_case(const std::string& json_path);

}  // namespace qfm
