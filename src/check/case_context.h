// What the rules of one case look at: the case as the tool reads and loads
// it, its text and the places in it, and the document built from it.
#pragma once

#include <expected>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "check/case_places.h"
#include "check/finding.h"
#include "constructioninfo/document.h"
#include "machines/machine_catalog.h"
#include "mesh/mesh.h"
#include "qfm/case_metadata.h"
#include "qfm/load_case.h"

namespace check {

// A margin line file of the case, read once however many products name it.
struct MarginFile {
  std::string path;                  // joined onto the case's folder
  std::optional<std::string> bytes;  // none when it did not open or read
  qfm::MarginLineText text;          // as the case loader takes it
};

struct CaseContext {
  std::string path;          // the case file as typed
  std::string display_path;  // as findings show it
  std::string directory;     // where its .pts and STL files lie
  std::string text;          // the case file's text
  CasePlaces places;
  qfm::CaseMetadata loaded;  // after the .pts files, as the document gets it
  // By product: the case file's own margin points that its .pts replaced.
  std::vector<std::optional<qfm::PointList>> replaced_inline;
  std::vector<MarginFile> margin_files;     // each file once, in the order first named
  std::vector<std::size_t> margin_file_of;  // by product: its entry in margin_files
  machines::MachineLookup machine;
  std::optional<constructioninfo::ConstuctionInfo> document;  // none when building fails
  // By product: its STL file read whole into a mesh, or why it could not be.
  std::vector<std::expected<mesh::Mesh, mesh::StlError>> meshes;
  // The findings placed by offset (their index, the offset), turned into
  // lines and columns in one pass once every rule has run (place_findings).
  mutable std::vector<std::pair<std::size_t, std::size_t>> unplaced;
};

// A finding of `rule` at byte `offset` of the case file's text, about
// `product` where it concerns one.
void warn_at(Findings& findings, const CaseContext& context, std::size_t offset, Rule rule,
             std::string message, std::optional<std::size_t> product = std::nullopt);

// Gives each finding that warn_at made its line and column.
void place_findings(const CaseContext& context, Findings& findings);

// "product 2": products as a user counts them.
std::string product_name(std::size_t index);

}  // namespace check
