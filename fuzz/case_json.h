// Writing a case back as JSON, in either form, so that the case fuzzer can
// read what it wrote and compare.
#pragma once

#include <string>

#include "qfm/case_metadata.h"

namespace fuzz {

enum class JsonForm { Object, Array };

// The JSON text of `case_metadata`; doubles in their shortest form, -0 as
// "-0.0" so that its sign survives.
std::string case_to_json(const qfm::CaseMetadata& case_metadata, JsonForm form);

// Equal field by field, doubles by bits.
bool same_case(const qfm::CaseMetadata& a, const qfm::CaseMetadata& b);

}  // namespace fuzz
