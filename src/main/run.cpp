#include "main/run.h"

#include <cstdio>

#include "common/os_error.h"
#include "common/utf8.h"
#include "constructioninfo/generate.h"
#include "machines/machine_catalog.h"
#include "qfm/file_name.h"
#include "qfm/load_case.h"

namespace app {

std::string output_path_for(const Cli& cli) {
  if (cli.output) return *cli.output;
  // load_case has already checked that the JSON path has a final name.
  return qfm::replace_extension(cli.json_path, "constructionInfo", qfm::kHostPathRules)
      .value_or(cli.json_path);
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

  const std::string line = "Generated " + common::utf8_lossy(output_path) + "\n";
  if (std::fwrite(line.data(), 1, line.size(), stdout) != line.size() || std::fflush(stdout) != 0) {
    return std::unexpected(
        common::wrap_error("Failed to write to standard output", common::last_os_error()));
  }
  return {};
}

}  // namespace app
