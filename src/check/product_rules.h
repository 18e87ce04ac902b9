// The rules of each family that look at the case file's records: members
// the reader skips, teeth, bounding boxes and STL files.
#pragma once

#include "check/case_context.h"

namespace check {

// member-ignored: a member of the case, a product or a point that reading
// skips unread (colour, a misspelt optional member).
void check_members(const CaseContext& context, Findings& findings);

// products-empty, product-type-unknown.
void check_products(const CaseContext& context, Findings& findings);

// tooth-number, tooth-repeated.
void check_teeth(const CaseContext& context, Findings& findings);

// bounding-box-size, bounding-box-order, bounding-box-height.
void check_bounding_boxes(const CaseContext& context, Findings& findings);

// stl-missing, stl-letter-case.
void check_stl_files(const CaseContext& context, Findings& findings);

}  // namespace check
