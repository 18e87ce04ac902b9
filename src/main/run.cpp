#include "main/run.h"

#include <vector>

#include "constructioninfo/generate.h"
#include "machines/machine_catalog.h"
#include "platform/console.h"
#include "platform/file_identity.h"
#include "platform/path_text.h"
#include "qfm/load_case.h"

namespace app {

namespace {

// The files the run read, by identity: the output may name none of them,
// under whatever spelling.
std::vector<platform::FileIdentity> identities_read(const qfm::CaseFile& case_file,
                                                    const qfm::CaseMetadata& case_metadata) {
  std::vector<platform::FileIdentity> identities;
  for (const std::string& path : qfm::files_read(case_file, case_metadata)) {
    if (auto identity = platform::identity_of(path)) identities.push_back(*identity);
  }
  return identities;
}

}  // namespace

common::Result<void> run_generation(const Cli& cli) {
  const auto case_file = qfm::name_case_file(cli.json_path);
  if (!case_file) return std::unexpected(case_file.error());
  auto case_metadata = qfm::load_case(*case_file);
  if (!case_metadata) return std::unexpected(case_metadata.error());

  const machines::MachineResolution machine = machines::resolve_machine(case_metadata->machine);
  const std::string& output_path = cli.output ? *cli.output : case_file->default_output;
  const auto inputs = identities_read(*case_file, *case_metadata);
  if (auto generated = constructioninfo::generate_construction_info(
          *case_metadata, output_path, machine.cam_type, machine.process, inputs);
      !generated) {
    return std::unexpected(generated.error());
  }

  // The document is in place whether or not this line can be printed (a
  // closed standard output), so the run has succeeded either way.
  (void)platform::write_to_stdout("Generated " + platform::display_path(output_path) + "\n");
  return {};
}

}  // namespace app
