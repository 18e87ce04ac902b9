#include "check/near_key.h"

#include <algorithm>
#include <vector>

#include "text/quoted_text.h"

namespace check {

namespace {

// The key as it is compared: ASCII letters in lower case, and "-", "_"
// and spaces left out.
std::string comparable(std::string_view key) {
  std::string out;
  for (char c : key) {
    if (c == '-' || c == '_' || c == ' ') continue;
    out += c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
  }
  return out;
}

// Edits (insert, delete, change, swap of neighbours) from `a` to `b`.
std::size_t edit_distance(std::string_view a, std::string_view b) {
  std::vector<std::vector<std::size_t>> d(a.size() + 1, std::vector<std::size_t>(b.size() + 1));
  for (std::size_t i = 0; i <= a.size(); ++i) d[i][0] = i;
  for (std::size_t j = 0; j <= b.size(); ++j) d[0][j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    for (std::size_t j = 1; j <= b.size(); ++j) {
      const std::size_t change = a[i - 1] == b[j - 1] ? 0 : 1;
      d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + change});
      if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
        d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
    }
  }
  return d[a.size()][b.size()];
}

// Keys this short are too alike for an edit to say which was meant.
constexpr std::size_t kShortestEditedKey = 4;
constexpr std::size_t kMostEdits = 2;

}  // namespace

std::optional<std::string> near_key(std::string_view typed, std::span<const std::string> keys) {
  const std::string wanted = comparable(typed);
  if (wanted.empty()) return std::nullopt;
  std::vector<std::string> sorted(keys.begin(), keys.end());
  std::sort(sorted.begin(), sorted.end());
  for (const std::string& key : sorted) {
    if (comparable(key) == wanted) return key;
  }
  if (wanted.size() < kShortestEditedKey) return std::nullopt;
  std::optional<std::string> best;
  std::size_t best_distance = kMostEdits + 1;
  for (const std::string& key : sorted) {
    const std::string candidate = comparable(key);
    if (candidate.size() < kShortestEditedKey) continue;
    const std::size_t distance = edit_distance(wanted, candidate);
    if (distance < best_distance) {
      best = key;
      best_distance = distance;
    }
  }
  return best;
}

std::string did_you_mean(std::string_view typed, std::span<const std::string> keys) {
  const auto key = near_key(typed, keys);
  if (!key || *key == typed) return "";
  return "; did you mean " + text::quote_for_message(*key) + "?";
}

}  // namespace check
