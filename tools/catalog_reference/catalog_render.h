// The catalog listing written out for each place that shows it: the
// Markdown reference under doc/, the man page's CATALOGS section and the
// catalog values of the strict case schema.
#pragma once

#include <string>

#include "tools/catalog_reference/catalog_listing.h"

namespace catalog_reference {

// The whole of doc/catalog-reference.md.
std::string markdown_reference(const CatalogListing& listing);

// The man page's lines between its two catalog markers.
std::string roff_reference(const CatalogListing& listing);

// The strict schema's $defs members between its two catalog markers, each
// member followed by a comma.
std::string schema_catalog_values(const CatalogListing& listing);

}  // namespace catalog_reference
