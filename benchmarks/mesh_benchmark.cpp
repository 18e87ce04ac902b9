// A restoration's mesh of 200 000 facets read from its binary STL, and a
// margin line of 2 000 points held against it with every margin
// check: what the checker spends on the geometry of one product. The
// checker's budget for it is 50 ms on one core.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "mesh/margin_fit.h"
#include "mesh/margin_shape.h"
#include "mesh/mesh_checks.h"
#include "mesh/read_stl.h"

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int kRings = 250;
constexpr int kSegments = 400;  // 2 × 400 × 250 = 200 000 facets, less the poles' 800
constexpr int kMarginPoints = 2000;
constexpr double kRadius = 5;

qfm::Vec3 on_sphere(double theta, double phi) {
  return {kRadius * std::sin(theta) * std::cos(phi), kRadius * std::sin(theta) * std::sin(phi),
          kRadius * std::cos(theta)};
}

void put(std::string& out, const void* bytes, std::size_t size) {
  out.append(static_cast<const char*>(bytes), size);
}

void put_corner(std::string& out, const qfm::Vec3& p) {
  const float values[3] = {static_cast<float>(p.x), static_cast<float>(p.y),
                           static_cast<float>(p.z)};
  put(out, values, sizeof values);
}

// A sphere's binary STL, its facets facing out.
std::string sphere_stl() {
  std::string facets;
  std::uint32_t count = 0;
  const float normal[3] = {0, 0, 0};
  for (int r = 0; r < kRings; ++r) {
    for (int s = 0; s < kSegments; ++s) {
      const double t0 = kPi * r / kRings, t1 = kPi * (r + 1) / kRings;
      const double p0 = 2 * kPi * s / kSegments, p1 = 2 * kPi * (s + 1) / kSegments;
      const qfm::Vec3 a = on_sphere(t0, p0), b = on_sphere(t1, p0), c = on_sphere(t1, p1),
                      d = on_sphere(t0, p1);
      const qfm::Vec3 triangles[2][3] = {{a, b, d}, {b, c, d}};
      for (int k = 0; k < 2; ++k) {
        if ((k == 0 && r == 0) || (k == 1 && r == kRings - 1)) continue;
        put(facets, normal, sizeof normal);
        for (const auto& corner : triangles[k]) put_corner(facets, corner);
        facets.append(2, '\0');
        ++count;
      }
    }
  }
  std::string out(80, ' ');
  put(out, &count, sizeof count);
  return out + facets;
}

// The margin: a line round the sphere below its equator, on the mesh
// within its chord error.
qfm::PointList margin_line() {
  qfm::PointList points;
  for (int i = 0; i < kMarginPoints; ++i) {
    const int segment = i % kSegments;
    points.push_back(on_sphere(kPi * 150 / kRings, 2 * kPi * segment / kSegments + 1e-4 * i));
  }
  return points;
}

void BM_ReadAndCheckOneProduct(benchmark::State& state) {
  const std::filesystem::path path =
      std::filesystem::temp_directory_path() / "daz-mesh-benchmark.stl";
  std::ofstream(path, std::ios::binary) << sphere_stl();
  const qfm::PointList points = margin_line();
  const std::vector<double> box{-5, -5, -5, 5, 5, 5};
  for (auto _ : state) {
    auto mesh = mesh::read_stl(path.string());
    if (!mesh) {
      state.SkipWithError(mesh.error().message.c_str());
      break;
    }
    const mesh::Mesh* meshes[] = {&*mesh};
    benchmark::DoNotOptimize(mesh::compare_box_with_extents(box, mesh->extents));
    benchmark::DoNotOptimize(mesh::find_not_finite(points));
    benchmark::DoNotOptimize(mesh::find_units_mismatch(points));
    benchmark::DoNotOptimize(mesh::find_spike(points));
    const auto off = mesh::find_points_off_mesh(points, *mesh);
    if (off) {
      state.SkipWithError("the margin line should lie on the mesh");
      break;
    }
    benchmark::DoNotOptimize(mesh::find_mesh_the_line_fits(points, meshes, 0));
    state.counters["facets"] = static_cast<double>(mesh->facet_count);
  }
  std::filesystem::remove(path);
}
BENCHMARK(BM_ReadAndCheckOneProduct)->Unit(benchmark::kMillisecond);

// The parts apart: reading, checking, and the index that only a line off
// its mesh needs.
void BM_ReadStl(benchmark::State& state) {
  const std::filesystem::path path =
      std::filesystem::temp_directory_path() / "daz-mesh-benchmark-read.stl";
  std::ofstream(path, std::ios::binary) << sphere_stl();
  for (auto _ : state) benchmark::DoNotOptimize(mesh::read_stl(path.string()));
  std::filesystem::remove(path);
}
BENCHMARK(BM_ReadStl)->Unit(benchmark::kMillisecond);

void BM_IndexMesh(benchmark::State& state) {
  const auto mesh = mesh::read_stl_bytes(sphere_stl());
  for (auto _ : state) benchmark::DoNotOptimize(mesh::MeshIndex(*mesh));
}
BENCHMARK(BM_IndexMesh)->Unit(benchmark::kMillisecond);

void BM_CheckMargin(benchmark::State& state) {
  const auto mesh = mesh::read_stl_bytes(sphere_stl());
  const qfm::PointList points = margin_line();
  for (auto _ : state) benchmark::DoNotOptimize(mesh::find_points_off_mesh(points, *mesh));
}
BENCHMARK(BM_CheckMargin)->Unit(benchmark::kMillisecond);

}  // namespace

// The geometry of one small case as scripts/benchmark-checker.sh copies it
// ten thousand times: case7's two example meshes read, their lines checked.
void BM_ExampleCase(benchmark::State& state) {
  const std::string folder = std::string(DAZ_SOURCE_DIR) + "/examples/";
  const std::string stls[] = {folder + "11_12_bridge.stl", folder + "36 onlay&inlay.stl"};
  const qfm::PointList lines[] = {{{1.5, -2, 3.25}, {1.25, -2.5, 3.3}, {0.75, -2.25, 3.4}},
                                  {{-3.5, 1.25, 2.6}, {-2.75, 2.5, 2.7}, {-1.5, 1.75, 2.65}}};
  for (auto _ : state) {
    for (int p = 0; p < 2; ++p) {
      const auto mesh = mesh::read_stl(stls[p]);
      if (!mesh || mesh::find_points_off_mesh(lines[p], *mesh)) {
        state.SkipWithError("the example's line should lie on its mesh");
        return;
      }
    }
  }
}
BENCHMARK(BM_ExampleCase)->Unit(benchmark::kMicrosecond);
