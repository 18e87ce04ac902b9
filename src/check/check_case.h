// One case checked: first as the tool would take it up to writing its
// document (where the tool fails, its own message is the finding), then by
// every rule of what the tool accepts but almost surely did not mean.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "check/finding.h"
#include "check/rules.h"

namespace check {

// How a case file came to be checked: named on the command line (a pipe
// is then read too, once), or met in a folder (a regular file only).
enum class CaseOrigin { Named, Walked };

struct CaseCheck {
  Findings findings;  // in order (order_findings)
  // Why a named case file could not be read at all; the run's trouble,
  // not a finding (a file met in a folder gives a file-unreadable finding).
  std::optional<std::string> unreadable;
  // The case's section of the HTML report, when one is wanted and the
  // case loaded far enough to have one (report/page.h).
  std::string report_section = {};
};

// What the command line asks of every case beyond its findings.
struct CheckOptions {
  std::vector<Rule> ignored;  // rules whose findings are dropped (--ignore)
  bool report = false;        // an HTML report is written (--report)
};

// `report_position`: the case's place in the report (1 for the first),
// which its section's anchors carry.
CaseCheck check_case(const std::string& path, CaseOrigin origin = CaseOrigin::Walked,
                     const CheckOptions& options = {}, std::size_t report_position = 1);

// The most bytes read of one file: far above any real case (a large one is
// some hundred megabytes), and a stop for a file that never ends.
inline constexpr std::size_t kLargestFileRead = std::size_t{4} << 30;

}  // namespace check
