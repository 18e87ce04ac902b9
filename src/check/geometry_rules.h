// The rules that hold a case against its products' meshes: each STL file
// read and looked at, each bounding box against its mesh's extents, each
// margin line's shape and its distance from the mesh.
#pragma once

#include "check/case_context.h"

namespace check {

// stl-unreadable, stl-open, stl-inside-out, bounding-box-stl, and
// coordinate-not-finite for a bounding box. Runs after check_stl_files: a
// file it found missing is not told again.
void check_meshes(const CaseContext& context, Findings& findings);

// coordinate-not-finite for a margin point, margin-line-units,
// margin-line-spike, margin-line-off-mesh.
void check_margin_geometry(const CaseContext& context, Findings& findings);

}  // namespace check
