#include "constructioninfo/generate.h"

namespace constructioninfo {

// Temporary stand-in until the document writer lands.
common::Result<void> generate_construction_info(const qfm::CaseMetadata&, const std::string&,
                                                machines::CamType, machines::Process) {
  return std::unexpected(common::plain_error("writing ConstructionInfo documents is not built yet"));
}

}  // namespace constructioninfo
