#include "common/path_text.h"

#include "common/utf8.h"

namespace common {

std::string display_path(std::string_view path) { return utf8_lossy(path); }

}  // namespace common
