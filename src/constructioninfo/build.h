// Turning a loaded case into its ConstructionInfo document, in memory.
#pragma once

#include <string>

#include "common/run_error.h"
#include "constructioninfo/document.h"
#include "machines/machine_catalog.h"

namespace constructioninfo {

// Whether `product` gets a Tooth and a ConstructionFile in the document: a
// Model stands for a whole jaw, and gets neither.
bool gets_construction_file(const qfm::Product& product);

// What a product of `type` is in the document.
ReconstructionType reconstruction_type_of(qfm::ProductType type);

// The axis of every tooth of the document, set by the machine's process.
qfm::Vec3 tooth_axis(machines::Process process);

// That axis as messages and references write it: "0 0 -1".
std::string tooth_axis_text(machines::Process process);

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
