#include "qfm/load_case.h"

#include <mutex>
#include <optional>
#include <utility>
#include <vector>

#include "platform/file_name.h"
#include "platform/input_file.h"
#include "platform/parallel.h"
#include "platform/path_text.h"
#include "qfm/case_metadata_parser.h"
#include "qfm/margin_line.h"
#include "text/utf8.h"

namespace qfm {

namespace {

using common::Result;
using common::RunError;

// Margin line files are read side by side, one per core, once their sizes
// add up to this much (about 40 000 point lines, some milliseconds of
// reading): below it the threads' start costs more than they save.
constexpr std::size_t kWorthReadingSideBySide = 1024 * 1024;

std::string case_read_heading(const std::string& json_path) {
  return "Failed to read file " + platform::display_path(json_path);
}

RunError margin_line_failure(const std::string& path, RunError error) {
  return common::wrap_error("Failed to read " + platform::display_path(path), std::move(error));
}

// Hands out the margin line files one at a time, in product order: each
// is opened only once every earlier one has opened, and none after the
// first that does not. That one is then the failure reported, and no
// later file is touched: a pipe or a device named further on cannot stall
// a run that is already lost. Reading overlaps freely once a file is open.
class InOrderOpener {
 public:
  struct Opened {
    std::size_t index;
    platform::InputFile file;
  };
  struct Failure {
    std::size_t index;
    RunError error;
  };

  explicit InOrderOpener(const std::vector<std::string>& paths) : paths_(paths) {}

  // The next file in product order, open; none once all are handed out or
  // one did not open.
  std::optional<Opened> next() {
    const std::lock_guard lock(mutex_);
    if (failure_ || next_ == paths_.size()) return std::nullopt;
    const std::size_t index = next_++;
    auto file = open_margin_line(paths_[index]);
    if (!file) {
      failure_ = Failure{index, std::move(file.error())};
      return std::nullopt;
    }
    return Opened{index, std::move(*file)};
  }

  // The file that did not open, read once every file is handed out.
  std::optional<Failure>& failure() { return failure_; }

 private:
  const std::vector<std::string>& paths_;
  std::mutex mutex_;
  std::size_t next_ = 0;
  std::optional<Failure> failure_;
};

// Each product's margin line file replaces the points of the metadata file;
// a file that opens but does not read leaves them as they were. Nothing
// changes unless every file opens. Files that add up to a large read are
// read side by side.
Result<void> read_margin_lines(CaseMetadata& case_metadata, std::string_view json_directory) {
  std::vector<Product>& products = case_metadata.products;
  std::vector<std::string> paths;
  paths.reserve(products.size());
  std::size_t total_bytes = 0;
  for (const Product& product : products) {
    paths.push_back(margin_line_path(json_directory, product));
    total_bytes += platform::file_size_hint(paths.back());
  }
  std::vector<std::optional<PointList>> points(products.size());
  InOrderOpener opener(paths);
  // Every piece of work takes the next file in order, whichever index it
  // is given.
  platform::for_each_in_parallel(paths.size(), total_bytes >= kWorthReadingSideBySide,
                                 [&](std::size_t) {
                                   auto opened = opener.next();
                                   if (!opened) return;
                                   if (auto read = read_margin_line(opened->file))
                                     points[opened->index] = std::move(*read);
                                 });
  if (auto& failure = opener.failure()) {
    return std::unexpected(margin_line_failure(paths[failure->index], std::move(failure->error)));
  }
  for (std::size_t i = 0; i < products.size(); ++i) {
    if (points[i]) products[i].margin_line_coordinates = std::move(*points[i]);
  }
  return {};
}

}  // namespace

std::string margin_line_path(std::string_view json_directory, const Product& product) {
  return platform::join(json_directory, product.pts, platform::kHostPathRules);
}

std::vector<std::string> files_read(const CaseFile& file, const CaseMetadata& case_metadata) {
  const std::string_view json_directory = platform::parent(file.path, platform::kHostPathRules);
  std::vector<std::string> paths{file.path};
  for (const Product& product : case_metadata.products) {
    paths.push_back(margin_line_path(json_directory, product));
  }
  return paths;
}

Result<CaseFile> name_case_file(const std::string& json_path) {
  const auto name = platform::final_name(json_path, platform::kHostPathRules);
  auto output =
      platform::replace_extension(json_path, "constructionInfo", platform::kHostPathRules);
  if (!name || !output) return std::unexpected(common::plain_error("file should have a name"));
  return CaseFile{json_path, platform::display_path(platform::stem(*name)), std::move(*output)};
}

Result<CaseMetadata> parse_case_file(const CaseFile& file, std::string_view text) {
  if (!text::is_valid_utf8(text)) {
    return std::unexpected(common::wrap_error(
        case_read_heading(file.path), common::plain_error("stream did not contain valid UTF-8")));
  }
  auto case_metadata = parse_case_metadata(text);
  if (!case_metadata) {
    const json::Error& fault = case_metadata.error();
    return std::unexpected(common::wrap_error(
        "Failed to parse JSON metadata file '" + platform::display_path(file.path) + "'",
        common::placed_error(fault.text(),
                             {fault.offset, fault.position.line, fault.position.column})));
  }
  case_metadata->case_name = file.case_name;
  return std::move(*case_metadata);
}

Result<void> take_margin_lines(CaseMetadata& case_metadata, std::string_view json_directory,
                               std::span<const MarginLineText> texts,
                               std::vector<std::optional<PointList>>& replaced) {
  std::vector<Product>& products = case_metadata.products;
  replaced.assign(products.size(), std::nullopt);
  for (std::size_t i = 0; i < products.size() && i < texts.size(); ++i) {
    if (!texts[i]) {
      return std::unexpected(
          margin_line_failure(margin_line_path(json_directory, products[i]), texts[i].error()));
    }
  }
  for (std::size_t i = 0; i < products.size() && i < texts.size(); ++i) {
    if (!*texts[i]) continue;
    auto points = parse_margin_line_text(**texts[i]);
    if (!points) continue;
    replaced[i] = std::exchange(products[i].margin_line_coordinates, std::move(*points));
  }
  return {};
}

Result<CaseMetadata> load_case(const CaseFile& file) {
  auto text = platform::read_whole_file(file.path);
  if (!text) return std::unexpected(common::wrap_error(case_read_heading(file.path), text.error()));
  auto case_metadata = parse_case_file(file, *text);
  if (!case_metadata) return std::unexpected(case_metadata.error());
  text->clear();
  text->shrink_to_fit();

  if (auto read =
          read_margin_lines(*case_metadata, platform::parent(file.path, platform::kHostPathRules));
      !read) {
    return std::unexpected(read.error());
  }
  return std::move(*case_metadata);
}

Result<CaseMetadata> load_case(const std::string& json_path) {
  const auto file = name_case_file(json_path);
  if (!file) return std::unexpected(file.error());
  return load_case(*file);
}

}  // namespace qfm
