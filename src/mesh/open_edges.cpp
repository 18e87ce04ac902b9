#include "mesh/open_edges.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <vector>

namespace mesh {

namespace {

constexpr std::uint32_t kEmpty = UINT32_MAX;

template <typename T>
using Table = RoomList<T>;

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

// The three coordinates' bits folded into one word (turned apart, so that
// equal values on two axes do not cancel), then mixed.
std::uint64_t hash_of(const qfm::Vec3& corner) {
  return mix(bits_of(corner.x) ^ std::rotl(bits_of(corner.y), 21) ^
             std::rotl(bits_of(corner.z), 42));
}

// How many of its slots the table fills at most: a half, so that a search
// passes few slots.
constexpr std::size_t kSlotsPerCorner = 2;

// Each corner's number, equal corners alike, from an open-addressing table
// of the first corner of each number. A closed mesh has about one distinct
// corner in six (each shared by about six facets), so the table starts
// small enough to stay in the processor's cache, and doubles when it fills.
Table<std::uint32_t> number_corners(std::span<const Triangle> triangles, std::uint32_t& distinct) {
  const std::size_t corners = 3 * triangles.size();
  const auto corner_at = [&](std::uint32_t i) -> const qfm::Vec3& {
    return triangles[i / 3][i % 3];
  };
  std::size_t size = std::bit_ceil(std::max<std::size_t>(kSlotsPerCorner * corners / 6, 16));
  Table<std::uint32_t> slots = room_list(size, kEmpty);
  const auto slot_of = [&](const qfm::Vec3& corner) {
    std::size_t slot = hash_of(corner) & (size - 1);
    while (slots[slot] != kEmpty && !(corner_at(slots[slot]) == corner))
      slot = (slot + 1) & (size - 1);
    return slot;
  };
  Table<std::uint32_t> numbers = room_list(corners, std::uint32_t{0});
  std::uint32_t count = 0;
  std::uint32_t i = 0;
  for (const Triangle& triangle : triangles) {
    for (const qfm::Vec3& corner : triangle) {
      std::size_t slot = slot_of(corner);
      if (slots[slot] != kEmpty) {
        numbers[i++] = numbers[slots[slot]];
        continue;
      }
      if (kSlotsPerCorner * (count + std::size_t{1}) > size) {
        Table<std::uint32_t> old = room_list(2 * size, kEmpty);
        old.swap(slots);
        size *= 2;
        for (const std::uint32_t first : old) {
          if (first != kEmpty) slots[slot_of(corner_at(first))] = first;
        }
        slot = slot_of(corner);
      }
      slots[slot] = i;
      numbers[i++] = count++;
    }
  }
  distinct = count;
  return numbers;
}

bool degenerate(const std::uint32_t* c) { return c[0] == c[1] || c[1] == c[2] || c[0] == c[2]; }

}  // namespace

EdgeCount count_open_edges(std::span<const Triangle> triangles) {
  EdgeCount count;
  std::uint32_t distinct = 0;
  const Table<std::uint32_t> numbers = number_corners(triangles, distinct);
  // Each edge under its smaller corner (a counting sort): first the count
  // of each corner's edges, summed into where each corner's edges end in
  // `others` (which holds their larger corners), then each edge put in
  // from the end, so that bounds[c] ends where corner c's edges begin.
  Table<std::uint32_t> bounds = room_list(distinct + std::size_t{1}, std::uint32_t{0});
  for (std::size_t f = 0; f < triangles.size(); ++f) {
    const std::uint32_t* c = &numbers[3 * f];
    if (degenerate(c)) {
      ++count.degenerate_facets;
      continue;
    }
    for (int e = 0; e < 3; ++e) ++bounds[std::min(c[e], c[(e + 1) % 3])];
  }
  for (std::size_t c = 1; c < bounds.size(); ++c) bounds[c] += bounds[c - 1];
  Table<std::uint32_t> others = room_list(std::size_t{bounds.back()}, std::uint32_t{0});
  for (std::size_t f = 0; f < triangles.size(); ++f) {
    const std::uint32_t* c = &numbers[3 * f];
    if (degenerate(c)) continue;
    for (int e = 0; e < 3; ++e) {
      const auto [low, high] = std::minmax(c[e], c[(e + 1) % 3]);
      others[--bounds[low]] = high;
    }
  }
  // An edge is open when its larger corner comes an odd number of times
  // among its smaller corner's: each time flips a mark, and the marks left
  // on are counted and cleared in a second pass (no sorting).
  Table<std::uint8_t> odd = room_list(std::size_t{distinct}, std::uint8_t{0});
  for (std::size_t c = 0; c < distinct; ++c) {
    const std::span<const std::uint32_t> edges(others.data() + bounds[c],
                                               others.data() + bounds[c + 1]);
    for (const std::uint32_t other : edges) odd[other] ^= 1;
    for (const std::uint32_t other : edges) {
      count.open_edges += odd[other];
      odd[other] = 0;
    }
  }
  return count;
}

}  // namespace mesh
