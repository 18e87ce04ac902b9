#include "mesh/read_stl.h"

#include <admesh/stl.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <optional>

#include "mesh/open_edges.h"
#include "mesh/stl_layout.h"
#include "mesh/tolerances.h"
#include "platform/input_file.h"
#include "platform/memory_stream.h"

namespace mesh {

namespace {

std::unexpected<StlError> fault(StlFault kind, std::string message) {
  return std::unexpected(StlError{kind, std::move(message)});
}

// admesh's record, freed by admesh when it goes away.
struct AdmeshFile {
  stl_file stl{};
  AdmeshFile() { stl_initialize(&stl); }
  ~AdmeshFile() {
    // stl_close frees nothing while an error is marked.
    stl_clear_error(&stl);
    stl_close(&stl);
  }
  AdmeshFile(const AdmeshFile&) = delete;
  AdmeshFile& operator=(const AdmeshFile&) = delete;
};

// The room admesh's own allocation would take, taken here so that a
// failure is a value rather than a line admesh prints.
bool allocate_facets(stl_file& stl, std::size_t count) {
  stl.stats.number_of_facets = static_cast<int>(count);
  stl.stats.original_num_facets = static_cast<int>(count);
  stl.stats.facets_malloced = static_cast<int>(count);
  stl.facet_start = static_cast<stl_facet*>(std::calloc(count, sizeof(stl_facet)));
  stl.neighbors_start = static_cast<stl_neighbors*>(std::calloc(count, sizeof(stl_neighbors)));
  return stl.facet_start != nullptr && stl.neighbors_start != nullptr;
}

qfm::Vec3 vec(const stl_vertex& v) {
  return {static_cast<double>(v.x), static_cast<double>(v.y), static_cast<double>(v.z)};
}

bool finite(const stl_vertex& v) {
  return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

// The volume from the turn of the corners, whatever normals the file
// stored (many exporters write none): the sum of the tetrahedra each facet
// makes with the origin. admesh's own (stl_calculate_volume) takes the
// stored normals' side, and needs them made again from the corners first,
// at twice this cost, in single precision.
double signed_volume(const std::vector<Triangle>& triangles) {
  double six_times = 0;
  for (const auto& [a, b, c] : triangles) {
    six_times += a.x * (b.y * c.z - b.z * c.y) - a.y * (b.x * c.z - b.z * c.x) +
                 a.z * (b.x * c.y - b.y * c.x);
  }
  return six_times / 6;
}

}  // namespace

std::expected<Mesh, StlError> read_stl_bytes(const std::string& bytes) {
  const auto layout = lay_out_stl(bytes);
  if (!layout) return std::unexpected(layout.error());
  auto stream = platform::open_memory_stream(bytes);
  if (!stream) return fault(StlFault::OutOfMemory, "no room to read it: " + stream.error().message);

  AdmeshFile file;
  stl_file& stl = file.stl;
  stl.fp = stream->get();
  stl.stats.type = layout->form == StlForm::Binary ? binary : ascii;
  if (!allocate_facets(stl, layout->facet_count)) {
    return fault(StlFault::OutOfMemory,
                 "no room for its " + std::to_string(layout->facet_count) + " facets");
  }
  stl_read(&stl, 0, 1);
  stl.fp = nullptr;
  if (stl_get_error(&stl)) {
    // The layout check leaves admesh nothing to fail on; kept for safety.
    return fault(StlFault::AsciiMalformed, "a file the STL library could not read");
  }

  Mesh mesh;
  mesh.facet_count = layout->facet_count;
  mesh.triangles.reserve(layout->facet_count);
  for (std::size_t i = 0; i < layout->facet_count; ++i) {
    const stl_facet& facet = stl.facet_start[i];
    for (const stl_vertex& corner : facet.vertex) {
      if (!finite(corner)) {
        return fault(StlFault::NotFinite,
                     "a corner of facet " + std::to_string(i + 1) + " that is not a finite number");
      }
    }
    mesh.triangles.push_back({vec(facet.vertex[0]), vec(facet.vertex[1]), vec(facet.vertex[2])});
  }
  mesh.extents = {vec(stl.stats.min), vec(stl.stats.max)};

  // Neighbours by exact corners (degenerate facets counted and set aside),
  // counted here: admesh's own check clears a table of a fixed size for
  // every file, most of a small mesh's cost.
  const EdgeCount edges = count_open_edges(mesh.triangles);
  mesh.open_edges = edges.open_edges;
  mesh.degenerate_facets = edges.degenerate_facets;
  mesh.volume = signed_volume(mesh.triangles);
  return mesh;
}

std::expected<Mesh, StlError> read_stl(const std::string& path) {
  auto file = platform::InputFile::open(path, platform::Accept::RegularFileOnly);
  if (!file) return fault(StlFault::CannotOpen, file.error().message);
  const auto too_large = [] {
    return fault(StlFault::TooLarge, "larger than " + std::to_string(kLargestStlBytes >> 20) +
                                         " MiB, more than a restoration's mesh: not read");
  };
  if (file->size_hint() > kLargestStlBytes) return too_large();
  // Room as the file's size says, one byte more to see its end, grown only
  // if the file grows meanwhile; the bytes are not zeroed first (a mesh of
  // 10 MB would spend a tenth of its reading on that).
  std::string bytes;
  std::size_t room = static_cast<std::size_t>(file->size_hint()) + 1;
  std::optional<common::RunError> failure;
  bool at_end = false;
  while (!at_end) {
    if (bytes.size() > kLargestStlBytes) return too_large();
    const std::size_t kept = bytes.size();
    bytes.resize_and_overwrite(room, [&](char* data, std::size_t size) {
      std::size_t filled = kept;
      while (filled < size) {
        const auto count = file->read(data + filled, size - filled);
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
    if (failure) return fault(StlFault::CannotOpen, failure->message);
    room = std::min<std::size_t>(2 * room + 4096, kLargestStlBytes + 1);
  }
  return read_stl_bytes(bytes);
}

}  // namespace mesh
