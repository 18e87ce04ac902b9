#include "check/margin_rules.h"

#include <algorithm>
#include <map>

#include "check/margin_file_rules.h"
#include "platform/file_name.h"
#include "platform/input_file.h"
#include "platform/path_text.h"
#include "qfm/margin_line.h"
#include "text/quoted_text.h"

namespace check {

namespace {

// A margin line needs this many points to enclose anything.
constexpr std::size_t kFewestMarginPoints = 3;

struct PtsFile {
  std::string path;
  std::optional<std::string> bytes;  // none when it does not read
};

bool same_points(const qfm::PointList& a, const qfm::PointList& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                    [](const qfm::Vec3& p, const qfm::Vec3& q) {
                      return p.x == q.x && p.y == q.y && p.z == q.z;
                    });
}

void check_dropped_lines(const PtsFile& file, Findings& findings) {
  if (!file.bytes) return;
  for (LineFinding& line : check_margin_line_text(*file.bytes)) {
    findings.push_back({platform::display_path(file.path), line.line, line.column,
                        Severity::Warning, std::move(line.message), "margin-line-dropped"});
  }
}

void check_short(const CaseContext& context, std::size_t p, Findings& findings) {
  const qfm::Product& product = context.loaded.products[p];
  if (product.product_type == qfm::ProductType::Model || !product.margin_line_coordinates) return;
  const std::size_t count = product.margin_line_coordinates->size();
  if (count >= kFewestMarginPoints) return;
  const RecordPlaces& record = context.places.products[p].record;
  warn_at(findings, context,
          record.value_offset(record.holds("pts") ? "pts" : "margin_line_coordinates"),
          "margin-line-short",
          "the margin of " + product_name(p) + " has " + std::to_string(count) +
              (count == 1 ? " point" : " points") + ": a margin line needs at least three");
}

void check_replaced(const CaseContext& context, std::size_t p, const PtsFile& file,
                    Findings& findings) {
  const auto& inline_points = context.as_written.products[p].margin_line_coordinates;
  if (!inline_points || !file.bytes || !qfm::parse_margin_line_text(*file.bytes)) return;
  const auto& read = context.loaded.products[p].margin_line_coordinates;
  if (!read || same_points(*read, *inline_points)) return;
  const std::string pts = text::quote_for_message(context.loaded.products[p].pts);
  const std::string inline_count = std::to_string(inline_points->size());
  const RecordPlaces& record = context.places.products[p].record;
  warn_at(findings, context, record.value_offset("margin_line_coordinates"),
          "margin-line-replaces-inline",
          read->empty() ? "the .pts file " + pts + " of " + product_name(p) +
                              " gives no point, and its empty margin replaces the " + inline_count +
                              " points of margin_line_coordinates"
                        : "the " + std::to_string(read->size()) + " points of the .pts file " +
                              pts + " replace the " + inline_count +
                              " different points of margin_line_coordinates of " + product_name(p));
}

}  // namespace

void check_margin_lines(const CaseContext& context, Findings& findings) {
  const auto& products = context.loaded.products;
  // Each file read and checked once, however many products name it.
  std::map<std::string, PtsFile> files;
  std::map<std::string, std::size_t> first_product;
  for (std::size_t p = 0; p < products.size() && p < context.places.products.size(); ++p) {
    const std::string& pts = products[p].pts;
    auto [named, first] = first_product.emplace(pts, p);
    if (!first) {
      warn_at(findings, context, context.places.products[p].record.value_offset("pts"),
              "pts-shared",
              "the .pts file " + text::quote_for_message(pts) + " is named by " +
                  product_name(named->second) + " too: both get the same margin");
    }
    auto [entry, fresh] = files.try_emplace(pts);
    PtsFile& file = entry->second;
    if (fresh) {
      file.path = platform::join(context.directory, pts, platform::kHostPathRules);
      if (auto bytes = platform::read_whole_file(file.path)) file.bytes = std::move(*bytes);
      check_dropped_lines(file, findings);
    }
    check_short(context, p, findings);
    check_replaced(context, p, file, findings);
  }
}

}  // namespace check
