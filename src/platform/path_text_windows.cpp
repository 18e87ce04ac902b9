#include "platform/path_text.h"
#include "text/wtf8.h"

namespace platform {

// Paths are WTF-8 here: a lone surrogate is one unit of the name and shows
// as one U+FFFD.
std::string display_path(std::string_view path) { return text::wtf8_lossy(path); }

}  // namespace platform
