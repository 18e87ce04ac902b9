// The case metadata reader on any bytes. A fault must come as one message
// with a plausible position; a case that reads must read the same when
// written back in either JSON form, and must build and write a document
// as the run would.
#include <algorithm>
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

// The number at the end of `text` after `label`, or none.
std::optional<std::size_t> trailing_number(std::string_view& text, std::string_view label) {
  std::size_t digits = 0;
  while (digits < text.size() && text[text.size() - 1 - digits] >= '0' &&
         text[text.size() - 1 - digits] <= '9') {
    ++digits;
  }
  if (digits == 0 || digits > 18) return std::nullopt;
  const std::string_view number = text.substr(text.size() - digits);
  text.remove_suffix(digits);
  if (!text.ends_with(label)) return std::nullopt;
  text.remove_suffix(label.size());
  std::size_t value = 0;
  for (const char c : number) value = value * 10 + static_cast<std::size_t>(c - '0');
  return value;
}

void check_error(std::string_view input, std::string_view message) {
  std::string_view rest = message;
  const auto column = trailing_number(rest, " column ");
  const auto line = trailing_number(rest, " at line ");
  fuzz::check(column && line && !rest.empty(), "a fault without its position", message);
  const auto lines = static_cast<std::size_t>(std::count(input.begin(), input.end(), '\n')) + 1;
  fuzz::check(*line >= 1 && *line <= lines, "a fault on a line that the text lacks", message);
  fuzz::check(*column <= input.size() + 1, "a fault past the end of the text", message);
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
    if (!again) fuzz::fail("a written case does not read: " + again.error(), written);
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
