// catalog_reference: writes, or checks, the places that show the carried
// catalogs: doc/catalog-reference.md whole, and the lines between the
// catalog markers of the man page and of the strict case schema.
//
//   catalog_reference SOURCE_DIR --check   exit 1 when a place differs
//   catalog_reference SOURCE_DIR --write   bring every place up to date
#include <fstream>
#include <iostream>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "tools/catalog_reference/catalog_listing.h"
#include "tools/catalog_reference/catalog_render.h"

namespace {

using catalog_reference::CatalogListing;

struct Place {
  std::string path;          // under the source folder
  std::string begin_marker;  // empty: the generator writes the whole file
  std::string end_marker;
  std::string (*render)(const CatalogListing&);
};

std::optional<std::string> read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  // Through a string stream: GCC 12 at -O2 sees a null pointer in
  // istreambuf_iterator's reading where none can be (-Wnull-dereference).
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// `text` with the lines strictly between the line holding `begin` and the
// next line holding `end` replaced by `content`; none when a marker is
// missing.
std::optional<std::string> splice(const std::string& text, const std::string& begin,
                                  const std::string& end, const std::string& content) {
  const std::size_t begin_at = text.find(begin);
  if (begin_at == std::string::npos) return std::nullopt;
  const std::size_t body_start = text.find('\n', begin_at);
  if (body_start == std::string::npos) return std::nullopt;
  const std::size_t end_at = text.find(end, body_start);
  if (end_at == std::string::npos) return std::nullopt;
  const std::size_t end_line = text.rfind('\n', end_at) + 1;
  return text.substr(0, body_start + 1) + content + text.substr(end_line);
}

// The first line where two texts part, counted from 1.
std::size_t first_different_line(const std::string& a, const std::string& b) {
  std::size_t line = 1;
  for (std::size_t i = 0; i < a.size() && i < b.size() && a[i] == b[i]; ++i) {
    if (a[i] == '\n') ++line;
  }
  return line;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string_view> args(argv + 1, argv + argc);
  if (args.size() != 2 || (args[1] != "--check" && args[1] != "--write")) {
    std::cerr << "usage: catalog_reference SOURCE_DIR --check|--write\n";
    return 2;
  }
  const std::string source(args[0]);
  const bool write = args[1] == "--write";
  const std::vector<Place> places = {
      {"doc/catalog-reference.md", "", "", catalog_reference::markdown_reference},
      {"doc/daz-izezovivadezurid.1", "catalog reference begins", "catalog reference ends",
       catalog_reference::roff_reference},
      {"schemas/case-metadata.strict.schema.json", "\"catalog_values_begin\"",
       "\"catalog_values_end\"", catalog_reference::schema_catalog_values},
  };

  const CatalogListing listing = catalog_reference::list_catalogs();
  int status = 0;
  for (const Place& place : places) {
    const std::string path = source + "/" + place.path;
    const std::optional<std::string> current = read_file(path);
    std::optional<std::string> wanted;
    if (place.begin_marker.empty()) {
      wanted = place.render(listing);
    } else if (current) {
      wanted = splice(*current, place.begin_marker, place.end_marker, place.render(listing));
    }
    if (!wanted) {
      std::cerr << place.path << ": missing, or without the lines '" << place.begin_marker
                << "' and '" << place.end_marker << "'\n";
      status = 1;
      continue;
    }
    if (current == wanted) continue;
    if (write) {
      std::ofstream(path, std::ios::binary) << *wanted;
      std::cout << "updated " << place.path << '\n';
    } else {
      std::cerr << place.path << " differs from the catalogs from line "
                << first_different_line(current.value_or(""), *wanted)
                << "; build the target update-catalog-reference to write it anew\n";
      status = 1;
    }
  }
  return status;
}
