#include "mesh/stl_layout.h"

#include <gtest/gtest.h>

#include "stl_bytes.h"

namespace {

using mesh::StlFault;
using mesh::StlForm;
using mesh_test::ascii_stl;
using mesh_test::binary_stl;
using mesh_test::tetrahedron;

const std::string kFacet =
    "facet normal 0 0 1\nouter loop\nvertex 0 0 0\nvertex 1 0 0\nvertex 0 1 0\nendloop\nendfacet\n";

// A binary STL's first 84 bytes with `count` in its header, then `rest`.
std::string binary_header(std::uint32_t count, std::size_t rest) {
  std::string out(80, 'x');
  mesh_test::put_u32(out, count);
  out.append(rest, '\x01');
  return out;
}

TEST(StlLayout, LaysOutWellFormedFiles) {
  struct Row {
    const char* name;
    std::string bytes;
    StlForm form;
    std::size_t facets;
  };
  const Row rows[] = {
      {"binary", binary_stl(tetrahedron()), StlForm::Binary, 4},
      // Some exporters begin a binary STL's label with "solid".
      {"binary labelled solid", binary_stl(tetrahedron(), "solid part"), StlForm::Binary, 4},
      {"ascii", ascii_stl(tetrahedron()), StlForm::Ascii, 4},
      {"ascii in capitals, CR LF, signs",
       "SOLID X\r\nFACET NORMAL +0 -0 1e0\r\nOUTER LOOP\r\nVERTEX 0 0 0\r\nVERTEX 1 0 0\r\n"
       "VERTEX 0 1 0\r\nENDLOOP\r\nENDFACET\r\nENDSOLID X\r\n",
       StlForm::Ascii, 1},
      // scanf reads nan and inf; the reader then refuses them (NotFinite).
      {"ascii nan",
       "solid\n" + std::string("facet normal 0 0 1 outer loop vertex nan 0 0 ") +
           "vertex 1 0 0 vertex 0 1 inf endloop endfacet endsolid",
       StlForm::Ascii, 1},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const auto layout = mesh::lay_out_stl(row.bytes);
    ASSERT_TRUE(layout) << layout.error().message;
    EXPECT_EQ(layout->form, row.form);
    EXPECT_EQ(layout->facet_count, row.facets);
  }
}

TEST(StlLayout, NamesWhatIsWrong) {
  struct Row {
    const char* name;
    std::string bytes;
    StlFault fault;
    std::string message;
  };
  std::string cut_binary = binary_stl(tetrahedron());
  cut_binary.resize(cut_binary.size() - 20);
  const std::string ascii = ascii_stl(tetrahedron());
  const Row rows[] = {
      {"4 GB facet count in 100 bytes", binary_header(0xFFFFFFFF, 16), StlFault::SizeMismatch,
       "a binary STL whose header counts 4294967295 facets, but whose 100 bytes hold 0 and 16 "
       "bytes more"},
      {"NUL-filled", std::string(4096, '\0'), StlFault::SizeMismatch,
       "a binary STL whose header counts 0 facets, but whose 4096 bytes hold 80 and 12 bytes more"},
      {"cut binary", cut_binary, StlFault::SizeMismatch,
       "a binary STL whose header counts 4 facets, but whose 264 bytes hold 3 and 30 bytes more"},
      {"binary of no facet", binary_header(0, 0), StlFault::ZeroFacets, "a binary STL of no facet"},
      {"ascii of no facet", "solid empty\nendsolid empty\n", StlFault::ZeroFacets,
       "an ASCII STL of no facet"},
      {"ascii cut inside a facet", ascii.substr(0, ascii.size() - 60), StlFault::AsciiCutShort,
       "an ASCII STL that ends inside facet 4"},
      {"ascii cut between facets", "solid x\n" + kFacet, StlFault::AsciiCutShort,
       "an ASCII STL that ends after 1 facets, without \"endsolid\""},
      // The STL library skips the first line to its line feed.
      {"ascii of one line", "solid x " + kFacet.substr(0, 10), StlFault::AsciiCutShort,
       "an ASCII STL that ends on its first line"},
      {"misspelt word", "solid x\nfacet normal 0 0 1\nouter loop\nvertx 0 0 0\n",
       StlFault::AsciiMalformed, "an ASCII STL with \"vertx\" on line 4 where \"vertex\" belongs"},
      {"number run into a word", "solid x\nfacet normal 0 0 1.5abc\n", StlFault::AsciiMalformed,
       "an ASCII STL with \"1.5abc\" on line 2 where a number belongs"},
      {"second solid", "solid x\n" + kFacet + "solid y\n", StlFault::AsciiMalformed,
       "an ASCII STL with \"solid\" on line 9 where \"facet\" or \"endsolid\" belongs"},
      {"renamed OBJ", "# exported\nv 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n", StlFault::NotStl,
       "not an STL: text that does not begin with \"solid\""},
      {"long renamed OBJ", "# exported\n" + std::string(200, 'v') + "\n", StlFault::NotStl,
       "not an STL: text that does not begin with \"solid\""},
      {"empty", "", StlFault::NotStl, "not an STL: an empty file"},
      {"short binary", std::string(40, '\0'), StlFault::NotStl,
       "not an STL: 40 bytes, fewer than a binary STL's header"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const auto layout = mesh::lay_out_stl(row.bytes);
    ASSERT_FALSE(layout);
    EXPECT_EQ(layout.error().fault, row.fault);
    EXPECT_EQ(layout.error().message, row.message);
  }
}

}  // namespace
