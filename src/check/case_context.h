// What the rules of one case look at: the case as the tool reads and loads
// it, its text and the places in it, and the document built from it.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "check/case_places.h"
#include "check/finding.h"
#include "constructioninfo/document.h"
#include "machines/machine_catalog.h"
#include "qfm/case_metadata.h"

namespace check {

struct CaseContext {
  std::string path;          // the case file as typed
  std::string display_path;  // as findings show it
  std::string directory;     // where its .pts and STL files lie
  std::string text;          // the case file's text
  CasePlaces places;
  qfm::CaseMetadata as_written;  // margin lines as the case file gives them
  qfm::CaseMetadata loaded;      // after the .pts files, as the document gets it
  machines::MachineLookup machine;
  std::optional<constructioninfo::ConstuctionInfo> document;  // none when building fails
};

// A warning at byte `offset` of the case file's text.
void warn_at(Findings& findings, const CaseContext& context, std::size_t offset,
             std::string_view rule, std::string message);

// "product 2": products as a user counts them.
std::string product_name(std::size_t index);

}  // namespace check
