#include "check/margin_rules.h"

#include <algorithm>

#include "check/margin_file_rules.h"
#include "constructioninfo/build.h"
#include "text/quoted_text.h"

namespace check {

namespace {

// A margin line needs this many points to enclose anything.
constexpr std::size_t kFewestMarginPoints = 3;

std::string points(std::size_t count) {
  return std::to_string(count) + (count == 1 ? " point" : " points");
}

bool same_points(const qfm::PointList& a, const qfm::PointList& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                    [](const qfm::Vec3& p, const qfm::Vec3& q) {
                      return p.x == q.x && p.y == q.y && p.z == q.z;
                    });
}

void check_dropped_lines(const MarginFile& file, std::size_t p, Findings& findings) {
  if (!file.bytes) return;
  for (LineFinding& line : check_margin_line_text(*file.bytes)) {
    findings.push_back({file.path, line.line, line.column, Rule::MarginLineDropped,
                        std::move(line.message), p, line.point});
  }
}

void check_short(const CaseContext& context, std::size_t p, Findings& findings) {
  const qfm::Product& product = context.loaded.products[p];
  if (!constructioninfo::gets_construction_file(product) || !product.margin_line_coordinates)
    return;
  const std::size_t count = product.margin_line_coordinates->size();
  if (count >= kFewestMarginPoints) return;
  const RecordPlaces& record = context.places.products[p].record;
  warn_at(findings, context,
          record.value_offset(record.holds("pts") ? "pts" : "margin_line_coordinates"),
          Rule::MarginLineShort,
          "the margin of " + product_name(p) + " has " + points(count) +
              ": a margin line needs at least three",
          p);
}

void check_replaced(const CaseContext& context, std::size_t p, Findings& findings) {
  const auto& inline_points = context.replaced_inline[p];
  if (!inline_points) return;
  const auto& read = context.loaded.products[p].margin_line_coordinates;
  if (!read || same_points(*read, *inline_points)) return;
  const std::string pts = text::quote_for_message(context.loaded.products[p].pts);
  const RecordPlaces& record = context.places.products[p].record;
  warn_at(findings, context, record.value_offset("margin_line_coordinates"),
          Rule::MarginLineReplacesInline,
          read->empty() ? "the .pts file " + pts + " of " + product_name(p) +
                              " gives no point, and its empty margin replaces the " +
                              points(inline_points->size()) + " of margin_line_coordinates"
                        : "the " + points(read->size()) + " of the .pts file " + pts +
                              " replace the " + std::to_string(inline_points->size()) +
                              " different " + (inline_points->size() == 1 ? "point" : "points") +
                              " of margin_line_coordinates of " + product_name(p),
          p);
}

}  // namespace

void check_margin_lines(const CaseContext& context, Findings& findings) {
  const auto& products = context.loaded.products;
  // Each file's lines checked once, however many products name it.
  std::vector<bool> checked(context.margin_files.size(), false);
  for (std::size_t p = 0; p < products.size() && p < context.places.products.size(); ++p) {
    const std::size_t entry = context.margin_file_of[p];
    if (!checked[entry]) {
      checked[entry] = true;
      check_dropped_lines(context.margin_files[entry], p, findings);
    } else {
      const auto first = static_cast<std::size_t>(
          std::find(context.margin_file_of.begin(), context.margin_file_of.end(), entry) -
          context.margin_file_of.begin());
      warn_at(findings, context, context.places.products[p].record.value_offset("pts"),
              Rule::PtsShared,
              "the .pts file " + text::quote_for_message(products[p].pts) + " is named by " +
                  product_name(first) + " too: both get the same margin",
              p);
    }
    check_short(context, p, findings);
    check_replaced(context, p, findings);
  }
}

}  // namespace check
