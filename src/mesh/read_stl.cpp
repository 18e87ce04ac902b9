#include "mesh/read_stl.h"

#include <admesh/stl.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <iterator>
#include <optional>
#include <utility>

#include "mesh/list_room.h"
#include "mesh/open_edges.h"
#include "mesh/stl_layout.h"
#include "mesh/tolerances.h"
#include "platform/input_file.h"
#include "platform/memory_stream.h"

namespace mesh {

namespace {

using FileBytes = std::basic_string<char, std::char_traits<char>, ListRoom<char>>;

// Facets as the file holds them, 50 bytes each: admesh's record holds them
// in 52 (padded to its floats' alignment).
constexpr std::size_t kBinaryHeaderSize = HEADER_SIZE;
constexpr std::size_t kBinaryFacetSize = SIZEOF_STL_FACET;
// A record's bytes are the file's in the same order (normal, three
// corners, two spare bytes) on a little-endian machine, as admesh's own
// reader takes them.
static_assert(std::endian::native == std::endian::little);
static_assert(offsetof(stl_facet, vertex) == 12 && offsetof(stl_facet, extra) == 48 &&
              sizeof(stl_facet) >= kBinaryFacetSize);

std::unexpected<StlError> fault(StlFault kind, std::string message) {
  return std::unexpected(StlError{kind, std::move(message)});
}

// admesh's record of a mesh, over facets whose room is ours (so that its
// size is known before admesh sees it, and a failure to get it is a value
// rather than a line admesh prints).
struct AdmeshFile {
  stl_file stl{};
  RoomList<stl_facet> facets;
  AdmeshFile() { stl_initialize(&stl); }
  ~AdmeshFile() {
    stl.facet_start = nullptr;  // ours, given back by the vector
    // stl_close frees nothing while an error is marked.
    stl_clear_error(&stl);
    stl_close(&stl);
  }
  AdmeshFile(const AdmeshFile&) = delete;
  AdmeshFile& operator=(const AdmeshFile&) = delete;

  void hand_facets_to_admesh(StlForm form) {
    stl.stats.type = form == StlForm::Binary ? binary : ascii;
    const auto count = static_cast<int>(facets.size());
    stl.stats.number_of_facets = count;
    stl.stats.original_num_facets = count;
    stl.stats.facets_malloced = count;
    stl.facet_start = facets.data();
  }
};

// A binary STL's facets, laid out and counted already, given to admesh as
// they stand in the file (its own reader copies them one by one through
// stdio, most of the cost of a large mesh); admesh then measures their
// extents.
void fill_binary(std::string_view bytes, AdmeshFile& file, std::size_t count) {
  reserve_whole(file.facets, count);
  const char* record = bytes.data() + kBinaryHeaderSize;
  for (std::size_t i = 0; i < count; ++i, record += kBinaryFacetSize) {
    stl_facet& facet = file.facets.emplace_back();
    std::memcpy(&facet, record, kBinaryFacetSize);
  }
  file.hand_facets_to_admesh(StlForm::Binary);
  stl_get_size(&file.stl);
}

// An ASCII STL read by admesh itself, from the checked bytes through a
// memory stream.
std::optional<StlError> fill_ascii(std::string_view bytes, AdmeshFile& file, std::size_t count) {
  auto stream = platform::open_memory_stream(bytes);
  if (!stream)
    return StlError{StlFault::OutOfMemory, "no room to read it: " + stream.error().message};
  reserve_whole(file.facets, count);
  file.facets.resize(count);
  file.hand_facets_to_admesh(StlForm::Ascii);
  file.stl.fp = stream->get();
  stl_read(&file.stl, 0, 1);
  file.stl.fp = nullptr;
  // The layout check leaves admesh nothing to fail on; kept for safety.
  if (stl_get_error(&file.stl)) {
    return StlError{StlFault::AsciiMalformed, "a file the STL library could not read"};
  }
  return std::nullopt;
}

// admesh's record of `bytes`, whose layout was checked.
std::expected<void, StlError> fill_admesh(std::string_view bytes, const StlLayout& layout,
                                          AdmeshFile& file) {
  try {
    if (layout.form == StlForm::Binary) {
      fill_binary(bytes, file, layout.facet_count);
    } else if (auto failed = fill_ascii(bytes, file, layout.facet_count)) {
      return std::unexpected(std::move(*failed));
    }
  } catch (const std::bad_alloc&) {
    return fault(StlFault::OutOfMemory,
                 "no room for its " + std::to_string(layout.facet_count) + " facets");
  }
  return {};
}

qfm::Vec3 vec(const stl_vertex& v) {
  return {static_cast<double>(v.x), static_cast<double>(v.y), static_cast<double>(v.z)};
}

bool finite(const Triangle& triangle) {
  return std::ranges::all_of(triangle, [](const qfm::Vec3& corner) {
    return std::isfinite(corner.x) && std::isfinite(corner.y) && std::isfinite(corner.z);
  });
}

// The volume from the turn of the corners, whatever normals the file
// stored (many exporters write none): the sum of the tetrahedra each facet
// makes with the origin. admesh's own (stl_calculate_volume) takes the
// stored normals' side, and needs them made again from the corners first,
// at twice this cost, in single precision. Every coordinate takes part, so
// the volume is NaN or an infinity exactly when a coordinate is (a float's
// coordinates cannot overflow it): one test for the whole mesh.
double signed_volume(const Triangles& triangles) {
  double six_times = 0;
  for (const auto& [a, b, c] : triangles) {
    six_times += a.x * (b.y * c.z - b.z * c.y) - a.y * (b.x * c.z - b.z * c.x) +
                 a.z * (b.x * c.y - b.y * c.x);
  }
  return six_times / 6;
}

// The mesh's triangles and extents from admesh's record.
std::expected<Mesh, StlError> take_from_admesh(const AdmeshFile& file) {
  Mesh mesh;
  mesh.facet_count = file.facets.size();
  try {
    reserve_whole(mesh.triangles, file.facets.size());
  } catch (const std::bad_alloc&) {
    return fault(StlFault::OutOfMemory,
                 "no room for its " + std::to_string(file.facets.size()) + " facets");
  }
  for (const stl_facet& facet : file.facets) {
    mesh.triangles.push_back({vec(facet.vertex[0]), vec(facet.vertex[1]), vec(facet.vertex[2])});
  }
  mesh.extents = {vec(file.stl.stats.min), vec(file.stl.stats.max)};
  return mesh;
}

// What is measured on the triangles themselves: the volume, which also
// tells a corner that is not a finite number; and neighbours by exact
// corners (degenerate facets counted and set aside), counted here since
// admesh's own check clears a table of a fixed size for every file, most
// of a small mesh's cost.
std::expected<Mesh, StlError> measure(std::expected<Mesh, StlError> mesh) {
  if (!mesh) return mesh;
  mesh->volume = signed_volume(mesh->triangles);
  if (!std::isfinite(mesh->volume)) {
    const auto bad = std::ranges::find_if_not(mesh->triangles, finite);
    return fault(StlFault::NotFinite,
                 "a corner of facet " +
                     std::to_string(std::distance(mesh->triangles.begin(), bad) + 1) +
                     " that is not a finite number");
  }
  try {
    const EdgeCount edges = count_open_edges(mesh->triangles);
    mesh->open_edges = edges.open_edges;
    mesh->degenerate_facets = edges.degenerate_facets;
  } catch (const std::bad_alloc&) {
    return fault(StlFault::OutOfMemory, "no room to match the edges of its " +
                                            std::to_string(mesh->facet_count) + " facets");
  }
  return mesh;
}

// The file's bytes whole, or why not: room as the file's size says, one
// byte more to see its end, grown only if the file grows meanwhile; the
// bytes are not zeroed first.
std::expected<FileBytes, StlError> read_file_bytes(platform::InputFile& file) {
  const auto too_large = [] {
    return fault(StlFault::TooLarge, "larger than " + std::to_string(kLargestStlBytes >> 20) +
                                         " MiB, more than a restoration's mesh: not read");
  };
  if (file.size_hint() > kLargestStlBytes) return too_large();
  FileBytes bytes;
  std::size_t room = static_cast<std::size_t>(file.size_hint()) + 1;
  std::optional<common::RunError> failure;
  bool at_end = false;
  while (!at_end) {
    if (bytes.size() > kLargestStlBytes) return too_large();
    const std::size_t kept = bytes.size();
    try {
      if (room > bytes.capacity()) bytes.reserve(platform::whole_huge_pages(room));
      bytes.resize_and_overwrite(room, [&](char* data, std::size_t size) {
        std::size_t filled = kept;
        while (filled < size) {
          const auto count = file.read(data + filled, size - filled);
          if (!count) {
            failure = count.error();
            break;
          }
          if (*count == 0) {
            at_end = true;
            break;
          }
          filled += *count;
        }
        return filled;
      });
    } catch (const std::bad_alloc&) {
      return fault(StlFault::OutOfMemory, "no room to read its " + std::to_string(room) + " bytes");
    }
    if (failure) return fault(StlFault::CannotOpen, failure->message);
    room = std::min<std::size_t>(2 * room + 4096, kLargestStlBytes + 1);
  }
  return bytes;
}

}  // namespace

std::expected<Mesh, StlError> read_stl_bytes(std::string_view bytes) {
  const auto layout = lay_out_stl(bytes);
  if (!layout) return std::unexpected(layout.error());
  AdmeshFile file;
  if (auto filled = fill_admesh(bytes, *layout, file); !filled) {
    return std::unexpected(filled.error());
  }
  return measure(take_from_admesh(file));
}

std::expected<Mesh, StlError> read_stl(const std::string& path) {
  auto file = platform::InputFile::open(path, platform::Accept::RegularFileOnly);
  if (!file) return fault(StlFault::CannotOpen, file.error().message);
  auto bytes = read_file_bytes(*file);
  if (!bytes) return std::unexpected(bytes.error());
  const auto layout = lay_out_stl(*bytes);
  if (!layout) return std::unexpected(layout.error());
  // Each buffer given back once the next holds what it had, so that no
  // more than two of the file's size are held at once.
  std::expected<Mesh, StlError> mesh;
  {
    AdmeshFile admesh;
    if (auto filled = fill_admesh(*bytes, *layout, admesh); !filled) {
      return std::unexpected(filled.error());
    }
    FileBytes().swap(*bytes);
    mesh = take_from_admesh(admesh);
  }
  return measure(std::move(mesh));
}

}  // namespace mesh
