// The one file that a fatal signal must not leave behind: the named
// temporary of the document being written. A run ended by SIGINT, SIGTERM
// or SIGHUP removes it, then ends as the signal would have ended it.
#pragma once

#include <string>

namespace platform {

// Such signals are caught from now on (once done, it costs nothing), so
// that a later `remove_on_fatal_signal` makes no system call.
void watch_fatal_signals();

// From now on, such a signal removes `path` first (only one path is kept;
// a path too long to keep is not removed).
void remove_on_fatal_signal(const std::string& path);

// The path is gone or in its place: signals remove nothing any more.
void forget_on_fatal_signal();

}  // namespace platform
