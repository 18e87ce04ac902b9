#include "platform/output_file.h"

#include <algorithm>

#include "platform/path_text.h"

namespace platform {

common::Result<OutputFile> OutputFile::create(const std::string& path,
                                              std::span<const FileIdentity> inputs) {
  if (auto checked = check_no_nul(path); !checked) return std::unexpected(checked.error());
  if (!inputs.empty()) {
    const auto output = identity_of(path);
    if (output && std::ranges::find(inputs, *output) != inputs.end()) {
      return std::unexpected(common::plain_error(
          "The output is a file that this run reads (the case file or a margin line file)"));
    }
  }
  return create_native(path);
}

}  // namespace platform
