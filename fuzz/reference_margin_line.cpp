#include "reference_margin_line.h"

#include "reference_number.h"

namespace fuzz {

namespace {

bool is_white(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

std::string_view trimmed(std::string_view line) {
  while (!line.empty() && is_white(line.front())) line.remove_prefix(1);
  while (!line.empty() && is_white(line.back())) line.remove_suffix(1);
  return line;
}

std::vector<std::string_view> words(std::string_view line) {
  std::vector<std::string_view> found;
  std::size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && is_white(line[i])) ++i;
    const std::size_t start = i;
    while (i < line.size() && !is_white(line[i])) ++i;
    if (i > start) found.push_back(line.substr(start, i - start));
  }
  return found;
}

std::optional<qfm::Vec3> point_of(std::string_view line) {
  const auto found = words(line);
  if (found.size() != 3) return std::nullopt;
  const auto x = coordinate_value(found[0]);
  const auto y = coordinate_value(found[1]);
  const auto z = coordinate_value(found[2]);
  if (!x || !y || !z) return std::nullopt;
  return qfm::Vec3{*x, *y, *z};
}

}  // namespace

std::optional<qfm::PointList> reference_margin_points(std::string_view text) {
  for (const char c : text) {
    if (static_cast<unsigned char>(c) >= 0x80) return std::nullopt;
  }
  qfm::PointList points;
  bool inside = false;
  while (!text.empty()) {
    const std::size_t feed = text.find('\n');
    const std::string_view line = trimmed(text.substr(0, feed));
    text.remove_prefix(feed == std::string_view::npos ? text.size() : feed + 1);
    if (line.empty()) continue;
    if (line.starts_with("BEGIN_")) {
      inside = true;
    } else if (line.starts_with("END_")) {
      break;
    } else if (inside) {
      if (const auto point = point_of(line)) points.push_back(*point);
    }
  }
  return points;
}

}  // namespace fuzz
