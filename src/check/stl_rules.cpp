#include <algorithm>

#include "check/product_rules.h"
#include "platform/directory.h"
#include "platform/file_name.h"
#include "text/quoted_text.h"
#include "text/unicode_lower.h"

namespace check {

namespace {

struct Match {
  bool exact = false;
  std::optional<std::string> other_case;  // the name that differs in letter case alone
};

// A folder's entries, listed once for all the products that name a file in
// it (most cases keep every STL beside the case file).
struct Listing {
  std::string folder;
  common::Result<std::vector<platform::DirectoryEntry>> entries =
      std::unexpected(common::plain_error("not listed"));
};

const common::Result<std::vector<platform::DirectoryEntry>>& entries_of(Listing& listing,
                                                                        std::string folder) {
  if (listing.folder != folder || !listing.entries) {
    listing.entries = platform::list_directory(folder);
    listing.folder = std::move(folder);
  }
  return listing.entries;
}

// The file `name` among `entries`, named exactly, or else in other letter
// case (which opens on Windows and nowhere else).
Match find_file(const common::Result<std::vector<platform::DirectoryEntry>>& entries,
                std::string_view name) {
  Match match;
  if (!entries) return match;
  for (const platform::DirectoryEntry& entry : *entries) {
    if (!entry.is_directory && entry.name == name) {
      match.exact = true;
      return match;
    }
  }
  const std::string lower = text::to_lower_unicode(name);
  for (const platform::DirectoryEntry& entry : *entries) {
    if (!entry.is_directory && text::to_lower_unicode(entry.name) == lower) {
      match.other_case = entry.name;
      break;
    }
  }
  return match;
}

}  // namespace

void check_stl_files(const CaseContext& context, Findings& findings) {
  const auto& products = context.loaded.products;
  Listing listing;
  for (std::size_t p = 0; p < products.size() && p < context.places.products.size(); ++p) {
    const std::string& stl = products[p].stl;
    const std::size_t offset = context.places.products[p].record.value_offset("stl");
    const std::string path = platform::join(context.directory, stl, platform::kHostPathRules);
    const auto name = platform::final_name(path, platform::kHostPathRules);
    const Match match =
        name ? find_file(entries_of(listing,
                                    std::string(platform::parent(path, platform::kHostPathRules))),
                         *name)
             : Match{};
    if (match.exact) continue;
    if (match.other_case) {
      warn_at(findings, context, offset, Rule::StlLetterCase,
              "stl " + text::quote_for_message(stl) + " of " + product_name(p) +
                  " matches the file " + text::quote_for_message(*match.other_case) +
                  " only in other letter case: found on Windows, missing elsewhere",
              p);
      continue;
    }
    warn_at(findings, context, offset, Rule::StlMissing,
            "stl " + text::quote_for_message(stl) + " of " + product_name(p) +
                ": no such file beside the case file",
            p);
  }
}

}  // namespace check
