#include "common/path_text.h"
#include "common/wtf8.h"

namespace common {

// Paths are WTF-8 here: a lone surrogate is one unit of the name and shows
// as one U+FFFD.
std::string display_path(std::string_view path) { return wtf8_lossy(path); }

}  // namespace common
