// How grave a finding is, and the one count of errors and warnings that
// the checker's text and JSON summaries, the page's summary and each case's
// row all take, so that they cannot disagree.
#pragma once

#include <cstddef>
#include <functional>

namespace report {

// An error is what the tool refuses; a warning what it accepts but almost
// surely did not mean.
enum class Severity { Error, Warning };

struct SeverityCounts {
  std::size_t errors = 0;
  std::size_t warnings = 0;
};

// The errors and warnings among `findings`, the severity of each as
// `severity_of` (a function or a member) gives it.
template <typename Findings, typename SeverityOf>
SeverityCounts count_severities(const Findings& findings, SeverityOf severity_of) {
  SeverityCounts counts;
  for (const auto& finding : findings) {
    switch (std::invoke(severity_of, finding)) {
      case Severity::Error:
        ++counts.errors;
        break;
      case Severity::Warning:
        ++counts.warnings;
        break;
    }
  }
  return counts;
}

}  // namespace report
