// Points as nanoflann's k-d tree reads them, for the trees over triangle
// centres and over margin points.
#pragma once

#include <array>
#include <cstddef>
#include <nanoflann.hpp>
#include <vector>

namespace mesh {

// Coordinates as an array, so that the tree's many reads of one axis are an
// index rather than a branch.
struct PointCloud {
  std::vector<std::array<double, 3>> points;
  std::size_t kdtree_get_point_count() const { return points.size(); }
  double kdtree_get_pt(std::size_t index, std::size_t axis) const { return points[index][axis]; }
  // The tree measures its own box.
  template <class Box>
  bool kdtree_get_bbox(Box&) const {
    return false;
  }
};

using PointCloudTree =
    nanoflann::KDTreeSingleIndexAdaptor<nanoflann::L2_Simple_Adaptor<double, PointCloud>,
                                        PointCloud, 3, std::size_t>;

}  // namespace mesh
