#include "check/run_check.h"

#include <atomic>
#include <chrono>
#include <mutex>
#include <span>
#include <string_view>

#include "check/check_case.h"
#include "check/folder_walk.h"
#include "check/line_text.h"
#include "check/report_case.h"
#include "check/report_format.h"
#include "common/exit_status.h"
#include "common/run_error.h"
#include "platform/console.h"
#include "platform/output_file.h"
#include "platform/parallel.h"
#include "report/page.h"
#include "text/quoted_text.h"

namespace check {

namespace {

using Clock = std::chrono::steady_clock;

// A run shorter than this shows no progress; the line is then redrawn at
// most this often.
constexpr auto kQuietStart = std::chrono::milliseconds(500);
constexpr auto kRedrawEvery = std::chrono::milliseconds(100);

// The exit status of a run that found anything, errors or warnings alike;
// and of one that could not do its work (a named path that does not read,
// a report that could not be written), which linters keep apart from both
// a clean run and findings.
constexpr int kSomethingFound = 1;
constexpr int kTrouble = 2;

// "Checked 120 of 10000 cases" on standard error, rewritten in place, only
// where standard error is a terminal.
class ProgressLine {
 public:
  explicit ProgressLine(std::size_t total)
      : total_(total),
        shown_(false),
        enabled_(platform::stderr_is_terminal()),
        start_(Clock::now()),
        last_(start_) {}

  void case_done() {
    const std::size_t done = ++done_;
    if (!enabled_) return;
    const std::unique_lock lock(mutex_, std::try_to_lock);
    if (!lock.owns_lock()) return;
    const auto now = Clock::now();
    if (now - start_ < kQuietStart || (shown_ && now - last_ < kRedrawEvery)) return;
    last_ = now;
    const std::string text =
        "Checked " + std::to_string(done) + " of " + std::to_string(total_) + " cases";
    width_ = std::max(width_, text.size());
    std::string line = "\r";
    line += text;
    platform::write_to_stderr(line);
    shown_ = true;
  }

  // Clears the line, so that nothing of it stays before what follows.
  void clear() {
    if (!shown_) return;
    std::string blank = "\r";
    blank.append(width_, ' ');
    blank += '\r';
    platform::write_to_stderr(blank);
  }

 private:
  std::size_t total_;
  std::atomic<std::size_t> done_{0};
  bool shown_;
  bool enabled_;
  Clock::time_point start_;
  Clock::time_point last_;
  std::size_t width_ = 0;
  std::mutex mutex_;
};

// The report of a named case file that could not be read, as standard
// error shows it, on one line: the message and its causes after colons.
std::string trouble_text(const std::string& reported) {
  std::string text;
  std::string_view rest = reported;
  while (!rest.empty()) {
    const std::size_t end = std::min(rest.find('\n'), rest.size());
    std::string_view line = rest.substr(0, end);
    rest.remove_prefix(std::min(end + 1, rest.size()));
    while (line.starts_with(' ')) line.remove_prefix(1);
    if (line.starts_with("Error: ")) line.remove_prefix(7);
    if (line.empty() || line == "Caused by:") continue;
    if (!text.empty()) text += ": ";
    text += line;
  }
  return text;
}

report::CaseSummary case_summary(const std::string& path, const CaseCheck& check) {
  const report::SeverityCounts counts =
      report::count_severities(check.findings, &Finding::severity);
  return {path, counts.errors, counts.warnings, check.unreadable.has_value()};
}

// The run's counts, as the summary line and the page both give them: a
// named file that could not be read is the run's trouble, counted apart
// from the cases checked.
RunSummary run_summary(std::span<const report::CaseSummary> cases) {
  RunSummary run;
  for (const report::CaseSummary& summary : cases) {
    if (summary.unreadable) {
      ++run.unreadable;
      continue;
    }
    ++run.cases_checked;
    run.errors += summary.errors;
    run.warnings += summary.warnings;
  }
  return run;
}

// The HTML report: every case of the run in order, those that never loaded
// (a named file that did not read) with a section saying why. Written whole
// or not at all, as the tool writes its document.
common::Result<void> write_html_report(const std::string& path,
                                       const std::vector<CaseFileEntry>& files,
                                       std::vector<CaseCheck>& per_case,
                                       std::span<const report::CaseSummary> cases,
                                       const RunSummary& run) {
  auto file = platform::OutputFile::create(path);
  if (!file) return std::unexpected(std::move(file.error()));
  if (auto written = file->write(report::report_start(run, cases)); !written) return written;
  for (std::size_t i = 0; i < files.size(); ++i) {
    CaseCheck& check = per_case[i];
    if (check.report_section.empty()) {
      check.report_section =
          unloaded_case_section(files[i].path, check.findings,
                                check.unreadable ? trouble_text(*check.unreadable) : "", i + 1);
    }
    if (auto written = file->write(check.report_section); !written) return written;
    std::string().swap(check.report_section);
  }
  if (auto written = file->write(report::report_end()); !written) return written;
  return file->commit();
}

}  // namespace

int run_check(const CheckCli& cli) {
  const std::vector<CaseFileEntry> files = case_files(cli.paths);
  std::vector<CaseCheck> per_case(files.size());
  ProgressLine progress(files.size());
  const CheckOptions options{rules_named(cli.ignored_rules), cli.report_path.has_value()};
  platform::for_each_in_parallel(files.size(), files.size() > 1, [&](std::size_t i) {
    per_case[i] = check_case(files[i].path, files[i].origin, options, i + 1);
    progress.case_done();
  });
  progress.clear();

  std::vector<report::CaseSummary> cases;
  cases.reserve(files.size());
  for (std::size_t i = 0; i < files.size(); ++i) {
    cases.push_back(case_summary(files[i].path, per_case[i]));
  }
  const RunSummary summary = run_summary(cases);

  // The page first, while the findings are still by case; the findings on
  // standard output either way.
  bool trouble = false;
  if (cli.report_path) {
    if (auto written = write_html_report(*cli.report_path, files, per_case, cases, summary);
        !written) {
      platform::write_to_stderr(common::render_report(
          common::wrap_error("could not write the report " +
                                 escape_for_line(text::quote_for_message(*cli.report_path)),
                             std::move(written.error()))));
      trouble = true;
    }
  }

  Findings findings;
  for (CaseCheck& check : per_case) {
    if (check.unreadable) {
      // The user's own command named what is not there: not a finding of
      // a case, and a status that a script can tell from one.
      platform::write_to_stderr(*check.unreadable);
      trouble = true;
      continue;
    }
    for (Finding& finding : check.findings) findings.push_back(std::move(finding));
  }
  if (auto written = platform::write_whole_to_stdout(report(cli.format, findings, summary));
      !written) {
    platform::write_to_stderr(common::render_report(
        common::wrap_error("could not write the report", std::move(written.error()))));
    return kTrouble;
  }
  if (trouble) return kTrouble;
  return findings.empty() ? common::kSuccess : kSomethingFound;
}

}  // namespace check
