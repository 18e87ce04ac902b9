// Reading a product's STL file, binary or ASCII, into admesh's record of
// the mesh. The file is opened by the program's own platform code (a
// regular file only, so that a pipe or a device named like an STL cannot
// stall the check; on Windows under any name), read whole, and its layout
// checked (stl_layout.h) before admesh holds it: admesh reads an ASCII STL
// from the same bytes through a memory stream, and is handed a binary STL's
// facets as they stand in the checked bytes, then measures their extents.
// admesh never opens a path, never allocates for a count the bytes do not
// hold, and never meets a fault it would print to the console about.
#pragma once

#include <expected>
#include <string>
#include <string_view>

#include "mesh/mesh.h"

namespace mesh {

// The mesh of the STL file at `path` (bytes as typed; WTF-8 on Windows),
// or what is wrong with the file: CannotOpen (the system's error, or not a
// regular file), TooLarge (over kLargestStlBytes, refused before reading),
// or any fault of read_stl_bytes.
std::expected<Mesh, StlError> read_stl(const std::string& path);

// The mesh of the STL file whose whole content is `bytes`; any fault of
// lay_out_stl, NotFinite for a corner that is NaN or an infinity, or
// OutOfMemory. admesh holds the facets; open edges and degenerate facets
// are counted from the corners (open_edges.h), and the volume is taken from
// their turn, so that its sign does not depend on the normals the file
// stored.
std::expected<Mesh, StlError> read_stl_bytes(std::string_view bytes);

}  // namespace mesh
