#include "constructioninfo/generate.h"

#include "constructioninfo/build.h"
#include "constructioninfo/xml_form.h"

namespace constructioninfo {

common::Result<void> generate_construction_info(const qfm::CaseMetadata& case_metadata,
                                                const std::string& output_path,
                                                machines::CamType cam_type,
                                                machines::Process process,
                                                std::span<const platform::FileIdentity> inputs) {
  auto document = build_construction_info(case_metadata, cam_type, process);
  if (!document) return std::unexpected(document.error());
  return write_construction_info(*document, output_path, inputs);
}

}  // namespace constructioninfo
