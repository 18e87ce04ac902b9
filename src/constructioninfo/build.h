// Turning a loaded case into its ConstructionInfo document, in memory.
#pragma once

#include "common/run_error.h"
#include "constructioninfo/document.h"
#include "machines/machine_catalog.h"

namespace constructioninfo {

// One Tooth and one ConstructionFile per product that is not a Model, in
// case order. Fails with "Cannot read margin line coordinates" for a product
// without margin line, and names the product (by position and STL name)
// when it has no tooth number or fewer than six bounding box values. The
// document refers to `case_metadata`'s margin points.
common::Result<ConstuctionInfo> build_construction_info(const qfm::CaseMetadata& case_metadata,
                                                        machines::CamType cam_type,
                                                        machines::Process process);
// A temporary case would leave the document's margins pointing at freed
// points.
common::Result<ConstuctionInfo> build_construction_info(qfm::CaseMetadata&& case_metadata,
                                                        machines::CamType cam_type,
                                                        machines::Process process) = delete;

}  // namespace constructioninfo
