// Standard output and standard error as the program writes them: each text
// goes out whole and at once, unbuffered, so nothing waits in a buffer when
// the process ends. On Windows a console gets the text as UTF-16, so that
// non-ASCII paths show as they are; a file or pipe gets the UTF-8 bytes.
#pragma once

#include <string_view>

#include "common/run_error.h"

namespace platform {

// Writes `text` to standard output; false when it could not be written
// whole (a closed stream, a broken pipe, a full disk).
bool write_to_stdout(std::string_view text);

// As write_to_stdout, failing with the system's error ("No space left on
// device", "Bad file descriptor").
common::Result<void> write_whole_to_stdout(std::string_view text);

// Writes `text` to standard error in one piece; one attempt, a failure is
// ignored (there is nowhere left to report it).
void write_to_stderr(std::string_view text);

// Whether standard error is a terminal (a console on Windows), where a
// line rewritten in place (a progress line) shows as such.
bool stderr_is_terminal();

}  // namespace platform
