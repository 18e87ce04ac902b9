#include "check/geometry_rules.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>

#include "check/margin_file_rules.h"
#include "constructioninfo/build.h"
#include "mesh/margin_fit.h"
#include "mesh/margin_shape.h"
#include "mesh/mesh_checks.h"
#include "mesh/tolerances.h"
#include "platform/file_name.h"
#include "text/quoted_text.h"
#include "text/shortest_decimal.h"

namespace check {

namespace {

// Lengths to the micrometre: finer says nothing to a lab.
std::string length_text(double value) {
  if (!std::isfinite(value)) return text::format_shortest(value);
  return text::format_shortest(std::round(value * 1000) / 1000);
}

std::string stl_path(const CaseContext& context, std::size_t product) {
  return platform::join(context.directory, context.loaded.products[product].stl,
                        platform::kHostPathRules);
}

std::string stl_name(const CaseContext& context, std::size_t product) {
  return text::quote_for_message(context.loaded.products[product].stl);
}

// A finding on the STL file itself, which has no lines worth naming.
void warn_in_stl(Findings& findings, const CaseContext& context, std::size_t product, Rule rule,
                 std::string message) {
  findings.push_back(
      {stl_path(context, product), 1, 1, rule, std::move(message), product, std::nullopt});
}

// Whether an earlier rule already found one of `told` in the product: the
// STL file missing, the box malformed. One mistake, one finding.
bool told(const Findings& findings, std::size_t product, std::initializer_list<Rule> told) {
  return std::ranges::any_of(findings, [&](const Finding& finding) {
    return finding.product == product && std::ranges::find(told, finding.rule) != told.end();
  });
}

void check_mesh(const CaseContext& context, std::size_t p, const mesh::Mesh& read,
                Findings& findings) {
  if (const auto open = mesh::open_edge_count(read)) {
    warn_in_stl(findings, context, p, Rule::StlOpen,
                "the mesh of " + product_name(p) + " has " + std::to_string(*open) +
                    (*open == 1 ? " open edge" : " open edges") +
                    " (holes): a restoration's mesh is closed");
  }
  if (const auto volume = mesh::inside_out_volume(read)) {
    warn_in_stl(findings, context, p, Rule::StlInsideOut,
                "the mesh of " + product_name(p) + " is inside out (volume " +
                    length_text(*volume) + " mm³): its faces point inward");
  }
}

constexpr std::string_view kBoundNames[] = {"minimum", "maximum"};

std::size_t box_value_offset(const ProductPlaces& places, std::size_t entry) {
  if (entry < places.bounding_box.size()) return places.bounding_box[entry];
  return places.record.value_offset("bounding_box");
}

// The box against the mesh; `file` is the product's construction file in
// the document, whose Height the box gives.
void check_box(const CaseContext& context, std::size_t p, std::size_t file, const mesh::Mesh* read,
               Findings& findings) {
  const auto& box = context.loaded.products[p].bounding_box;
  const ProductPlaces& places = context.places.products[p];
  if (const auto bad = mesh::find_not_finite(box)) {
    warn_at(findings, context, box_value_offset(places, bad->index), Rule::CoordinateNotFinite,
            "bounding_box of " + product_name(p) + ": value " + std::to_string(bad->index + 1) +
                " is " + text::format_shortest(bad->value) + ", not a number a document can carry",
            p);
    return;
  }
  // A box of more values, or one upside down or flat, was told already.
  if (!read ||
      told(findings, p, {Rule::BoundingBoxSize, Rule::BoundingBoxOrder, Rule::BoundingBoxHeight}))
    return;
  const auto mismatch = mesh::compare_box_with_extents(box, read->extents);
  if (!mismatch) return;
  const std::size_t bound = mismatch->bound == mesh::Bound::Min ? 0 : 1;
  const std::size_t entry = static_cast<std::size_t>(mismatch->axis) + 3 * bound;
  double height = mismatch->box_height;
  if (context.document && file < context.document->construction_files.size())
    height = context.document->construction_files[file].height;
  warn_at(findings, context, box_value_offset(places, entry), Rule::BoundingBoxStl,
          "bounding_box of " + product_name(p) + ": the " + std::string(kBoundNames[bound]) + " " +
              std::string(mesh::axis_name(mismatch->axis)) + " " +
              length_text(mismatch->box_value) + " differs from the mesh's " +
              length_text(mismatch->mesh_value) + " (" + stl_name(context, p) + ") by more than " +
              length_text(mesh::kBoundingBoxTolerance) + " mm: the document carries the Height " +
              length_text(height) + " from the box, and the blank is chosen by it",
          p);
}

// Where point `index` of a product's loaded margin line was written: its
// line of the .pts file, or (the case file's own points) the case file.
struct PointPlace {
  bool in_file = false;
  TextPosition position;   // in the .pts file
  std::size_t offset = 0;  // in the case file
};

PointPlace place_of_point(const CaseContext& context, std::size_t p, std::size_t index) {
  const MarginFile& file = context.margin_files[context.margin_file_of[p]];
  const std::size_t count = context.loaded.products[p].margin_line_coordinates
                                ? context.loaded.products[p].margin_line_coordinates->size()
                                : 0;
  if (file.bytes) {
    const auto positions = point_positions(*file.bytes);
    if (positions && positions->size() == count && index < count)
      return {true, (*positions)[index], 0};
  }
  return {false, {}, context.places.products[p].record.value_offset("margin_line_coordinates")};
}

// A finding about point `index`: at its line and column of the .pts file,
// or at the case file's margin_line_coordinates when the points are those.
void warn_at_point(Findings& findings, const CaseContext& context, std::size_t p, std::size_t index,
                   Rule rule, const std::string& message) {
  const PointPlace place = place_of_point(context, p, index);
  if (place.in_file) {
    const MarginFile& file = context.margin_files[context.margin_file_of[p]];
    findings.push_back(
        {file.path, place.position.line, place.position.column, rule, message, p, index});
    return;
  }
  warn_at(findings, context, place.offset, rule, message, p);
  findings.back().point = index;
}

std::string point_name(std::size_t index) { return "point " + std::to_string(index + 1); }

std::string_view unit_name(mesh::LikelyUnit unit) {
  switch (unit) {
    case mesh::LikelyUnit::Micrometres:
      return "likely in micrometres (1000 times too large)";
    case mesh::LikelyUnit::Metres:
      return "likely in metres (1000 times too small)";
    case mesh::LikelyUnit::Inches:
      return "likely in inches (25.4 times too small)";
    case mesh::LikelyUnit::Unknown:
      return "in no unit that gives a tooth's size";
  }
  return "";
}

void check_line_on_meshes(const CaseContext& context, std::size_t p, const qfm::PointList& points,
                          std::span<const mesh::Mesh* const> candidates, Findings& findings) {
  const auto& own = context.meshes[p];
  if (!own) return;
  const auto off = mesh::find_points_off_mesh(points, *own);
  if (!off) return;
  std::string message = std::to_string(off->off_count) + " of the " +
                        std::to_string(points.size()) + " margin points of " + product_name(p) +
                        (off->off_count == 1 ? " lies" : " lie") + " farther than " +
                        length_text(mesh::kMarginOnMeshTolerance) + " mm from its STL " +
                        stl_name(context, p) + "; the farthest, " + point_name(off->farthest) +
                        ", by " + length_text(off->farthest_distance) + " mm";
  if (const auto other = mesh::find_mesh_the_line_fits(points, candidates, p)) {
    message += ": it fits the STL of " + product_name(*other) + ": files swapped?";
  }
  warn_at_point(findings, context, p, off->farthest, Rule::MarginLineOffMesh, message);
}

void check_line(const CaseContext& context, std::size_t p,
                std::span<const mesh::Mesh* const> candidates, Findings& findings) {
  const auto& line = context.loaded.products[p].margin_line_coordinates;
  if (!line || line->empty()) return;
  const qfm::PointList& points = *line;
  if (const auto bad = mesh::find_not_finite(points)) {
    warn_at_point(findings, context, p, bad->index, Rule::CoordinateNotFinite,
                  point_name(bad->index) + " of the margin of " + product_name(p) + " has " +
                      std::string(mesh::axis_name(bad->axis)) + " " +
                      text::format_shortest(bad->value) +
                      ": the document gets it as written, and no CAM reads it as a coordinate");
    // Distances and extents mean nothing with such a point in the line.
    return;
  }
  if (const auto units = mesh::find_units_mismatch(points)) {
    warn_at_point(findings, context, p, 0, Rule::MarginLineUnits,
                  "the margin of " + product_name(p) + " is " + length_text(units->extent) +
                      " mm across, which no tooth is (" + length_text(mesh::kSmallestMarginExtent) +
                      " to " + length_text(mesh::kLargestMarginExtent) +
                      " mm): " + std::string(unit_name(units->likely)));
    findings.back().point.reset();
  }
  if (const auto spike = mesh::find_spike(points)) {
    warn_at_point(findings, context, p, spike->index, Rule::MarginLineSpike,
                  point_name(spike->index) + " of the margin of " + product_name(p) + " jumps " +
                      length_text(spike->jump) + " mm from its neighbours, which lie about " +
                      length_text(spike->usual_spacing) +
                      " mm apart elsewhere: a mistyped coordinate?");
  }
  check_line_on_meshes(context, p, points, candidates, findings);
}

}  // namespace

void check_meshes(const CaseContext& context, Findings& findings) {
  const auto& products = context.loaded.products;
  std::size_t file = 0;  // the product's ConstructionFile
  for (std::size_t p = 0;
       p < products.size() && p < context.places.products.size() && p < context.meshes.size();
       ++p) {
    const auto& read = context.meshes[p];
    if (read) {
      check_mesh(context, p, *read, findings);
    } else if (!told(findings, p, {Rule::StlMissing, Rule::StlLetterCase})) {
      warn_in_stl(findings, context, p, Rule::StlUnreadable,
                  "the STL of " + product_name(p) + " could not be read: " + read.error().message);
    }
    // A model's box is not used by the document.
    if (!constructioninfo::gets_construction_file(products[p])) continue;
    check_box(context, p, file++, read ? &*read : nullptr, findings);
  }
}

void check_margin_geometry(const CaseContext& context, Findings& findings) {
  const auto& products = context.loaded.products;
  const std::size_t count = std::min({products.size(), context.places.products.size(),
                                      context.meshes.size(), context.margin_file_of.size()});
  // The meshes a line off its own may fit instead. A model is none: a
  // crown's margin lies on the model of the jaw by design.
  std::vector<const mesh::Mesh*> candidates(count, nullptr);
  for (std::size_t p = 0; p < count; ++p) {
    if (context.meshes[p] && constructioninfo::gets_construction_file(products[p]))
      candidates[p] = &*context.meshes[p];
  }
  for (std::size_t p = 0; p < count; ++p) check_line(context, p, candidates, findings);
}

}  // namespace check
