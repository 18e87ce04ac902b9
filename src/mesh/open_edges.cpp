#include "mesh/open_edges.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <vector>

namespace mesh {

namespace {

constexpr std::uint32_t kEmpty = UINT32_MAX;

// 0.0 and -0.0 are the same corner.
std::uint64_t bits_of(double value) { return std::bit_cast<std::uint64_t>(value + 0.0); }

// MurmurHash3's finaliser: every bit of `k` moves every bit of the hash.
// A float's corner widened to double has 29 low bits of zero, which a
// plain multiply would leave in the table's index.
std::uint64_t mix(std::uint64_t k) {
  k ^= k >> 33;
  k *= 0xFF51AFD7ED558CCDULL;
  k ^= k >> 33;
  k *= 0xC4CEB9FE1A85EC53ULL;
  return k ^ (k >> 33);
}

std::uint64_t hash_of(const qfm::Vec3& corner) {
  return mix(bits_of(corner.x) ^ mix(bits_of(corner.y) ^ mix(bits_of(corner.z))));
}

// Each corner's number, equal corners alike, in an open-addressing table
// of twice the corners' count.
std::vector<std::uint32_t> number_corners(std::span<const Triangle> triangles,
                                          std::uint32_t& distinct) {
  const std::size_t corners = 3 * triangles.size();
  const std::size_t size = std::bit_ceil(std::max<std::size_t>(2 * corners, 16));
  std::vector<std::uint32_t> slots(size, kEmpty);  // the first corner's index of each number
  std::vector<std::uint32_t> numbers(corners);
  std::vector<std::uint32_t> first;  // by number: its first corner's index
  const auto corner_at = [&](std::size_t i) -> const qfm::Vec3& { return triangles[i / 3][i % 3]; };
  for (std::size_t i = 0; i < corners; ++i) {
    const qfm::Vec3& corner = corner_at(i);
    std::size_t slot = hash_of(corner) & (size - 1);
    while (slots[slot] != kEmpty && !(corner_at(first[slots[slot]]) == corner))
      slot = (slot + 1) & (size - 1);
    if (slots[slot] == kEmpty) {
      slots[slot] = static_cast<std::uint32_t>(first.size());
      first.push_back(static_cast<std::uint32_t>(i));
    }
    numbers[i] = slots[slot];
  }
  distinct = static_cast<std::uint32_t>(first.size());
  return numbers;
}

}  // namespace

EdgeCount count_open_edges(std::span<const Triangle> triangles) {
  EdgeCount count;
  std::uint32_t distinct = 0;
  const std::vector<std::uint32_t> numbers = number_corners(triangles, distinct);
  // Each edge under its smaller corner (a counting sort): start[c] is where
  // corner c's edges begin in `others`, which holds their larger corners.
  std::vector<std::uint32_t> start(distinct + std::size_t{1}, 0);
  std::vector<bool> kept(triangles.size());
  for (std::size_t f = 0; f < triangles.size(); ++f) {
    const std::uint32_t* c = &numbers[3 * f];
    kept[f] = c[0] != c[1] && c[1] != c[2] && c[0] != c[2];
    if (!kept[f]) {
      ++count.degenerate_facets;
      continue;
    }
    for (int e = 0; e < 3; ++e) ++start[std::min(c[e], c[(e + 1) % 3]) + std::size_t{1}];
  }
  for (std::size_t c = 1; c < start.size(); ++c) start[c] += start[c - 1];
  std::vector<std::uint32_t> others(start.back());
  std::vector<std::uint32_t> filled(start.begin(), start.end() - 1);
  for (std::size_t f = 0; f < triangles.size(); ++f) {
    if (!kept[f]) continue;
    const std::uint32_t* c = &numbers[3 * f];
    for (int e = 0; e < 3; ++e) {
      const auto [low, high] = std::minmax(c[e], c[(e + 1) % 3]);
      others[filled[low]++] = high;
    }
  }
  for (std::size_t c = 0; c + 1 < start.size(); ++c) {
    const auto begin = others.begin() + start[c];
    const auto end = others.begin() + start[c + 1];
    std::sort(begin, end);
    for (auto run = begin; run != end;) {
      const auto next = std::find_if(run, end, [&](std::uint32_t other) { return other != *run; });
      count.open_edges += static_cast<std::size_t>(next - run) % 2;
      run = next;
    }
  }
  return count;
}

}  // namespace mesh
