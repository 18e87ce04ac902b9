// Which form of STL a file's bytes are, and how many facets they hold, found
// before any STL library reads them: a library told "this many facets of
// this form" by bytes that were checked to hold them can neither allocate
// for a count the file does not hold nor run past the end of a cut file.
// No I/O: the bytes are the file's, read whole by the caller.
#pragma once

#include <cstddef>
#include <expected>
#include <string_view>

#include "mesh/mesh.h"

namespace mesh {

enum class StlForm { Binary, Ascii };

struct StlLayout {
  StlForm form = StlForm::Binary;
  std::size_t facet_count = 0;
};

// The layout of `bytes`, or what is wrong:
// - binary: an 80-byte label, a facet count, then 50 bytes a facet; the
//   count must match the size exactly (SizeMismatch), and not be 0
//   (ZeroFacets). A file of that exact shape is binary even when its label
//   begins with "solid", as some exporters write it.
// - ASCII: the word "solid" first, then on the following lines facets of
//   exactly "facet normal N N N outer loop vertex N N N (three times)
//   endloop endfacet", words in any letter case, then "endsolid". A file
//   that stops before "endsolid" is AsciiCutShort; a word or number out of
//   place AsciiMalformed, naming its line.
// - anything else NotStl (text that does not begin with "solid", or fewer
//   bytes than a binary STL's header).
std::expected<StlLayout, StlError> lay_out_stl(std::string_view bytes);

}  // namespace mesh
