#include "common/path_text.h"

namespace common {

Result<void> check_no_nul(std::string_view path) {
  if (path.find('\0') == std::string_view::npos) return {};
  return std::unexpected(plain_error("file name contained an unexpected NUL byte"));
}

}  // namespace common
