// How a path is shown in messages and on standard output: as typed,
// converted to UTF-8 text with U+FFFD in place of anything that does not
// convert. Paths are bytes on POSIX systems; on Windows they are UTF-16,
// carried as WTF-8 so that a lone surrogate still names its file.
#pragma once

#include <string>
#include <string_view>

#include "common/run_error.h"

namespace platform {

std::string display_path(std::string_view path);

// A path holding a NUL byte names no file (the system would read it only
// up to the NUL, which is another file): fails with "file name contained an
// unexpected NUL byte". Every path handed to the system is checked first.
common::Result<void> check_no_nul(std::string_view path);

}  // namespace platform
