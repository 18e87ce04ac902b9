// The case metadata reader on any bytes. A fault must come with its message
// and a place in the text; a case that reads must read the same when
// written back in either JSON form, and must build and write a document
// as the run would.
#include <array>
#include <string>
#include <string_view>

#include "case_json.h"
#include "constructioninfo/build.h"
#include "constructioninfo/xml_form.h"
#include "fuzz_check.h"
#include "machines/machine_catalog.h"
#include "qfm/case_metadata_parser.h"

namespace {

// A fault names what is wrong, and its place lies in the text and is the
// line and column of its offset.
void check_error(std::string_view input, const json::Error& fault) {
  const std::string shown = fault.text();
  fuzz::check(!fault.message.empty(), "a fault without its message", shown);
  fuzz::check(fault.offset <= input.size(), "a fault past the end of the text", shown);
  const json::LineColumn expected = json::line_column(input, fault.offset);
  fuzz::check(fault.position.line == expected.line && fault.position.column == expected.column,
              "a fault's line and column are not its offset's", shown);
}

void check_case(const qfm::CaseMetadata& case_metadata) {
  constexpr std::array kLongNames = {
      "RESIN",         "COMPOSITE",      "ZIRCONIUM",          "GLASS_CERAMIC",
      "ACRYLIC_RESIN", "HYBRID_CERAMIC", "LITHIUM_DISILICATE", "FELDSPATHIC_CERAMIC"};
  for (const char* name : kLongNames) {
    fuzz::check(case_metadata.material != name, "a long material name was kept", name);
  }
  for (const auto form : {fuzz::JsonForm::Object, fuzz::JsonForm::Array}) {
    const std::string written = fuzz::case_to_json(case_metadata, form);
    const auto again = qfm::parse_case_metadata(written);
    if (!again) fuzz::fail("a written case does not read: " + again.error().text(), written);
    fuzz::check(fuzz::same_case(case_metadata, *again), "a written case reads differently",
                written);
  }
  const auto machine = machines::resolve_machine(case_metadata.machine);
  const auto document =
      constructioninfo::build_construction_info(case_metadata, machine.cam_type, machine.process);
  if (document) (void)constructioninfo::render_xml(*document);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const auto case_metadata = qfm::parse_case_metadata(input);
  if (!case_metadata) {
    check_error(input, case_metadata.error());
    return 0;
  }
  check_case(*case_metadata);
  return 0;
}
