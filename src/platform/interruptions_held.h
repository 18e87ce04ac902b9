// Holding off what would end the process (SIGINT, SIGTERM and SIGHUP;
// Ctrl+C, Ctrl+Break and closing the console on Windows) while a file is
// overwritten in place: the process then ends right after the copy, not
// half way through it.
#pragma once

namespace platform {

class InterruptionsHeld {
 public:
  InterruptionsHeld();
  // What arrived meanwhile now takes effect.
  ~InterruptionsHeld();
  InterruptionsHeld(const InterruptionsHeld&) = delete;
  InterruptionsHeld& operator=(const InterruptionsHeld&) = delete;
};

}  // namespace platform
