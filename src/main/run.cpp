#include "main/run.h"

#include "constructioninfo/generate.h"
#include "machines/machine_catalog.h"
#include "platform/console.h"
#include "platform/file_name.h"
#include "platform/internal_failure.h"
#include "platform/path_text.h"
#include "qfm/load_case.h"

namespace app {

std::string output_path_for(const Cli& cli) {
  if (cli.output) return *cli.output;
  auto path =
      platform::replace_extension(cli.json_path, "constructionInfo", platform::kHostPathRules);
  // load_case has already checked that the JSON path has a final name; any
  // stand-in path could be the case file itself, which must never be
  // overwritten.
  if (!path) platform::internal_failure("no default output path for a JSON path without a name");
  return std::move(*path);
}

common::Result<void> run_generation(const Cli& cli) {
  auto case_metadata = qfm::load_case(cli.json_path);
  if (!case_metadata) return std::unexpected(case_metadata.error());

  const machines::MachineResolution machine = machines::resolve_machine(case_metadata->machine);
  const std::string output_path = output_path_for(cli);
  if (auto generated = constructioninfo::generate_construction_info(
          *case_metadata, output_path, machine.cam_type, machine.process);
      !generated) {
    return std::unexpected(generated.error());
  }

  // The document is in place whether or not this line can be printed (a
  // closed standard output), so the run has succeeded either way.
  (void)platform::write_to_stdout("Generated " + platform::display_path(output_path) + "\n");
  return {};
}

}  // namespace app
