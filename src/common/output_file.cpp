#include "common/output_file.h"

#include "common/path_text.h"

namespace common {

Result<OutputFile> OutputFile::create(const std::string& path) {
  if (auto checked = check_no_nul(path); !checked) return std::unexpected(checked.error());
  return create_native(path);
}

}  // namespace common
