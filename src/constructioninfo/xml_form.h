// The exact bytes of a .constructionInfo file: declaration, two-space
// indentation, "<Name/>" for empty containers and texts, three escapes in
// text, numbers in their shortest decimal form, line feeds only and none
// at the end.
#pragma once

#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "common/run_error.h"
#include "constructioninfo/document.h"
#include "platform/file_identity.h"

namespace constructioninfo {

// Receives the bytes in order, a piece of about 64 KiB at a time, on the
// writing thread: it takes what `bytes` holds and leaves it empty, and the
// next piece fills the same buffer once it returns.
using ByteSink = std::function<common::Result<void>(std::string& bytes)>;

// The name that the document gives `type` ("AnatomicCrown").
std::string_view reconstruction_type_name(ReconstructionType type);

// Writes `document` to `sink`; stops at the sink's first error.
common::Result<void> write_xml(const ConstuctionInfo& document, const ByteSink& sink);

// The whole file as one text.
std::string render_xml(const ConstuctionInfo& document);

// Creates (or replaces) the file at `output_path` and writes `document`
// into it. Fails with "Failed to create <path>" when the file cannot be
// created (or is one of `inputs`, the files the run read) and "Failed to
// write <path>" when writing fails; either way a file that was there is
// left as it was.
common::Result<void> write_construction_info(const ConstuctionInfo& document,
                                             const std::string& output_path,
                                             std::span<const platform::FileIdentity> inputs = {});

}  // namespace constructioninfo
