#include "check/check_case.h"

#include <new>
#include <stdexcept>

#include "check/case_context.h"
#include "check/catalog_rules.h"
#include "check/margin_rules.h"
#include "check/product_rules.h"
#include "check/tool_error.h"
#include "constructioninfo/build.h"
#include "platform/file_name.h"
#include "platform/input_file.h"
#include "platform/path_text.h"
#include "qfm/case_metadata_parser.h"
#include "qfm/load_case.h"

namespace check {

namespace {

// The case as the tool loads it, and what the rules look at beside it; a
// finding for the tool's own failure where it fails to load.
Findings check_loaded_case(const std::string& path) {
  const std::string display = platform::display_path(path);
  const auto file = qfm::name_case_file(path);
  if (!file) return {tool_error(display, file.error())};
  auto loaded = qfm::load_case(*file);
  if (!loaded) return {tool_error(display, loaded.error())};

  // The text again, as the case file gives it: the tool has read it
  // without fault, so only a file changed meanwhile could fail here.
  auto text = platform::read_whole_file(path);
  if (!text) return {tool_error(display, text.error())};
  auto as_written = qfm::parse_case_metadata(*text);
  if (!as_written) return {tool_error(display, common::plain_error(as_written.error()))};

  CaseContext context;
  context.path = path;
  context.display_path = display;
  context.directory = std::string(platform::parent(path, platform::kHostPathRules));
  context.text = std::move(*text);
  context.places = find_case_places(context.text);
  context.as_written = std::move(*as_written);
  context.loaded = std::move(*loaded);
  context.machine = machines::look_up_machine(context.loaded.machine);

  Findings findings;
  auto document = constructioninfo::build_construction_info(
      context.loaded, context.machine.resolution.cam_type, context.machine.resolution.process);
  if (document) {
    context.document = std::move(*document);
  } else {
    findings.push_back(tool_error(display, document.error()));
  }
  check_members(context, findings);
  check_catalog_names(context, findings);
  check_teeth(context, findings);
  check_bounding_boxes(context, findings);
  check_stl_files(context, findings);
  check_margin_lines(context, findings);
  order_findings(findings, display);
  return findings;
}

}  // namespace

Findings check_case(const std::string& path) {
  try {
    return check_loaded_case(path);
  } catch (const std::bad_alloc&) {
  } catch (const std::length_error&) {
  }
  return {tool_error(platform::display_path(path), common::plain_error("Ran out of memory"))};
}

}  // namespace check
