// Runs a piece of work in a child process, so that a test learns how long
// it took and how much memory it needed at its peak, and survives it if
// it crashes.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

namespace testing_support {

struct ChildReport {
  // The work returned; false when the child died (a crash, a signal, a
  // sanitizer report).
  bool finished = false;
  // What the work returned.
  std::string outcome;
  double seconds = 0;
  // How far the child's peak resident memory rose above what it started
  // with.
  std::size_t peak_bytes = 0;
};

ChildReport run_measured(const std::function<std::string()>& work);

// True in builds whose allocator or shadow memory makes peak memory
// meaningless (AddressSanitizer).
bool memory_is_instrumented();

}  // namespace testing_support
