// The lock that runs copying over one output take in turn, so that two
// runs at once never interleave their documents in the same file.
#pragma once

#include <chrono>

#include "common/run_error.h"
#include "platform/native_file.h"

namespace platform {

// How long a run waits for another that copies over the same output: far
// longer than any copy takes, short enough that a stuck holder is said.
inline constexpr std::chrono::seconds kOutputLockBound{60};

// Takes the exclusive lock on the whole of the open `file`, waiting up to
// `bound` for a holder to let go; it is held until `file` is closed.
// Fails, saying how long it waited, once the bound is passed. A file
// system that has no locks is written without one.
common::Result<void> lock_exclusively(NativeFile file, std::chrono::milliseconds bound);

// The failure of a wait that passed `bound`, the same on every platform.
common::RunError lock_wait_exceeded(std::chrono::milliseconds bound);

}  // namespace platform
