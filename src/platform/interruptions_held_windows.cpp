#include <windows.h>

#include "platform/interruptions_held.h"

namespace platform {

namespace {

// Set while nothing is held. The system calls the handler on a thread of
// its own; holding it there until the copy ends, then letting the event go
// on to the next handler (the system's, which ends the process), defers
// Ctrl+C, Ctrl+Break and the console's close alike. A console closed while
// the copy runs past the system's grace of some seconds still ends it.
HANDLE released = nullptr;

// Every event the handler gets (Ctrl+C, Ctrl+Break, close, log-off,
// shut-down) would end the process.
BOOL WINAPI wait_for_release(DWORD /*event*/) {
  WaitForSingleObject(released, INFINITE);
  return FALSE;
}

}  // namespace

InterruptionsHeld::InterruptionsHeld() {
  if (released == nullptr) released = CreateEventW(nullptr, TRUE, TRUE, nullptr);
  if (released == nullptr) return;  // nothing can be held: the copy runs unguarded
  ResetEvent(released);
  SetConsoleCtrlHandler(wait_for_release, TRUE);
}

InterruptionsHeld::~InterruptionsHeld() {
  if (released == nullptr) return;
  // Released first: the system may hold its lock on the handlers while one
  // runs, and the removal would wait for it.
  SetEvent(released);
  SetConsoleCtrlHandler(wait_for_release, FALSE);
}

}  // namespace platform
