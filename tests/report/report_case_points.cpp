// What the browser test must find in the drawings of the checker's report
// (scripts/test-report.sh), from the cases themselves:
//
//   report_case_points PATH...
//       on standard output, as JSON, for each product with a drawing (a mesh
//       or a margin line) of each case that the checker finds under PATHs,
//       in the report's order: its anchor, whether its STL reads (and the
//       mesh's largest extent, mm), its margin
//       points as the tool loads them, and the points that the checker's
//       findings concern.
#include <algorithm>
#include <charconv>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "check/check_case.h"
#include "check/folder_walk.h"
#include "mesh/read_stl.h"
#include "platform/file_name.h"
#include "qfm/load_case.h"

namespace {

void append_number(std::string& out, double value) {
  char digits[64];
  out.append(digits, std::to_chars(digits, digits + sizeof digits, value).ptr);
}

std::string point_json(const qfm::Vec3& p) {
  std::string out = "[";
  append_number(out, p.x);
  out += ',';
  append_number(out, p.y);
  out += ',';
  append_number(out, p.z);
  return out + ']';
}

// The largest extent of the mesh of the STL file at `path`, in mm; none
// when it does not read.
std::optional<double> mesh_size(const std::string& path) {
  const auto mesh = mesh::read_stl(path);
  if (!mesh) return std::nullopt;
  const qfm::Vec3 &low = mesh->extents.min, &high = mesh->extents.max;
  return std::max({high.x - low.x, high.y - low.y, high.z - low.z});
}

std::string product_json(const std::string& anchor, std::optional<double> mesh,
                         const qfm::PointList& points, const check::Findings& findings,
                         std::size_t product) {
  std::string out = "{\"product\":\"" + anchor + "\",\"mesh\":" + (mesh ? "true" : "false");
  if (mesh) {
    out += ",\"mesh_size\":";
    append_number(out, *mesh);
  }
  out += ",\"points\":[";
  for (std::size_t i = 0; i < points.size(); ++i) {
    if (i > 0) out += ',';
    out += point_json(points[i]);
  }
  out += "],\"marked\":[";
  bool first = true;
  for (const check::Finding& finding : findings) {
    if (finding.product != product || !finding.point) continue;
    if (!first) out += ',';
    first = false;
    out += std::to_string(*finding.point);
  }
  return out + "]}";
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> paths(argv + 1, argv + argc);
  const std::vector<check::CaseFileEntry> files = check::case_files(paths);
  std::string out = "[";
  for (std::size_t c = 0; c < files.size(); ++c) {
    const auto file = qfm::name_case_file(files[c].path);
    if (!file) continue;
    const auto loaded = qfm::load_case(*file);
    if (!loaded) continue;
    const check::Findings findings = check::check_case(files[c].path, files[c].origin).findings;
    const std::string directory(platform::parent(files[c].path, platform::kHostPathRules));
    for (std::size_t p = 0; p < loaded->products.size(); ++p) {
      const qfm::Product& product = loaded->products[p];
      const qfm::PointList points = product.margin_line_coordinates.value_or(qfm::PointList());
      const auto mesh =
          product.stl.empty()
              ? std::nullopt
              : mesh_size(platform::join(directory, product.stl, platform::kHostPathRules));
      if (points.empty() && !mesh) continue;
      if (out.size() > 1) out += ',';
      out += product_json("case-" + std::to_string(c + 1) + "-product-" + std::to_string(p + 1),
                          mesh, points, findings, p);
    }
  }
  std::cout << out << "]\n";
  return std::cout.good() ? 0 : 1;
}
