#include "mesh/read_stl.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "mesh/open_edges.h"
#include "mesh/tolerances.h"
#include "stl_bytes.h"
#include "temporary_folder.h"

namespace {

using mesh::StlFault;
using mesh_test::ascii_stl;
using mesh_test::binary_stl;
using mesh_test::box;
using mesh_test::reversed;
using mesh_test::tetrahedron;

// Reads `bytes` with the console watched: the STL library must print
// nothing of its own, whatever the file.
std::expected<mesh::Mesh, mesh::StlError> read_quietly(const std::string& bytes) {
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  auto mesh = mesh::read_stl_bytes(bytes);
  const std::string out = testing::internal::GetCapturedStdout();
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(out, "");
  EXPECT_EQ(err, "");
  return mesh;
}

TEST(ReadStl, MeasuresTheMeshInBothForms) {
  struct Row {
    const char* name;
    std::string bytes;
    std::size_t facets;
    std::size_t open_edges;
    double volume;
  };
  auto open_box = box({0, 0, 0}, {2, 3, 4});
  open_box.pop_back();
  const Row rows[] = {
      {"binary tetrahedron", binary_stl(tetrahedron()), 4, 0, 1.0 / 6},
      {"ascii tetrahedron", ascii_stl(tetrahedron()), 4, 0, 1.0 / 6},
      {"binary box", binary_stl(box({0, 0, 0}, {2, 3, 4})), 12, 0, 24},
      {"inside out", binary_stl(reversed(box({0, 0, 0}, {2, 3, 4}))), 12, 0, -24},
      // One triangle gone leaves the three edges it shared open.
      {"open", ascii_stl(open_box), 11, 3, 24},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const auto mesh = read_quietly(row.bytes);
    ASSERT_TRUE(mesh) << mesh.error().message;
    EXPECT_EQ(mesh->facet_count, row.facets);
    EXPECT_EQ(mesh->triangles.size(), row.facets);
    EXPECT_EQ(mesh->open_edges, row.open_edges);
    EXPECT_EQ(mesh->degenerate_facets, 0u);
    if (row.open_edges == 0) {
      EXPECT_NEAR(mesh->volume, row.volume, 1e-5);
    }
  }
}

TEST(ReadStl, GivesTheExtentsAndCornersAsRead) {
  const auto mesh = read_quietly(binary_stl(box({-1.5, 2, 0.25}, {3, 4.5, 9})));
  ASSERT_TRUE(mesh);
  EXPECT_EQ(mesh->extents.min, (qfm::Vec3{-1.5, 2, 0.25}));
  EXPECT_EQ(mesh->extents.max, (qfm::Vec3{3, 4.5, 9}));
  EXPECT_EQ(mesh->triangles[0][0], (qfm::Vec3{-1.5, 2, 0.25}));
}

TEST(ReadStl, CountsDegenerateFacets) {
  auto triangles = tetrahedron();
  triangles.push_back({qfm::Vec3{0, 0, 0}, qfm::Vec3{0, 0, 0}, qfm::Vec3{1, 1, 1}});
  const auto mesh = read_quietly(binary_stl(triangles));
  ASSERT_TRUE(mesh);
  EXPECT_EQ(mesh->degenerate_facets, 1u);
  EXPECT_EQ(mesh->open_edges, 0u);
}

// Edges matched by their exact corners, whichever way a facet runs along
// them: an edge of one facet alone, or of three, is open.
TEST(OpenEdges, AreCountedFromTheCornersAlone) {
  struct Row {
    const char* name;
    std::vector<mesh::Triangle> triangles;
    std::size_t open_edges;
    std::size_t degenerate;
  };
  auto open_box = box({0, 0, 0}, {2, 3, 4});
  open_box.pop_back();
  auto tripled = tetrahedron();
  tripled.push_back(tripled[0]);
  // Every other facet's corners at x = 0 written -0.
  auto negative_zero = box({0, 0, 0}, {2, 3, 4});
  for (std::size_t f = 0; f < negative_zero.size(); f += 2) {
    for (auto& corner : negative_zero[f]) corner.x = corner.x == 0 ? -0.0 : corner.x;
  }
  auto degenerate = tetrahedron();
  degenerate.push_back({qfm::Vec3{1, 1, 1}, qfm::Vec3{2, 2, 2}, qfm::Vec3{1, 1, 1}});
  const Row rows[] = {
      {"closed", box({0, 0, 0}, {2, 3, 4}), 0, 0},
      {"one facet gone", open_box, 3, 0},
      {"a facet twice", tripled, 3, 0},
      {"0 and -0 the same corner", negative_zero, 0, 0},
      {"a degenerate facet set aside", degenerate, 0, 1},
      {"a lone facet", {tetrahedron()[0]}, 3, 0},
      {"nothing", {}, 0, 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const mesh::EdgeCount count = mesh::count_open_edges(row.triangles);
    EXPECT_EQ(count.open_edges, row.open_edges);
    EXPECT_EQ(count.degenerate_facets, row.degenerate);
  }
}

TEST(ReadStl, RefusesCornersThatAreNotNumbers) {
  const char* texts[] = {
      "solid x\nfacet normal 0 0 1 outer loop vertex nan 0 0 vertex 1 0 0 vertex 0 1 0 "
      "endloop endfacet endsolid\n",
      "solid x\nfacet normal 0 0 1 outer loop vertex 0 0 0 vertex 1 0 0 vertex 0 1 1e39 "
      "endloop endfacet endsolid\n",
  };
  for (const char* text : texts) {
    SCOPED_TRACE(text);
    const auto mesh = read_quietly(text);
    ASSERT_FALSE(mesh);
    EXPECT_EQ(mesh.error().fault, StlFault::NotFinite);
    EXPECT_EQ(mesh.error().message, "a corner of facet 1 that is not a finite number");
  }
}

TEST(ReadStl, HostileBytesGiveAFaultQuietly) {
  std::string lying(100, '\0');
  lying[80] = lying[81] = lying[82] = lying[83] = '\xFF';
  const std::string ascii = ascii_stl(tetrahedron());
  const std::string rows[] = {lying,
                              std::string(4096, '\0'),
                              std::string(300, '\0'),
                              ascii.substr(0, ascii.size() / 2),
                              "solid " + std::string(500, 'a'),
                              "v 0 0 0\nv 1 0 0\nf 1 2 3\n" + std::string(300, '\n')};
  for (const std::string& bytes : rows) {
    SCOPED_TRACE(bytes.size());
    EXPECT_FALSE(read_quietly(bytes));
  }
}

class ReadStlFile : public testing_support::TemporaryFolderTest {
 protected:
  std::string write(const std::filesystem::path& name, const std::string& bytes) {
    const std::filesystem::path path = dir_ / name;
    std::ofstream(path, std::ios::binary) << bytes;
    return reinterpret_cast<const char*>(path.u8string().c_str());
  }
};

TEST_F(ReadStlFile, ReadsAFileUnderAnyName) {
  const std::string path = write(u8"z\u00e4hne \u6b6f.stl", binary_stl(tetrahedron()));
  const auto mesh = mesh::read_stl(path);
  ASSERT_TRUE(mesh) << mesh.error().message;
  EXPECT_EQ(mesh->facet_count, 4u);
}

TEST_F(ReadStlFile, RefusesWhatIsNotAFile) {
  const auto missing =
      mesh::read_stl(reinterpret_cast<const char*>((dir_ / "none.stl").u8string().c_str()));
  ASSERT_FALSE(missing);
  EXPECT_EQ(missing.error().fault, StlFault::CannotOpen);
  const auto folder = mesh::read_stl(reinterpret_cast<const char*>(dir_.u8string().c_str()));
  ASSERT_FALSE(folder);
  EXPECT_EQ(folder.error().fault, StlFault::CannotOpen);
}

TEST_F(ReadStlFile, RefusesAFileTooLargeBeforeReadingIt) {
  const std::filesystem::path path = dir_ / "huge.stl";
  std::ofstream(path, std::ios::binary) << "solid x\n";
  // A sparse file: its size is there, its bytes are not.
  std::filesystem::resize_file(path, mesh::kLargestStlBytes + 1);
  const auto mesh = mesh::read_stl(reinterpret_cast<const char*>(path.u8string().c_str()));
  ASSERT_FALSE(mesh);
  EXPECT_EQ(mesh.error().fault, StlFault::TooLarge);
  EXPECT_EQ(mesh.error().message, "larger than 256 MiB, more than a restoration's mesh: not read");
}

}  // namespace
