#include <pthread.h>

#include <csignal>
#include <initializer_list>

#include "platform/interruptions_held.h"

namespace platform {

namespace {

// The signals' mask before the first hold; one hold at a time.
sigset_t previous_mask{};

}  // namespace

// Blocked signals wait, pending, until they are unblocked.
InterruptionsHeld::InterruptionsHeld() {
  sigset_t fatal;
  sigemptyset(&fatal);
  for (const int signal_number : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&fatal, signal_number);
  ::pthread_sigmask(SIG_BLOCK, &fatal, &previous_mask);
}

InterruptionsHeld::~InterruptionsHeld() { ::pthread_sigmask(SIG_SETMASK, &previous_mask, nullptr); }

}  // namespace platform
