// What the HTML report of a run shows, as plain records: the run's counts,
// and per case its machine, material texts, findings and products with the
// mesh and margin line to draw. The records know nothing of how they were
// found; texts are bytes as the files gave them (shown escaped), and the
// mesh and margin points are views of lists the caller keeps alive until
// the case's section is written.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "qfm/point_list.h"
#include "report/severity_counts.h"

namespace report {

struct Finding {
  std::string file;  // for display
  std::size_t line = 0;
  std::size_t column = 0;
  Severity severity = Severity::Warning;
  std::string message;
  std::string rule;  // the rule's id
  // The product (index into CaseReport::products) and the margin point
  // (index into that product's margin points) that the finding concerns.
  std::optional<std::size_t> product;
  std::optional<std::size_t> point;
};

using Triangle = std::array<qfm::Vec3, 3>;

struct Product {
  std::vector<int> teeth;
  std::string reconstruction;  // the type as the document names it
  std::string colour;
  std::optional<double> height;        // mm
  std::optional<double> blank_height;  // mm
  std::string stl_name;
  std::string pts_name;
  // The mesh, or when there is none to draw, why (`mesh_missing`: "no STL
  // file is named", "cannot be read: ...").
  std::optional<std::span<const Triangle>> mesh;
  std::string mesh_missing;
  // The mesh is closed and its facets face outward: a view draws only
  // those facing it.
  bool mesh_closed_outward = false;
  // The margin line's points in file order, or why there are none.
  std::optional<std::span<const qfm::Vec3>> margin;
  std::string margin_missing;
  // Points from the cervical side towards the occlusal side; the view from
  // above looks down it. A zero vector is taken as +z.
  qfm::Vec3 tooth_axis{0, 0, 1};
};

// A text of the case, such as a material's, with the name it is shown by.
struct NamedText {
  std::string name;
  std::string text;
};

struct CaseReport {
  std::string path;  // the case file, for display
  // Why a case file named on the command line could not be read at all:
  // the run's trouble, as standard error says, not a finding of a case.
  std::string unreadable;
  std::string machine;
  // The machine that the tool takes instead, when it falls back to one.
  std::optional<std::string> fallback;
  std::vector<NamedText> materials;
  std::vector<Finding> findings;
  std::vector<Product> products;
};

// What the summary says of a case, known before its section is written.
struct CaseSummary {
  std::string path;
  std::size_t errors = 0;
  std::size_t warnings = 0;
  bool unreadable = false;  // a named file that could not be read
};

// As the checker's summary line counts: the cases checked, their errors
// and warnings; and apart from them the named files that could not be read.
struct RunSummary {
  std::size_t cases_checked = 0;
  std::size_t errors = 0;
  std::size_t warnings = 0;
  std::size_t unreadable = 0;
};

// The summary of a case from its report.
CaseSummary summarise(const CaseReport& case_report);

}  // namespace report
