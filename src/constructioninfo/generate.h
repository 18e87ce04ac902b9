// Building and writing the ConstructionInfo document of a case.
#pragma once

#include <span>
#include <string>

#include "common/run_error.h"
#include "machines/machine_catalog.h"
#include "platform/file_identity.h"
#include "qfm/case_metadata.h"

namespace constructioninfo {

// Builds the whole document in memory, then writes it to `output_path`; a
// case that cannot become a document leaves the output path untouched, as
// does an output path that names one of `inputs`, the files the run read.
common::Result<void> generate_construction_info(
    const qfm::CaseMetadata& case_metadata, const std::string& output_path,
    machines::CamType cam_type, machines::Process process,
    std::span<const platform::FileIdentity> inputs = {});

}  // namespace constructioninfo
