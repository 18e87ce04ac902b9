#include "check/check_case.h"

#include <algorithm>
#include <new>
#include <stdexcept>

#include "check/case_context.h"
#include "check/catalog_rules.h"
#include "check/geometry_rules.h"
#include "check/line_text.h"
#include "check/margin_rules.h"
#include "check/product_rules.h"
#include "check/report_case.h"
#include "check/tool_error.h"
#include "common/run_error.h"
#include "constructioninfo/build.h"
#include "mesh/read_stl.h"
#include "platform/file_name.h"
#include "platform/input_file.h"
#include "platform/path_text.h"
#include "qfm/load_case.h"
#include "qfm/margin_line.h"
#include "text/quoted_text.h"

namespace check {

namespace {

// The byte-order mark that some editors put before the text; JSON has none.
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// Each margin line file of the case read once, whatever number of products
// name it: a regular file only, as the tool opens it.
void read_margin_files(CaseContext& context) {
  const auto& products = context.loaded.products;
  context.margin_file_of.resize(products.size());
  for (std::size_t p = 0; p < products.size(); ++p) {
    const std::string path = qfm::margin_line_path(context.directory, products[p]);
    std::size_t entry = 0;
    while (entry < context.margin_files.size() && context.margin_files[entry].path != path) ++entry;
    context.margin_file_of[p] = entry;
    if (entry < context.margin_files.size()) continue;
    MarginFile file{path, std::nullopt, std::optional<std::string_view>()};
    auto opened = qfm::open_margin_line(path);
    if (!opened) {
      file.text = std::unexpected(std::move(opened.error()));
    } else if (auto bytes = platform::read_rest(*opened, kLargestFileRead)) {
      file.bytes = std::move(*bytes);
    }
    context.margin_files.push_back(std::move(file));
  }
  // Views of the bytes only once no entry moves any more.
  for (MarginFile& file : context.margin_files) {
    if (file.bytes) file.text = std::string_view(*file.bytes);
  }
}

// Each product's STL file, read once into a mesh for the geometric rules
// and the report.
void read_meshes(CaseContext& context) {
  for (const qfm::Product& product : context.loaded.products) {
    context.meshes.push_back(
        mesh::read_stl(platform::join(context.directory, product.stl, platform::kHostPathRules)));
  }
}

// The findings of rules the command line silences (--ignore).
void drop_ignored(Findings& findings, const std::vector<Rule>& ignored) {
  std::erase_if(findings, [&](const Finding& finding) {
    return std::ranges::find(ignored, finding.rule) != ignored.end();
  });
}

Finding unreadable_finding(const std::string& display, const common::RunError& error) {
  Finding finding = tool_error(display, error);
  finding.rule = Rule::FileUnreadable;
  finding.message = "the case file could not be read, and was not checked: " + finding.message;
  return finding;
}

// The tool's failure to read the case's text, and beside it what a
// byte-order mark before the text means: the tool's message says only
// where reading stopped.
Findings case_text_error(const CaseContext& context, const common::RunError& error) {
  Findings findings{tool_error(context.display_path, error)};
  if (context.text.starts_with(kByteOrderMark)) {
    findings.push_back({context.display_path, 1, 1, Rule::CaseFileBom,
                        "the case file starts with a byte-order mark (EF BB BF), which JSON does "
                        "not take: save it as UTF-8 without BOM",
                        std::nullopt, std::nullopt});
  }
  return findings;
}

Findings check_case_text(CaseContext& context) {
  const auto file = qfm::name_case_file(context.path);
  if (!file) return {tool_error(context.display_path, file.error())};
  auto as_written = qfm::parse_case_file(*file, context.text);
  if (!as_written) return case_text_error(context, as_written.error());
  context.loaded = std::move(*as_written);
  context.places = find_case_places(context.text);
  read_margin_files(context);

  std::vector<qfm::MarginLineText> texts;
  for (const std::size_t entry : context.margin_file_of)
    texts.push_back(context.margin_files[entry].text);
  auto taken =
      qfm::take_margin_lines(context.loaded, context.directory, texts, context.replaced_inline);
  if (!taken) return {tool_error(context.display_path, taken.error())};
  context.machine = machines::look_up_machine(context.loaded.machine);
  read_meshes(context);

  Findings findings;
  auto document = constructioninfo::build_construction_info(
      context.loaded, context.machine.resolution.cam_type, context.machine.resolution.process);
  if (document) {
    context.document = std::move(*document);
  } else {
    findings.push_back(tool_error(context.display_path, document.error()));
  }
  check_members(context, findings);
  check_catalog_names(context, findings);
  check_products(context, findings);
  check_teeth(context, findings);
  check_bounding_boxes(context, findings);
  check_stl_files(context, findings);
  check_margin_lines(context, findings);
  check_meshes(context, findings);
  check_margin_geometry(context, findings);
  place_findings(context, findings);
  return findings;
}

// The case as the tool loads it, from one read of each file, and what the
// rules look at beside it.
CaseCheck check_loaded_case(const std::string& path, CaseOrigin origin, const CheckOptions& options,
                            std::size_t report_position) {
  CaseContext context;
  context.path = path;
  // Findings keep the path's bytes; the reports escape what does not show.
  context.display_path = path;
  // Named, it may be a pipe (/dev/stdin), read once; met in a folder, a
  // pipe or a device would stall the run or feed it without end.
  const platform::Accept accept = origin == CaseOrigin::Named ? platform::Accept::RegularFileOrPipe
                                                              : platform::Accept::RegularFileOnly;
  auto text = platform::read_whole_file(path, accept, kLargestFileRead);
  if (!text) {
    switch (origin) {
      case CaseOrigin::Named:
        return {
            {},
            common::render_report(common::wrap_error(
                "could not read " + escape_for_line(text::quote_for_message(path)), text.error()))};
      case CaseOrigin::Walked: {
        Findings findings{unreadable_finding(context.display_path, text.error())};
        drop_ignored(findings, options.ignored);
        return {std::move(findings), std::nullopt};
      }
    }
  }
  context.text = std::move(*text);
  context.directory = std::string(platform::parent(path, platform::kHostPathRules));
  CaseCheck check{check_case_text(context), std::nullopt};
  order_findings(check.findings, context.display_path);
  drop_ignored(check.findings, options.ignored);
  // Built here, on the case's own thread, from the findings as reported,
  // while the meshes it draws are still held.
  if (options.report) {
    check.report_section = case_report_section(context, check.findings, report_position);
  }
  return check;
}

}  // namespace

CaseCheck check_case(const std::string& path, CaseOrigin origin, const CheckOptions& options,
                     std::size_t report_position) {
  try {
    return check_loaded_case(path, origin, options, report_position);
  } catch (const std::bad_alloc&) {
  } catch (const std::length_error&) {
  }
  return {{tool_error(path, common::plain_error("Ran out of memory"))}, std::nullopt};
}

}  // namespace check
