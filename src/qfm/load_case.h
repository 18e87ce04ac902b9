// Loading a case: its name, its metadata file and the margin line files
// that lie beside it.
#pragma once

#include <expected>
#include <optional>
#include <span>
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
// metadata file '<path>'" (the JSON fault's place in the error's `place`)
// or "Failed to read <pts path>".
common::Result<CaseMetadata> load_case(const CaseFile& file);

// The steps of load_case, for a program that reads the files itself (the
// checker, which reads each file once and looks at its bytes too).

// The case of `text`, the content of `file`: checked as UTF-8 and read,
// failing with load_case's messages; its margin lines as the case file
// gives them.
common::Result<CaseMetadata> parse_case_file(const CaseFile& file, std::string_view text);

// Where the margin line file of `product` lies, for a case file in
// `json_directory`.
std::string margin_line_path(std::string_view json_directory, const Product& product);

// A margin line file as its reader got it: why it did not open; none when
// it opened but did not read to its end; else its bytes.
using MarginLineText = std::expected<std::optional<std::string_view>, common::RunError>;

// Gives each product the points of its margin line file (`texts`, by
// product) as load_case does: nothing changes when a file did not open
// (the first such, in product order, is the failure), and a file that did
// not read, or whose text is not UTF-8, leaves the case's own points. The
// case's own points that a file replaced are kept in `replaced`.
common::Result<void> take_margin_lines(CaseMetadata& case_metadata, std::string_view json_directory,
                                       std::span<const MarginLineText> texts,
                                       std::vector<std::optional<PointList>>& replaced);

// Every file that loading `file` read: the case file, then each product's
// margin line file.
std::vector<std::string> files_read(const CaseFile& file, const CaseMetadata& case_metadata);

// Both steps above: the case named by `json_path`.
common::Result<CaseMetadata> load_case(const std::string& json_path);

}  // namespace qfm
