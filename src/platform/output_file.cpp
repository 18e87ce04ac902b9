#include "platform/output_file.h"

#include "platform/path_text.h"

namespace platform {

common::Result<OutputFile> OutputFile::create(const std::string& path) {
  if (auto checked = check_no_nul(path); !checked) return std::unexpected(checked.error());
  return create_native(path);
}

}  // namespace platform
