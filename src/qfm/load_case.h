// Loading a case: its name, its metadata file and the margin line files
// that lie beside it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "common/run_error.h"
#include "qfm/case_metadata.h"

namespace qfm {

// A case metadata file's path and what its final name gives: the case's
// name and the document's default path beside it.
struct CaseFile {
  std::string path;            // as typed
  std::string case_name;       // the stem of its final name, for display
  std::string default_output;  // the path with its last extension replaced by "constructionInfo"
};

// The one check of a case file's name. Fails with "file should have a
// name" when the path has no final name (it is empty, only a root or a
// drive, or ends in ".."): neither a case name nor an output path beside
// it could come of it.
common::Result<CaseFile> name_case_file(const std::string& json_path);

// The case in `file`, ready for generation: `case_name` is the file's stem
// and each product's margin line comes from its `pts` file when that file
// reads. Fails with "Failed to read file <path>", "Failed to parse JSON
// metadata file '<path>'" or "Failed to read <pts path>".
common::Result<CaseMetadata> load_case(const CaseFile& file);

// Where a product's margin line file is: its `pts` joined onto the case
// file's folder.
std::string margin_line_path(std::string_view json_directory, const Product& product);

// Every file that loading `file` read: the case file, then each product's
// margin line file.
std::vector<std::string> files_read(const CaseFile& file, const CaseMetadata& case_metadata);

// Both steps above: the case named by `json_path`.
common::Result<CaseMetadata> load_case(const std::string& json_path);

}  // namespace qfm
