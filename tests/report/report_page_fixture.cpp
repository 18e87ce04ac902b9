// Writes report pages of made-up cases, for the browser test of the report
// (scripts/test-report.sh), its timing and the picture in doc/:
//
//   report_page_fixture OUT.html
//       the fixture cases: a clean crown whose margin line runs round its
//       rim, a crown on a tilted axis whose margin line runs round its cap
//       with a spike (a finding on that point), and a product with hostile
//       names, a margin line and no mesh; beside it OUT.html.points.json,
//       the margin points of each drawn product and those with findings;
//   report_page_fixture OUT.html CASES FACETS
//       CASES cases of one crown of about FACETS facets each, the time taken
//       to write the page on standard output.
#include <algorithm>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <numbers>
#include <string>
#include <vector>

#include "report/page.h"

namespace {

struct Crown {
  qfm::Vec3 base;  // centre of the rim
  qfm::Vec3 axis;  // unit, towards the cap
  qfm::Vec3 side;  // unit, across the axis
  qfm::Vec3 other;
};

qfm::Vec3 unit(qfm::Vec3 v) {
  const double length = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
  return {v.x / length, v.y / length, v.z / length};
}

Crown crown_at(qfm::Vec3 base, qfm::Vec3 axis) {
  const qfm::Vec3 a = unit(axis);
  const qfm::Vec3 side = unit({a.z, 0, -a.x});  // across a tilt about y
  const qfm::Vec3 other{a.y * side.z - a.z * side.y, a.z * side.x - a.x * side.z,
                        a.x * side.y - a.y * side.x};
  return {base, a, side, other};
}

// A crown's radius at height h (mm) over its rim, 0 ≤ h ≤ 7.5: it bulges
// over the rim, narrows and closes in a dome.
double crown_radius(double h) {
  if (h < 6) return 4 + 1.0 * std::sin(h / 6 * std::numbers::pi * 0.75);
  const double t = (h - 6) / 1.5;
  return (4 + 1.0 * std::sin(std::numbers::pi * 0.75)) * std::sqrt(std::max(0.0, 1 - t * t));
}

constexpr double kCrownHeight = 7.5;

qfm::Vec3 crown_point(const Crown& crown, double h, double angle, double radius) {
  const double c = std::cos(angle) * radius;
  const double s = std::sin(angle) * radius;
  return {crown.base.x + crown.axis.x * h + crown.side.x * c + crown.other.x * s,
          crown.base.y + crown.axis.y * h + crown.side.y * c + crown.other.y * s,
          crown.base.z + crown.axis.z * h + crown.side.z * c + crown.other.z * s};
}

// About `facets` facets: rings round the axis, closed by the cap's apex.
std::vector<report::Triangle> crown_mesh(const Crown& crown, std::size_t facets) {
  const std::size_t around =
      std::max<std::size_t>(8, static_cast<std::size_t>(std::sqrt(static_cast<double>(facets))));
  const std::size_t rings = std::max<std::size_t>(3, facets / (2 * around));
  std::vector<report::Triangle> mesh;
  mesh.reserve(2 * around * rings);
  const auto point = [&](std::size_t ring, std::size_t step) {
    const double h = kCrownHeight * static_cast<double>(ring) / static_cast<double>(rings);
    const double angle =
        2 * std::numbers::pi * static_cast<double>(step % around) / static_cast<double>(around);
    return crown_point(crown, h, angle, crown_radius(h));
  };
  for (std::size_t ring = 0; ring < rings; ++ring) {
    for (std::size_t step = 0; step < around; ++step) {
      const qfm::Vec3 a = point(ring, step), b = point(ring, step + 1);
      const qfm::Vec3 c = point(ring + 1, step), d = point(ring + 1, step + 1);
      mesh.push_back({a, b, d});
      if (ring + 1 < rings) mesh.push_back({a, d, c});
    }
  }
  return mesh;
}

std::vector<qfm::Vec3> ring_line(const Crown& crown, double h, std::size_t count) {
  std::vector<qfm::Vec3> line;
  for (std::size_t i = 0; i < count; ++i) {
    const double angle = 2 * std::numbers::pi * static_cast<double>(i) / static_cast<double>(count);
    line.push_back(crown_point(crown, h, angle, crown_radius(h) + 0.05));
  }
  return line;
}

// The spike's point in the cap's margin line, and how far it stands out.
constexpr std::size_t kSpikePoint = 30;
constexpr double kSpikeLength = 5;

struct Fixture {
  std::vector<report::Triangle> clean_mesh;
  std::vector<qfm::Vec3> clean_margin;
  std::vector<report::Triangle> spiked_mesh;
  std::vector<qfm::Vec3> spiked_margin;
};

Fixture make_fixture() {
  Fixture fixture;
  const Crown clean = crown_at({12, 20, 3}, {0, 0, 1});
  fixture.clean_mesh = crown_mesh(clean, 6000);
  fixture.clean_margin = ring_line(clean, 0.3, 120);
  const Crown tilted = crown_at({-5, 8, 2}, {0.35, 0, 1});
  fixture.spiked_mesh = crown_mesh(tilted, 6000);
  fixture.spiked_margin = ring_line(tilted, 6.6, 96);
  const double angle = 2 * std::numbers::pi * kSpikePoint / 96;
  fixture.spiked_margin[kSpikePoint] =
      crown_point(tilted, 6.6, angle, crown_radius(6.6) + kSpikeLength);
  return fixture;
}

std::vector<report::CaseReport> fixture_cases(const Fixture& fixture) {
  report::CaseReport clean;
  clean.path = "examples/11_crown/case.json";
  clean.machine = "Ceramill Motion 2 (5X)";
  clean.materials = {{"Material", "Zirconia (ZrO2) 98 mm"}, {"Brand", "Ceramill Zolid HT+"}};
  report::Product crown;
  crown.teeth = {11};
  crown.reconstruction = "Crown";
  crown.colour = "A2";
  crown.height = 14;
  crown.blank_height = 16;
  crown.stl_name = "11_crown.stl";
  crown.pts_name = "11_crown.pts";
  crown.mesh = std::span<const report::Triangle>(fixture.clean_mesh);
  crown.margin = std::span<const qfm::Vec3>(fixture.clean_margin);
  crown.tooth_axis = {0, 0, 1};
  clean.products.push_back(crown);

  report::CaseReport spiked;
  spiked.path = "examples/36_swapped/case.json";
  spiked.machine = "Ceramill Matik";
  spiked.fallback = "Ceramill Motion 2 (5X)";
  spiked.materials = {{"Material", "Lithium disilicate"}};
  report::Product cap = crown;
  cap.teeth = {36};
  cap.colour = "A3";
  cap.height = std::nullopt;
  cap.stl_name = "36_crown.stl";
  cap.pts_name = "36_crown.pts";
  cap.mesh = std::span<const report::Triangle>(fixture.spiked_mesh);
  cap.margin = std::span<const qfm::Vec3>(fixture.spiked_margin);
  cap.tooth_axis = {0.35, 0, 1};
  spiked.products.push_back(cap);
  report::Product hostile;
  hostile.teeth = {37, 38};
  hostile.reconstruction = "Bridge \"<b>x</b>\"";
  hostile.stl_name = "<script>alert(1)</script>\".stl";
  hostile.pts_name = "a&amp;b\nline2\xff\xfe.pts";
  hostile.mesh_missing = "no STL file of that name: \"<script>alert(1)</script>\".stl";
  hostile.margin = std::span<const qfm::Vec3>(fixture.clean_margin);
  hostile.tooth_axis = {0, 0, 1};
  spiked.products.push_back(hostile);
  spiked.findings = {
      {"examples/36_swapped/36_crown.pts", 31, 1, report::Severity::Warning,
       "margin point 31 lies 5 mm from its neighbours", "margin-spike", 0, kSpikePoint},
      {"examples/36_swapped/case.json", 12, 7, report::Severity::Warning,
       "the margin line runs round the cap, not the rim", "margin-on-cap", 0, std::nullopt},
      {"examples/36_swapped/case.json", 20, 15, report::Severity::Error,
       "no STL file \"<script>alert(1)</script>\".stl", "stl-missing", 1, std::nullopt},
  };
  return {clean, spiked};
}

report::RunSummary summary_of(const std::vector<report::CaseReport>& cases) {
  report::RunSummary run{cases.size(), 0, 0};
  for (const report::CaseReport& case_report : cases) {
    const report::CaseSummary summary = report::summarise(case_report);
    run.errors += summary.errors;
    run.warnings += summary.warnings;
  }
  return run;
}

int write_file(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
  return out.good() ? 0 : 1;
}

void append_json_number(std::string& out, double value) {
  char digits[64];
  out.append(digits, std::to_chars(digits, digits + sizeof digits, value).ptr);
}

void append_json_vector(std::string& out, const qfm::Vec3& v) {
  out += '[';
  append_json_number(out, v.x);
  out += ',';
  append_json_number(out, v.y);
  out += ',';
  append_json_number(out, v.z);
  out += ']';
}

// What the picture test must find in the drawing: each drawn product's
// anchor, margin points and the indices of those with findings.
std::string margin_points_json(const std::vector<report::CaseReport>& cases) {
  std::string out = "[";
  for (std::size_t c = 0; c < cases.size(); ++c) {
    for (std::size_t p = 0; p < cases[c].products.size(); ++p) {
      const report::Product& product = cases[c].products[p];
      if (!product.margin) continue;
      if (out.size() > 1) out += ',';
      out += "{\"product\":\"case-" + std::to_string(c + 1) + "-product-" + std::to_string(p + 1) +
             "\",\"mesh\":" + (product.mesh ? "true" : "false") + ",\"points\":[";
      for (std::size_t i = 0; i < product.margin->size(); ++i) {
        if (i > 0) out += ',';
        append_json_vector(out, (*product.margin)[i]);
      }
      out += "],\"marked\":[";
      bool first = true;
      for (const report::Finding& finding : cases[c].findings) {
        if (finding.product != p || !finding.point) continue;
        if (!first) out += ',';
        first = false;
        out += std::to_string(*finding.point);
      }
      out += "]}";
    }
  }
  return out + "]\n";
}

std::size_t parse_count(const char* text) {
  std::size_t value = 0;
  std::from_chars(text, text + std::char_traits<char>::length(text), value);
  return value;
}

// Many cases of one crown each, written in pieces as the checker would.
int write_many(const char* path, std::size_t case_count, std::size_t facets) {
  const Crown crown = crown_at({0, 0, 0}, {0.2, 0, 1});
  const std::vector<report::Triangle> mesh = crown_mesh(crown, facets);
  const std::vector<qfm::Vec3> margin = ring_line(crown, 0.3, 400);
  report::CaseReport one;
  one.machine = "Ceramill Motion 2 (5X)";
  one.materials = {{"Material", "Zirconia"}};
  report::Product product;
  product.teeth = {46};
  product.reconstruction = "Crown";
  product.stl_name = "46.stl";
  product.pts_name = "46.pts";
  product.mesh = std::span<const report::Triangle>(mesh);
  product.margin = std::span<const qfm::Vec3>(margin);
  product.tooth_axis = {0.2, 0, 1};
  one.products.push_back(product);

  const auto start = std::chrono::steady_clock::now();
  std::vector<report::CaseSummary> summaries;
  for (std::size_t i = 0; i < case_count; ++i) {
    summaries.push_back({"cases/" + std::to_string(i + 1) + "/case.json", 0, 0});
  }
  std::ofstream out(path, std::ios::binary);
  out << report::report_start({case_count, 0, 0}, summaries);
  std::size_t bytes = 0;
  for (std::size_t i = 0; i < case_count; ++i) {
    one.path = summaries[i].path;
    const std::string section = report::case_section(one, i + 1);
    bytes += section.size();
    out << section;
  }
  out << report::report_end();
  out.close();
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::cout << case_count << (case_count == 1 ? " case of " : " cases of ") << mesh.size()
            << " facets: " << seconds << " s, sections " << bytes << " bytes\n";
  return out.good() ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2) {
    const Fixture fixture = make_fixture();
    const std::vector<report::CaseReport> cases = fixture_cases(fixture);
    const std::string path = argv[1];
    if (write_file(path + ".points.json", margin_points_json(cases)) != 0) return 1;
    return write_file(path, report::write_report(summary_of(cases), cases));
  }
  if (argc == 4) return write_many(argv[1], parse_count(argv[2]), parse_count(argv[3]));
  std::cerr << "usage: report_page_fixture OUT.html [CASES FACETS]\n";
  return 2;
}
