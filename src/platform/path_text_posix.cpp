#include "platform/path_text.h"
#include "text/utf8.h"

namespace platform {

std::string display_path(std::string_view path) { return text::utf8_lossy(path); }

}  // namespace platform
