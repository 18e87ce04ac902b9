#include "platform/path_text.h"

namespace platform {

common::Result<void> check_no_nul(std::string_view path) {
  if (path.find('\0') == std::string_view::npos) return {};
  return std::unexpected(common::plain_error("file name contained an unexpected NUL byte"));
}

}  // namespace platform
