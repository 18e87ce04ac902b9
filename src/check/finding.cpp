#include "check/finding.h"

#include <algorithm>

namespace check {

void order_findings(Findings& findings, std::string_view case_path) {
  // Copies, not views: sorting moves the findings, and a short path lives
  // inside its finding.
  std::vector<std::string> files{std::string(case_path)};
  for (const Finding& finding : findings) {
    if (std::find(files.begin(), files.end(), finding.path) == files.end())
      files.push_back(finding.path);
  }
  const auto file_rank = [&](const Finding& finding) {
    return std::find(files.begin(), files.end(), finding.path) - files.begin();
  };
  std::stable_sort(findings.begin(), findings.end(), [&](const Finding& a, const Finding& b) {
    const auto rank_a = file_rank(a);
    const auto rank_b = file_rank(b);
    if (rank_a != rank_b) return rank_a < rank_b;
    if (a.line != b.line) return a.line < b.line;
    return a.column < b.column;
  });
}

}  // namespace check
