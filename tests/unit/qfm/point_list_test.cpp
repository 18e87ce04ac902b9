// A margin's point list keeps its points across every move to larger
// room, from the heap to room on huge pages.
#include "qfm/point_list.h"

#include <gtest/gtest.h>

namespace qfm {
namespace {

TEST(PointList, AGrowingListKeepsItsPointsAcrossEveryMove) {
  PointList points;
  constexpr std::size_t kCount = 300'000;  // 7.2 MB: from the heap to huge pages
  const auto point = [](std::size_t i) {
    const double d = static_cast<double>(i);
    return Vec3{d, -d, d * 3};
  };
  for (std::size_t i = 0; i < kCount; ++i) append_point(points, point(i));
  reserve_points(points, kCount + kCount / 2);
  ASSERT_EQ(points.size(), kCount);
  for (std::size_t i = 0; i < kCount; ++i) ASSERT_EQ(points[i], point(i)) << i;
}

}  // namespace
}  // namespace qfm
